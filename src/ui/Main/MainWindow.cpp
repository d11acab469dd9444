#include "MainWindow.h"
#include "MainTexts.h"
#include "MainWindowUi.h"

#include "core/CapturedList.h"
#include "core/ErrorReport.h"
#include "core/Options.h"
#include "core/SortUnique.h"
#include "core/Yield.h"
#include "lists/ListCommands.h"
#include "lists/MainListSession.h"
#include "lists/SaveValidation.h"
#include "platform/Clipboard.h"
#include "platform/Tray.h"
#include "prefs/IniFile.h"
#include "sysinfo/AddressWatch.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Placement.h"
#include "ui/widgets/Themes.h"
#include "ui/widgets/ValidationPanel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

namespace clipvane {

using namespace mainwindow;

namespace {

constexpr char kListHintLaunch[] =
    "|Captured URL list. Double click an item to navigate to this URL with the default browser";
constexpr char kListHintShow[] =
    "|Captured URL list. Double click an item to display the URL in full via message dialog";

} // namespace

MainWindow::MainWindow(Services services, Options& options, CapturedList& list, UrlChecker& checker,
                       CheckEngine& engine)
    : m_services(services), m_options(options), m_list(list), m_ui(std::make_unique<Ui>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Clipvane"));
    m_listSession =
        std::make_unique<MainListSession>(list, options, *services.dialogs, static_cast<MainControls&>(*this),
                                          services.platform.paths.defaultListPath());
    buildUi();
    m_saveValidator = std::make_unique<SaveValidator>(
        *services.platform.connectivity, checker, *services.dialogs, letPendingMessagesRun,
        [this](bool enabled) { m_optionsPage->setEnabled(enabled); });
    m_saveValidator->setEngine(&engine);
    m_addressWatch = new AddressWatch(*services.platform.connectivity, *services.platform.http,
                                      services.addresses.publicIpService, letPendingMessagesRun, this);
    connectHandlers();
}

MainWindow::~MainWindow() {
    // FormDestroy: leave the clipboard.
    m_services.platform.clipboard->leave();
}

CheckListModel& MainWindow::list() {
    return m_list.model;
}

void MainWindow::connectHandlers() {
    connectListView();
    connectToolBar();
    connectOptions();
    connectAddressWatch();
}

void MainWindow::connectListView() {
    CheckListModel* model = &m_list.model;
    CheckListView* view = m_ui->urlList;
    connect(model, &CheckListModel::tickedByUser, this, [this] { CheckListBoxURLClickCheck(); });
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, model](const QModelIndex& current) {
                model->setSelected(current.isValid() ? current.row() : -1);
                CheckListBoxURLClick();
            });
    connect(model, &CheckListModel::selectionChanged, this, [model, view](int row) {
        const QModelIndex want = row >= 0 ? model->index(row) : QModelIndex();
        if (view->selectionModel()->currentIndex() != want) {
            if (want.isValid())
                view->selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
            else
                view->selectionModel()->clear();
        }
    });
    connect(view, &QAbstractItemView::doubleClicked, this, [this] { CheckListBoxURLDblClick(); });
}

