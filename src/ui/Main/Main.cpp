#include "Main.h"
#include "MainTexts.h"

#include "ui/widgets/Controls.h"

#include "core/ErrorReport.h"
#include "core/ExternalAddresses.h"
#include "core/ListFile.h"
#include "core/SortUnique.h"
#include "core/Yield.h"
#include "history/HistoryTable.h"
#include "lists/ListCommands.h"
#include "platform/Clipboard.h"
#include "platform/Connectivity.h"
#include "platform/DesktopShortcut.h"
#include "platform/Tray.h"
#include "prefs/Preferences.h"
#include "sysinfo/AddressWatch.h"
#include "ui/widgets/BlinkLabel.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/Placement.h"
#include "ui/widgets/Themes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

namespace clipvane {

using namespace mainwindow;

TForm1::TForm1(Services services, SessionState& session)
    : m_services(services), m_session(session), m_list(new CheckListModel(this)),
      m_checker(*services.platform.connectivity, *services.platform.http, session) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Clipvane"));
    m_listFiles = std::make_unique<MainListFiles>(*m_list, *services.dialogs,
                                                  static_cast<ListFileWindow&>(*this), m_session.ListModified,
                                                  m_session.HtmlTitle, m_session.CurrentListPath);
    buildUi();
    m_saveValidator = std::make_unique<SaveValidator>(
        *services.platform.connectivity, m_checker, *services.dialogs, letPendingMessagesRun,
        [this](bool enabled) { TabSheetOptions->setEnabled(enabled); });
    m_addressWatch = new AddressWatch(*services.platform.connectivity, *services.platform.http,
                                      services.addresses.publicIpService, letPendingMessagesRun, this);
    connectHandlers();
}

TForm1::~TForm1() {
    // FormDestroy: leave the clipboard.
    m_services.platform.clipboard->leave();
}

