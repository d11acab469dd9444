#include "BrowserWindow.h"

#include "prefs/Preferences.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/Placement.h"
#include "ui/widgets/ToolBar.h"

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

// Left to right, as BrowserButton counts them. The first six keep their place; the rest follow the right
// edge of the tool bar.
constexpr ToolButtonDef kButtons[kBrowserButtonCount] = {
    {"cyCheckAll", "tick-all", "Tick all", "|Tick all the items in the URL list"},
    {"cyUncheckAll", "untick-all", "Untick all", "|Untick all the items in the URL list"},
    {"cyDelete", "delete-ticked", "Delete ticked", "|Delete all ticked item from the URL list"},
    {"cyValidateURL", "validate-ticked", "Validate ticked", ""}, // the main window's hint, copied
    {"cyAdvSpeedButton1", "save-list-as", "Save as",
     "|Save the list as: Text, HTML document, List or any type of document in the folder of your choice."},
    {"cyAdvSpeedButton2", "open-list", "Open", "|Open a previous saved list"},
    {"cyPageCapture", "page-capture", "Capture page links",
     "|Grab all URL from one single page (single frame) of the integrated browser"},
    {"cyAllPageCapture", "all-page-capture", "Capture links of all frames",
     "|Grab all URL from one single page (multi frame) of the integrated browser"},
    {"cyAdvSpeedButton3", "home", "Home", "|Navigate to the home page defined into the software option."},
    {"cyStop", "stop", "Stop", "|Stop the current navigation of the integrated browser"},
    {"cyRefresh", "refresh", "Refresh", "|Refresh the loaded page of the integrated browser"},
    {"cyNavBack", "nav-back", "Back", "|Navigate one page backward"},
    {"cyNavForward", "nav-forward", "Forward", "|Navigate one page forward"},
    {"cyNavigate", "navigate", "Navigate", "|Navigate to the URL of the address bar"},
};
// Where each button stands at the tool bar's design width.
constexpr int kButtonLefts[kBrowserButtonCount] = {6,   59,  112, 165, 219, 272, 333,
                                                   387, 442, 496, 551, 605, 660, 715};
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
            buttons[std::size_t(i)]->move(kButtonLefts[i] + (i < kFixedButtons ? 0 : shift), 12);
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

struct BrowserWindow::Ui {
    QTabWidget* tabs = nullptr;                   // PageControl
    QWidget* browserTab = nullptr;                // TabSheet1
    QWidget* toolBar = nullptr;                   // Panel4
    QToolButton* tickAllButton = nullptr;         // cyCheckAll
    QToolButton* untickAllButton = nullptr;       // cyUncheckAll
    QToolButton* deleteButton = nullptr;          // cyDelete
    QToolButton* validateButton = nullptr;        // cyValidateURL
    QToolButton* saveAsButton = nullptr;          // cyAdvSpeedButton1
    QToolButton* openButton = nullptr;            // cyAdvSpeedButton2
    QToolButton* pageCaptureButton = nullptr;     // cyPageCapture
    QToolButton* allPagesCaptureButton = nullptr; // cyAllPageCapture
    QToolButton* homeButton = nullptr;            // cyAdvSpeedButton3
    QToolButton* stopButton = nullptr;            // cyStop
    QToolButton* refreshButton = nullptr;         // cyRefresh
    QToolButton* backButton = nullptr;            // cyNavBack
    QToolButton* forwardButton = nullptr;         // cyNavForward
    QToolButton* navigateButton = nullptr;        // cyNavigate
    QWidget* listPanel = nullptr;                 // Panel1
    CheckListView* urlList = nullptr;             // CheckListBoxURL
    QWidget* resizePanel = nullptr;               // Panel3
    QSlider* listWidthSlider = nullptr;           // TBResize
    QWidget* browserPanel = nullptr;              // Panel2
    QLineEdit* address = nullptr;                 // Edit1
    QWidget* pageHolder = nullptr;                // WebBrowser1
    QStatusBar* navigationBar = nullptr;          // SBNav
    QLabel* navigationStatus = nullptr;           // SBNavText
    QLabel* hintPanel = nullptr;                  // HintPanel
    QStatusBar* statusBar = nullptr;              // SBMain
    std::array<QLabel*, 3> statusPanels{};        // SBMainPanels
    QMenu* listMenu = nullptr;                    // PopupMenu1
    QAction* sortListAction = nullptr;            // Sortedlist1
    QAction* clearListAction = nullptr;           // Clearlist1
    QAction* deleteSelectedAction = nullptr;      // Deleteselected1
};