void MainWindow::connectToolBar() {
    const Ui& u = *m_ui;
    connect(u.tickAllButton, &QToolButton::clicked, this, &MainWindow::cyAdvSpeedButton2Click);
    connect(u.untickAllButton, &QToolButton::clicked, this, &MainWindow::cyAdvSpeedButton3Click);
    connect(u.deleteTickedButton, &QToolButton::clicked, this, &MainWindow::cyDeleteCheckedClick);
    connect(u.newListButton, &QToolButton::clicked, this, &MainWindow::cyNewListClick);
    connect(u.navigateButton, &QToolButton::clicked, this, &MainWindow::cyNavigateURLClick);
    connect(u.saveListButton, &QToolButton::clicked, this, &MainWindow::cySaveListClick);
    connect(u.saveListAsButton, &QToolButton::clicked, this, &MainWindow::cySaveListAsClick);
    connect(u.openListButton, &QToolButton::clicked, this, &MainWindow::cyLoadListClick);
    connect(u.reloadListButton, &QToolButton::clicked, this, &MainWindow::cyReloadListClick);
    connect(u.exitButton, &QToolButton::clicked, this, &MainWindow::cyAdvSpeedButton1Click);
    connect(u.validateTickedButton, &QToolButton::clicked, this, &MainWindow::validateCheckedRequested);

    // Commands that show another window, without blocking this one.
    const auto show = [this](PeerWindow w) { return [this, w] { emit showWindowRequested(w); }; };
    connect(u.browserButton, &QToolButton::clicked, this, show(PeerWindow::Browser));
    connect(u.aboutButton, &QToolButton::clicked, this, show(PeerWindow::About));
    connect(u.historyAction, &QAction::triggered, this, show(PeerWindow::History));
    connect(u.driveInfoAction, &QAction::triggered, this, show(PeerWindow::Drives));
    connect(m_optionsPage, &OptionsPage::showWindowRequested, this, &MainWindow::showWindowRequested);

    connect(u.exitAction, &QAction::triggered, this, &MainWindow::Exit1Click);
    connect(u.restoreAction, &QAction::triggered, this, &MainWindow::TrayIcon1DblClick);
    if (m_services.platform.tray)
        connect(m_services.platform.tray, &Tray::doubleClicked, this, &MainWindow::TrayIcon1DblClick);
}

void MainWindow::connectOptions() {
    const Ui& u = *m_ui;
    Options* o = &m_options;
    // The tray menu's ticks show the options and change them; choosing "Exit minimise the software to
    // tray" also changes the stored choice.
    const auto bindAction = [o](QAction* action, bool on, void (Options::*set)(bool),
                                void (Options::*changed)(bool)) {
        action->setChecked(on);
        connect(action, &QAction::toggled, o, [o, set](bool checked) { (o->*set)(checked); });
        connect(o, changed, action, &QAction::setChecked);
    };
    bindAction(u.monitorClipboardAction, o->monitorClipboard(), &Options::setMonitorClipboard,
               &Options::monitorClipboardChanged);
    bindAction(u.validateClipboardAction, o->validateClipboardUrl(), &Options::setValidateClipboardUrl,
               &Options::validateClipboardUrlChanged);
    bindAction(u.showCaptureAction, o->showCaptureBalloon(), &Options::setShowCaptureBalloon,
               &Options::showCaptureBalloonChanged);
    bindAction(u.startMinimisedAction, o->startMinimised(), &Options::setStartMinimised,
               &Options::startMinimisedChanged);
    bindAction(u.exitToTrayAction, o->exitToTray(), &Options::setExitToTray, &Options::exitToTrayChanged);
    connect(u.exitToTrayAction, &QAction::triggered, this, &MainWindow::ExitToTrayClick);

    connect(o, &Options::monitorClipboardChanged, this, &MainWindow::CBMonClipboardClick);
    connect(o, &Options::deleteInvalidUrlChanged, this, &MainWindow::CBDeleteInvalidURLClick);
    connect(o, &Options::doubleClickModeChanged, this, &MainWindow::RGURLListClick);

    connect(m_optionsPage, &OptionsPage::saveRequested, this, &MainWindow::cySaveOptionsClick);
    connect(m_optionsPage, &OptionsPage::reloadRequested, this, &MainWindow::cyReloadOptionsClick);
    connect(m_optionsPage, &OptionsPage::applyRequested, this, &MainWindow::Button1Click);
    connect(m_optionsPage, &OptionsPage::themeChosen, this, &MainWindow::CBBThemeChange);
}