void TForm1::connectHandlers() {
    // Check boxes run their handler whenever their state changes, from code too; menu items only when chosen;
    // the theme list only when the user picks an entry.
    connect(CBMonClipboard, &QCheckBox::toggled, this, &TForm1::CBMonClipboardClick);
    connect(CBValidateClipboardURL, &QCheckBox::toggled, this, &TForm1::CBValidateClipboardURLClick);
    connect(MonClipboard, &QAction::triggered, this, &TForm1::MonClipboardClick);
    connect(ValidateClipboardURL, &QAction::triggered, this, &TForm1::ValidateClipboardURLClick);
    connect(Showcapture, &QAction::triggered, this, &TForm1::ShowcaptureClick);
    connect(StartMinimised, &QAction::triggered, this, &TForm1::StartMinimisedClick);
    connect(ExitToTray, &QAction::triggered, this, &TForm1::ExitToTrayClick);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(RestoreClipvane1, &QAction::triggered, this, &TForm1::TrayIcon1DblClick);
    if (m_services.platform.tray)
        connect(m_services.platform.tray, &Tray::doubleClicked, this, &TForm1::TrayIcon1DblClick);

    connect(m_list, &CheckListModel::tickedByUser, this, [this] { CheckListBoxURLClickCheck(); });
    connect(CheckListBoxURL->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                m_list->setSelected(current.isValid() ? current.row() : -1);
                CheckListBoxURLClick();
            });
    connect(m_list, &CheckListModel::selectionChanged, this, [this](int row) {
        const QModelIndex want = row >= 0 ? m_list->index(row) : QModelIndex();
        if (CheckListBoxURL->selectionModel()->currentIndex() != want) {
            if (want.isValid())
                CheckListBoxURL->selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
            else
                CheckListBoxURL->selectionModel()->clear();
        }
    });
    connect(CheckListBoxURL, &QAbstractItemView::doubleClicked, this, [this] { CheckListBoxURLDblClick(); });

    connect(cyAdvSpeedButton2, &QToolButton::clicked, this, &TForm1::cyAdvSpeedButton2Click);
    connect(cyAdvSpeedButton3, &QToolButton::clicked, this, &TForm1::cyAdvSpeedButton3Click);
    connect(cyDeleteChecked, &QToolButton::clicked, this, &TForm1::cyDeleteCheckedClick);
    connect(cyNewList, &QToolButton::clicked, this, &TForm1::cyNewListClick);
    connect(cyNavigateURL, &QToolButton::clicked, this, &TForm1::cyNavigateURLClick);
    connect(cySaveList, &QToolButton::clicked, this, &TForm1::cySaveListClick);
    connect(cySaveListAs, &QToolButton::clicked, this, &TForm1::cySaveListAsClick);
    connect(cyLoadList, &QToolButton::clicked, this, &TForm1::cyLoadListClick);
    connect(cyReloadList, &QToolButton::clicked, this, &TForm1::cyReloadListClick);
    connect(cyAdvSpeedButton1, &QToolButton::clicked, this, &TForm1::cyAdvSpeedButton1Click);

    // Options page
    connect(CBOValidateURL, &QCheckBox::toggled, this, &TForm1::CBOValidateURLClick);
    connect(CBOValidateChecked, &QCheckBox::toggled, this, &TForm1::CBOValidateCheckedClick);
    connect(CBDeleteInvalidURL, &QCheckBox::toggled, this, &TForm1::CBDeleteInvalidURLClick);
    connect(cyValidateCheckedURL, &QToolButton::clicked, this, &TForm1::validateCheckedRequested);
    connect(RGURLListGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            RGURLListClick();
    });
    connect(CBBTheme, &QComboBox::activated, this, &TForm1::CBBThemeChange);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(cySaveOptions, &QToolButton::clicked, this, &TForm1::cySaveOptionsClick);
    connect(cyReloadOptions, &QToolButton::clicked, this, &TForm1::cyReloadOptionsClick);
    connect(cyResetOptions, &QToolButton::clicked, this, &TForm1::cyResetOptionsClick);
    connect(cyAdvSpeedButton4, &QToolButton::clicked, this, &TForm1::cyAdvSpeedButton4Click);

    // Commands that show another window, without blocking this one.
    const auto show = [this](PeerWindow w) { return [this, w] { emit showWindowRequested(w); }; };
    connect(cyAdvSpeedButton5, &QToolButton::clicked, this, show(PeerWindow::BrowserChoice));
    connect(cyAdvSpeedButton6, &QToolButton::clicked, this, show(PeerWindow::Browser));
    connect(cyShowCaptureHistory, &QToolButton::clicked, this, show(PeerWindow::History));
    connect(Capturehistory1, &QAction::triggered, this, show(PeerWindow::History));
    connect(cyAdvSpeedButton8, &QToolButton::clicked, this, show(PeerWindow::About));
    connect(cyDownloadUpdate, &QToolButton::clicked, this, show(PeerWindow::Update));
    connect(Alldriveinformation1, &QAction::triggered, this, show(PeerWindow::Drives));

    connect(m_services.platform.clipboard, &Clipboard::changed, this, &TForm1::WMDrawClipboard);

    // The public address: Timer2 watches the connection for the whole session, Timer1 refreshes the
    // address while the watch asks for it.
    connect(m_addressWatch, &AddressWatch::panelTextChanged, this,
            [this](const QString& text) { setStatusPanelText(6, text); });
    connect(m_addressWatch, &AddressWatch::refreshRunningChanged, this, [this](bool running) {
        if (!running)
            Timer1->stop();
        else if (!Timer1->isActive())
            Timer1->start();
    });
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    Timer2->start();
}

