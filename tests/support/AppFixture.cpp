#include "AppFixture.h"

#include "core/CapturedList.h"
#include "core/Options.h"
#include "ui/Main/MainWindow.h"

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
    clipboard.afterCopy = [this] { settleCaptures(m_app->capture()); };
}

void AppFixture::startShown() {
    start();
    m_app->showMainWindow();
}

MainWindow& AppFixture::main() const {
    return *m_app->mainWindow();
}

void AppFixture::acceptOffline() const {
    options().setValidateClipboardUrl(false);
}

Options& AppFixture::options() const {
    return m_app->options();
}

CapturedList& AppFixture::captured() const {
    return m_app->capturedList();
}

} // namespace clipvane::test