void MainWindow::connectAddressWatch() {
    // Timer2 watches the connection for the whole session, Timer1 refreshes the address while the watch
    // asks for it.
    QTimer* refresh = m_ui->addressRefreshTimer;
    connect(m_addressWatch, &AddressWatch::panelTextChanged, this,
            [this](const QString& text) { setStatusPanelText(6, text); });
    connect(m_addressWatch, &AddressWatch::refreshRunningChanged, this, [refresh](bool running) {
        if (!running)
            refresh->stop();
        else if (!refresh->isActive())
            refresh->start();
    });
    connect(refresh, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    connect(m_ui->connectionWatchTimer, &QTimer::timeout, this, &MainWindow::Timer2Timer);
    m_ui->connectionWatchTimer->start();
}

// ---- Creation

void MainWindow::FormCreate() {
    showFormHint();
    presetListDialogs();
    LoadINIFile();
    applyStoredTheme();
    startAddressWatch();
    joinClipboard();
    m_listSession->loadAtStartup();
    acceptDrops();
    showNoValidUrlYet();
    showValidateHint();
    m_startMinimised = m_options.startMinimised();
}

void MainWindow::showFormHint() {
    setHint(this,
            QStringLiteral("|This is where appears hints. Hover over the form, a button to know more."));
    letPendingMessagesRun();
}

void MainWindow::presetListDialogs() {
    // The list dialogs start in the default list's folder with its name.
    m_listSession->files().presetDialogs();
    letPendingMessagesRun();
    letPendingMessagesRun();
}

void MainWindow::applyStoredTheme() {
    Button1Click();
    letPendingMessagesRun();
}

void MainWindow::startAddressWatch() {
    // The address is asked for on a worker once the window is up.
    m_addressWatch->showAtStartup(kFirstAddressRequestDelayMs);
    m_ui->addressRefreshTimer->stop();
    letPendingMessagesRun();
    letPendingMessagesRun();
}

void MainWindow::joinClipboard() {
    // What is on the clipboard now is not captured: the pipeline is connected after these steps.
    m_services.platform.clipboard->join();
}

void MainWindow::acceptDrops() {
    // Files dropped on the window are read as lists (AcceptFiles).
    setAcceptDrops(true);
}

void MainWindow::showNoValidUrlYet() {
    setMemoText(QString::fromLatin1(kNoPreviousValidUrl));
}

void MainWindow::showValidateHint() {
    CBDeleteInvalidURLClick();
}

void MainWindow::showAtStart() {
    show();
    if (m_startMinimised)
        minimiseApplication();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_firstShowPending) {
        // The stored position gives way to the centre of the desktop; the stored size stays.
        centreOnScreen(*this);
        m_firstShowPending = false;
        // The hints must describe what a double click does from the start, not only after a change.
        showDoubleClickHints(m_options.doubleClickMode());
    }
}

// ---- Status bar and the window's own displays

