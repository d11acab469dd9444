#include "CaptureHistoryWindow.h"

#include "ui/widgets/Controls.h"

#include "core/Yield.h"
#include "history/HistoryPrint.h"
#include "history/HistoryTable.h"
#include "platform/Connectivity.h"
#include "platform/Printing.h"
#include "prefs/UrlLauncher.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/ToolBar.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace clipvane {

namespace {

// The search and sort commands under the grid: captions, no pictures.
const ToolButtonLook kCommandLook{QSize(48, 32), QSize(), Qt::ToolButtonTextOnly};

// The wait cursor for the time of a command.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

// ---- Grid

HistoryGrid::HistoryGrid(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    // Tab leaves the grid (arrows move between cells; an open editor still passes Tab to the next cell).
    setTabKeyNavigation(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(kHistoryRowHeight);
    verticalHeader()->setDefaultSectionSize(kHistoryRowHeight);
    verticalHeader()->setSectionsMovable(true);
    connect(verticalHeader(), &QHeaderView::sectionMoved, this, &HistoryGrid::rowDragged);
}

void HistoryGrid::setHistory(HistoryTable* table) {
    m_table = table;
    setModel(table);
    hideHeaderRow();
    // A reset shows every row again; row 0 is the header above the grid.
    connect(table, &QAbstractItemModel::modelReset, this, &HistoryGrid::hideHeaderRow);
}

void HistoryGrid::hideHeaderRow() {
    setRowHidden(0, true);
}

void HistoryGrid::setEditingOn(bool on) {
    setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                       : QAbstractItemView::NoEditTriggers);
}

bool HistoryGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // The blank last row is where the next capture goes: it is never edited.
    if (m_table && index.isValid() && index.row() == m_table->rowCount() - 1)
        return false;
    return QTableView::edit(index, trigger, event);
}

void HistoryGrid::rowDragged(int /*logical*/, int oldVisual, int newVisual) {
    if (m_reverting || !m_table)
        return;
    // The header only shows the move; the table takes it, and the header goes back to table order.
    m_reverting = true;
    verticalHeader()->moveSection(newVisual, oldVisual);
    m_reverting = false;
    const int to = std::max(1, newVisual);
    if (oldVisual >= 1 && to != oldVisual && m_table->moveEntry(oldVisual, to))
        setCurrentIndex(m_table->index(to, std::max(0, currentIndex().column())));
}

// ---- Window

struct CaptureHistoryWindow::Ui {
    QWidget* toolBar = nullptr;                    // Panel1
    QToolButton* newButton = nullptr;              // cyNewList
    QToolButton* saveButton = nullptr;             // cySaveHistory
    QToolButton* saveAsButton = nullptr;           // cySaveHistoryAs
    QToolButton* saveUrlsButton = nullptr;         // cyURLSave
    QToolButton* reloadButton = nullptr;           // cyReloadHistory
    QToolButton* loadButton = nullptr;             // cyLoadHistory
    QToolButton* printButton = nullptr;            // cyPrintDB
    QToolButton* autosizeButton = nullptr;         // cyAutosize
    QToolButton* deleteRowButton = nullptr;        // cyDeleteRecord
    QToolButton* removeDuplicatesButton = nullptr; // cyAdvSpeedButton2
    QToolButton* navigateButton = nullptr;         // cyNavigateURL
    QToolButton* closeButton = nullptr;            // cyClose
    QWidget* gridPanel = nullptr;                  // Panel2
    HistoryGrid* grid = nullptr;                   // SGHistory
    QWidget* toolsPanel = nullptr;                 // Panel3
    QGroupBox* sortBox = nullptr;                  // GroupBox1
    QComboBox* sortColumn = nullptr;               // CBSortHistory
    QToolButton* sortButton = nullptr;             // cyAdvSpeedButton1
    QGroupBox* searchBox = nullptr;                // GroupBox2
    QLabel* searchLabel = nullptr;                 // Label1
    QLineEdit* searchText = nullptr;               // EditSearch
    QToolButton* clearSearchButton = nullptr;      // cyAdvSpeedButton4
    QToolButton* findButton = nullptr;             // cySearch
    QToolButton* stopSearchButton = nullptr;       // cyStopSearch
    QLabel* hintPanel = nullptr;                   // HintPanel
    QStatusBar* statusBar = nullptr;               // SB
};

