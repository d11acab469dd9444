#include "WebMonitor.h"

#include "prefs/Preferences.h"
#include "widgets/CheckListView.h"
#include "widgets/Controls.h"
#include "widgets/Hints.h"
#include "widgets/Pictures.h"
#include "widgets/Placement.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMoveEvent>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace clipvane {

namespace {

struct ButtonDef {
    const char* name;
    int left;
    const char* picture;
    const char* caption;
    const char* hint;
};

// Left to right, as BrowserButton counts them. The first six keep their place; the rest follow the right
// edge of the tool bar.
constexpr ButtonDef kButtons[kBrowserButtonCount] = {
    {"cyCheckAll", 6, "tick-all", "Tick all", "|Tick all the items in the URL list"},
    {"cyUncheckAll", 59, "untick-all", "Untick all", "|Untick all the items in the URL list"},
    {"cyDelete", 112, "delete-ticked", "Delete ticked", "|Delete all ticked item from the URL list"},
    {"cyValidateURL", 165, "validate-ticked", "Validate ticked", ""},
    {"cyAdvSpeedButton1", 219, "save-list-as", "Save as",
     "|Save the list as: Text, HTML document, List or any type of document in the folder of your choice."},
    {"cyAdvSpeedButton2", 272, "open-list", "Open", "|Open a previous saved list"},
    {"cyPageCapture", 333, "page-capture", "Capture page links",
     "|Grab all URL from one single page (single frame) of the integrated browser"},
    {"cyAllPageCapture", 387, "all-page-capture", "Capture links of all frames",
     "|Grab all URL from one single page (multi frame) of the integrated browser"},
    {"cyAdvSpeedButton3", 442, "home", "Home",
     "|Navigate to the home page defined into the software option."},
    {"cyStop", 496, "stop", "Stop", "|Stop the current navigation of the integrated browser"},
    {"cyRefresh", 551, "refresh", "Refresh", "|Refresh the loaded page of the integrated browser"},
    {"cyNavBack", 605, "nav-back", "Back", "|Navigate one page backward"},
    {"cyNavForward", 660, "nav-forward", "Forward", "|Navigate one page forward"},
    {"cyNavigate", 715, "navigate", "Navigate", "|Navigate to the URL of the address bar"},
};
constexpr int kFixedButtons = 6;
// The tool bar's width at the window's smallest size: the anchored buttons keep their distance to the
// right edge that they have there.
constexpr int kToolBarDesignWidth = 784;

// The tool bar: buttons at their places, the right-hand group moving with the right edge.
class ToolBarPanel final : public QWidget {
public:
    using QWidget::QWidget;
    std::array<QToolButton*, kBrowserButtonCount> buttons{};

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        const int shift = width() - kToolBarDesignWidth;
        for (int i = 0; i < kBrowserButtonCount; ++i)
            buttons[std::size_t(i)]->move(kButtons[i].left + (i < kFixedButtons ? 0 : shift), 12);
    }
};

QLabel* statusPanel(QStatusBar* bar, const char* name, int width, int stretch) {
    auto* l = named(new QLabel(bar), name);
    l->setTextFormat(Qt::PlainText);
    l->setMinimumWidth(width);
    l->setFrameShape(QFrame::StyledPanel);
    bar->addWidget(l, stretch);
    return l;
}

} // namespace

