#include "Application.h"

#include "core/Yield.h"

#include "history/HistoryTable.h"
#include "ui/About.h"
#include "ui/CaptureHistory.h"
#include "ui/FixedDriveInfo.h"
#include "ui/Main.h"
#include "ui/SetBrowser.h"
#include "ui/ValidateURLResult.h"
#include "ui/WebMonitor.h"
#include "ui/WebUpdate.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Placement.h"
#include "ui/widgets/Themes.h"

#include <QApplication>

// The resources live in a static library; they must be registered by name.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace clipvane {

void initApplicationIdentity() {
    QApplication::setApplicationName(QStringLiteral("Clipvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Clipvane"));
    QApplication::setApplicationVersion(QStringLiteral(CLIPVANE_VERSION));
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
}

void ClipvaneApp::showMainWindow() {
    m_form1->showAtStart();
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
    QObject::connect(m_form1.get(), &TForm1::optionsFileWritten, m_form3.get(), &TForm3::setReloadEnabled);
    OptionsSources sources;
    sources.browserChoice = [this] { return m_form3->browserChoiceOptions(); };
    sources.browserPlacement = [this] { return currentPlacement(*m_nav); };
    m_form1->setOptionsSources(std::move(sources));
}

} // namespace clipvane
