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
#include "prefs/UrlLauncher.h"
#include "sysinfo/AddressWatch.h"
#include "ui/widgets/BlinkLabel.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/Placement.h"
#include "ui/widgets/Themes.h"
#include "ui/widgets/ValidationPanel.h"

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

namespace clipvane {

using namespace mainwindow;

namespace {

// The picture of each tool button of both button bars.
QString pictureOf(const char* button) {
    static const QHash<QLatin1String, const char*> pictures{
        {QLatin1String("cyNewList"), "new-list"},
        {QLatin1String("cySaveList"), "save-list"},
        {QLatin1String("cySaveListAs"), "save-list-as"},
        {QLatin1String("cyReloadList"), "reload-list"},
        {QLatin1String("cyLoadList"), "open-list"},
        {QLatin1String("cyAdvSpeedButton2"), "tick-all"},
        {QLatin1String("cyAdvSpeedButton3"), "untick-all"},
        {QLatin1String("cyDeleteChecked"), "delete-ticked"},
        {QLatin1String("cyNavigateURL"), "navigate"},
        {QLatin1String("cyValidateCheckedURL"), "validate-ticked"},
        {QLatin1String("cyAdvSpeedButton6"), "browser"},
        {QLatin1String("cyAdvSpeedButton8"), "about"},
        {QLatin1String("cyAdvSpeedButton1"), "exit"},
        {QLatin1String("cySaveOptions"), "save-options"},
        {QLatin1String("cyReloadOptions"), "reload-options"},
        {QLatin1String("cyResetOptions"), "reset-options"},
        {QLatin1String("cyAdvSpeedButton5"), "choose-browser"},
        {QLatin1String("cyShowCaptureHistory"), "history"},
        {QLatin1String("cyDownloadUpdate"), "download-update"},
        {QLatin1String("cyAdvSpeedButton4"), "desktop-shortcut"},
    };
    return QString::fromLatin1(pictures.value(QLatin1String(button)));
}

// A picture button: no caption on the face (the hint panel explains it); the caption names it for
// assistive technology.
QToolButton* toolButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                        int width = 48) {
    return pictureButton(parent, name, pictureOf(name), caption, hint, QSize(width, 48));
}

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

void TForm1::buildUi() {
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

    PageControl1 = named(new QTabWidget(central), "PageControl1");
    setHint(PageControl1,
            QStringLiteral("|Option Tab: contains all the options and settings of the software"));
    PageControl1->setDocumentMode(true);
    TabSheet1 = buildCaptureTab();
    TabSheetOptions = buildOptionsTab();
    PageControl1->addTab(TabSheet1, QStringLiteral("URL Capture"));
    PageControl1->addTab(TabSheetOptions, QStringLiteral("Software Options"));
    addTabSwitchKeys(PageControl1);
    // The bottom row of the options reads history, window minimise, home page, left to right.
    QWidget::setTabOrder(CBLoadDefaultList, CBSaveHistory);
    QWidget::setTabOrder(CBSaveHistory, CBLoadHistory);
    QWidget::setTabOrder(CBLoadHistory, CBMinimize);
    QWidget::setTabOrder(CBMinimize, Edit1);
    layout->addWidget(PageControl1, 1);

    HintPanel = named(new QLabel(central), "HintPanel");
    HintPanel->setFixedHeight(41);
    HintPanel->setWordWrap(true);
    setPanelFrame(HintPanel, 6);
    setHint(HintPanel,
            QStringLiteral(
                "|Here appears all the hints. Hover over a list, button, ... to display a hint about it"));
    layout->addWidget(HintPanel);
    setCentralWidget(central);

    buildStatusBar();
    buildTrayMenu();

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);
    Timer2 = named(new QTimer(this), "Timer2");
    Timer2->setInterval(1000);
}