TFormNav::TFormNav(Services services, const BrowserEnvironment& environment, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_environment(environment) {
    setObjectName(QStringLiteral("FormNav"));
    setWindowTitle(QStringLiteral("Clipvane integrated browser"));
    setWindowIcon(applicationIcon());
    setMinimumSize(kMinimumOuterWidth, kMinimumOuterHeight);
    resize(980, 680);
    m_session = std::make_unique<BrowserSession>(*this, environment);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    PageControl = named(new QTabWidget(this), "PageControl");
    TabSheet1 = named(new QWidget(PageControl), "TabSheet1");
    PageControl->addTab(TabSheet1, QStringLiteral("URL page capture"));
    window->addWidget(PageControl, 1);

    auto* tab = new QVBoxLayout(TabSheet1);
    tab->setContentsMargins(0, 0, 0, 0);
    tab->setSpacing(0);
    buildToolBar(tab);
    auto* middle = new QHBoxLayout();
    middle->setSpacing(0);
    buildListPanel();
    buildBrowserPanel();
    middle->addWidget(Panel1);
    middle->addWidget(Panel2, 1);
    tab->addLayout(middle, 1);
    HintPanel = named(new QLabel(TabSheet1), "HintPanel");
    HintPanel->setTextFormat(Qt::PlainText);
    HintPanel->setFixedHeight(41);
    HintPanel->setWordWrap(true);
    HintPanel->setFrameShape(QFrame::StyledPanel);
    HintPanel->setContentsMargins(6, 0, 6, 0);
    setHint(HintPanel,
            QStringLiteral(
                "|Here appears all the hints. Hover over a list, button, ... to display a hint about it"));
    tab->addWidget(HintPanel);
    buildStatusBar(window);
    wire();
}

TFormNav::~TFormNav() {
    // The session stops hearing the view before either goes.
    m_session.reset();
    m_view.reset();
}

void TFormNav::buildToolBar(QVBoxLayout* tab) {
    auto* bar = new ToolBarPanel(TabSheet1);
    Panel4 = named(static_cast<QWidget*>(bar), "Panel4");
    Panel4->setFixedHeight(72);
    for (int i = 0; i < kBrowserButtonCount; ++i) {
        const ButtonDef& def = kButtons[i];
        auto* b = named(new QToolButton(Panel4), def.name);
        b->setAccessibleName(QString::fromLatin1(def.caption));
        b->setIcon(picture(QString::fromLatin1(def.picture)));
        b->setIconSize(QSize(32, 32));
        b->setFixedSize(48, 48);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setAutoRaise(true);
        if (*def.hint)
            setHint(b, QString::fromLatin1(def.hint));
        b->move(def.left, 12);
        m_buttons[std::size_t(i)] = b;
        bar->buttons[std::size_t(i)] = b;
    }
    cyCheckAll = button(BrowserButton::CheckAll);
    cyUncheckAll = button(BrowserButton::UncheckAll);
    cyDelete = button(BrowserButton::Delete);
    cyValidateURL = button(BrowserButton::ValidateURL);
    cyAdvSpeedButton1 = button(BrowserButton::SaveAs);
    cyAdvSpeedButton2 = button(BrowserButton::Open);
    cyPageCapture = button(BrowserButton::PageCapture);
    cyAllPageCapture = button(BrowserButton::AllPageCapture);
    cyAdvSpeedButton3 = button(BrowserButton::Home);
    cyStop = button(BrowserButton::Stop);
    cyRefresh = button(BrowserButton::Refresh);
    cyNavBack = button(BrowserButton::NavBack);
    cyNavForward = button(BrowserButton::NavForward);
    cyNavigate = button(BrowserButton::Navigate);
    tab->addWidget(Panel4);
}

void TFormNav::buildListPanel() {
    Panel1 = named(new QWidget(TabSheet1), "Panel1");
    Panel1->setFixedWidth(kListPanelWidth);
    auto* v = new QVBoxLayout(Panel1);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    CheckListBoxURL = named(new CheckListView(Panel1), "CheckListBoxURL");
    CheckListBoxURL->setModel(&m_session->list());
    CheckListBoxURL->setContextMenuPolicy(Qt::CustomContextMenu);
    setHint(CheckListBoxURL,
            QStringLiteral("|Captured URL list. Double click an item to navigate to this URL with "
                           "the browser or display a message showing the URL. Right click for "
                           "context menu"));
    v->addWidget(CheckListBoxURL, 1);
    Panel3 = named(new QWidget(Panel1), "Panel3");
    Panel3->setFixedHeight(53);
    auto* h = new QHBoxLayout(Panel3);
    TBResize = named(new QSlider(Qt::Horizontal, Panel3), "TBResize");
    TBResize->setSingleStep(10);
    TBResize->setPageStep(10);
    setHint(TBResize,
            QStringLiteral("|Slide to the left/right to increase/decrease the width of the captured URL "
                           "list above"));
    h->addWidget(TBResize);
    v->addWidget(Panel3);

    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    Sortedlist1 = named(PopupMenu1->addAction(QStringLiteral("Sorted list")), "Sortedlist1");
    Sortedlist1->setCheckable(true);
    Sortedlist1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N1"));
    Clearlist1 = named(PopupMenu1->addAction(QStringLiteral("Clear list")), "Clearlist1");
    Clearlist1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    Clearlist1->setStatusTip(QStringLiteral("Delete the content of the list without prompt message"));
    Deleteselected1 = named(PopupMenu1->addAction(QStringLiteral("Delete selected")), "Deleteselected1");
    Deleteselected1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    // The menu's keys belong to the list: they act only while it has the focus, so the address bar keeps
    // its own editing keys and a key pressed in the page never empties the list.
    for (QAction* a : {Sortedlist1, Clearlist1, Deleteselected1})
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    CheckListBoxURL->addActions({Sortedlist1, Clearlist1, Deleteselected1});
}

void TFormNav::buildBrowserPanel() {
    Panel2 = named(new QWidget(TabSheet1), "Panel2");
    auto* v = new QVBoxLayout(Panel2);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    Edit1 = named(new QLineEdit(Panel2), "Edit1");
    // Addresses are never cut (a line edit keeps 32,767 characters unless told otherwise).
    Edit1->setMaxLength(std::numeric_limits<int>::max());
    setHint(Edit1,
            QStringLiteral("|Address bar. Input here a valid web address. Or type what you want to search "
                           "(e.g. latest version of Clipvane)"));
    v->addWidget(Edit1);
    WebBrowser1 = named(new QWidget(Panel2), "WebBrowser1");
    auto* page = new QVBoxLayout(WebBrowser1);
    page->setContentsMargins(0, 0, 0, 0);
    setHint(WebBrowser1,
            QStringLiteral("|Integrated web browser. Display the result of navigation. Right click for "
                           "the context menu."));
    v->addWidget(WebBrowser1, 1);
    SBNav = named(new QStatusBar(Panel2), "SBNav");
    SBNav->setSizeGripEnabled(false);
    SBNavText = named(new QLabel(SBNav), "SBNavText");
    SBNavText->setTextFormat(Qt::PlainText);
    SBNav->addWidget(SBNavText, 1);
    setHint(SBNav, QStringLiteral("|Integrated web browser navigation status"));
    v->addWidget(SBNav);
}

void TFormNav::buildStatusBar(QVBoxLayout* window) {
    SBMain = named(new QStatusBar(this), "SBMain");
    setHint(SBMain,
            QStringLiteral("|Status bar. Show the URL count of the list; other various information when "
                           "some action are performed."));
    SBMainPanels[0] = statusPanel(SBMain, "SBMainPanel0", 65, 0);
    SBMainPanels[1] = statusPanel(SBMain, "SBMainPanel1", 60, 0);
    // The status panel carries progress and the skipped frames: it takes the rest of the bar.
    SBMainPanels[2] = statusPanel(SBMain, "SBMainPanel2", 50, 1);
    SBMainPanels[0]->setText(QStringLiteral("URL Count:"));
    SBMainPanels[1]->setText(QStringLiteral("0"));
    window->addWidget(SBMain);
}

void TFormNav::wire() {
    BrowserSession& s = *m_session;
    BrowserList& list = s.commands();
    BrowserNavigation& nav = s.navigation();
    connect(cyCheckAll, &QToolButton::clicked, this, [&list] { list.cyCheckAllClick(); });
    connect(cyUncheckAll, &QToolButton::clicked, this, [&list] { list.cyUncheckAllClick(); });
    connect(cyDelete, &QToolButton::clicked, this, [&list] { list.cyDeleteClick(); });
    connect(cyValidateURL, &QToolButton::clicked, this, [&s] { s.cyValidateURLClick(); });
    connect(cyAdvSpeedButton1, &QToolButton::clicked, this, [&list] { list.cyAdvSpeedButton1Click(); });
    connect(cyAdvSpeedButton2, &QToolButton::clicked, this, [&list] { list.cyAdvSpeedButton2Click(); });
    connect(cyPageCapture, &QToolButton::clicked, this, [&s] { s.cyPageCaptureClick(); });
    connect(cyAllPageCapture, &QToolButton::clicked, this, [&s] { s.cyAllPageCaptureClick(); });
    connect(cyAdvSpeedButton3, &QToolButton::clicked, this, [&s] { s.cyAdvSpeedButton3Click(); });
    connect(cyStop, &QToolButton::clicked, this, [&nav] { nav.cyStopClick(); });
    connect(cyRefresh, &QToolButton::clicked, this, [&nav] { nav.cyRefreshClick(); });
    connect(cyNavBack, &QToolButton::clicked, this, [&nav] { nav.cyNavBackClick(); });
    connect(cyNavForward, &QToolButton::clicked, this, [&nav] { nav.cyNavForwardClick(); });
    connect(cyNavigate, &QToolButton::clicked, this, [&nav] { nav.cyNavigateClick(); });
    Edit1->installEventFilter(this);

    connect(Sortedlist1, &QAction::triggered, this,
            [this, &list] { Sortedlist1->setChecked(list.Sortedlist1Click()); });
    connect(Clearlist1, &QAction::triggered, this, [&list] { list.Clearlist1Click(); });
    connect(Deleteselected1, &QAction::triggered, this, [&list] { list.Deleteselected1Click(); });
    connect(CheckListBoxURL, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(CheckListBoxURL->viewport()->mapToGlobal(at)); });

    CheckListModel& model = s.list();
    connect(&model, &CheckListModel::tickedByUser, this, [&list] { list.CheckListBoxURLClickCheck(); });
    connect(
        CheckListBoxURL->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [&model](const QModelIndex& current) { model.setSelected(current.isValid() ? current.row() : -1); });
    connect(&model, &CheckListModel::selectionChanged, this, [this, &model](int row) {
        const QModelIndex want = row >= 0 ? model.index(row) : QModelIndex();
        if (CheckListBoxURL->selectionModel()->currentIndex() == want)
            return;
        if (want.isValid())
            CheckListBoxURL->selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
        else
            CheckListBoxURL->selectionModel()->clear();
    });
    connect(CheckListBoxURL, &QAbstractItemView::doubleClicked, this,
            [&list] { list.CheckListBoxURLDblClick(); });
    connect(TBResize, &QSlider::valueChanged, this, [this](int width) { Panel1->setFixedWidth(width); });
}

