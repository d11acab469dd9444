#include "Application.h"

#include "core/Dialogs.h"
#include "core/Yield.h"

#include "browser/BrowserHistoryWriter.h"
#include "browser/BrowserSession.h"
#include "capture/CapturePipeline.h"
#include "core/CapturedList.h"
#include "core/CheckListModel.h"
#include "core/HistoryRecorder.h"
#include "core/Options.h"
#include "history/HistoryTable.h"
#include "platform/Clipboard.h"
#include "platform/DisplayPlatform.h"
#include "platform/GlobalShortcuts.h"
#include "platform/HostResolver.h"
#include "prefs/BrowserChoice.h"
#include "prefs/UrlLauncher.h"
#include "ui/About/AboutBox.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/FixedDriveInfo/DriveInfoWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"
#include "ui/WebUpdate/UpdateWindow.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Placement.h"
#include "ui/widgets/Themes.h"
#include "update/BuildInfo.h"
#include "validation/BatchValidation.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"
#include "validation/UrlListRecipient.h"
#include "validation/ValidationReport.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>

// The resources live in a static library; they must be registered by name.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace clipvane {

namespace {

// The main window as the source of a batch validation.
class MainWindowBatchHost final : public BatchValidationHost {
public:
    MainWindowBatchHost(MainWindow& window, CapturedList& list) : m_window(window), m_list(list) {}
    CheckListModel& sourceList() override { return m_list.model; }
    void setToolBarEnabled(bool enabled) override { m_window.setToolBarEnabled(enabled); }
    void setProgressText(const QString& text) override { m_window.setStatusPanelText(4, text); }
    void markSourceChanged() override {
        m_list.modified = true;
        m_window.setListStatus(QStringLiteral("Modified"));
    }

private:
    MainWindow& m_window;
    CapturedList& m_list;
};

// A browser window's list under batch validation: its commands wait while the run goes on.
class BrowserBatchHost final : public BatchValidationHost {
public:
    explicit BrowserBatchHost(BrowserSession& session) : m_session(session) {}
    CheckListModel& sourceList() override { return m_session.list(); }
    void setToolBarEnabled(bool enabled) override { m_session.controls().setCommandsEnabled(enabled); }
    void setProgressText(const QString& text) override { m_session.controls().setStatusPanel(text); }
    void markSourceChanged() override { m_session.commands().refreshCount(); }

private:
    BrowserSession& m_session;
};

// The first browser window's list as the report's recipient "Browser list".
class BrowserListRecipient final : public UrlListRecipient {
public:
    explicit BrowserListRecipient(BrowserSession& session) : m_session(session) {}
    CheckListModel& recipientList() override { return m_session.list(); }
    void markRecipientChanged() override { m_session.commands().refreshCount(); }

private:
    BrowserSession& m_session;
};

// The URL captured list as the recipient of the report's sync commands.
class CapturedListRecipient final : public UrlListRecipient {
public:
    CapturedListRecipient(MainWindow& window, CapturedList& list) : m_window(window), m_list(list) {}
    CheckListModel& recipientList() override { return m_list.model; }
    void markRecipientChanged() override {
        m_list.modified = true;
        m_window.setListStatus(QStringLiteral("Modified"));
    }

private:
    MainWindow& m_window;
    CapturedList& m_list;
};

// Captures go into the Capture History table.
class HistoryTableRecorder final : public HistoryRecorder {
public:
    explicit HistoryTableRecorder(HistoryTable& table) : m_table(table) {}
    void recordCapture(const QString& url) override { m_table.AddHistoryEntry(url); }

private:
    HistoryTable& m_table;
};

} // namespace

void initApplicationIdentity() {
    // No display name: the toolkit would add it to every window's title. Message boxes take the name.
    QApplication::setApplicationName(QStringLiteral("Clipvane"));
    QApplication::setApplicationVersion(localVersion());
    // Desktops match the windows to the menu entry and its icon by this name (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral(CLIPVANE_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
}