CaptureHistoryWindow::CaptureHistoryWindow(Services services, HistoryTable& history, bool loadAtStartup,
                                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui>()), m_services(services), m_history(history),
      m_files(history, *services.dialogs, services.platform.paths, letPendingMessagesRun),
      m_search(history, *services.dialogs) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Capture History"));
    buildUi();
    connectHandlers();

    // FormCreate: the header texts and the grid's size, the default history by option, the dialogs'
    // folder, the reload button, and a blank last row.
    m_history.writeHeaderRow();
    AutoSize();
    if (m_files.startUp(loadAtStartup))
        AutoSize();
}

CaptureHistoryWindow::~CaptureHistoryWindow() = default;

void CaptureHistoryWindow::buildUi() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    setFont(font);
    setAttribute(Qt::WA_StaticContents);
    // FormConstrainedResize
    setMinimumSize(800, 600);
    resize(800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    m_ui->toolBar = named(new QWidget(this), "Panel1");
    m_ui->toolBar->setFixedHeight(60);
    setHint(m_ui->toolBar, QStringLiteral("|Toolbar of the Capture History window"));
    auto* bar = new QHBoxLayout(m_ui->toolBar);
    bar->setContentsMargins(4, 6, 4, 6);
    bar->setSpacing(2);
    const QList<QToolButton*> buttons = toolButtons(
        m_ui->toolBar,
        {{"cyNewList", "new-list", "New", "|Create a new Capture History database"},
         {"cySaveHistory", "save-list", "Save",
          "|Save the Capture History to the application folder with its default name (Capture History.csv)"},
         {"cySaveHistoryAs", "save-list-as", "Save as",
          "|Save the Capture History database as a CSV file  in the folder of your choice."},
         {"cyURLSave", "history-save-urls", "Save URLs", "|Save the URL of the Capture History as a list"},
         {"cyReloadHistory", "reload-list", "Reload",
          "|Reload the default Capture History database. Current capture history database is overwritten."},
         {"cyLoadHistory", "open-list", "Load",
          "|Open a previous saved Capture History database and append to/overwrite the current capture "
          "history database"},
         {"cyPrintDB", "history-print", "Print",
          "|Print the Capture History database with the system default printer"},
         {"cyAutosize", "history-autosize", "Autosize",
          "|Autosize grid to accomodate reading. Each column will be equal to the largest size entry "},
         {"cyDeleteRecord", "history-delete-row", "Delete", "|Delete the selected record (whole row)"},
         {"cyAdvSpeedButton2", "history-remove-duplicates", "Delete duplicates", "|Delete duplicated record"},
         {"cyNavigateURL", "navigate", "Navigate", "|Navigate with default browser to the selected item"},
         {"cyClose", "history-close", "Close", "|Close the Capture History window"}});
    m_ui->newButton = buttons[0];
    m_ui->saveButton = buttons[1];
    m_ui->saveAsButton = buttons[2];
    m_ui->saveUrlsButton = buttons[3];
    m_ui->reloadButton = buttons[4];
    m_ui->loadButton = buttons[5];
    m_ui->printButton = buttons[6];
    m_ui->autosizeButton = buttons[7];
    m_ui->deleteRowButton = buttons[8];
    m_ui->removeDuplicatesButton = buttons[9];
    m_ui->navigateButton = buttons[10];
    m_ui->closeButton = buttons[11];
    for (QToolButton* b : buttons.first(buttons.size() - 1))
        bar->addWidget(b);
    bar->addStretch(1);
    bar->addWidget(m_ui->closeButton);
    v->addWidget(m_ui->toolBar);

    m_ui->gridPanel = named(new QWidget(this), "Panel2");
    auto* middle = new QVBoxLayout(m_ui->gridPanel);
    middle->setContentsMargins(0, 0, 0, 0);
    m_ui->grid = named(new HistoryGrid(m_ui->gridPanel), "SGHistory");
    m_ui->grid->setHistory(&m_history);
    setHint(m_ui->grid, QStringLiteral("|Capture History database. Two left-click to edit an entry"));
    middle->addWidget(m_ui->grid);
    v->addWidget(m_ui->gridPanel, 1);

    m_ui->toolsPanel = named(new QWidget(this), "Panel3");
    m_ui->toolsPanel->setFixedHeight(92);
    auto* bottom = new QHBoxLayout(m_ui->toolsPanel);
    bottom->setContentsMargins(6, 4, 6, 4);

    m_ui->sortBox = named(new QGroupBox(QStringLiteral("Sort Database by"), m_ui->toolsPanel), "GroupBox1");
    setHint(m_ui->sortBox, QStringLiteral("|Choose how to sort the database in this zone"));
    auto* g1 = new QHBoxLayout(m_ui->sortBox);
    m_ui->sortColumn = named(new QComboBox(m_ui->sortBox), "CBSortHistory");
    m_ui->sortColumn->addItems({QStringLiteral("Date of entry "), QStringLiteral("Time of entry"),
                                QStringLiteral("URL"), QStringLiteral("Origin"), QStringLiteral("Validate"),
                                QStringLiteral("Domain\t"), QStringLiteral("IP")});
    m_ui->sortColumn->setCurrentIndex(0);
    setHint(m_ui->sortColumn, QStringLiteral("|Choose wich column to sort. Sorting is descending."));
    m_ui->sortButton =
        toolButton(m_ui->sortBox, {"cyAdvSpeedButton1", "", "Sort", "|Apply the sorting of the database."},
                   kCommandLook);
    g1->addWidget(m_ui->sortColumn, 1);
    g1->addWidget(m_ui->sortButton);
    bottom->addWidget(m_ui->sortBox, 1);

    m_ui->searchBox = named(new QGroupBox(QStringLiteral("Search Database"), m_ui->toolsPanel), "GroupBox2");
    setHint(m_ui->searchBox,
            QStringLiteral("|Search the database for an exact or partial match in this zone"));
    auto* g2 = new QHBoxLayout(m_ui->searchBox);
    m_ui->searchLabel = named(new QLabel(QStringLiteral("Entry input to find"), m_ui->searchBox), "Label1");
    m_ui->searchText = named(new QLineEdit(m_ui->searchBox), "EditSearch");
    setHint(m_ui->searchText,
            QStringLiteral("|Type here anything you want to find inside the capture history database"));
    const QList<QToolButton*> searchButtons =
        toolButtons(m_ui->searchBox,
                    {{"cyAdvSpeedButton4", "", "Clear", "|Clear the entry imput to find"},
                     {"cySearch", "", "Find",
                      "|Search the current captured URL history database for the given input. Exact and "
                      "partial match are "
                      "reported."},
                     {"cyStopSearch", "", "Stop", "|Cancel the seach in progress"}},
                    kCommandLook);
    m_ui->clearSearchButton = searchButtons[0];
    m_ui->findButton = searchButtons[1];
    m_ui->stopSearchButton = searchButtons[2];
    g2->addWidget(m_ui->searchLabel);
    g2->addWidget(m_ui->searchText, 1);
    g2->addWidget(m_ui->clearSearchButton);
    g2->addWidget(m_ui->findButton);
    g2->addWidget(m_ui->stopSearchButton);
    bottom->addWidget(m_ui->searchBox, 2);
    v->addWidget(m_ui->toolsPanel);

    m_ui->hintPanel = hintPanel(this);
    setHint(m_ui->hintPanel, defaultPanelHint());
    v->addWidget(m_ui->hintPanel);

    m_ui->statusBar = named(new QStatusBar(this), "SB");
    m_ui->statusBar->setSizeGripEnabled(true);
    setHint(m_ui->statusBar,
            QStringLiteral("|Information about the selected entry in the database are shown here"));
    const int widths[] = {35, 60, 35, 60, 50};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(m_ui->statusBar);
        panel->setObjectName(QStringLiteral("SBPanel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        setPanelFrame(panel, 3);
        panel->setTextFormat(Qt::PlainText); // the last panel shows a cell's text
        // The cell's text may be long: the last panel takes the rest of the bar.
        m_ui->statusBar->addWidget(panel, i == 4 ? 1 : 0);
        m_panels.append(panel);
    }
    m_panels[0]->setText(QStringLiteral("Row:"));
    m_panels[2]->setText(QStringLiteral("Col:"));
    v->addWidget(m_ui->statusBar);

    m_ui->navigateButton->setEnabled(false);
    m_ui->findButton->setEnabled(false);
    m_ui->stopSearchButton->setEnabled(false);
    m_ui->reloadButton->setEnabled(false);
}

void CaptureHistoryWindow::connectHandlers() {
    connect(m_ui->newButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyNewListClick);
    connect(m_ui->saveButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cySaveHistoryClick);
    connect(m_ui->saveAsButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cySaveHistoryAsClick);
    connect(m_ui->saveUrlsButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyURLSaveClick);
    connect(m_ui->reloadButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyReloadHistoryClick);
    connect(m_ui->loadButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyLoadHistoryClick);
    connect(m_ui->printButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyPrintDBClick);
    connect(m_ui->autosizeButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyAutosizeClick);
    connect(m_ui->deleteRowButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyDeleteRecordClick);
    connect(m_ui->removeDuplicatesButton, &QToolButton::clicked, this,
            &CaptureHistoryWindow::cyAdvSpeedButton2Click);
    connect(m_ui->navigateButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyNavigateURLClick);
    connect(m_ui->closeButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyCloseClick);
    connect(m_ui->sortButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyAdvSpeedButton1Click);
    connect(m_ui->clearSearchButton, &QToolButton::clicked, this,
            &CaptureHistoryWindow::cyAdvSpeedButton4Click);
    connect(m_ui->findButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cySearchClick);
    connect(m_ui->stopSearchButton, &QToolButton::clicked, this, &CaptureHistoryWindow::cyStopSearchClick);
    connect(m_ui->searchText, &QLineEdit::textChanged, this, &CaptureHistoryWindow::EditSearchChange);

    m_files.reloadEnabledChanged = [this](bool on) { m_ui->reloadButton->setEnabled(on); };

    connect(m_ui->grid, &QAbstractItemView::clicked, this, &CaptureHistoryWindow::SGHistoryClick);
    connect(m_ui->grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    SGHistorySelectCell(current.column(), current.row());
                SGHistoryClick();
            });
    // Sorts, deletes, loads and duplicate removal move rows under the highlighted cell without a new
    // selection: what names the selected entry follows the cell.
    const auto follow = [this] { followCurrentCell(); };
    connect(&m_history, &QAbstractItemModel::layoutChanged, this, follow);
    connect(&m_history, &QAbstractItemModel::rowsRemoved, this, follow);
    connect(&m_history, &QAbstractItemModel::rowsInserted, this, follow);
    connect(&m_history, &QAbstractItemModel::rowsMoved, this, follow);
    connect(&m_history, &QAbstractItemModel::dataChanged, this, follow);
    connect(&m_history, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex current = m_ui->grid->currentIndex();
        m_currentIdBeforeReset = current.isValid() ? m_history.idAt(current.row()) : 0;
        m_currentColBeforeReset = current.column();
    });
    connect(&m_history, &QAbstractItemModel::modelReset, this, [this] {
        const int row = m_currentIdBeforeReset ? m_history.rowOfId(m_currentIdBeforeReset) : -1;
        if (row >= 0)
            m_ui->grid->setCurrentIndex(m_history.index(row, m_currentColBeforeReset));
        followCurrentCell();
    });
    connect(m_ui->grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &CaptureHistoryWindow::SGHistoryClick);
    connect(m_ui->grid->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &CaptureHistoryWindow::SGHistoryClick);
}

