#include "AppFixture.h"

#include "ui/Main/Main.h"

#include <QCheckBox>

namespace clipvane::test {

AppFixture::AppFixture() = default;
AppFixture::~AppFixture() = default;

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
