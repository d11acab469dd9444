#include "app/Application.h"
#include "platform/linux/CurlHttpClient.h"
#include "platform/linux/DesktopShell.h"
#include "platform/linux/LinuxConnectivity.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/QtTray.h"
#include "platform/linux/SystemHostResolver.h"
#include "platform/linux/XdgDesktopShortcut.h"
#include "ui/widgets/QtDialogs.h"

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
    QApplication::setApplicationName(QStringLiteral("Clipvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Clipvane"));
    QApplication::setApplicationVersion(QStringLiteral(CLIPVANE_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace clipvane;
    QtClipboard clipboard;
    LinuxConnectivity connectivity;
    CurlHttpClient http;
    SystemHostResolver resolver;
    DesktopShell shell;
    QtTray tray;
    XdgDesktopShortcut desktopShortcut;
    QtDialogs dialogs;

    Services services;
    services.platform.clipboard = &clipboard;
    services.platform.connectivity = &connectivity;
    services.platform.http = &http;
    services.platform.resolver = &resolver;
    services.platform.shell = &shell;
    services.platform.tray = &tray;
    services.platform.desktopShortcut = &desktopShortcut;
    services.platform.paths = AppPaths::forRunningProcess();
    services.dialogs = &dialogs;

    ClipvaneApp clipvane(services);
    clipvane.createWindows();
    clipvane.showMainWindow();
    return app.exec();
}
