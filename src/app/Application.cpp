#include "Application.h"

#include "core/Dialogs.h"
#include "core/Yield.h"

#include "history/HistoryTable.h"
#include "platform/DisplayPlatform.h"
#include "platform/GlobalShortcuts.h"
#include "ui/About.h"
#include "ui/CaptureHistory.h"
#include "ui/FixedDriveInfo.h"
#include "ui/Main/Main.h"
#include "ui/SetBrowser.h"
#include "ui/ValidateURLResult.h"
#include "ui/WebMonitor.h"
#include "ui/WebUpdate.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Placement.h"
#include "ui/widgets/Themes.h"
#include "update/BuildInfo.h"

#include <QAction>
#include <QApplication>
#include <QStatusBar>

// The resources live in a static library; they must be registered by name.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace clipvane {

void initApplicationIdentity() {
    // No display name: the toolkit would add it to every window's title. Message boxes take the name.
    QApplication::setApplicationName(QStringLiteral("Clipvane"));
    QApplication::setApplicationVersion(localVersion());
    // Desktops match the windows to the menu entry and its icon by this name (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral(CLIPVANE_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
}

ClipvaneApp::ClipvaneApp(Services services) : m_services(services) {}

ClipvaneApp::~ClipvaneApp() {
    if (m_hints)
        qApp->removeEventFilter(m_hints.get());
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
    sources.validateClipboardUrl = [this] { return m_session.ClipboardValidationOn; };
    sources.yield = letPendingMessagesRun;
    m_history = std::make_unique<HistoryTable>(std::move(sources));

    m_form1 = std::make_unique<TForm1>(m_services, m_session);
    m_form1->setHistoryTable(m_history.get());
    m_form1->FormCreate();
    m_form2 = std::make_unique<TForm2>(m_services);
    m_about = std::make_unique<TAboutBox>(m_services);
    m_form3 = std::make_unique<TForm3>(m_services);
    m_form3->FormCreate();
    m_form4 = std::make_unique<TForm4>(m_services);
    m_nav = std::make_unique<TFormNav>(m_services);
    m_nav->FormCreate();
    m_form5 = std::make_unique<TForm5>(m_services, *m_history, m_session);
    m_form6 = std::make_unique<TForm6>(m_services);
    QObject::connect(m_form1.get(), &TForm1::saveHistoryRequested, m_form5.get(), &TForm5::SaveHistory);
    wireWindows();
    grabTrayShortcuts();
}

void ClipvaneApp::grabTrayShortcuts() {
    GlobalShortcuts* keys = m_services.platform.globalShortcuts;
    if (!keys)
        return;
    TForm1* f = m_form1.get();
    const QList<QAction*> actions{f->RestoreClipvane1, f->MonClipboard,    f->ValidateClipboardURL,
                                  f->Showcapture,      f->Capturehistory1, f->Alldriveinformation1};
    QStringList refused;
    for (int id = 0; id < actions.size(); ++id) {
        // A refused grab leaves the window shortcut as it was.
        if (keys->grab(id, actions[id]->shortcut()) == GlobalShortcuts::Grab::Refused)
            refused << actions[id]->shortcut().toString(QKeySequence::NativeText);
    }
    QObject::connect(keys, &GlobalShortcuts::activated, f, [actions](int id) {
        if (id >= 0 && id < actions.size())
            actions[id]->trigger();
    });
    if (refused.size() == 1)
        m_startNote =
            QStringLiteral("Another program holds %1: it acts only while the Clipvane window is active.")
                .arg(refused.first());
    else if (refused.size() > 1)
        m_startNote =
            QStringLiteral("Another program holds %1: they act only while the Clipvane window is active.")
                .arg(refused.join(QLatin1String(", ")));
}

void ClipvaneApp::reportPlatformProblem(const QString& status, const QString& report) {
    if (m_form1)
        m_form1->setStatusPanelText(4, status);
    m_services.dialogs->message(MessageKind::Error, report, Buttons::Ok);
}

void ClipvaneApp::showMainWindow() {
    m_form1->showAtStart();
    QStringList notes;
    const QString focusNote = clipboardFocusNote(QGuiApplication::platformName());
    if (!focusNote.isEmpty())
        notes << focusNote;
    if (!m_startNote.isEmpty())
        notes << m_startNote;
    // Once, for a while; the panels come back afterwards.
    if (!notes.isEmpty())
        m_form1->SBMain->showMessage(notes.join(QLatin1String("  ")), 30000);
}

void ClipvaneApp::endSession() {
    m_form1->Exit1->trigger();
}

// What crosses windows goes through here: no window reaches into another's controls.
void ClipvaneApp::wireWindows() {
    QObject::connect(m_form1.get(), &TForm1::showWindowRequested, m_form1.get(), [this](PeerWindow w) {
        QWidget* window = nullptr;
        switch (w) {
        case PeerWindow::Report:
            window = m_form2.get();
            break;
        case PeerWindow::About:
            window = m_about.get();
            break;
        case PeerWindow::BrowserChoice:
            window = m_form3.get();
            break;
        case PeerWindow::Drives:
            window = m_form4.get();
            break;
        case PeerWindow::Browser:
            window = m_nav.get();
            break;
        case PeerWindow::History:
            window = m_form5.get();
            break;
        case PeerWindow::Update:
            window = m_form6.get();
            break;
        }
        window->show();
        window->raise();
        window->activateWindow();
    });
    // The About box's update button: the web update window checks as it becomes active.
    QObject::connect(m_about.get(), &TAboutBox::updateRequested, m_form6.get(), [this] {
        m_form6->show();
        m_form6->raise();
        m_form6->activateWindow();
    });
    QObject::connect(m_form1.get(), &TForm1::optionsFileWritten, m_form3.get(), &TForm3::setReloadEnabled);
    OptionsSources sources;
    sources.browserChoice = [this] { return m_form3->browserChoiceOptions(); };
    sources.browserPlacement = [this] { return currentPlacement(*m_nav); };
    m_form1->setOptionsSources(std::move(sources));
}

} // namespace clipvane
