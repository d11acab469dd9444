#include "MainTexts.h"
#include "MainWindow.h"
#include "MainWindowUi.h"

#include "core/CapturedList.h"
#include "platform/Tray.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/ToolBar.h"
#include "ui/widgets/ValidationPanel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace clipvane {

using namespace mainwindow;

namespace {

QAction* menuAction(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {},
                    bool checkable = false, bool checked = false) {
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(shortcut);
    a->setCheckable(checkable);
    a->setChecked(checked);
    return a;
}

void separator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

} // namespace

void MainWindow::buildUi() {
    QApplication::setWindowIcon(applicationIcon());
    setWindowIcon(applicationIcon());
    resize(717, 436);
    // The smallest window is 733 x 473 with the frame of the desktop it was designed on, that is the design
    // client area: the window manager draws its own frame around the client area here.
    setMinimumSize(717, 436);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_ui->pages = named(new QTabWidget(central), "PageControl1");
    setHint(m_ui->pages,
            QStringLiteral("|Option Tab: contains all the options and settings of the software"));
    m_ui->pages->setDocumentMode(true);
    m_ui->captureTab = buildCaptureTab();
    m_optionsPage = new OptionsPage(m_services, m_options);
    m_ui->pages->addTab(m_ui->captureTab, QStringLiteral("URL Capture"));
    m_ui->pages->addTab(m_optionsPage, QStringLiteral("Software Options"));
    addTabSwitchKeys(m_ui->pages);
    layout->addWidget(m_ui->pages, 1);

    m_ui->hintPanel = hintPanel(central);
    setHint(m_ui->hintPanel, defaultPanelHint());
    layout->addWidget(m_ui->hintPanel);
    setCentralWidget(central);

    buildStatusBar();
    buildTrayMenu();

    m_ui->addressRefreshTimer = named(new QTimer(this), "Timer1");
    m_ui->addressRefreshTimer->setInterval(1000);
    m_ui->connectionWatchTimer = named(new QTimer(this), "Timer2");
    m_ui->connectionWatchTimer->setInterval(1000);
}

QWidget* MainWindow::buildCaptureTab() {
    auto* tab = named(new QWidget, "TabSheet1");
    auto* v = new QVBoxLayout(tab);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    QWidget* bar = m_ui->listToolBar = named(new QWidget(tab), "Panel1");
    bar->setFixedHeight(60);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 6, 4, 6);
    row->setSpacing(2);
    const QList<QToolButton*> files = toolButtons(
        bar, {
                 {"cyNewList", "new-list", "New", "|Create a new URL list"},
                 {"cySaveList", "save-list", "Save", "|Save the list to the application folder."},
                 {"cySaveListAs", "save-list-as", "Save as",
                  "|Save the list as: Text, HTML document, List or any type of document in the folder of "
                  "your choice."},
                 {"cyReloadList", "reload-list", "Reload", "|Reload the software URL list"},
                 {"cyLoadList", "open-list", "Open", "|Open a previous saved list"},
             });
    const QList<QToolButton*> entries = toolButtons(
        bar, {
                 {"cyAdvSpeedButton2", "tick-all", "Tick", "|Tick all the items in the URL list"},
                 {"cyAdvSpeedButton3", "untick-all", "Untick", "|Untick all the items in the URL list"},
                 {"cyDeleteChecked", "delete-ticked", "Delete",
                  "|Delete all ticked item from the Captured URL list"},
                 {"cyNavigateURL", "navigate", "Go", "|Navigate with default browser to the selected item"},
                 {"cyValidateCheckedURL", "validate-ticked", "Check", kValidateHintReport},
                 {"cyAdvSpeedButton6", "browser", "Browser",
                  "|Integrated Web Browser, permits to grab all URL from one URL address"},
                 {"cyAdvSpeedButton8", "about", "About",
                  "|Show the about box dialog which contains the license and other informations"},
             });
    ToolButtonLook narrow;
    narrow.size = QSize(40, 48);
    m_ui->exitButton =
        toolButton(bar,
                   {"cyAdvSpeedButton1", "exit", "Exit",
                    "|Exit the software. Proposes save and exit if the URL list has not been saved yet."},
                   narrow);
    m_ui->newListButton = files[0];
    m_ui->saveListButton = files[1];
    m_ui->saveListAsButton = files[2];
    m_ui->reloadListButton = files[3];
    m_ui->openListButton = files[4];
    m_ui->tickAllButton = entries[0];
    m_ui->untickAllButton = entries[1];
    m_ui->deleteTickedButton = entries[2];
    m_ui->navigateButton = entries[3];
    m_ui->validateTickedButton = entries[4];
    m_ui->browserButton = entries[5];
    m_ui->aboutButton = entries[6];
    for (QToolButton* b : files)
        row->addWidget(b);
    // From tick-all on, the buttons keep their distance from the right edge.
    row->addStretch(1);
    for (QToolButton* b : entries)
        row->addWidget(b);
    row->addWidget(m_ui->exitButton);
    m_ui->deleteTickedButton->setEnabled(false);
    m_ui->navigateButton->setEnabled(false);
    m_ui->validateTickedButton->setEnabled(false);
    v->addWidget(bar);

    m_ui->validationPanel = named(new ValidationPanel(tab), "PanelValidate");
    v->addWidget(m_ui->validationPanel);

    QPlainTextEdit* memo = m_ui->captureText = named(new QPlainTextEdit(tab), "Memo1");
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 2 + 12);
    setHint(memo, QStringLiteral("|Latest clipboard URL capture."));
    v->addWidget(memo);

    m_ui->urlList = named(new CheckListView(tab), "CheckListBoxURL");
    m_ui->urlList->setModel(&m_list.model);
    setHint(m_ui->urlList, QStringLiteral("|Captured URL list. Double click an item to navigate to this URL "
                                          "with the default browser"));
    v->addWidget(m_ui->urlList, 1);
    return tab;
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = m_ui->statusBar = named(new QStatusBar(this), "SBMain");
    bar->setSizeGripEnabled(true);
    setHint(bar,
            QStringLiteral("|Status of the list (save, new,...), Status of the clipboard and other various "
                           "information shows in this status bar"));
    // The design widths, widened where this desktop's font needs more room for the texts a panel shows.
    // The panels sit close together in one row so that the bar fits the smallest window: the progress
    // panel gives up what the wider font takes, down to its longest text, and the address panel takes
    // what is left (a whole IPv4 address at least, an IPv6 one on a wider window).
    auto* row = new QWidget(bar);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    const int widths[] = {90, 90, 130, 30, 200, 24, 50};
    const char* texts[] = {"URL list status:", "", "Clipboard monitored:", "Yes", "", "IP:", ""};
    const QStringList longest[] = {{QStringLiteral("URL list status:")},
                                   {QStringLiteral("Modified"), QStringLiteral("Append")},
                                   {QStringLiteral("Clipboard monitored:")},
                                   {QStringLiteral("Yes"), QStringLiteral("No")},
                                   {QStringLiteral("Validating URL 9999 of 9999")},
                                   {QStringLiteral("IP:")},
                                   {QStringLiteral("255.255.255.255"), QStringLiteral("Disconnected")}};
    for (int i = 0; i < 7; ++i) {
        auto* panel = new QLabel(QString::fromLatin1(texts[i]), row);
        // Panels show what others send (an echo service's answer): never as rich text.
        panel->setTextFormat(Qt::PlainText);
        panel->setObjectName(QStringLiteral("SBMainPanel%1").arg(i));
        setPanelFrame(panel, 3, i == 5);
        int needed = 0;
        for (const QString& text : longest[i])
            needed = std::max(needed, panel->fontMetrics().horizontalAdvance(text) + 2 * panel->frameWidth() +
                                          panel->indent() + 2);
        if (i == 4 || i == 6) {
            // A long text never widens the window.
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            panel->setMinimumWidth(i == 4 ? std::min(needed, widths[i]) : std::max(needed, widths[i]));
            if (i == 4)
                panel->setMaximumWidth(widths[i]);
            h->addWidget(panel, 1);
        } else {
            panel->setFixedWidth(std::max(needed, widths[i]));
            h->addWidget(panel);
        }
        m_panels.append(panel);
    }
    bar->addWidget(row, 1);
    setStatusBar(bar);
}