QWidget* TForm1::buildCaptureTab() {
    auto* tab = named(new QWidget, "TabSheet1");
    auto* v = new QVBoxLayout(tab);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    Panel1 = named(new QWidget(tab), "Panel1");
    Panel1->setFixedHeight(60);
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(4, 6, 4, 6);
    bar->setSpacing(2);
    cyNewList =
        toolButton(Panel1, "cyNewList", QStringLiteral("New"), QStringLiteral("|Create a new URL list"));
    cySaveList = toolButton(Panel1, "cySaveList", QStringLiteral("Save"),
                            QStringLiteral("|Save the list to the application folder."));
    cySaveListAs = toolButton(Panel1, "cySaveListAs", QStringLiteral("Save as"),
                              QStringLiteral("|Save the list as: Text, HTML document, List or any type of "
                                             "document in the folder of your choice."));
    cyReloadList = toolButton(Panel1, "cyReloadList", QStringLiteral("Reload"),
                              QStringLiteral("|Reload the software URL list"));
    cyLoadList = toolButton(Panel1, "cyLoadList", QStringLiteral("Open"),
                            QStringLiteral("|Open a previous saved list"));
    cyAdvSpeedButton2 = toolButton(Panel1, "cyAdvSpeedButton2", QStringLiteral("Tick"),
                                   QStringLiteral("|Tick all the items in the URL list"));
    cyAdvSpeedButton3 = toolButton(Panel1, "cyAdvSpeedButton3", QStringLiteral("Untick"),
                                   QStringLiteral("|Untick all the items in the URL list"));
    cyDeleteChecked = toolButton(Panel1, "cyDeleteChecked", QStringLiteral("Delete"),
                                 QStringLiteral("|Delete all ticked item from the Captured URL list"));
    cyNavigateURL = toolButton(Panel1, "cyNavigateURL", QStringLiteral("Go"),
                               QStringLiteral("|Navigate with default browser to the selected item"));
    cyValidateCheckedURL = toolButton(Panel1, "cyValidateCheckedURL", QStringLiteral("Check"),
                                      QString::fromLatin1(kValidateHintReport));
    cyAdvSpeedButton6 =
        toolButton(Panel1, "cyAdvSpeedButton6", QStringLiteral("Browser"),
                   QStringLiteral("|Integrated Web Browser, permits to grab all URL from one URL address"));
    cyAdvSpeedButton8 = toolButton(
        Panel1, "cyAdvSpeedButton8", QStringLiteral("About"),
        QStringLiteral("|Show the about box dialog which contains the license and other informations"));
    cyAdvSpeedButton1 = toolButton(
        Panel1, "cyAdvSpeedButton1", QStringLiteral("Exit"),
        QStringLiteral("|Exit the software. Proposes save and exit if the URL list has not been saved yet."),
        40);
    for (QToolButton* b : {cyNewList, cySaveList, cySaveListAs, cyReloadList, cyLoadList})
        bar->addWidget(b);
    // From tick-all on, the buttons keep their distance from the right edge.
    bar->addStretch(1);
    for (QToolButton* b : {cyAdvSpeedButton2, cyAdvSpeedButton3, cyDeleteChecked, cyNavigateURL,
                           cyValidateCheckedURL, cyAdvSpeedButton6, cyAdvSpeedButton8, cyAdvSpeedButton1})
        bar->addWidget(b);
    cyDeleteChecked->setEnabled(false);
    cyNavigateURL->setEnabled(false);
    cyValidateCheckedURL->setEnabled(false);
    v->addWidget(Panel1);

    PanelValidate = named(new ValidationPanel(tab), "PanelValidate");
    ImageValidate = PanelValidate->ImageValidate;
    LabelValidating = PanelValidate->LabelValidating;
    LabelPleaseWait = PanelValidate->LabelPleaseWait;
    LabelURLInValidation = PanelValidate->LabelURLInValidation;
    LabelURLLeftToValidate = PanelValidate->LabelURLLeftToValidate;
    LabelURLCount = PanelValidate->LabelURLCount;
    PBValid = PanelValidate->PBValid;
    v->addWidget(PanelValidate);

    Memo1 = named(new QPlainTextEdit(tab), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 2 + 12);
    setHint(Memo1, QStringLiteral("|Latest clipboard URL capture."));
    v->addWidget(Memo1);

    CheckListBoxURL = named(new CheckListView(tab), "CheckListBoxURL");
    CheckListBoxURL->setModel(m_list);
    setHint(CheckListBoxURL,
            QStringLiteral("|Captured URL list. Double click an item to navigate to this URL "
                           "with the default browser"));
    v->addWidget(CheckListBoxURL, 1);
    return tab;
}