QString CaptureHistoryWindow::statusPanelText(int panel) const {
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void CaptureHistoryWindow::setStatusPanel(int panel, const QString& text) {
    if (QLabel* l = m_panels.value(panel))
        l->setText(text);
}

void CaptureHistoryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // FormShow; not when the window manager merely brings it back from minimised.
    if (!event->spontaneous())
        AutoSize();
}

// ---- File commands

void CaptureHistoryWindow::cyNewListClick() {
    if (m_files.cyNewListClick())
        AutoSize();
}

void CaptureHistoryWindow::cySaveHistoryClick() {
    WaitCursor wait;
    m_files.cySaveHistoryClick();
}

void CaptureHistoryWindow::cySaveHistoryAsClick() {
    m_files.cySaveHistoryAsClick();
}

void CaptureHistoryWindow::cyReloadHistoryClick() {
    WaitCursor wait;
    if (m_files.cyReloadHistoryClick())
        AutoSize();
}

void CaptureHistoryWindow::cyLoadHistoryClick() {
    if (m_files.cyLoadHistoryClick())
        AutoSize();
}

QString CaptureHistoryWindow::SaveHistory() {
    WaitCursor wait;
    return m_files.SaveHistory();
}

void CaptureHistoryWindow::cyURLSaveClick() {
    m_files.cyURLSaveClick();
}

