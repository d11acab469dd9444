#include "AppFixture.h"

#include "ui/Main/Main.h"

#include <QCheckBox>

namespace clipvane::test {

AppFixture::AppFixture() = default;
AppFixture::~AppFixture() = default;

Services AppFixture::services() {
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

void AppFixture::start() {
    m_app = std::make_unique<ClipvaneApp>(services());
    m_app->createWindows();
    clipboard.afterCopy = [this] { settleCaptures(main().capture()); };
}

void AppFixture::startShown() {
    start();
    m_app->showMainWindow();
}

TForm1& AppFixture::main() const {
    return *m_app->form1();
}

void AppFixture::acceptOffline() const {
    main().CBValidateClipboardURL->setChecked(false);
}

SessionState& AppFixture::session() const {
    return m_app->session();
}

} // namespace clipvane::test