void TForm1::FormCreate() {
    // 1
    m_session.ExitToTraySetting = false;
    m_session.CaptureSuppressed = true;
    m_session.OptionsSavedOnExit = false;
    m_session.LastValidUrl.clear();
    m_session.HtmlTitle.clear();
    m_session.ListModified = false;
    m_session.FirstShowPending = true;
    m_session.SaveCancelled = false;
    // 2
    setHint(this,
            QStringLiteral("|This is where appears hints. Hover over the form, a button to know more."));
    letPendingMessagesRun();
    // 3: the list dialogs start in the default list's folder with its name
    m_session.CurrentListPath = m_services.platform.paths.defaultListPath();
    m_listFiles->presetDialogs();
    letPendingMessagesRun();
    letPendingMessagesRun();
    // 4
    LoadINIFile();
    // 5
    Button1->click();
    letPendingMessagesRun();
    // 6: the address is asked for on a worker once the window is up
    m_addressWatch->showAtStartup(kFirstAddressRequestDelayMs);
    // 7
    Timer1->stop();
    letPendingMessagesRun();
    letPendingMessagesRun();
    // 8: join the clipboard; what is on it now arrives while capture is suppressed
    m_services.platform.clipboard->join();
    // 9
    if (CBLoadDefaultList->isChecked()) {
        if (QFileInfo::exists(m_session.CurrentListPath)) {
            const ListFileContent content = m_listFiles->replaceFromFile(m_session.CurrentListPath);
            if (content.ok) {
                setListStatus(QStringLiteral("Open"));
            } else {
                RaiseLastError(content.error);
                setListStatus(QStringLiteral("Error"));
            }
        } else {
            cyReloadList->setEnabled(false);
            setListStatus(QStringLiteral("New"));
            m_list->clear();
            setMemoText(QString());
        }
    }
    // 10: drops are accepted (AcceptFiles)
    setAcceptDrops(true);
    // 11
    setMemoText(QString::fromLatin1(kNoPreviousValidUrl));
    // 12
    setHint(cyValidateCheckedURL,
            QString::fromLatin1(CBDeleteInvalidURL->isChecked() ? kValidateHintDelete : kValidateHintReport));
    // 13
    m_session.CaptureSuppressed = false;
    // 14
    m_session.LoadHistoryAtStartup = CBLoadHistory->isChecked();
    // 15
    m_startMinimised = StartMinimised->isChecked();
}

void TForm1::showAtStart() {
    show();
    if (m_startMinimised)
        minimiseApplication();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // FormShow: the stored double-click mode and theme reach their controls at the first showing only,
    // without running their handlers: the theme is in force already.
    if (m_session.FirstShowPending) {
        selectDoubleClickMode(m_session.StoredDoubleClickMode);
        const int theme = m_session.StoredThemeIndex;
        CBBTheme->setCurrentIndex(theme >= 0 && theme < CBBTheme->count() ? theme : -1);
        // The stored position gives way to the centre of the desktop; the stored size stays.
        centreOnScreen(*this);
        m_session.FirstShowPending = false;
        // The hints must describe what a double click does from the start, not only after a change.
        showDoubleClickHints(doubleClickMode());
    }
}