void TFormNav::FormCreate() {
    // The slider runs from the list panel's designed width to the window's client width.
    TBResize->setRange(kListPanelWidth, std::max(kListPanelWidth, width()));
    TBResize->setValue(kListPanelWidth);
    copyValidateHint();
    LoadINIFile();
    m_session->showFresh();
}

void TFormNav::LoadINIFile() {
    const IniFile ini(m_services.platform.paths.iniPath());
    applyStoredPlacement(*this, readPlacement(ini, ini::WBPlacement));
    Edit1->setText(QStringLiteral("about:blank"));
}

void TFormNav::copyValidateHint() {
    if (m_environment.validateHint)
        setHint(cyValidateURL, m_environment.validateHint());
}

WebView* TFormNav::ensureView() {
    if (m_viewTried)
        return m_view.get();
    m_viewTried = true;
    QString error;
    if (m_services.platform.webViews)
        m_view = m_services.platform.webViews->create(&error);
    else
        error = QStringLiteral("No web engine is available.");
    if (!m_view) {
        auto* message = named(new QLabel(error, WebBrowser1), "WebBrowser1Error");
        message->setTextFormat(Qt::PlainText);
        message->setAlignment(Qt::AlignCenter);
        message->setWordWrap(true);
        WebBrowser1->layout()->addWidget(message);
        setNavigationStatus(error);
        return nullptr;
    }
    QWidget* page = m_view->widget();
    page->setParent(WebBrowser1);
    WebBrowser1->layout()->addWidget(page);
    page->show();
    m_session->attach(m_view.get());
    return m_view.get();
}

