#include "app/Application.h"
#include "app/LinuxPlatform.h"
#include "cli/Entry.h"
#include "platform/DisplayPlatform.h"
#include "platform/linux/SessionSignals.h"
#include "platform/linux/SingleInstance.h"

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <optional>
#include <utility>

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

// On a Wayland desktop, start where the clipboard can be watched (see chooseDisplayPlatform).
void pickDisplayPlatform() {
    clipvane::DisplayEnvironment env;
    env.qtPlatform = qEnvironmentVariable("QT_QPA_PLATFORM");
    env.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    env.x11Display = qEnvironmentVariable("DISPLAY");
    const clipvane::DisplayChoice choice =
        clipvane::chooseDisplayPlatform(env, [&] { return clipvane::xServerReachable(env.x11Display); });
    if (!choice.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", choice.platform.toLocal8Bit());
    if (!choice.terminalNote.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(choice.terminalNote));
}

} // namespace

int main(int argc, char* argv[]) {
    // --help, --version and --check: before any application object, display or single-instance lock.
    if (const auto status = clipvane::cli::runCommandLine(argc, argv))
        return *status;
    pickDisplayPlatform();
    GuardedApplication app(argc, argv);
    clipvane::initApplicationIdentity();

    clipvane::LinuxPlatform platform;
    // One copy a data folder: a later launch hands over to the first and ends, before it reads any file.
    const clipvane::AppPaths paths = platform.services().platform.paths;
    clipvane::SingleInstance instance(paths.dataFolder());
    if (!instance.isFirst()) {
        if (instance.askFirstToShow())
            return 0;
        std::fprintf(stderr, "Clipvane already runs for %s but does not answer.\n",
                     qPrintable(paths.dataFolder()));
        return 1;
    }
    for (const QString& moved : paths.adoptOldFiles())
        std::fprintf(stderr, "Clipvane: moved %s\n", qPrintable(moved));
    clipvane::ClipvaneApp clipvane(platform.services());
    QObject::connect(&instance, &clipvane::SingleInstance::showRequested, &app,
                     [&clipvane] { clipvane.bringToFront(); });
    // The first request may come during start-up or in the middle of a capture: the report waits for
    // the event loop and the shown main window.
    std::optional<std::pair<QString, QString>> problem;
    bool shown = false;
    const auto report = [&] {
        if (const auto p = std::exchange(problem, std::nullopt))
            clipvane.reportPlatformProblem(p->first, p->second);
    };
    // The first request may also come from a worker thread (the update check): hand it to the GUI thread.
    platform.onHttpUnavailable([&](const QString& status, const QString& text) {
        QMetaObject::invokeMethod(
            qApp,
            [&, status, text] {
                problem = {status, text};
                if (shown)
                    QTimer::singleShot(0, qApp, report);
            },
            Qt::QueuedConnection);
    });
    clipvane.createWindows();
    clipvane.showMainWindow();
    shown = true;
    if (problem)
        QTimer::singleShot(0, qApp, report);
    // A signal, and the desktop session ending (logging out), leave as the tray menu's Exit does.
    clipvane::SessionSignals sessionSignals;
    QObject::connect(&sessionSignals, &clipvane::SessionSignals::endRequested, &app,
                     [&clipvane] { clipvane.endSession(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&clipvane](QSessionManager&) { clipvane.endSession(); });
    return app.exec();
}