QString TForm1::statusPanelText(int panel) const {
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void TForm1::setStatusPanelText(int panel, const QString& text) {
    if (QLabel* l = m_panels.value(panel))
        l->setText(text);
}

void TForm1::RaiseLastError(const OsError& error) {
    clipvane::RaiseLastError(*m_services.dialogs, error);
}

int TForm1::doubleClickMode() const {
    return RGURLListGroup->checkedId();
}

void TForm1::setCheckEngine(CheckEngine* engine) {
    m_saveValidator->setEngine(engine);
    m_capture = std::make_unique<CapturePipeline>(*m_services.platform.clipboard, *engine, m_session, *m_list,
                                                  static_cast<CaptureHost&>(*this), letPendingMessagesRun);
}

bool TForm1::deleteInvalidMode() const {
    return CBDeleteInvalidURL->isChecked();
}

void TForm1::setToolBarEnabled(bool enabled) {
    Panel1->setEnabled(enabled);
}

// ---- Capture

void TForm1::WMDrawClipboard() {
    if (m_capture)
        m_capture->WMDrawClipboard();
}

bool TForm1::monitorOn() const {
    return CBMonClipboard->isChecked();
}

bool TForm1::showCaptureOn() const {
    return Showcapture->isChecked();
}

void TForm1::setMemoText(const QString& text) {
    m_memoText = text;
    Memo1->setPlainText(text.size() > kMemoDisplayLimit ? text.left(kMemoDisplayLimit) + QChar(0x2026)
                                                        : text);
}

void TForm1::showCaptureBalloon(const QString& candidate) {
    Tray* tray = m_services.platform.tray;
    if (tray && tray->isVisible())
        tray->showBalloon(QStringLiteral("Captured URL"), candidate);
}

void TForm1::setListStatus(const QString& status) {
    setStatusPanelText(1, status);
}

void TForm1::addHistoryEntry(const QString& candidate) {
    if (m_history)
        m_history->AddHistoryEntry(candidate);
}

void TForm1::Timer1Timer() {
    m_addressWatch->refreshTick();
}

void TForm1::Timer2Timer() {
    m_addressWatch->watchTick();
}

void TForm1::CBMonClipboardClick() {
    const bool on = CBMonClipboard->isChecked();
    setStatusPanelText(3, on ? QStringLiteral("Yes") : QStringLiteral("No"));
    MonClipboard->setChecked(on);
}

void TForm1::MonClipboardClick() {
    // The menu item's tick has already been toggled by choosing it.
    const bool on = MonClipboard->isChecked();
    setStatusPanelText(3, on ? QStringLiteral("Yes") : QStringLiteral("No"));
    CBMonClipboard->setChecked(on);
}

void TForm1::ShowcaptureClick() {
    // Toggled by choosing it; the capture reads the tick.
}

void TForm1::CBValidateClipboardURLClick() {
    m_session.ClipboardValidationOn = CBValidateClipboardURL->isChecked();
    ValidateClipboardURL->setChecked(m_session.ClipboardValidationOn);
}

void TForm1::ValidateClipboardURLClick() {
    CBValidateClipboardURL->setChecked(ValidateClipboardURL->isChecked());
    m_session.ClipboardValidationOn = CBValidateClipboardURL->isChecked();
}

// ---- List commands

void TForm1::refreshNavigate() {
    cyNavigateURL->setEnabled(m_list->selected() >= 0);
}

void TForm1::CheckListBoxURLClickCheck() {
    const bool anyTicked = m_list->tickedCount() > 0;
    cyDeleteChecked->setEnabled(anyTicked);
    cyValidateCheckedURL->setEnabled(anyTicked);
    refreshNavigate();
}

void TForm1::CheckListBoxURLClick() {
    refreshNavigate();
}

void TForm1::cyAdvSpeedButton2Click() {
    m_list->setAllTicked(true);
    CheckListBoxURLClickCheck();
}

void TForm1::cyAdvSpeedButton3Click() {
    m_list->setAllTicked(false);
    CheckListBoxURLClickCheck();
}

void TForm1::cyDeleteCheckedClick() {
    setListStatus(deleteTickedEntries(*m_list, m_session));
    refreshNavigate();
    cyDeleteChecked->setEnabled(false);
}

void TForm1::cyNewListClick() {
    if (newList(*m_list, m_session, *m_services.dialogs))
        setListStatus(QStringLiteral("New"));
    CheckListBoxURLClickCheck();
}

void TForm1::cyNavigateURLClick() {
    const int row = m_list->selected();
    if (row < 0)
        return;
    emit launchUrlRequested(m_list->textAt(row));
}

void TForm1::CheckListBoxURLDblClick() {
    const int row = m_list->selected();
    if (row < 0)
        return;
    try {
        const int mode = doubleClickMode();
        if (mode == 0)
            cyNavigateURL->click();
        else if (mode == 1)
            m_services.dialogs->message(MessageKind::Plain, m_list->textAt(row), Buttons::Ok);
    } catch (...) {
        // A double click that fails simply ends.
    }
}

// ---- List files

SaveValidationOption TForm1::saveValidationOption() const {
    if (CBOValidateChecked->isChecked())
        return SaveValidationOption::TickedEntries;
    if (CBOValidateURL->isChecked())
        return SaveValidationOption::AllEntries;
    return SaveValidationOption::None;
}

void TForm1::SaveURL() {
    m_session.SaveCancelled = false;
    m_session.SaveCancelled =
        !m_saveValidator->validateMainList(*m_list, saveValidationOption(), *PanelValidate);
}

bool TForm1::validateBeforeSave() {
    SaveURL();
    return !m_session.SaveCancelled;
}

void TForm1::setReloadEnabled(bool enabled) {
    cyReloadList->setEnabled(enabled);
}

void TForm1::refreshListCommands() {
    CheckListBoxURLClickCheck();
}

void TForm1::cySaveListClick() {
    m_listFiles->save();
}

void TForm1::cySaveListAsClick() {
    m_listFiles->saveAs();
}

void TForm1::cyLoadListClick() {
    m_listFiles->open();
}

void TForm1::cyReloadListClick() {
    m_listFiles->reload();
}

void TForm1::AcceptFiles(const QStringList& paths) {
    m_listFiles->AcceptFiles(paths);
}

namespace {

// The local files of a drop, in the order given; anything else (web links, text) is not a file drop.
QStringList droppedFiles(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // The files are read once the drop has ended: an error box must not hold up the program they came from.
    QTimer::singleShot(0, this, [this, paths] { AcceptFiles(paths); });
}

// ---- Window states and exit

void TForm1::minimiseApplication() {
    if (isMinimized() && !isVisible())
        return;
    showMinimized();
    ApplicationEvents1Minimize();
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized() && isVisible())
                ApplicationEvents1Minimize();
        });
}