ClipvaneApp::ClipvaneApp(Services services)
    : m_services(services), m_options(std::make_unique<Options>()),
      m_capturedList(std::make_unique<CapturedList>()) {}

ClipvaneApp::~ClipvaneApp() {
    if (m_hints)
        qApp->removeEventFilter(m_hints.get());
    // The browser windows go before the environment and the history writer they use.
    m_moreNavs.clear();
    m_browserWindow.reset();
    // A look-up held by a silent name server must not hold the exit: its thread is left to end alone.
    if (m_lookups) {
        m_lookups->clear();
        if (!m_lookups->waitForDone(500))
            (void)m_lookups.release();
    }
}

void ClipvaneApp::createWindows() {
    initResources();
    applyStyle(QStringLiteral("Iceberg Classico"));
    m_hints = std::make_unique<HintTracker>();
    qApp->installEventFilter(m_hints.get());

    // The history table is made first: captures can arrive from the main window's creation on, while
    // the Capture History window that shows it is created later.
    HistorySources sources;
    sources.resolver = m_services.platform.resolver;
    sources.connectivity = m_services.platform.connectivity;
    sources.validateClipboardUrl = [this] { return m_options->validateClipboardUrl(); };
    sources.yield = letPendingMessagesRun;
    // A capture's row never waits for a name server on the GUI thread: its IP comes when the answer does.
    m_lookups = std::make_unique<QThreadPool>();
    m_lookups->setMaxThreadCount(4);
    if (HostResolver* resolver = m_services.platform.resolver) {
        sources.resolveLater = [this, resolver](const QString& host,
                                                std::function<void(const QString&)> done) {
            QPointer<QObject> context(qApp);
            m_lookups->start([resolver, host, done = std::move(done), context] {
                const QString answer = resolver->resolveIPv4(host);
                if (context)
                    QMetaObject::invokeMethod(
                        context, [done, answer] { done(answer); }, Qt::QueuedConnection);
            });
        };
    }
    m_history = std::make_unique<HistoryTable>(std::move(sources));

    // The browser choice is read when its window is created, but every launch goes through it from the
    // main window's creation on.
    BrowserChoiceContext choiceContext;
    choiceContext.dialogs = m_services.dialogs;
    choiceContext.drives = m_services.platform.drives;
    choiceContext.executablePath = m_services.platform.paths.executablePath();
    choiceContext.searchHost = m_services.addresses.searchHost;
    m_browserChoice = std::make_unique<BrowserChoice>(std::move(choiceContext));
    m_launcher = std::make_unique<UrlLauncher>(*m_services.platform.shell, *m_services.dialogs,
                                               *m_services.platform.connectivity, *m_browserChoice);
    m_checker = std::make_unique<UrlChecker>(*m_services.platform.connectivity, *m_services.platform.http,
                                             *m_options);
    m_engine = std::make_unique<CheckEngine>(*m_services.platform.connectivity, *m_services.platform.http,
                                             *m_checker);
    m_report = std::make_unique<ValidationReport>(*m_services.dialogs, *m_engine);
    m_batch = std::make_unique<BatchValidator>(*m_services.platform.connectivity, *m_services.dialogs,
                                               *m_engine, *m_report);

    m_main = std::make_unique<MainWindow>(m_services, *m_options, *m_capturedList, *m_checker, *m_engine);
    m_main->FormCreate();
    startCapture();
    m_browserChoiceWindow = std::make_unique<BrowserChoiceWindow>(m_services, *m_browserChoice, *m_launcher);
    m_browserChoiceWindow->FormCreate();
    QObject::connect(m_browserChoiceWindow.get(), &BrowserChoiceWindow::driveUsageRequested,
                     m_browserChoiceWindow.get(), [this] { driveInfoWindow()->DriveUsage(); });
    prepareBrowserEnvironment();
    m_browserWindow = std::make_unique<BrowserWindow>(m_services, *m_browserEnvironment);
    m_browserWindow->FormCreate();
    m_captureHistoryWindow =
        std::make_unique<CaptureHistoryWindow>(m_services, *m_history, m_options->loadHistoryAtStartup());
    m_captureHistoryWindow->setLauncher(m_launcher.get());
    QObject::connect(m_main.get(), &MainWindow::saveHistoryRequested, m_captureHistoryWindow.get(), [this] {
        // Browser captures still waiting for host look-ups are written first, not dropped.
        if (m_browserHistory)
            m_browserHistory->finishPending(2000);
        m_main->reportOnExit(m_captureHistoryWindow->SaveHistory());
    });
    wireWindows();
    grabTrayShortcuts();
}