QString MainWindow::statusPanelText(int panel) const {
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void MainWindow::setStatusPanelText(int panel, const QString& text) {
    if (QLabel* l = m_panels.value(panel))
        l->setText(text);
}

void MainWindow::RaiseLastError(const OsError& error) {
    clipvane::RaiseLastError(*m_services.dialogs, error);
}

QString MainWindow::validateHint() const {
    return hintOf(m_ui->validateTickedButton);
}

void MainWindow::setToolBarEnabled(bool enabled) {
    m_ui->listToolBar->setEnabled(enabled);
}

void MainWindow::setMemoText(const QString& text) {
    m_memoText = text;
    m_ui->captureText->setPlainText(
        text.size() > kMemoDisplayLimit ? text.left(kMemoDisplayLimit) + QChar(0x2026) : text);
}

void MainWindow::showCaptureBalloon(const QString& candidate) {
    Tray* tray = m_services.platform.tray;
    if (tray && tray->isVisible())
        tray->showBalloon(QStringLiteral("Captured URL"), candidate);
}

void MainWindow::setListStatus(const QString& status) {
    setStatusPanelText(1, status);
}

void MainWindow::Timer1Timer() {
    m_addressWatch->refreshTick();
}

void MainWindow::Timer2Timer() {
    m_addressWatch->watchTick();
}

void MainWindow::showMonitorStatus(bool on) {
    setStatusPanelText(3, on ? QStringLiteral("Yes") : QStringLiteral("No"));
}

void MainWindow::CBMonClipboardClick() {
    showMonitorStatus(m_options.monitorClipboard());
}

// ---- List commands

void MainWindow::refreshNavigate() {
    m_ui->navigateButton->setEnabled(m_list.model.selected() >= 0);
}

void MainWindow::CheckListBoxURLClickCheck() {
    const bool anyTicked = m_list.model.tickedCount() > 0;
    m_ui->deleteTickedButton->setEnabled(anyTicked);
    m_ui->validateTickedButton->setEnabled(anyTicked);
    refreshNavigate();
}

void MainWindow::CheckListBoxURLClick() {
    refreshNavigate();
}

void MainWindow::cyAdvSpeedButton2Click() {
    m_list.model.setAllTicked(true);
    CheckListBoxURLClickCheck();
}

void MainWindow::cyAdvSpeedButton3Click() {
    m_list.model.setAllTicked(false);
    CheckListBoxURLClickCheck();
}

void MainWindow::cyDeleteCheckedClick() {
    setListStatus(deleteTickedEntries(m_list));
    refreshNavigate();
    m_ui->deleteTickedButton->setEnabled(false);
}

void MainWindow::cyNewListClick() {
    if (newList(m_list, *m_services.dialogs))
        setListStatus(QStringLiteral("New"));
    CheckListBoxURLClickCheck();
}

void MainWindow::cyNavigateURLClick() {
    const int row = m_list.model.selected();
    if (row < 0)
        return;
    emit launchUrlRequested(m_list.model.textAt(row));
}

void MainWindow::CheckListBoxURLDblClick() {
    m_listSession->doubleClicked();
}

void MainWindow::launchUrl(const QString& url) {
    emit launchUrlRequested(url);
}

// ---- List files

bool MainWindow::SaveURL() {
    m_listSession->setSaveCancelled(false);
    const bool goesOn =
        m_saveValidator->validateMainList(m_list.model, m_options.saveValidation(), *m_ui->validationPanel);
    m_listSession->setSaveCancelled(!goesOn);
    return goesOn;
}

bool MainWindow::validateBeforeSave() {
    return SaveURL();
}

void MainWindow::setReloadEnabled(bool enabled) {
    m_ui->reloadListButton->setEnabled(enabled);
}

void MainWindow::refreshListCommands() {
    CheckListBoxURLClickCheck();
}

void MainWindow::cySaveListClick() {
    m_listSession->files().save();
}

void MainWindow::cySaveListAsClick() {
    m_listSession->files().saveAs();
}

void MainWindow::cyLoadListClick() {
    m_listSession->files().open();
}

void MainWindow::cyReloadListClick() {
    m_listSession->files().reload();
}

void MainWindow::AcceptFiles(const QStringList& paths) {
    m_listSession->files().AcceptFiles(paths);
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

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // The files are read once the drop has ended: an error box must not hold up the program they came from.
    QTimer::singleShot(0, this, [this, paths] { AcceptFiles(paths); });
}

// ---- Window states and exit

void MainWindow::minimiseApplication() {
    if (isMinimized() && !isVisible())
        return;
    showMinimized();
    ApplicationEvents1Minimize();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized() && isVisible())
                ApplicationEvents1Minimize();
        });
}

bool MainWindow::trayAvailable() const {
    Tray* tray = m_services.platform.tray;
    return tray && tray->isAvailable();
}