QWidget* TForm1::buildOptionsTab() {
    auto* tab = named(new QWidget, "TabSheetOptions");
    auto* v = new QVBoxLayout(tab);
    v->setContentsMargins(0, 0, 0, 0);

    Panel2 = named(new QWidget(tab), "Panel2");
    Panel2->setFixedHeight(60);
    auto* bar = new QHBoxLayout(Panel2);
    bar->setContentsMargins(4, 6, 4, 6);
    cySaveOptions = toolButton(Panel2, "cySaveOptions", QStringLiteral("Save"),
                               QStringLiteral("|Save the list to the application folder."));
    cyReloadOptions =
        toolButton(Panel2, "cyReloadOptions", QStringLiteral("Reload"),
                   QStringLiteral("|Reload previously all saved options of the software on this page"));
    cyReloadOptions->setEnabled(false);
    cyResetOptions =
        toolButton(Panel2, "cyResetOptions", QStringLiteral("Reset"),
                   QStringLiteral("|Reset to factory default all the options of the software on this page"));
    cyAdvSpeedButton5 = toolButton(
        Panel2, "cyAdvSpeedButton5", QStringLiteral("Browser"),
        QStringLiteral("|Open a dialog window to modify the browser use for navigation by the software"));
    cyShowCaptureHistory = toolButton(Panel2, "cyShowCaptureHistory", QStringLiteral("History"),
                                      QStringLiteral("|View Captured URL History"));
    cyDownloadUpdate = toolButton(Panel2, "cyDownloadUpdate", QStringLiteral("Update"),
                                  QStringLiteral("|Download on line the latest update..."));
    cyAdvSpeedButton4 = toolButton(Panel2, "cyAdvSpeedButton4", QStringLiteral("Shortcut"),
                                   QStringLiteral("|Create a shortcut of Clipvane on the desktop"));
    for (QToolButton* b : {cySaveOptions, cyReloadOptions, cyResetOptions, cyAdvSpeedButton5,
                           cyShowCaptureHistory, cyDownloadUpdate, cyAdvSpeedButton4})
        bar->addWidget(b);
    bar->addStretch(1);
    v->addWidget(Panel2);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setSpacing(6);
    v->addLayout(grid, 1);

    auto* groupBox2 = named(new QGroupBox(QStringLiteral("Clipboard"), tab), "GroupBox2");
    CBMonClipboard = checkBox(groupBox2, "CBMonClipboard", QStringLiteral("Monitor clipboard for URL"),
                              QStringLiteral("|Tick to monitor the clipboard for URL input"), true);
    (new QVBoxLayout(groupBox2))->addWidget(CBMonClipboard);
    grid->addWidget(groupBox2, 0, 0, 1, 2);

    RGURLList =
        named(new QGroupBox(QStringLiteral("Clipboard capture URL, Integrated browser, Valid List"), tab),
              "RGURLList");
    setHint(RGURLList,
            QStringLiteral("|What to do when double clicking on a captured URL (Main window), captured URL "
                           "from page (Browser window), Valid URL (Report window)"));
    RGURLListGroup = new QButtonGroup(RGURLList);
    auto* rgLayout = new QVBoxLayout(RGURLList);
    auto* launch =
        named(new QRadioButton(QStringLiteral("Double click launch URL"), RGURLList), "RGURLList0");
    auto* show = named(new QRadioButton(QStringLiteral("Double click show URL"), RGURLList), "RGURLList1");
    RGURLListGroup->addButton(launch, 0);
    RGURLListGroup->addButton(show, 1);
    launch->setChecked(true);
    rgLayout->addWidget(launch);
    rgLayout->addWidget(show);
    grid->addWidget(RGURLList, 1, 0, 1, 2);

    auto* groupBox1 = named(new QGroupBox(QStringLiteral("On line"), tab), "GroupBox1");
    auto* g1 = new QVBoxLayout(groupBox1);
    CBOValidateURL =
        checkBox(groupBox1, "CBOValidateURL", QStringLiteral("Validate URL list when saving"),
                 QStringLiteral("|Validate all the captured URL in the list and delete bad URL from "
                                "the list before saving"));
    CBOValidateChecked = checkBox(
        groupBox1, "CBOValidateChecked", QStringLiteral("Validate checked URL list when saving"),
        QStringLiteral("|Validate all the captured ticked URL in the list and delete bad ticked URL from "
                       "the list before saving"));
    CBDeleteInvalidURL =
        checkBox(groupBox1, "CBDeleteInvalidURL", QStringLiteral("Delete invalid URL instead of report"),
                 QStringLiteral("|Choose what to do when you trigger a validation of ticked captured "
                                "URL. Trigger of validation is done by click on its tool (Globe with "
                                "hammer)"));
    CBValidateClipboardURL = checkBox(
        groupBox1, "CBValidateClipboardURL", QStringLiteral("Validate Clipboard URL"),
        QStringLiteral("|Tick:  invalid URL can't be added to most URL list of this software. Untick: "
                       "simple control of the format of the URL. Validation can be done later."));
    for (QCheckBox* c : {CBOValidateURL, CBOValidateChecked, CBDeleteInvalidURL, CBValidateClipboardURL})
        g1->addWidget(c);
    grid->addWidget(groupBox1, 0, 2, 2, 2);

    auto* groupBox4 = named(new QGroupBox(QStringLiteral("Options settings"), tab), "GroupBox4");
    CBSave = checkBox(groupBox4, "CBSave", QStringLiteral("Save options on exiting the software"),
                      QStringLiteral("|Tick to save the options on exiting the software into the application "
                                     "folder. Untick to not save the options on exit."));
    (new QVBoxLayout(groupBox4))->addWidget(CBSave);
    grid->addWidget(groupBox4, 2, 0, 1, 2);

    auto* groupBox5 = named(new QGroupBox(QStringLiteral("Skin theme"), tab), "GroupBox5");
    auto* g5 = new QHBoxLayout(groupBox5);
    CBBTheme = named(new QComboBox(groupBox5), "CBBTheme");
    CBBTheme->addItems(themeEntries());
    CBBTheme->setCurrentIndex(0);
    setHint(
        CBBTheme,
        QStringLiteral("|Choose one of the six themes to skin the software that suits the look of your PC"));
    Button1 = named(new QPushButton(QStringLiteral("Apply"), groupBox5), "Button1");
    Button1->hide();
    g5->addWidget(CBBTheme);
    g5->addWidget(Button1);
    grid->addWidget(groupBox5, 2, 2);

    auto* groupBox3 = named(new QGroupBox(QStringLiteral("Startup"), tab), "GroupBox3");
    CBLoadDefaultList =
        checkBox(groupBox3, "CBLoadDefaultList", QStringLiteral("Load default URL list"),
                 QStringLiteral("|Tick to load the default URL List at startup. This list must have "
                                "been saved previously. Untick to start with a new URL list at startup."),
                 true);
    (new QVBoxLayout(groupBox3))->addWidget(CBLoadDefaultList);
    grid->addWidget(groupBox3, 2, 3);

    auto* groupBox8 = named(new QGroupBox(QStringLiteral("Window minimise"), tab), "GroupBox8");
    CBMinimize =
        checkBox(groupBox8, "CBMinimize", QStringLiteral("System Tray"),
                 QStringLiteral("| Ticked/Unticked the software is minimised to the System tray/Task bar"));
    (new QVBoxLayout(groupBox8))->addWidget(CBMinimize);
    grid->addWidget(groupBox8, 3, 1);

    auto* groupBox6 = named(new QGroupBox(QStringLiteral("Integrated browser home page"), tab), "GroupBox6");
    Edit1 = named(new QLineEdit(groupBox6), "Edit1");
    setHint(Edit1, QStringLiteral("|Input here a URL used by Clipvane integrated browser home button"));
    (new QVBoxLayout(groupBox6))->addWidget(Edit1);
    grid->addWidget(groupBox6, 3, 2, 1, 2);

    auto* groupBox7 = named(new QGroupBox(QStringLiteral("Captured URL history"), tab), "GroupBox7");
    auto* g7 = new QVBoxLayout(groupBox7);
    CBSaveHistory =
        checkBox(groupBox7, "CBSaveHistory", QStringLiteral("Save on exiting the software"),
                 QStringLiteral("|Save the capture history to the application folder on exiting the "
                                "software. The file name is: Capture History.csv"));
    CBLoadHistory =
        checkBox(groupBox7, "CBLoadHistory", QStringLiteral("Load at startup"),
                 QStringLiteral("|Load the Capture History.csv at startup from Clipvane folder."));
    g7->addWidget(CBSaveHistory);
    g7->addWidget(CBLoadHistory);
    grid->addWidget(groupBox7, 3, 0);
    grid->setRowStretch(4, 1);
    // The page has to fit the window's design size: group boxes keep their frames close to their content.
    for (QGroupBox* g : tab->findChildren<QGroupBox*>()) {
        g->layout()->setContentsMargins(8, 2, 8, 4);
        g->layout()->setSpacing(2);
    }
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 2);
    grid->setColumnStretch(3, 3);
    return tab;
}