void ClipvaneApp::startCapture() {
    // Connected once the main window's creation steps are done: what the clipboard held before is not
    // captured.
    m_historyRecorder = std::make_unique<HistoryTableRecorder>(*m_history);
    m_capture = std::make_unique<CapturePipeline>(*m_services.platform.clipboard, *m_engine, *m_options,
                                                  *m_capturedList, *m_main, *m_historyRecorder,
                                                  letPendingMessagesRun);
    QObject::connect(m_services.platform.clipboard, &Clipboard::changed, m_main.get(),
                     [this] { m_capture->WMDrawClipboard(); });
}

ValidationReportWindow* ClipvaneApp::reportWindow() {
    if (!m_reportWindow) {
        m_reportWindow = std::make_unique<ValidationReportWindow>(
            m_services, *m_report, *m_launcher, [this] { return m_options->doubleClickMode(); });
        m_reportWindow->showDoubleClickHint(m_options->doubleClickMode());
        QObject::connect(m_main.get(), &MainWindow::doubleClickModeChanged, m_reportWindow.get(),
                         &ValidationReportWindow::showDoubleClickHint);
    }
    return m_reportWindow.get();
}

AboutBox* ClipvaneApp::aboutBox() {
    if (!m_aboutBox) {
        m_aboutBox = std::make_unique<AboutBox>(m_services);
        // The update button: the web update window checks as it becomes active.
        QObject::connect(m_aboutBox.get(), &AboutBox::updateRequested, m_aboutBox.get(),
                         [this] { showWindow(updateWindow()); });
    }
    return m_aboutBox.get();
}

DriveInfoWindow* ClipvaneApp::driveInfoWindow() {
    if (!m_driveInfoWindow) {
        m_driveInfoWindow = std::make_unique<DriveInfoWindow>(m_services);
        m_driveInfoWindow->FormCreate();
    }
    return m_driveInfoWindow.get();
}

UpdateWindow* ClipvaneApp::updateWindow() {
    if (!m_updateWindow)
        m_updateWindow = std::make_unique<UpdateWindow>(m_services);
    return m_updateWindow.get();
}

