#pragma once
#include "platform/Services.h"

#include <QElapsedTimer>
#include <QThreadPool>
#include <map>
#include <memory>
#include <vector>

class QWidget;

namespace clipvane {

class MainWindow;
class Options;
class CapturePipeline;
class HistoryRecorder;
class UrlChecker;
struct CapturedList;
class ValidationReportWindow;
class AboutBox;
class BrowserChoiceWindow;
class DriveInfoWindow;
class BrowserWindow;
class CaptureHistoryWindow;
class UpdateWindow;
class HintTracker;
class HistoryTable;
class BrowserChoice;
class UrlLauncher;
class BrowserHistoryWriter;
struct BrowserEnvironment;
class WebView;

// Pages may open browser windows; beyond this many instances their requests are refused.
inline constexpr int kMaxBrowserWindows = 10; // shown at once
inline constexpr char kTooManyBrowserWindows[] =
    "A page asked for a new browser window, but 10 integrated browser windows are open already. The request "
    "was refused.";
class BrowserSession;
class CheckEngine;
class ValidationReport;
class BatchValidator;
class BatchValidationHost;
class UrlListRecipient;

// Names the application and its version; the main window ends the session, not the last window closed.
void initApplicationIdentity();

// The composition root: builds every window from the services, in their fixed order.
class ClipvaneApp {
public:
    explicit ClipvaneApp(Services services);
    ~ClipvaneApp();

    // Applies the start-up style, then creates the windows; each runs its creation steps before the next.
    void createWindows();
    void showMainWindow();
    // A platform service that cannot work (the HTTP module missing): the status bar and an error box.
    void reportPlatformProblem(const QString& status, const QString& report);
    // The session ends (the desktop logs out, the process is asked to stop): the tray menu's "Exit".
    void endSession();
    // Another launch for the same data folder asked for this copy: its main window comes back to the front.
    void bringToFront();

    Options& options() const { return *m_options; }
    CapturedList& capturedList() const { return *m_capturedList; }
    MainWindow* mainWindow() const { return m_main.get(); }
    // Made once the main window's creation steps are done; the clipboard's changes go to it.
    CapturePipeline* capture() const { return m_capture.get(); }
    // The report, About, drive and update windows have nothing to do before they are first wanted: they
    // are made then, which keeps start-up memory down.
    ValidationReportWindow* reportWindow();
    AboutBox* aboutBox();
    BrowserChoiceWindow* browserChoiceWindow() const { return m_browserChoiceWindow.get(); }
    DriveInfoWindow* driveInfoWindow();
    BrowserWindow* browserWindow() const { return m_browserWindow.get(); }
    CaptureHistoryWindow* captureHistoryWindow() const { return m_captureHistoryWindow.get(); }
    UpdateWindow* updateWindow();
    HistoryTable* history() const { return m_history.get(); }
    BrowserChoice* browserChoice() const { return m_browserChoice.get(); }
    UrlLauncher* launcher() const { return m_launcher.get(); }
    // Every integrated browser window, the first one first.
    std::vector<BrowserWindow*> browserWindows() const;
    // A browser window shown for a page that asks for one (a closed one again, or a new one); null when
    // the limit of shown windows is reached. The first refusal of a burst says so in a box, the rest in
    // the asking window's status panel.
    BrowserWindow* openBrowserWindow(BrowserSession* asking = nullptr);
    ValidationReport* report() const { return m_report.get(); }
    BatchValidator* batchValidator() const { return m_batch.get(); }

private:
    void startCapture();
    void prepareBrowserEnvironment();
    WebView* newBrowserWindowView(BrowserSession& asking);
    void wireWindows();
    void showWindow(QWidget* window);
    // The tray menu's shortcuts act for the whole desktop where the platform can grab them.
    void grabTrayShortcuts();
    // Notes for the main window's status bar, each said once: at its first showing, or after the ones
    // still to come.
    void sayInStatusBar(const QStringList& notes);

    Services m_services;
    QStringList m_startNotes; // said once in the main window's status bar when it is first shown
    bool m_mainShown = false;
    bool m_ending = false;
    // The options in force and the captured list outlive every window that shows them.
    std::unique_ptr<Options> m_options;
    std::unique_ptr<CapturedList> m_capturedList;
    std::unique_ptr<HintTracker> m_hints;
    // The Capture History table outlives every window that records into it or shows it.
    std::unique_ptr<QThreadPool> m_lookups; // host look-ups of clipboard history rows
    std::unique_ptr<HistoryTable> m_history;
    // The browser choice and the one launcher every window opens addresses with.
    std::unique_ptr<BrowserChoice> m_browserChoice;
    std::unique_ptr<UrlLauncher> m_launcher;
    std::unique_ptr<BrowserHistoryWriter> m_browserHistory;
    std::unique_ptr<BrowserEnvironment> m_browserEnvironment;
    // Browser windows that pages opened; kept until the end, as the first one is.
    std::vector<std::unique_ptr<BrowserWindow>> m_moreNavs;
    QElapsedTimer m_lastWindowRefusal; // refusals closer together than a few seconds are one burst
    // The check engine and the report's lists outlive the windows that run checks and show them.
    std::unique_ptr<UrlChecker>
        m_checker; // LastCheckedUrl and the offline rule, which the engine's runs share
    std::unique_ptr<CheckEngine> m_engine;
    std::unique_ptr<ValidationReport> m_report;
    std::unique_ptr<BatchValidator> m_batch;
    std::unique_ptr<BatchValidationHost> m_mainBatchHost;
    std::unique_ptr<UrlListRecipient> m_mainRecipient;
    std::unique_ptr<UrlListRecipient> m_browserRecipient;
    // One batch host a browser window, made at its first validation.
    std::map<BrowserSession*, std::unique_ptr<BatchValidationHost>> m_browserBatchHosts;
    std::unique_ptr<HistoryRecorder> m_historyRecorder;
    // Destroyed in reverse order: the main window goes last, as it leaves the clipboard.
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<CapturePipeline> m_capture;
    std::unique_ptr<ValidationReportWindow> m_reportWindow;
    std::unique_ptr<AboutBox> m_aboutBox;
    std::unique_ptr<BrowserChoiceWindow> m_browserChoiceWindow;
    std::unique_ptr<DriveInfoWindow> m_driveInfoWindow;
    std::unique_ptr<BrowserWindow> m_browserWindow;
    std::unique_ptr<CaptureHistoryWindow> m_captureHistoryWindow;
    std::unique_ptr<UpdateWindow> m_updateWindow;
};

} // namespace clipvane
