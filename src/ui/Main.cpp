#include "Main.h"

#include "widgets/Controls.h"

#include "About.h"
#include "CaptureHistory.h"
#include "FixedDriveInfo.h"
#include "SetBrowser.h"
#include "ValidateURLResult.h"
#include "WebMonitor.h"
#include "WebUpdate.h"
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
#include "ui/widgets/Themes.h"
#include "widgets/BlinkLabel.h"
#include "widgets/CheckListView.h"
#include "widgets/Hints.h"
#include "widgets/Pictures.h"
#include "widgets/Placement.h"

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

namespace {

constexpr char kValidateHintDelete[] =
    "|Delete all invalid checked URL (no report, see options). Needs Internet connected";
constexpr char kValidateHintReport[] =
    "|Validate all checked URL then show report. Needs Internet connected.";
// Text in the one-line box is cut for display only; the candidate always is the whole first line.
constexpr qsizetype kMemoDisplayLimit = 65536;

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
    auto* b = named(new QToolButton(parent), name);
    b->setAccessibleName(caption);
    b->setIcon(picture(pictureOf(name)));
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(width, 48);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setAutoRaise(true);
    setHint(b, hint);
    return b;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    bool checked = false) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setChecked(checked);
    setHint(c, hint);
    return c;
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

TForm1::TForm1(Services services, SessionState& session)
    : m_services(services), m_session(session), m_list(new CheckListModel(this)),
      m_checker(*services.platform.connectivity, *services.platform.http, session) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Clipvane"));
    m_capture = std::make_unique<CapturePipeline>(*services.platform.clipboard, m_checker, m_session, *m_list,
                                                  static_cast<CaptureHost&>(*this), letPendingMessagesRun);
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
    layout->addWidget(PageControl1, 1);
    placeValidatePicture();

    HintPanel = named(new QLabel(central), "HintPanel");
    HintPanel->setFixedHeight(41);
    HintPanel->setWordWrap(true);
    HintPanel->setFrameShape(QFrame::StyledPanel);
    HintPanel->setContentsMargins(6, 0, 6, 0);
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

    PanelValidate = named(new QWidget(tab), "PanelValidate");
    PanelValidate->hide();
    buildValidatePanel();
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

void TForm1::placeValidatePicture() {
    // The panel's picture: the one the panel was built with, or a new one at its left.
    auto* image = PanelValidate->findChild<QLabel*>(QStringLiteral("ImageValidate"));
    if (!image) {
        image = named(new QLabel(PanelValidate), "ImageValidate");
        image->setFixedSize(48, 48);
        image->setAlignment(Qt::AlignCenter);
        auto* box = qobject_cast<QBoxLayout*>(PanelValidate->layout());
        if (!box && !PanelValidate->layout())
            box = new QHBoxLayout(PanelValidate);
        if (box)
            box->insertWidget(0, image);
    }
    image->setPixmap(picture(QStringLiteral("validating")).pixmap(QSize(40, 40), devicePixelRatio()));
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
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(i == 5 ? QFrame::Raised : QFrame::Sunken);
        panel->setContentsMargins(3, 0, 3, 0);
        int needed = 0;
        for (const QString& text : longest[i])
            needed =
                std::max(needed, panel->fontMetrics().horizontalAdvance(text) + 2 * panel->frameWidth() + 8);
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
    // The shortcuts also act while the window is shown.
    addActions({RestoreClipvane1, MonClipboard, ValidateClipboardURL, Showcapture, Capturehistory1,
                Alldriveinformation1});
    if (m_services.platform.tray)
        m_services.platform.tray->setContextMenu(PopupMenu1);
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
    // 6
    m_addressWatch->showAtStartup();
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
}

bool TForm1::deleteInvalidMode() const {
    return CBDeleteInvalidURL->isChecked();
}

void TForm1::setToolBarEnabled(bool enabled) {
    Panel1->setEnabled(enabled);
}

// ---- Capture

