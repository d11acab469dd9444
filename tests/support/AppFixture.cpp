#include "AppFixture.h"

#include "core/CapturedList.h"
#include "core/Options.h"
#include "ui/Main/MainWindow.h"

namespace clipvane::test {

AppFixture::AppFixture() = default;
AppFixture::~AppFixture() = default;

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