BrowserWindow::BrowserWindow(Services services, const BrowserEnvironment& environment, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui>()), m_services(services),
      m_environment(environment) {
    setObjectName(QStringLiteral("FormNav"));
    setWindowTitle(QStringLiteral("Clipvane integrated browser"));
    setWindowIcon(applicationIcon());
    setMinimumSize(kMinimumOuterWidth, kMinimumOuterHeight);
    resize(980, 680);
    m_session = std::make_unique<BrowserSession>(*this, environment);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    m_ui->tabs = named(new QTabWidget(this), "PageControl");
    m_ui->browserTab = named(new QWidget(m_ui->tabs), "TabSheet1");
    m_ui->tabs->addTab(m_ui->browserTab, QStringLiteral("URL page capture"));
    window->addWidget(m_ui->tabs, 1);

    auto* tab = new QVBoxLayout(m_ui->browserTab);
    tab->setContentsMargins(0, 0, 0, 0);
    tab->setSpacing(0);
    buildToolBar(tab);
    auto* middle = new QHBoxLayout();
    middle->setSpacing(0);
    buildListPanel();
    buildBrowserPanel();
    middle->addWidget(m_ui->listPanel);
    middle->addWidget(m_ui->browserPanel, 1);
    tab->addLayout(middle, 1);
    m_ui->hintPanel = hintPanel(m_ui->browserTab);
    setHint(m_ui->hintPanel, defaultPanelHint());
    tab->addWidget(m_ui->hintPanel);
    buildStatusBar(window);
    wire();
}

BrowserWindow::~BrowserWindow() {
    // The session stops hearing the view before either goes.
    m_session.reset();
    m_view.reset();
}

void BrowserWindow::buildToolBar(QVBoxLayout* tab) {
    auto* bar = new ToolBarPanel(m_ui->browserTab);
    m_ui->toolBar = named(static_cast<QWidget*>(bar), "Panel4");
    m_ui->toolBar->setFixedHeight(72);
    for (int i = 0; i < kBrowserButtonCount; ++i) {
        QToolButton* b = toolButton(m_ui->toolBar, kButtons[i]);
        b->move(kButtonLefts[i], 12);
        m_buttons[std::size_t(i)] = b;
        bar->buttons[std::size_t(i)] = b;
    }
    m_ui->tickAllButton = button(BrowserButton::CheckAll);
    m_ui->untickAllButton = button(BrowserButton::UncheckAll);
    m_ui->deleteButton = button(BrowserButton::Delete);
    m_ui->validateButton = button(BrowserButton::ValidateURL);
    m_ui->saveAsButton = button(BrowserButton::SaveAs);
    m_ui->openButton = button(BrowserButton::Open);
    m_ui->pageCaptureButton = button(BrowserButton::PageCapture);
    m_ui->allPagesCaptureButton = button(BrowserButton::AllPageCapture);
    m_ui->homeButton = button(BrowserButton::Home);
    m_ui->stopButton = button(BrowserButton::Stop);
    m_ui->refreshButton = button(BrowserButton::Refresh);
    m_ui->backButton = button(BrowserButton::NavBack);
    m_ui->forwardButton = button(BrowserButton::NavForward);
    m_ui->navigateButton = button(BrowserButton::Navigate);
    tab->addWidget(m_ui->toolBar);
}