void TForm1::WMDrawClipboard() {
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
    OpenUrlInDefaultBrowser(m_list->textAt(row), *m_services.platform.shell, *m_services.dialogs);
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

void TForm1::buildValidatePanel() {
    auto* h = new QHBoxLayout(PanelValidate);
    h->setContentsMargins(6, 4, 6, 4);
    ImageValidate = named(new QLabel(PanelValidate), "ImageValidate");
    ImageValidate->setPixmap(QIcon(QStringLiteral(":/icons/clipvane.svg")).pixmap(32, 32));
    LabelValidating = named(new QLabel(QStringLiteral("Validating URL:"), PanelValidate), "LabelValidating");
    LabelPleaseWait = named(new BlinkLabel(QStringLiteral("Validating URL Please wait..."), PanelValidate),
                            "LabelPleaseWait");
    LabelURLInValidation = named(new QLabel(PanelValidate), "LabelURLInValidation");
    // The URL comes from the list: never rich text, and a long one must not widen the window.
    LabelURLInValidation->setTextFormat(Qt::PlainText);
    LabelURLInValidation->setMinimumWidth(1);
    LabelURLInValidation->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    LabelURLLeftToValidate =
        named(new QLabel(QStringLiteral("URL left to validate:"), PanelValidate), "LabelURLLeftToValidate");
    LabelURLCount = named(new QLabel(QStringLiteral("0"), PanelValidate), "LabelURLCount");
    PBValid = named(new QProgressBar(PanelValidate), "PBValid");
    PBValid->setTextVisible(false);
    PBValid->setFixedWidth(150);

    auto* labels = new QGridLayout;
    labels->addWidget(LabelValidating, 0, 0);
    labels->addWidget(LabelURLInValidation, 0, 1, 1, 3);
    labels->addWidget(LabelPleaseWait, 1, 0);
    labels->addWidget(LabelURLLeftToValidate, 1, 1);
    labels->addWidget(LabelURLCount, 1, 2);
    labels->setColumnStretch(3, 1);
    h->addWidget(ImageValidate);
    h->addLayout(labels, 1);
    h->addWidget(PBValid);
}

SaveValidationOption TForm1::saveValidationOption() const {
    if (CBOValidateChecked->isChecked())
        return SaveValidationOption::TickedEntries;
    if (CBOValidateURL->isChecked())
        return SaveValidationOption::AllEntries;
    return SaveValidationOption::None;
}

void TForm1::SaveURL() {
    m_session.SaveCancelled = false;
    m_session.SaveCancelled = !m_saveValidator->validateMainList(*m_list, saveValidationOption(),
                                                                 static_cast<SaveValidationPanel&>(*this));
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

void TForm1::setPanelVisible(bool visible) {
    PanelValidate->setVisible(visible);
}

void TForm1::setBlinking(bool on) {
    if (on)
        LabelPleaseWait->startAnimation();
    else
        LabelPleaseWait->stopAnimation();
}

void TForm1::setUrlInValidation(const QString& text) {
    LabelURLInValidation->setText(text);
}

void TForm1::setLeftToValidate(const QString& text) {
    LabelURLLeftToValidate->setText(text);
}

void TForm1::setCount(const QString& text) {
    LabelURLCount->setText(text);
}

void TForm1::setCountVisible(bool visible) {
    LabelURLCount->setVisible(visible);
}

void TForm1::setProgressMaximum(int maximum) {
    PBValid->setRange(0, maximum);
}

void TForm1::setProgressPosition(int position) {
    PBValid->setValue(position);
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

void TForm1::cyAdvSpeedButton1Click() {
    if (exitGoesToTray()) {
        minimiseApplication();
        return;
    }
    if (m_session.ListModified) {
        const Answer a = m_services.dialogs->message(
            MessageKind::Information,
            QStringLiteral("The URL list has not been saved yet. Save this list and exit?"),
            Buttons::YesNoAbort);
        if (a == Answer::Abort || a == Answer::Closed)
            return;
        if (a == Answer::Yes) {
            if (!m_listFiles->writeDefaultList()) {
                m_services.dialogs->message(
                    MessageKind::Error,
                    QStringLiteral("The URL list has not been saved. Exiting software aborted."),
                    Buttons::Ok);
                return;
            }
        }
        if (CBSave->isChecked())
            cySaveOptions->click();
        m_session.OptionsSavedOnExit = true;
    }
    close();
}

void TForm1::Exit1Click() {
    if (ExitToTray->isChecked()) {
        ExitToTray->setChecked(false);
        m_session.ExitToTraySetting = true;
    } else {
        m_session.ExitToTraySetting = false;
    }
    close();
}

bool TForm1::FormCloseQuery() {
    if (exitGoesToTray()) {
        minimiseApplication();
        return false;
    }
    return true;
}

void TForm1::FormClose() {
    if (!m_session.OptionsSavedOnExit && CBSave->isChecked())
        cySaveOptions->click();
    if (CBSaveHistory->isChecked())
        emit saveHistoryRequested();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    // Closing the main window ends the session, whatever other window is shown.
    m_closing = true;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

// ---- Options page and preferences

namespace {

constexpr char kListHintLaunch[] =
    "|Captured URL list. Double click an item to navigate to this URL with the default browser";
constexpr char kListHintShow[] =
    "|Captured URL list. Double click an item to display the URL in full via message dialog";

} // namespace

void TForm1::LoadINIFile() {
    readMainOptions(true);
}

void TForm1::readMainOptions(bool withPlacement) {
    // 1: a missing file reads as empty and is not created
    const IniFile ini(m_services.platform.paths.iniPath());
    const MainWindowOptions o = readMainWindowOptions(ini, m_services.addresses.searchHost);
    // Check boxes run their handlers as they change: the status bar, the menu twins, the validate button's
    // hint and the exclusion of the two save-time validations follow.
    // 2
    CBMonClipboard->setChecked(o.monitorClipboard);
    MonClipboard->setChecked(CBMonClipboard->isChecked());
    // 3
    m_session.StoredDoubleClickMode = o.doubleClickMode;
    // 4
    CBOValidateURL->setChecked(o.validateUrlWhenSaving);
    CBOValidateChecked->setChecked(o.validateCheckedWhenSaving);
    CBDeleteInvalidURL->setChecked(o.deleteInvalidUrl);
    CBValidateClipboardURL->setChecked(o.validateClipboardUrl);
    ValidateClipboardURL->setChecked(CBValidateClipboardURL->isChecked());
    // 5
    Showcapture->setChecked(o.showCaptureBalloon);
    // 6
    CBSave->setChecked(o.saveOptionsOnExit);
    // 7
    m_session.StoredThemeIndex = o.themeIndex;
    // 8
    CBLoadDefaultList->setChecked(o.loadDefaultList);
    // 9
    if (withPlacement)
        applyStoredPlacement(*this, readPlacement(ini, ini::Placement));
    // 10
    Edit1->setText(o.homePage);
    // 11
    CBSaveHistory->setChecked(o.saveHistoryOnExit);
    CBLoadHistory->setChecked(o.loadHistoryAtStartup);
    // 12
    CBMinimize->setChecked(o.systemTray);
    // 13
    StartMinimised->setChecked(o.startMinimised);
    ExitToTray->setChecked(o.exitToTray);
    m_session.ExitToTraySetting = ExitToTray->isChecked();
    // 14
    cyReloadOptions->setEnabled(QFileInfo::exists(ini.path()));
}

void TForm1::cySaveOptionsClick() {
    const QString path = m_services.platform.paths.iniPath();
    IniFile ini(path);
    PreferenceSnapshot s;
    MainWindowOptions& m = s.main;
    m.monitorClipboard = CBMonClipboard->isChecked();
    m.doubleClickMode = RGURLListGroup->checkedId();
    m.validateUrlWhenSaving = CBOValidateURL->isChecked();
    m.validateCheckedWhenSaving = CBOValidateChecked->isChecked();
    m.deleteInvalidUrl = CBDeleteInvalidURL->isChecked();
    m.validateClipboardUrl = CBValidateClipboardURL->isChecked();
    m.saveOptionsOnExit = CBSave->isChecked();
    m.themeIndex = CBBTheme->currentIndex();
    m.loadDefaultList = CBLoadDefaultList->isChecked();
    s.mainPlacement = currentPlacement(*this);
    m.systemTray = CBMinimize->isChecked();
    m.showCaptureBalloon = Showcapture->isChecked();
    m.startMinimised = StartMinimised->isChecked();
    // The remembered choice, not the tick: the tray menu's Exit unticks it to let the window close.
    m.exitToTray = m_session.ExitToTraySetting;
    m.homePage = Edit1->text();
    m.saveHistoryOnExit = CBSaveHistory->isChecked();
    m.loadHistoryAtStartup = CBLoadHistory->isChecked();
    if (m_optionsSources.browserPlacement)
        s.browserWindowPlacement = m_optionsSources.browserPlacement();
    if (m_optionsSources.browserChoice)
        s.browserChoice = m_optionsSources.browserChoice();

    const SaveReport report = writePreferences(ini, s);
    m_services.dialogs->message(report.outcome == SaveOutcome::Saved ? MessageKind::Information
                                                                     : MessageKind::Error,
                                saveOutcomeMessage(report.outcome), Buttons::Ok);
    const bool exists = QFileInfo::exists(path);
    cyReloadOptions->setEnabled(exists);
    emit optionsFileWritten(exists);
}

void TForm1::cyReloadOptionsClick() {
    // Re-reads the options as start-up does, except the window's placement: the window stays where it is.
    // The double-click mode and the theme take effect at once, with their handlers, as a user's choice would.
    readMainOptions(false);
    selectDoubleClickMode(m_session.StoredDoubleClickMode);
    const int theme = m_session.StoredThemeIndex;
    CBBTheme->setCurrentIndex(theme >= 0 && theme < CBBTheme->count() ? theme : -1);
    CBBThemeChange();
}

void TForm1::cyResetOptionsClick() {
    // 1
    CBMonClipboard->setChecked(true);
    // 2
    selectDoubleClickMode(0);
    // 3
    CBOValidateURL->setChecked(false);
    CBOValidateChecked->setChecked(false);
    CBDeleteInvalidURL->setChecked(false);
    CBValidateClipboardURL->setChecked(true);
    CBSave->setChecked(false);
    // 4
    CBBTheme->setCurrentIndex(0);
    CBBThemeChange();
    // 5
    CBLoadDefaultList->setChecked(true);
    // 6
    Edit1->setText(QStringLiteral("http://") + m_services.addresses.searchHost);
    // 7
    CBSaveHistory->setChecked(false);
    CBLoadHistory->setChecked(false);
    CBMinimize->setChecked(false);
    StartMinimised->setChecked(false);
    ExitToTray->setChecked(false);
}

void TForm1::cyAdvSpeedButton4Click() {
    DesktopShortcut* shortcut = m_services.platform.desktopShortcut;
    if (!shortcut)
        return;
    const AppPaths& paths = m_services.platform.paths;
    ShortcutRequest request;
    request.name = paths.executableBaseName();
    request.description = QStringLiteral("Description ...");
    request.target = paths.executablePath();
    request.workingDirectory = paths.executableFolder() + u'/';
    // A shortcut already there, or one that cannot be written, says nothing.
    if (shortcut->create(request) == DesktopShortcut::Result::Created)
        m_services.dialogs->message(MessageKind::Information, QStringLiteral("Link has been created ..."),
                                    Buttons::Ok);
}

void TForm1::Button1Click() {
    applyTheme(m_session.StoredThemeIndex);
}

void TForm1::CBBThemeChange() {
    if (m_session.FirstShowPending)
        return;
    applyTheme(CBBTheme->currentIndex());
    update();
}

void TForm1::selectDoubleClickMode(int mode) {
    // Above the range means the last mode; below it, none.
    if (mode < 0) {
        if (QAbstractButton* b = RGURLListGroup->checkedButton()) {
            RGURLListGroup->setExclusive(false);
            b->setChecked(false);
            RGURLListGroup->setExclusive(true);
        }
        return;
    }
    RGURLListGroup->button(qMin(mode, RGURLListGroup->buttons().size() - 1))->setChecked(true);
}

void TForm1::RGURLListClick() {
    if (m_session.FirstShowPending)
        return;
    showDoubleClickHints(RGURLListGroup->checkedId());
}

void TForm1::showDoubleClickHints(int mode) {
    if (mode != 0 && mode != 1)
        return;
    setHint(CheckListBoxURL, QString::fromLatin1(mode == 0 ? kListHintLaunch : kListHintShow));
    // The report's valid list follows; the browser list's hint names both actions and stays.
    emit doubleClickModeChanged(mode);
}

void TForm1::CBOValidateURLClick() {
    if (CBOValidateURL->isChecked())
        CBOValidateChecked->setChecked(false);
}

void TForm1::CBOValidateCheckedClick() {
    if (CBOValidateChecked->isChecked())
        CBOValidateURL->setChecked(false);
}

void TForm1::CBDeleteInvalidURLClick() {
    setHint(cyValidateCheckedURL,
            QString::fromLatin1(CBDeleteInvalidURL->isChecked() ? kValidateHintDelete : kValidateHintReport));
}

} // namespace clipvane