void MainWindow::ApplicationEvents1Minimize() {
    Tray* tray = m_services.platform.tray;
    // Without a system tray the window goes to the task bar: it is never hidden without a way back.
    if (m_options.systemTray() && trayAvailable()) {
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

void MainWindow::TrayIcon1DblClick() {
    if (Tray* tray = m_services.platform.tray)
        tray->setVisible(false);
    showNormal();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void MainWindow::restoreFromTray() {
    m_ui->restoreAction->trigger();
}

void MainWindow::ExitToTrayClick() {
    m_options.setExitToTrayChoice(m_ui->exitToTrayAction->isChecked());
}

void MainWindow::cyAdvSpeedButton1Click() {
    m_listSession->exitCommand();
}

void MainWindow::Exit1Click() {
    m_listSession->exitFromTray();
}

void MainWindow::exitFromTray() {
    m_ui->exitAction->trigger();
}

void MainWindow::closeWindow() {
    close();
}

void MainWindow::saveOptionsOnExit() {
    reportOnExit(saveReportMessage(writeOptionsFile()));
}

void MainWindow::saveHistoryOnExit() {
    emit saveHistoryRequested();
}

void MainWindow::showStartNotes(const QStringList& notes) {
    // Each once, for a while, one after the other (after those still to come) so that each is seen whole;
    // the panels come back afterwards.
    constexpr int kNoteMs = 20000;
    QStatusBar* bar = m_ui->statusBar;
    const qint64 start = m_notesEnd.remainingTime();
    for (int i = 0; i < notes.size(); ++i) {
        const qint64 at = start + i * kNoteMs;
        if (at == 0)
            bar->showMessage(notes[i], kNoteMs);
        else
            QTimer::singleShot(at, bar, [bar, note = notes[i]] { bar->showMessage(note, kNoteMs); });
    }
    m_notesEnd.setRemainingTime(start + notes.size() * kNoteMs);
}

void MainWindow::reportOnExit(const QString& text) {
    if (text.isEmpty())
        return;
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    m_ui->statusBar->showMessage(line);
    std::fprintf(stderr, "Clipvane: %s\n", qPrintable(line));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_listSession->closeRequested()) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the main window ends the session, whatever other window is shown.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

// ---- Options page and preferences

void MainWindow::LoadINIFile() {
    readMainOptions(true);
}

void MainWindow::readMainOptions(bool withPlacement) {
    // A missing file reads as empty and is not created.
    const IniFile ini(m_services.platform.paths.iniPath());
    loadOptions(ini, m_services.addresses.searchHost, m_options);
    if (withPlacement)
        applyStoredPlacement(*this, readPlacement(ini, ini::Placement));
    m_optionsPage->setReloadEnabled(QFileInfo::exists(ini.path()));
}

void MainWindow::cySaveOptionsClick() {
    const SaveReport report = writeOptionsFile();
    m_services.dialogs->message(report.outcome == SaveOutcome::Saved ? MessageKind::Information
                                                                     : MessageKind::Error,
                                saveReportMessage(report), Buttons::Ok);
}

SaveReport MainWindow::writeOptionsFile() {
    const QString path = m_services.platform.paths.iniPath();
    IniFile ini(path);
    PreferenceSnapshot s = snapshotOf(m_options);
    s.mainPlacement = currentPlacement(*this);
    if (m_optionsSources.browserPlacement)
        s.browserWindowPlacement = m_optionsSources.browserPlacement();
    if (m_optionsSources.browserChoice)
        s.browserChoice = m_optionsSources.browserChoice();

    const SaveReport report = writePreferences(ini, s);
    const bool exists = QFileInfo::exists(path);
    m_optionsPage->setReloadEnabled(exists);
    emit optionsFileWritten(exists);
    return report;
}

void MainWindow::cyReloadOptionsClick() {
    // Re-reads the options as start-up does, except the window's placement: the window stays where it is.
    // The double-click mode and the theme take effect at once, as a user's choice would.
    readMainOptions(false);
    CBBThemeChange();
}

void MainWindow::Button1Click() {
    applyTheme(m_options.themeIndex());
}

void MainWindow::CBBThemeChange() {
    if (m_firstShowPending)
        return;
    applyTheme(m_options.themeIndex());
    update();
}

void MainWindow::RGURLListClick() {
    if (m_firstShowPending)
        return;
    showDoubleClickHints(m_options.doubleClickMode());
}

void MainWindow::showDoubleClickHints(int mode) {
    if (mode != 0 && mode != 1)
        return;
    setHint(m_ui->urlList, QString::fromLatin1(mode == 0 ? kListHintLaunch : kListHintShow));
    // The report's valid list follows; the browser list's hint names both actions and stays.
    emit doubleClickModeChanged(mode);
}

void MainWindow::CBDeleteInvalidURLClick() {
    setHint(m_ui->validateTickedButton,
            QString::fromLatin1(m_options.deleteInvalidUrl() ? kValidateHintDelete : kValidateHintReport));
}

} // namespace clipvane