void TForm1::buildStatusBar() {
    SBMain = named(new QStatusBar(this), "SBMain");
    SBMain->setSizeGripEnabled(true);
    setHint(SBMain,
            QStringLiteral("|Status of the list (save, new,...), Status of the clipboard and other various "
                           "information shows in this status bar"));
    // The design widths, widened where this desktop's font needs more room for the texts a panel shows.
    // The panels sit close together in one row so that the bar fits the smallest window: the progress
    // panel gives up what the wider font takes, down to its longest text, and the address panel takes
    // what is left (a whole IPv4 address at least, an IPv6 one on a wider window).
    auto* row = new QWidget(SBMain);
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
    SBMain->addWidget(row, 1);
    setStatusBar(SBMain);
}

void TForm1::buildTrayMenu() {
    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    RestoreClipvane1 = menuAction(PopupMenu1, "RestoreClipvane1", QStringLiteral("Restore Clipvane"),
                                  QKeySequence(QStringLiteral("Ctrl+Alt+R")));
    separator(PopupMenu1, "N3");
    Clipboard1 = named(PopupMenu1->addMenu(QStringLiteral("Clipboard")), "Clipboard1");
    MonClipboard = menuAction(Clipboard1, "MonClipboard", QStringLiteral("Monitor Clipboard URL"),
                              QKeySequence(QStringLiteral("Ctrl+Alt+C")), true, true);
    ValidateClipboardURL =
        menuAction(Clipboard1, "ValidateClipboardURL", QStringLiteral("Validate Clipboard URL"),
                   QKeySequence(QStringLiteral("Ctrl+Alt+V")), true, false);
    separator(Clipboard1, "N4");
    Showcapture =
        menuAction(Clipboard1, "Showcapture", QStringLiteral("Show clipboard captured URL in a balloon"),
                   QKeySequence(QStringLiteral("Ctrl+Alt+S")), true, true);
    separator(PopupMenu1, "N1");
    ShowCaptureHistory1 = named(PopupMenu1->addMenu(QStringLiteral("Show")), "ShowCaptureHistory1");
    Capturehistory1 = menuAction(ShowCaptureHistory1, "Capturehistory1", QStringLiteral("Capture history"),
                                 QKeySequence(QStringLiteral("Ctrl+Alt+H")));
    Alldriveinformation1 =
        menuAction(ShowCaptureHistory1, "Alldriveinformation1", QStringLiteral("All drive information"),
                   QKeySequence(QStringLiteral("Ctrl+Alt+I")));
    separator(PopupMenu1, "N5");
    Options1 = named(PopupMenu1->addMenu(QStringLiteral("Options")), "Options1");
    StartMinimised = menuAction(Options1, "StartMinimised", QStringLiteral("Start the software minimised"),
                                {}, true, false);
    ExitToTray = menuAction(Options1, "ExitToTray", QStringLiteral("Exit minimise the software to tray"), {},
                            true, false);
    separator(PopupMenu1, "N2");
    Exit1 = menuAction(PopupMenu1, "Exit1", QStringLiteral("Exit"));
    // The shortcuts also act while the window is shown, and from every Clipvane window where the desktop
    // lets no program grab them for the whole desktop.
    for (QAction* a : {RestoreClipvane1, MonClipboard, ValidateClipboardURL, Showcapture, Capturehistory1,
                       Alldriveinformation1}) {
        a->setShortcutContext(Qt::ApplicationShortcut);
        addAction(a);
    }
    if (m_services.platform.tray)
        m_services.platform.tray->setContextMenu(PopupMenu1);
}

} // namespace clipvane