// ---- Grid

void CaptureHistoryWindow::selectCell(int row, int column) {
    const QModelIndex index = m_history.index(row, column);
    m_ui->grid->setCurrentIndex(index);
    m_ui->grid->scrollTo(index);
    m_ui->grid->setFocus();
}

void CaptureHistoryWindow::SGHistoryClick() {
    const QModelIndex current = m_ui->grid->currentIndex();
    const bool onLastRow = !current.isValid() || current.row() == m_history.rowCount() - 1;
    m_ui->deleteRowButton->setEnabled(!onLastRow);
    m_ui->grid->setEditingOn(!onLastRow);
}

void CaptureHistoryWindow::SGHistorySelectCell(int column, int row) {
    setStatusPanel(1, QString::number(row));
    setStatusPanel(3, QString::number(column));
    setStatusPanel(4, m_history.cell(row, column));
    SelectedRow = row;
    SelectedCol = column;
    m_ui->navigateButton->setEnabled(column == 2);
}

void CaptureHistoryWindow::followCurrentCell() {
    const QModelIndex current = m_ui->grid->currentIndex();
    if (current.isValid()) {
        SGHistorySelectCell(current.column(), current.row());
        SGHistoryClick();
    } else if (SelectedRow >= 0) {
        for (int panel : {1, 3, 4})
            setStatusPanel(panel, QString());
        SelectedRow = -1;
        SelectedCol = -1;
        m_ui->navigateButton->setEnabled(false);
    }
}