void MainWindow::buildTrayMenu() {
    Ui& u = *m_ui;
    QMenu* menu = u.trayMenu = named(new QMenu(this), "PopupMenu1");
    u.restoreAction = menuAction(menu, "RestoreClipvane1", QStringLiteral("Restore Clipvane"),
                                 QKeySequence(QStringLiteral("Ctrl+Alt+R")));
    separator(menu, "N3");
    u.clipboardMenu = named(menu->addMenu(QStringLiteral("Clipboard")), "Clipboard1");
    u.monitorClipboardAction =
        menuAction(u.clipboardMenu, "MonClipboard", QStringLiteral("Monitor Clipboard URL"),
                   QKeySequence(QStringLiteral("Ctrl+Alt+C")), true, true);
    u.validateClipboardAction =
        menuAction(u.clipboardMenu, "ValidateClipboardURL", QStringLiteral("Validate Clipboard URL"),
                   QKeySequence(QStringLiteral("Ctrl+Alt+V")), true, false);
    separator(u.clipboardMenu, "N4");
    u.showCaptureAction =
        menuAction(u.clipboardMenu, "Showcapture", QStringLiteral("Show clipboard captured URL in a balloon"),
                   QKeySequence(QStringLiteral("Ctrl+Alt+S")), true, true);
    separator(menu, "N1");
    u.showMenu = named(menu->addMenu(QStringLiteral("Show")), "ShowCaptureHistory1");
    u.historyAction = menuAction(u.showMenu, "Capturehistory1", QStringLiteral("Capture history"),
                                 QKeySequence(QStringLiteral("Ctrl+Alt+H")));
    u.driveInfoAction =
        menuAction(u.showMenu, "Alldriveinformation1", QStringLiteral("All drive information"),
                   QKeySequence(QStringLiteral("Ctrl+Alt+I")));
    separator(menu, "N5");
    u.optionsMenu = named(menu->addMenu(QStringLiteral("Options")), "Options1");
    u.startMinimisedAction = menuAction(u.optionsMenu, "StartMinimised",
                                        QStringLiteral("Start the software minimised"), {}, true, false);
    u.exitToTrayAction = menuAction(u.optionsMenu, "ExitToTray",
                                    QStringLiteral("Exit minimise the software to tray"), {}, true, false);
    separator(menu, "N2");
    u.exitAction = menuAction(menu, "Exit1", QStringLiteral("Exit"));
    // The shortcuts also act while the window is shown, and from every Clipvane window where the desktop
    // lets no program grab them for the whole desktop.
    for (QAction* a : trayActions()) {
        a->setShortcutContext(Qt::ApplicationShortcut);
        addAction(a);
    }
    if (m_services.platform.tray)
        m_services.platform.tray->setContextMenu(menu);
}

QList<QAction*> MainWindow::trayActions() const {
    const Ui& u = *m_ui;
    return {u.restoreAction,     u.monitorClipboardAction, u.validateClipboardAction,
            u.showCaptureAction, u.historyAction,          u.driveInfoAction};
}

} // namespace clipvane