void BrowserWindow::buildListPanel() {
    m_ui->listPanel = named(new QWidget(m_ui->browserTab), "Panel1");
    m_ui->listPanel->setFixedWidth(kListPanelWidth);
    auto* v = new QVBoxLayout(m_ui->listPanel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_ui->urlList = named(new CheckListView(m_ui->listPanel), "CheckListBoxURL");
    m_ui->urlList->setModel(&m_session->list());
    m_ui->urlList->setContextMenuPolicy(Qt::CustomContextMenu);
    setHint(m_ui->urlList,
            QStringLiteral("|Captured URL list. Double click an item to navigate to this URL with "
                           "the browser or display a message showing the URL. Right click for "
                           "context menu"));
    v->addWidget(m_ui->urlList, 1);
    m_ui->resizePanel = named(new QWidget(m_ui->listPanel), "Panel3");
    m_ui->resizePanel->setFixedHeight(53);
    auto* h = new QHBoxLayout(m_ui->resizePanel);
    m_ui->listWidthSlider = named(new QSlider(Qt::Horizontal, m_ui->resizePanel), "TBResize");
    m_ui->listWidthSlider->setSingleStep(10);
    m_ui->listWidthSlider->setPageStep(10);
    setHint(m_ui->listWidthSlider,
            QStringLiteral("|Slide to the left/right to increase/decrease the width of the captured URL "
                           "list above"));
    h->addWidget(m_ui->listWidthSlider);
    v->addWidget(m_ui->resizePanel);

    m_ui->listMenu = named(new QMenu(this), "PopupMenu1");
    m_ui->sortListAction = named(m_ui->listMenu->addAction(QStringLiteral("Sorted list")), "Sortedlist1");
    m_ui->sortListAction->setCheckable(true);
    m_ui->sortListAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
    m_ui->listMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    m_ui->clearListAction = named(m_ui->listMenu->addAction(QStringLiteral("Clear list")), "Clearlist1");
    m_ui->clearListAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    m_ui->clearListAction->setStatusTip(
        QStringLiteral("Delete the content of the list without prompt message"));
    m_ui->deleteSelectedAction =
        named(m_ui->listMenu->addAction(QStringLiteral("Delete selected")), "Deleteselected1");
    m_ui->deleteSelectedAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    // The menu's keys belong to the list: they act only while it has the focus, so the address bar keeps
    // its own editing keys and a key pressed in the page never empties the list.
    for (QAction* a : {m_ui->sortListAction, m_ui->clearListAction, m_ui->deleteSelectedAction})
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_ui->urlList->addActions({m_ui->sortListAction, m_ui->clearListAction, m_ui->deleteSelectedAction});
}

void BrowserWindow::buildBrowserPanel() {
    m_ui->browserPanel = named(new QWidget(m_ui->browserTab), "Panel2");
    auto* v = new QVBoxLayout(m_ui->browserPanel);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_ui->address = named(new QLineEdit(m_ui->browserPanel), "Edit1");
    // Addresses are never cut (a line edit keeps 32,767 characters unless told otherwise).
    m_ui->address->setMaxLength(std::numeric_limits<int>::max());
    setHint(m_ui->address,
            QStringLiteral("|Address bar. Input here a valid web address. Or type what you want to search "
                           "(e.g. latest version of Clipvane)"));
    v->addWidget(m_ui->address);
    m_ui->pageHolder = named(new QWidget(m_ui->browserPanel), "WebBrowser1");
    auto* page = new QVBoxLayout(m_ui->pageHolder);
    page->setContentsMargins(0, 0, 0, 0);
    setHint(m_ui->pageHolder,
            QStringLiteral("|Integrated web browser. Display the result of navigation. Right click for "
                           "the context menu."));
    v->addWidget(m_ui->pageHolder, 1);
    m_ui->navigationBar = named(new QStatusBar(m_ui->browserPanel), "SBNav");
    m_ui->navigationBar->setSizeGripEnabled(false);
    m_ui->navigationStatus = named(new QLabel(m_ui->navigationBar), "SBNavText");
    m_ui->navigationStatus->setTextFormat(Qt::PlainText);
    m_ui->navigationBar->addWidget(m_ui->navigationStatus, 1);
    setHint(m_ui->navigationBar, QStringLiteral("|Integrated web browser navigation status"));
    v->addWidget(m_ui->navigationBar);
}

void BrowserWindow::buildStatusBar(QVBoxLayout* window) {
    m_ui->statusBar = named(new QStatusBar(this), "SBMain");
    setHint(m_ui->statusBar,
            QStringLiteral("|Status bar. Show the URL count of the list; other various information when "
                           "some action are performed."));
    m_ui->statusPanels[0] = statusPanel(m_ui->statusBar, "SBMainPanel0", 65, 0);
    m_ui->statusPanels[1] = statusPanel(m_ui->statusBar, "SBMainPanel1", 60, 0);
    // The status panel carries progress and the skipped frames: it takes the rest of the bar.
    m_ui->statusPanels[2] = statusPanel(m_ui->statusBar, "SBMainPanel2", 50, 1);
    m_ui->statusPanels[0]->setText(QStringLiteral("URL Count:"));
    m_ui->statusPanels[1]->setText(QStringLiteral("0"));
    window->addWidget(m_ui->statusBar);
}

void BrowserWindow::wire() {
    BrowserSession& s = *m_session;
    BrowserList& list = s.commands();
    BrowserNavigation& nav = s.navigation();
    connect(m_ui->tickAllButton, &QToolButton::clicked, this, [&list] { list.cyCheckAllClick(); });
    connect(m_ui->untickAllButton, &QToolButton::clicked, this, [&list] { list.cyUncheckAllClick(); });
    connect(m_ui->deleteButton, &QToolButton::clicked, this, [&list] { list.cyDeleteClick(); });
    connect(m_ui->validateButton, &QToolButton::clicked, this, [&s] { s.cyValidateURLClick(); });
    connect(m_ui->saveAsButton, &QToolButton::clicked, this, [&list] { list.cyAdvSpeedButton1Click(); });
    connect(m_ui->openButton, &QToolButton::clicked, this, [&list] { list.cyAdvSpeedButton2Click(); });
    connect(m_ui->pageCaptureButton, &QToolButton::clicked, this, [&s] { s.cyPageCaptureClick(); });
    connect(m_ui->allPagesCaptureButton, &QToolButton::clicked, this, [&s] { s.cyAllPageCaptureClick(); });
    connect(m_ui->homeButton, &QToolButton::clicked, this, [&s] { s.cyAdvSpeedButton3Click(); });
    connect(m_ui->stopButton, &QToolButton::clicked, this, [&nav] { nav.cyStopClick(); });
    connect(m_ui->refreshButton, &QToolButton::clicked, this, [&nav] { nav.cyRefreshClick(); });
    connect(m_ui->backButton, &QToolButton::clicked, this, [&nav] { nav.cyNavBackClick(); });
    connect(m_ui->forwardButton, &QToolButton::clicked, this, [&nav] { nav.cyNavForwardClick(); });
    connect(m_ui->navigateButton, &QToolButton::clicked, this, [&nav] { nav.cyNavigateClick(); });
    m_ui->address->installEventFilter(this);

    connect(m_ui->sortListAction, &QAction::triggered, this,
            [this, &list] { m_ui->sortListAction->setChecked(list.Sortedlist1Click()); });
    connect(m_ui->clearListAction, &QAction::triggered, this, [&list] { list.Clearlist1Click(); });
    connect(m_ui->deleteSelectedAction, &QAction::triggered, this, [&list] { list.Deleteselected1Click(); });
    connect(m_ui->urlList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_ui->listMenu->popup(m_ui->urlList->viewport()->mapToGlobal(at)); });

    CheckListModel& model = s.list();
    connect(&model, &CheckListModel::tickedByUser, this, [&list] { list.CheckListBoxURLClickCheck(); });
    connect(
        m_ui->urlList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [&model](const QModelIndex& current) { model.setSelected(current.isValid() ? current.row() : -1); });
    connect(&model, &CheckListModel::selectionChanged, this, [this, &model](int row) {
        const QModelIndex want = row >= 0 ? model.index(row) : QModelIndex();
        if (m_ui->urlList->selectionModel()->currentIndex() == want)
            return;
        if (want.isValid())
            m_ui->urlList->selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
        else
            m_ui->urlList->selectionModel()->clear();
    });
    connect(m_ui->urlList, &QAbstractItemView::doubleClicked, this,
            [&list] { list.CheckListBoxURLDblClick(); });
    connect(m_ui->listWidthSlider, &QSlider::valueChanged, this,
            [this](int width) { m_ui->listPanel->setFixedWidth(width); });
}