void CaptureHistoryWindow::cyDeleteRecordClick() {
    if (!m_history.hasEntries())
        return;
    const QModelIndex current = m_ui->grid->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row();
    if (row >= m_history.rowCount() - 1)
        return;
    m_history.DeleteHistoryRow(row);
}

void CaptureHistoryWindow::cyNavigateURLClick() {
    if (SelectedRow < 0 || SelectedCol < 0)
        return;
    if (m_launcher)
        m_launcher->navigateFromHistory(m_history.cell(SelectedRow, SelectedCol));
}

void CaptureHistoryWindow::cyCloseClick() {
    hide();
}

// ---- Search

void CaptureHistoryWindow::cySearchClick() {
    if (m_ui->searchText->text().isEmpty() || m_search.isRunning())
        return;
    m_ui->searchText->setEnabled(false);
    m_ui->stopSearchButton->setEnabled(true);
    HistorySearch::Hooks hooks;
    hooks.select = [this](int row, int column) { selectCell(row, column); };
    hooks.yield = letPendingMessagesRun;
    m_search.run(m_ui->searchText->text(), hooks);
    m_ui->searchText->setEnabled(true);
    m_ui->stopSearchButton->setEnabled(false);
}

void CaptureHistoryWindow::cyStopSearchClick() {
    m_search.cancel();
}