bool TForm1::trayOnDesktop() const {
    Tray* tray = m_services.platform.tray;
    return tray && tray->isAvailable();
}

bool TForm1::exitGoesToTray() const {
    // Without a tray the exits close: the tray menu, the only way out left, would be out of reach.
    return ExitToTray->isChecked() && CBMinimize->isChecked() && trayOnDesktop();
}

void TForm1::ApplicationEvents1Minimize() {
    Tray* tray = m_services.platform.tray;
    // Without a system tray the window goes to the task bar: it is never hidden without a way back.
    if (CBMinimize->isChecked() && trayOnDesktop()) {
        hide();
        setWindowState(windowState() | Qt::WindowMinimized);
        tray->setVisible(true);
        tray->showBalloon(
            QStringLiteral("Restoring Clipvane window"),
            QStringLiteral("Double click the system tray icon to restore the Clipvane window. Right "
                           "click for context menu"));
        return;
    }
    if (tray && tray->isVisible())
        tray->setVisible(false);
    if (!isMinimized())
        showMinimized();
}

void TForm1::TrayIcon1DblClick() {
    if (Tray* tray = m_services.platform.tray)
        tray->setVisible(false);
    showNormal();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void TForm1::StartMinimisedClick() {
    // The tick is read at the next start.
}

void TForm1::ExitToTrayClick() {
    m_session.ExitToTraySetting = ExitToTray->isChecked();
}

bool TForm1::confirmExitWithList() {
    if (!m_session.ListModified)
        return true;
    const Answer a = m_services.dialogs->message(
        MessageKind::Information,
        QStringLiteral("The URL list has not been saved yet. Save this list and exit?"), Buttons::YesNoAbort);
    if (a == Answer::Abort || a == Answer::Closed)
        return false;
    if (a == Answer::Yes && !m_listFiles->writeDefaultList()) {
        m_services.dialogs->message(
            MessageKind::Error, QStringLiteral("The URL list has not been saved. Exiting software aborted."),
            Buttons::Ok);
        return false;
    }
    if (CBSave->isChecked())
        saveOptionsOnExit();
    m_session.OptionsSavedOnExit = true;
    return true;
}

void TForm1::cyAdvSpeedButton1Click() {
    if (exitGoesToTray()) {
        minimiseApplication();
        return;
    }
    if (!confirmExitWithList())
        return;
    closeDecided();
}

void TForm1::Exit1Click() {
    if (ExitToTray->isChecked()) {
        ExitToTray->setChecked(false);
        m_session.ExitToTraySetting = true;
    } else {
        m_session.ExitToTraySetting = false;
    }
    closeDecided();
}

void TForm1::closeDecided() {
    m_exitDecided = true;
    close();
    m_exitDecided = false;
}

bool TForm1::FormCloseQuery() {
    if (exitGoesToTray()) {
        minimiseApplication();
        return false;
    }
    return true;
}

void TForm1::reportOnExit(const QString& text) {
    if (text.isEmpty())
        return;
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    SBMain->showMessage(line);
    std::fprintf(stderr, "Clipvane: %s\n", qPrintable(line));
}

void TForm1::FormClose() {
    if (!m_session.OptionsSavedOnExit && CBSave->isChecked())
        saveOptionsOnExit();
    if (CBSaveHistory->isChecked())
        emit saveHistoryRequested();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The close box (or the desktop) asks the exit command's question; the commands asked already.
    if (!FormCloseQuery() || (!m_exitDecided && !confirmExitWithList())) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    // Closing the main window ends the session, whatever other window is shown.
    m_closing = true;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

} // namespace clipvane