void BrowserWindow::FormCreate() {
    // The slider runs from the list panel's designed width to the window's client width.
    m_ui->listWidthSlider->setRange(kListPanelWidth, std::max(kListPanelWidth, width()));
    m_ui->listWidthSlider->setValue(kListPanelWidth);
    copyValidateHint();
    LoadINIFile();
    m_session->showFresh();
}

void BrowserWindow::LoadINIFile() {
    const IniFile ini(m_services.platform.paths.iniPath());
    applyStoredPlacement(*this, readPlacement(ini, ini::WBPlacement));
    m_ui->address->setText(QStringLiteral("about:blank"));
}

void BrowserWindow::copyValidateHint() {
    if (m_environment.validateHint)
        setHint(m_ui->validateButton, m_environment.validateHint());
}

WebView* BrowserWindow::ensureView() {
    if (m_viewTried)
        return m_view.get();
    m_viewTried = true;
    QString error;
    if (m_services.platform.webViews)
        m_view = m_services.platform.webViews->create(&error);
    else
        error = QStringLiteral("No web engine is available.");
    if (!m_view) {
        auto* message = named(new QLabel(error, m_ui->pageHolder), "WebBrowser1Error");
        message->setTextFormat(Qt::PlainText);
        message->setAlignment(Qt::AlignCenter);
        message->setWordWrap(true);
        m_ui->pageHolder->layout()->addWidget(message);
        setNavigationStatus(error);
        return nullptr;
    }
    QWidget* page = m_view->widget();
    page->setParent(m_ui->pageHolder);
    m_ui->pageHolder->layout()->addWidget(page);
    page->show();
    m_session->attach(m_view.get());
    return m_view.get();
}