void CaptureHistoryWindow::EditSearchChange() {
    m_ui->findButton->setEnabled(!m_ui->searchText->text().isEmpty());
}

void CaptureHistoryWindow::cyAdvSpeedButton4Click() {
    m_ui->searchText->clear();
}

// ---- Sort and duplicates

void CaptureHistoryWindow::cyAdvSpeedButton1Click() {
    const int column = m_ui->sortColumn->currentIndex();
    if (column < 0)
        return;
    WaitCursor wait;
    SortHistory(m_history, column);
}

void CaptureHistoryWindow::cyAdvSpeedButton2Click() {
    int removed = 0;
    {
        WaitCursor wait;
        removed = RemoveDuplicateRecords(m_history);
    }
    m_services.dialogs->message(MessageKind::Information,
                                QString::number(removed) + QString::fromLatin1(kDuplicatesRemoved),
                                Buttons::Ok);
}

// ---- Size and print

void CaptureHistoryWindow::cyAutosizeClick() {
    AutoSize();
}

GridMetrics CaptureHistoryWindow::gridMetrics() const {
    GridMetrics grid;
    m_ui->grid->ensurePolished(); // the theme's font and margins
    grid.font = m_ui->grid->font();
    // The item text sits inside the focus frame's margin plus one pixel on each side; the grid line takes
    // one.
    const int margin =
        m_ui->grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_ui->grid) + 1;
    grid.cellPadding = 2 * margin + (m_ui->grid->showGrid() ? 1 : 0);
    QHeaderView* header = m_ui->grid->horizontalHeader();
    header->ensurePolished();
    for (int c = 0; c < kHistoryColumns; ++c)
        grid.headerWidths[std::size_t(c)] = header->sectionSizeHint(c);
    return grid;
}

void CaptureHistoryWindow::AutoSize() {
    const std::array<int, kHistoryColumns> widths = autoSizeWidths(m_history, gridMetrics());
    for (int c = 0; c < kHistoryColumns; ++c)
        m_ui->grid->setColumnWidth(c, widths[std::size_t(c)]);
    m_ui->grid->verticalHeader()->setDefaultSectionSize(kHistoryRowHeight);
}

void CaptureHistoryWindow::cyPrintDBClick() {
    PrintHistory(historyPrintTitle(QDateTime::currentDateTime()));
}

void CaptureHistoryWindow::PrintHistory(const QString& title) {
    std::array<int, kHistoryColumns> widths{};
    for (int c = 0; c < kHistoryColumns; ++c)
        widths[std::size_t(c)] = m_ui->grid->columnWidth(c);
    QString error;
    Printing* printing = m_services.platform.printing;
    const bool printed =
        printing &&
        printing->printOnDefaultPrinter(
            title, [&](QPainter& painter) { drawHistoryPrintout(painter, m_history, title, widths); }, error);
    if (!printed)
        m_services.dialogs->message(
            MessageKind::Error, error.isEmpty() ? QStringLiteral("There is no printer to print on.") : error,
            Buttons::Ok);
}

} // namespace clipvane