QSize TFormNav::minimumClientSize(const QSize& frame, const QSize& desktop) {
    // 800 x 594 is the outer size, frame included; on a smaller desktop the minimum gives way.
    return {std::max(0, std::min(kMinimumOuterWidth, desktop.width()) - frame.width()),
            std::max(0, std::min(kMinimumOuterHeight, desktop.height()) - frame.height())};
}

void TFormNav::applyMinimumSize() {
    const QSize frame = frameGeometry().size() - size();
    if (frame == m_frameForMinimum)
        return;
    m_frameForMinimum = frame;
    setMinimumSize(minimumClientSize(frame, screen()->availableGeometry().size()));
}

WebView* TFormNav::renewView() {
    if (m_view) {
        m_view->setEvents(nullptr);
        m_session->attach(nullptr);
        m_view.reset();
    }
    m_viewTried = false;
    return ensureView();
}

void TFormNav::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_frameForMinimum = QSize(-1, -1);
        applyMinimumSize();
        centreOnScreen(*this);
    }
    ensureView();
}

void TFormNav::moveEvent(QMoveEvent* event) {
    // The window manager's frame is known once the window is placed in it.
    QWidget::moveEvent(event);
    if (m_shownOnce)
        applyMinimumSize();
}

void TFormNav::closeEvent(QCloseEvent* event) {
    // Closing only hides the window; its page stops there and then, so a hidden page runs no scripts
    // and opens no windows.
    if (m_view)
        m_view->navigate(QStringLiteral("about:blank"), false);
    QWidget::closeEvent(event);
}

