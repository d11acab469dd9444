#include "TestServices.h"

namespace clipvane::test {

Services TestServices::services() {
    Services s;
    s.platform.clipboard = m_clipboard ? m_clipboard : &clipboard;
    s.platform.connectivity = &connectivity;
    s.platform.http = m_http ? m_http : &http;
    s.platform.resolver = &resolver;
    s.platform.machine = &machine;
    s.platform.shell = &shell;
    s.platform.tray = &tray;
    s.platform.desktopShortcut = &desktopShortcut;
    s.platform.printing = &printing;
    s.platform.drives = &drives;
    s.platform.webViews = webViews;
    s.platform.globalShortcuts = globalShortcuts;
    s.platform.paths = paths.value_or(folder.paths());
    s.dialogs = &dialogs;
    s.addresses = addresses.value_or(ExternalAddresses::fromEnvironment());
    return s;
}

} // namespace clipvane::test
