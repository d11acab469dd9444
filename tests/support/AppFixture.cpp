#include "AppFixture.h"

#include "ui/Main.h"

namespace clipvane::test {

AppFixture::AppFixture() = default;
AppFixture::~AppFixture() = default;

Services AppFixture::services() {
    Services s;
    s.platform.clipboard = &clipboard;
    s.platform.connectivity = &connectivity;
    s.platform.http = &http;
    s.platform.resolver = &resolver;
    s.platform.shell = &shell;
    s.platform.tray = &tray;
    s.platform.printing = &printing;
    s.platform.paths = folder.paths();
    s.dialogs = &dialogs;
    return s;
}

void AppFixture::start() {
    m_app = std::make_unique<ClipvaneApp>(services());
    m_app->createWindows();
}

void AppFixture::startShown() {
    start();
    m_app->showMainWindow();
}

TForm1& AppFixture::main() const {
    return *m_app->form1();
}

SessionState& AppFixture::session() const {
    return m_app->session();
}

} // namespace clipvane::test