void TFormNav::resizeEvent(QResizeEvent* event) {
    // The slider never reaches past the window: its upper bound follows the client width, and the list
    // panel narrows with the thumb when the bound passes it.
    TBResize->setMaximum(std::max(kListPanelWidth, event->size().width() - 10));
    QWidget::resizeEvent(event);
}

void TFormNav::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        copyValidateHint();
}

bool TFormNav::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter navigates whatever modifier keys are held.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_session->navigation().cyNavigateClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- BrowserControls

QString TFormNav::addressText() const {
    return Edit1->text();
}

void TFormNav::setAddressText(const QString& text) {
    Edit1->setText(text);
    Edit1->setCursorPosition(0);
}

void TFormNav::setNavigationStatus(const QString& text) {
    SBNavText->setText(text);
}

void TFormNav::setButtonEnabled(BrowserButton b, bool on) {
    button(b)->setEnabled(on);
}

void TFormNav::setUrlCount(const QString& text) {
    SBMainPanels[1]->setText(text);
}

void TFormNav::setStatusPanel(const QString& text) {
    SBMainPanels[2]->setText(text);
}

void TFormNav::refreshScrollExtent() {
    const QFontMetrics metrics(CheckListBoxURL->font());
    const CheckListModel& model = m_session->list();
    // Every text is estimated from the advances of its characters (Latin-1 from a table, others at the
    // widest advance); only the widest few estimates are laid out exactly. Tens of thousands of items cost
    // a few milliseconds instead of one text layout each.
    std::array<int, 256> advance{};
    for (int c = 0; c < 256; ++c)
        advance[std::size_t(c)] = metrics.horizontalAdvance(QChar(c));
    const int other = metrics.maxWidth();
    std::vector<std::pair<qint64, int>> estimates; // estimate, entry
    estimates.reserve(std::size_t(model.count()));
    for (int i = 0; i < model.count(); ++i) {
        qint64 w = 0;
        for (QChar c : QStringView(model.entries()[i].text).left(CheckListModel::kDisplayLimit))
            w += c.unicode() < 256 ? advance[c.unicode()] : other;
        estimates.emplace_back(w, i);
    }
    constexpr std::size_t kExact = 32;
    const std::size_t exact = std::min(kExact, estimates.size());
    std::partial_sort(estimates.begin(), estimates.begin() + std::ptrdiff_t(exact), estimates.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    int widest = 0;
    for (std::size_t k = 0; k < exact; ++k)
        widest = std::max(widest, metrics.horizontalAdvance(model.entries()[estimates[k].second].text.left(
                                                                CheckListModel::kDisplayLimit) +
                                                            u'x'));
    // Room for the tick box as well as the text.
    const int extent = widest + 25 + CheckListBoxURL->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    CheckListBoxURL->horizontalHeader()->setMinimumSectionSize(extent);
}

void TFormNav::setCommandsEnabled(bool on) {
    Panel4->setEnabled(on);
    Panel1->setEnabled(on);
}

} // namespace clipvane
