#include "app/Application.h"
#include "app/LinuxPlatform.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

namespace {

// Errors no command caught end that command and are shown; the application carries on.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(activeWindow(), applicationDisplayName(), QString::fromLocal8Bit(e.what()));
        } catch (...) {
            QMessageBox::critical(activeWindow(), applicationDisplayName(),
                                  QStringLiteral("Unexpected error."));
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    GuardedApplication app(argc, argv);
    clipvane::initApplicationIdentity();

    clipvane::LinuxPlatform platform;
    clipvane::ClipvaneApp clipvane(platform.services());
    clipvane.createWindows();
    clipvane.showMainWindow();
    return app.exec();
}