void ClipvaneApp::showWindow(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void ClipvaneApp::grabTrayShortcuts() {
    GlobalShortcuts* keys = m_services.platform.globalShortcuts;
    if (!keys)
        return;
    MainWindow* f = m_main.get();
    const QList<QAction*> actions = f->trayActions();
    GlobalShortcuts::Results grabs;
    for (int id = 0; id < actions.size(); ++id) {
        // Where a grab is not made, the shortcut stays the windows' own.
        QAction* a = actions[id];
        grabs.insert(id, keys->grab(id, a->shortcut(), a->objectName(), a->iconText()));
    }
    QObject::connect(keys, &GlobalShortcuts::activated, f, [actions](int id) {
        if (id >= 0 && id < actions.size())
            actions[id]->trigger();
    });
    const bool xwayland = QGuiApplication::platformName() == QLatin1String("xcb") &&
                          !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const auto notes = [actions, xwayland](const GlobalShortcuts::Results& grabs,
                                           GlobalShortcuts::DesktopAnswer desktop) {
        QStringList taken;
        bool ungrabbable = false;
        for (auto g = grabs.cbegin(); g != grabs.cend(); ++g) {
            if (g.value() == GlobalShortcuts::Grab::Refused)
                taken << actions[g.key()]->shortcut().toString(QKeySequence::NativeText);
            ungrabbable = ungrabbable || g.value() == GlobalShortcuts::Grab::Unsupported;
        }
        return trayShortcutNotes(taken, ungrabbable, xwayland, desktop);
    };
    if (!grabs.values().contains(GlobalShortcuts::Grab::Pending)) {
        m_startNotes = notes(grabs, GlobalShortcuts::DesktopAnswer::NotAsked);
        return;
    }
    // The desktop answers later, maybe after asking the user: its note comes when it does.
    QObject::connect(
        keys, &GlobalShortcuts::settled, f,
        [this, notes](const GlobalShortcuts::Results& grabs, GlobalShortcuts::DesktopAnswer desktop) {
            sayInStatusBar(notes(grabs, desktop));
        },
        Qt::SingleShotConnection);
}

void ClipvaneApp::prepareBrowserEnvironment() {
    m_browserHistory = std::make_unique<BrowserHistoryWriter>(*m_history, *m_services.platform.resolver);
    auto env = std::make_unique<BrowserEnvironment>();
    env->dialogs = m_services.dialogs;
    env->shell = m_services.platform.shell;
    env->history = m_browserHistory.get();
    env->searchHost = m_services.addresses.searchHost;
    env->yield = letPendingMessagesRun;
    // The main window's options, read when they are used.
    MainWindow* main = m_main.get();
    Options* options = m_options.get();
    env->listOptions.launchOnDoubleClick = [options] { return options->doubleClickMode() == 0; };
    env->listOptions.saveValidation = [options] { return options->saveValidation(); };
    env->listOptions.saveValidator = &main->saveValidator();
    env->homePage = [options] { return options->homePage(); };
    env->validateHint = [main] { return main->validateHint(); };
    env->newWindow = [this](BrowserSession& asking) { return newBrowserWindowView(asking); };
    // Every browser window validates its ticked items with the main window's batch validation and mode.
    env->validate = [this](BrowserSession& session) {
        auto& host = m_browserBatchHosts[&session];
        if (!host)
            host = std::make_unique<BrowserBatchHost>(session);
        m_batch->start(*host, m_options->deleteInvalidUrl());
    };
    m_browserEnvironment = std::move(env);
}

std::vector<BrowserWindow*> ClipvaneApp::browserWindows() const {
    std::vector<BrowserWindow*> all;
    if (m_browserWindow)
        all.push_back(m_browserWindow.get());
    for (const auto& w : m_moreNavs)
        all.push_back(w.get());
    return all;
}

BrowserWindow* ClipvaneApp::openBrowserWindow(BrowserSession* asking) {
    const std::vector<BrowserWindow*> all = browserWindows();
    const auto shown = std::count_if(all.begin(), all.end(), [](BrowserWindow* w) { return w->isVisible(); });
    if (shown >= kMaxBrowserWindows) {
        const bool burst = m_lastWindowRefusal.isValid() && m_lastWindowRefusal.elapsed() < 10000;
        m_lastWindowRefusal.start();
        if (burst) {
            if (asking)
                asking->controls().setStatusPanel(QString::fromLatin1(kTooManyBrowserWindows));
            return nullptr;
        }
        // Said from the event loop: the engine is waiting for an answer right now.
        Dialogs* dialogs = m_services.dialogs;
        QMetaObject::invokeMethod(
            qApp,
            [dialogs] {
                dialogs->message(MessageKind::Warning, QString::fromLatin1(kTooManyBrowserWindows),
                                 Buttons::Ok);
            },
            Qt::QueuedConnection);
        return nullptr;
    }
    // A closed window is only hidden: it serves the request again, with an empty list.
    for (const auto& hidden : m_moreNavs)
        if (!hidden->isVisible()) {
            hidden->session().commands().Clearlist1Click();
            hidden->session().showFresh();
            hidden->setAddressText(QStringLiteral("about:blank"));
            hidden->show();
            // The engine wants a page that has shown nothing for the new window.
            hidden->renewView();
            return hidden.get();
        }
    auto window = std::make_unique<BrowserWindow>(m_services, *m_browserEnvironment);
    window->FormCreate();
    BrowserWindow* w = window.get();
    m_moreNavs.push_back(std::move(window));
    w->show();
    return w;
}

WebView* ClipvaneApp::newBrowserWindowView(BrowserSession& asking) {
    BrowserWindow* w = openBrowserWindow(&asking);
    return w ? w->ensureView() : nullptr;
}

void ClipvaneApp::reportPlatformProblem(const QString& status, const QString& report) {
    if (m_main)
        m_main->setStatusPanelText(4, status);
    m_services.dialogs->message(MessageKind::Error, report, Buttons::Ok);
}

void ClipvaneApp::showMainWindow() {
    m_main->showAtStart();
    QStringList notes;
    const QString focusNote = clipboardFocusNote(QGuiApplication::platformName());
    if (!focusNote.isEmpty())
        notes << focusNote;
    notes << m_startNotes;
    m_mainShown = true;
    sayInStatusBar(notes);
}

void ClipvaneApp::sayInStatusBar(const QStringList& notes) {
    if (!m_mainShown) {
        m_startNotes << notes;
        return;
    }
    m_main->showStartNotes(notes);
}

void ClipvaneApp::endSession() {
    // Once: a second signal during the close steps changes nothing.
    if (m_ending)
        return;
    m_ending = true;
    m_main->exitFromTray();
}

void ClipvaneApp::bringToFront() {
    m_main->restoreFromTray();
}

// What crosses windows goes through here: no window reaches into another's controls.
void ClipvaneApp::wireWindows() {
    QObject::connect(m_main.get(), &MainWindow::showWindowRequested, m_main.get(), [this](PeerWindow w) {
        switch (w) {
        case PeerWindow::Report:
            return showWindow(reportWindow());
        case PeerWindow::About:
            return showWindow(aboutBox());
        case PeerWindow::BrowserChoice:
            return showWindow(m_browserChoiceWindow.get());
        case PeerWindow::Drives:
            // "All drive information": the table is built anew each time, then shown.
            return driveInfoWindow()->DriveUsage();
        case PeerWindow::Browser:
            return showWindow(m_browserWindow.get());
        case PeerWindow::History:
            return showWindow(m_captureHistoryWindow.get());
        case PeerWindow::Update:
            return showWindow(updateWindow());
        }
    });
    // Batch validation of the captured list, and the report's recipient "URL Capture". The recipient
    // "Browser list" is the first integrated browser window's list, set once that window offers one.
    m_mainBatchHost = std::make_unique<MainWindowBatchHost>(*m_main, *m_capturedList);
    m_mainRecipient = std::make_unique<CapturedListRecipient>(*m_main, *m_capturedList);
    m_report->setRecipient(0, m_mainRecipient.get());
    m_browserRecipient = std::make_unique<BrowserListRecipient>(m_browserWindow->session());
    m_report->setRecipient(1, m_browserRecipient.get());
    QObject::connect(m_main.get(), &MainWindow::validateCheckedRequested, m_batch.get(),
                     [this] { m_batch->start(*m_mainBatchHost, m_options->deleteInvalidUrl()); });
    QObject::connect(m_batch.get(), &BatchValidator::reportWanted, m_batch.get(),
                     [this] { reportWindow()->showReport(); });
    QObject::connect(m_main.get(), &MainWindow::launchUrlRequested, m_main.get(),
                     [this](const QString& url) { m_launcher->LaunchUrl(url); });
    QObject::connect(m_main.get(), &MainWindow::optionsFileWritten, m_browserChoiceWindow.get(),
                     &BrowserChoiceWindow::setReloadEnabled);
    OptionsSources sources;
    sources.browserChoice = [this] { return m_browserChoice->stored(); };
    sources.browserPlacement = [this] { return currentPlacement(*m_browserWindow); };
    m_main->setOptionsSources(std::move(sources));
}

} // namespace clipvane