QSize BrowserWindow::minimumClientSize(const QSize& frame, const QSize& desktop) {
    // 800 x 594 is the outer size, frame included; on a smaller desktop the minimum gives way.
    return {std::max(0, std::min(kMinimumOuterWidth, desktop.width()) - frame.width()),
            std::max(0, std::min(kMinimumOuterHeight, desktop.height()) - frame.height())};
}

void BrowserWindow::applyMinimumSize() {
    const QSize frame = frameGeometry().size() - size();
    if (frame == m_frameForMinimum)
        return;
    m_frameForMinimum = frame;
    setMinimumSize(minimumClientSize(frame, screen()->availableGeometry().size()));
}

WebView* BrowserWindow::renewView() {
    if (m_view) {
        m_view->setEvents(nullptr);
        m_session->attach(nullptr);
        m_view.reset();
    }
    m_viewTried = false;
    return ensureView();
}

void BrowserWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_frameForMinimum = QSize(-1, -1);
        applyMinimumSize();
        centreOnScreen(*this);
    }
    ensureView();
}

void BrowserWindow::moveEvent(QMoveEvent* event) {
    // The window manager's frame is known once the window is placed in it.
    QWidget::moveEvent(event);
    if (m_shownOnce)
        applyMinimumSize();
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    // Closing only hides the window; its page stops there and then, so a hidden page runs no scripts
    // and opens no windows.
    if (m_view)
        m_view->navigate(QStringLiteral("about:blank"), false);
    QWidget::closeEvent(event);
}

void BrowserWindow::resizeEvent(QResizeEvent* event) {
    // The slider never reaches past the window: its upper bound follows the client width, and the list
    // panel narrows with the thumb when the bound passes it.
    m_ui->listWidthSlider->setMaximum(std::max(kListPanelWidth, event->size().width() - 10));
    QWidget::resizeEvent(event);
}

void BrowserWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        copyValidateHint();
}

bool BrowserWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->address && event->type() == QEvent::KeyPress) {
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

QString BrowserWindow::addressText() const {
    return m_ui->address->text();
}

void BrowserWindow::setAddressText(const QString& text) {
    m_ui->address->setText(text);
    m_ui->address->setCursorPosition(0);
}

void BrowserWindow::setNavigationStatus(const QString& text) {
    m_ui->navigationStatus->setText(text);
}

void BrowserWindow::setButtonEnabled(BrowserButton b, bool on) {
    button(b)->setEnabled(on);
}

void BrowserWindow::setUrlCount(const QString& text) {
    m_ui->statusPanels[1]->setText(text);
}

void BrowserWindow::setStatusPanel(const QString& text) {
    m_ui->statusPanels[2]->setText(text);
}

void BrowserWindow::refreshScrollExtent() {
    const QFontMetrics metrics(m_ui->urlList->font());
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
    const int extent = widest + 25 + m_ui->urlList->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    m_ui->urlList->horizontalHeader()->setMinimumSectionSize(extent);
}

void BrowserWindow::setCommandsEnabled(bool on) {
    m_ui->toolBar->setEnabled(on);
    m_ui->listPanel->setEnabled(on);
}

} // namespace clipvane
