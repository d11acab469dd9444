#include "CaptureHistory.h"

#include "widgets/Controls.h"

#include "core/Yield.h"
#include "history/HistoryPrint.h"
#include "history/HistoryTable.h"
#include "platform/Connectivity.h"
#include "platform/Printing.h"
#include "prefs/UrlLauncher.h"
#include "widgets/Hints.h"
#include "widgets/Pictures.h"

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

QToolButton* toolButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                        int width = 48, int height = 48) {
    auto* b = named(new QToolButton(parent), name);
    b->setText(caption);
    b->setFixedSize(width, height);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    setHint(b, hint);
    return b;
}

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
    m_editingOn = on;
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

TForm5::TForm5(Services services, HistoryTable& history, bool loadAtStartup, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_history(history),
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

TForm5::~TForm5() = default;

void TForm5::buildUi() {
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

    Panel1 = named(new QWidget(this), "Panel1");
    Panel1->setFixedHeight(60);
    setHint(Panel1, QStringLiteral("|Toolbar of the Capture History window"));
    auto* bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(4, 6, 4, 6);
    bar->setSpacing(2);
    cyNewList = pictureButton(Panel1, "cyNewList", QStringLiteral("new-list"), QStringLiteral("New"),
                              QStringLiteral("|Create a new Capture History database"));
    cySaveHistory =
        pictureButton(Panel1, "cySaveHistory", QStringLiteral("save-list"), QStringLiteral("Save"),
                      QStringLiteral("|Save the Capture History to the application folder with its "
                                     "default name (Capture History.csv)"));
    cySaveHistoryAs =
        pictureButton(Panel1, "cySaveHistoryAs", QStringLiteral("save-list-as"), QStringLiteral("Save as"),
                      QStringLiteral("|Save the Capture History database as a CSV file  in the "
                                     "folder of your choice."));
    cyURLSave =
        pictureButton(Panel1, "cyURLSave", QStringLiteral("history-save-urls"), QStringLiteral("Save URLs"),
                      QStringLiteral("|Save the URL of the Capture History as a list"));
    cyReloadHistory =
        pictureButton(Panel1, "cyReloadHistory", QStringLiteral("reload-list"), QStringLiteral("Reload"),
                      QStringLiteral("|Reload the default Capture History database. Current capture "
                                     "history database is overwritten."));
    cyLoadHistory =
        pictureButton(Panel1, "cyLoadHistory", QStringLiteral("open-list"), QStringLiteral("Load"),
                      QStringLiteral("|Open a previous saved Capture History database and append "
                                     "to/overwrite the current capture history database"));
    cyPrintDB =
        pictureButton(Panel1, "cyPrintDB", QStringLiteral("history-print"), QStringLiteral("Print"),
                      QStringLiteral("|Print the Capture History database with the system default printer"));
    cyAutosize =
        pictureButton(Panel1, "cyAutosize", QStringLiteral("history-autosize"), QStringLiteral("Autosize"),
                      QStringLiteral("|Autosize grid to accomodate reading. Each column will be equal to "
                                     "the largest size entry "));
    cyDeleteRecord =
        pictureButton(Panel1, "cyDeleteRecord", QStringLiteral("history-delete-row"),
                      QStringLiteral("Delete"), QStringLiteral("|Delete the selected record (whole row)"));
    cyAdvSpeedButton2 =
        pictureButton(Panel1, "cyAdvSpeedButton2", QStringLiteral("history-remove-duplicates"),
                      QStringLiteral("Delete duplicates"), QStringLiteral("|Delete duplicated record"));
    cyNavigateURL =
        pictureButton(Panel1, "cyNavigateURL", QStringLiteral("navigate"), QStringLiteral("Navigate"),
                      QStringLiteral("|Navigate with default browser to the selected item"));
    cyClose = pictureButton(Panel1, "cyClose", QStringLiteral("history-close"), QStringLiteral("Close"),
                            QStringLiteral("|Close the Capture History window"));
    for (QToolButton* b :
         {cyNewList, cySaveHistory, cySaveHistoryAs, cyURLSave, cyReloadHistory, cyLoadHistory, cyPrintDB,
          cyAutosize, cyDeleteRecord, cyAdvSpeedButton2, cyNavigateURL})
        bar->addWidget(b);
    bar->addStretch(1);
    bar->addWidget(cyClose);
    v->addWidget(Panel1);

    Panel2 = named(new QWidget(this), "Panel2");
    auto* middle = new QVBoxLayout(Panel2);
    middle->setContentsMargins(0, 0, 0, 0);
    SGHistory = named(new HistoryGrid(Panel2), "SGHistory");
    SGHistory->setHistory(&m_history);
    setHint(SGHistory, QStringLiteral("|Capture History database. Two left-click to edit an entry"));
    middle->addWidget(SGHistory);
    v->addWidget(Panel2, 1);

    Panel3 = named(new QWidget(this), "Panel3");
    Panel3->setFixedHeight(92);
    auto* bottom = new QHBoxLayout(Panel3);
    bottom->setContentsMargins(6, 4, 6, 4);

    GroupBox1 = named(new QGroupBox(QStringLiteral("Sort Database by"), Panel3), "GroupBox1");
    setHint(GroupBox1, QStringLiteral("|Choose how to sort the database in this zone"));
    auto* g1 = new QHBoxLayout(GroupBox1);
    CBSortHistory = named(new QComboBox(GroupBox1), "CBSortHistory");
    CBSortHistory->addItems({QStringLiteral("Date of entry "), QStringLiteral("Time of entry"),
                             QStringLiteral("URL"), QStringLiteral("Origin"), QStringLiteral("Validate"),
                             QStringLiteral("Domain\t"), QStringLiteral("IP")});
    CBSortHistory->setCurrentIndex(0);
    setHint(CBSortHistory, QStringLiteral("|Choose wich column to sort. Sorting is descending."));
    cyAdvSpeedButton1 = toolButton(GroupBox1, "cyAdvSpeedButton1", QStringLiteral("Sort"),
                                   QStringLiteral("|Apply the sorting of the database."), 48, 32);
    g1->addWidget(CBSortHistory, 1);
    g1->addWidget(cyAdvSpeedButton1);
    bottom->addWidget(GroupBox1, 1);

    GroupBox2 = named(new QGroupBox(QStringLiteral("Search Database"), Panel3), "GroupBox2");
    setHint(GroupBox2, QStringLiteral("|Search the database for an exact or partial match in this zone"));
    auto* g2 = new QHBoxLayout(GroupBox2);
    Label1 = named(new QLabel(QStringLiteral("Entry input to find"), GroupBox2), "Label1");
    EditSearch = named(new QLineEdit(GroupBox2), "EditSearch");
    setHint(EditSearch,
            QStringLiteral("|Type here anything you want to find inside the capture history database"));
    cyAdvSpeedButton4 = toolButton(GroupBox2, "cyAdvSpeedButton4", QStringLiteral("Clear"),
                                   QStringLiteral("|Clear the entry imput to find"), 48, 32);
    cySearch = toolButton(GroupBox2, "cySearch", QStringLiteral("Find"),
                          QStringLiteral("|Search the current captured URL history database for the given "
                                         "input. Exact and partial match are reported."),
                          48, 32);
    cyStopSearch = toolButton(GroupBox2, "cyStopSearch", QStringLiteral("Stop"),
                              QStringLiteral("|Cancel the seach in progress"), 48, 32);
    g2->addWidget(Label1);
    g2->addWidget(EditSearch, 1);
    g2->addWidget(cyAdvSpeedButton4);
    g2->addWidget(cySearch);
    g2->addWidget(cyStopSearch);
    bottom->addWidget(GroupBox2, 2);
    v->addWidget(Panel3);

    HintPanel = named(new QLabel(this), "HintPanel");
    HintPanel->setFixedHeight(41);
    HintPanel->setWordWrap(true);
    setPanelFrame(HintPanel, 6);
    setHint(HintPanel,
            QStringLiteral(
                "|Here appears all the hints. Hover over a list, button, ... to display a hint about it"));
    v->addWidget(HintPanel);

    SB = named(new QStatusBar(this), "SB");
    SB->setSizeGripEnabled(true);
    setHint(SB, QStringLiteral("|Information about the selected entry in the database are shown here"));
    const int widths[] = {35, 60, 35, 60, 50};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(SB);
        panel->setObjectName(QStringLiteral("SBPanel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        setPanelFrame(panel, 3);
        panel->setTextFormat(Qt::PlainText); // the last panel shows a cell's text
        // The cell's text may be long: the last panel takes the rest of the bar.
        SB->addWidget(panel, i == 4 ? 1 : 0);
        m_panels.append(panel);
    }
    m_panels[0]->setText(QStringLiteral("Row:"));
    m_panels[2]->setText(QStringLiteral("Col:"));
    v->addWidget(SB);

    cyNavigateURL->setEnabled(false);
    cySearch->setEnabled(false);
    cyStopSearch->setEnabled(false);
    cyReloadHistory->setEnabled(false);
}

void TForm5::connectHandlers() {
    connect(cyNewList, &QToolButton::clicked, this, &TForm5::cyNewListClick);
    connect(cySaveHistory, &QToolButton::clicked, this, &TForm5::cySaveHistoryClick);
    connect(cySaveHistoryAs, &QToolButton::clicked, this, &TForm5::cySaveHistoryAsClick);
    connect(cyURLSave, &QToolButton::clicked, this, &TForm5::cyURLSaveClick);
    connect(cyReloadHistory, &QToolButton::clicked, this, &TForm5::cyReloadHistoryClick);
    connect(cyLoadHistory, &QToolButton::clicked, this, &TForm5::cyLoadHistoryClick);
    connect(cyPrintDB, &QToolButton::clicked, this, &TForm5::cyPrintDBClick);
    connect(cyAutosize, &QToolButton::clicked, this, &TForm5::cyAutosizeClick);
    connect(cyDeleteRecord, &QToolButton::clicked, this, &TForm5::cyDeleteRecordClick);
    connect(cyAdvSpeedButton2, &QToolButton::clicked, this, &TForm5::cyAdvSpeedButton2Click);
    connect(cyNavigateURL, &QToolButton::clicked, this, &TForm5::cyNavigateURLClick);
    connect(cyClose, &QToolButton::clicked, this, &TForm5::cyCloseClick);
    connect(cyAdvSpeedButton1, &QToolButton::clicked, this, &TForm5::cyAdvSpeedButton1Click);
    connect(cyAdvSpeedButton4, &QToolButton::clicked, this, &TForm5::cyAdvSpeedButton4Click);
    connect(cySearch, &QToolButton::clicked, this, &TForm5::cySearchClick);
    connect(cyStopSearch, &QToolButton::clicked, this, &TForm5::cyStopSearchClick);
    connect(EditSearch, &QLineEdit::textChanged, this, &TForm5::EditSearchChange);

    m_files.reloadEnabledChanged = [this](bool on) { cyReloadHistory->setEnabled(on); };

    connect(SGHistory, &QAbstractItemView::clicked, this, &TForm5::SGHistoryClick);
    connect(SGHistory->selectionModel(), &QItemSelectionModel::currentChanged, this,
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
        const QModelIndex current = SGHistory->currentIndex();
        m_currentIdBeforeReset = current.isValid() ? m_history.idAt(current.row()) : 0;
        m_currentColBeforeReset = current.column();
    });
    connect(&m_history, &QAbstractItemModel::modelReset, this, [this] {
        const int row = m_currentIdBeforeReset ? m_history.rowOfId(m_currentIdBeforeReset) : -1;
        if (row >= 0)
            SGHistory->setCurrentIndex(m_history.index(row, m_currentColBeforeReset));
        followCurrentCell();
    });
    connect(SGHistory->verticalScrollBar(), &QScrollBar::valueChanged, this, &TForm5::SGHistoryClick);
    connect(SGHistory->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TForm5::SGHistoryClick);
}

QString TForm5::statusPanelText(int panel) const {
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void TForm5::setStatusPanel(int panel, const QString& text) {
    if (QLabel* l = m_panels.value(panel))
        l->setText(text);
}

void TForm5::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // FormShow; not when the window manager merely brings it back from minimised.
    if (!event->spontaneous())
        AutoSize();
}

// ---- File commands

void TForm5::cyNewListClick() {
    if (m_files.cyNewListClick())
        AutoSize();
}

void TForm5::cySaveHistoryClick() {
    WaitCursor wait;
    m_files.cySaveHistoryClick();
}

void TForm5::cySaveHistoryAsClick() {
    m_files.cySaveHistoryAsClick();
}

void TForm5::cyReloadHistoryClick() {
    WaitCursor wait;
    if (m_files.cyReloadHistoryClick())
        AutoSize();
}

void TForm5::cyLoadHistoryClick() {
    if (m_files.cyLoadHistoryClick())
        AutoSize();
}

QString TForm5::SaveHistory() {
    WaitCursor wait;
    return m_files.SaveHistory();
}

void TForm5::cyURLSaveClick() {
    m_files.cyURLSaveClick();
}

// ---- Grid

void TForm5::selectCell(int row, int column) {
    const QModelIndex index = m_history.index(row, column);
    SGHistory->setCurrentIndex(index);
    SGHistory->scrollTo(index);
    SGHistory->setFocus();
}

void TForm5::SGHistoryClick() {
    const QModelIndex current = SGHistory->currentIndex();
    const bool onLastRow = !current.isValid() || current.row() == m_history.rowCount() - 1;
    cyDeleteRecord->setEnabled(!onLastRow);
    SGHistory->setEditingOn(!onLastRow);
}

void TForm5::SGHistorySelectCell(int column, int row) {
    setStatusPanel(1, QString::number(row));
    setStatusPanel(3, QString::number(column));
    setStatusPanel(4, m_history.cell(row, column));
    SelectedRow = row;
    SelectedCol = column;
    cyNavigateURL->setEnabled(column == 2);
}

void TForm5::followCurrentCell() {
    const QModelIndex current = SGHistory->currentIndex();
    if (current.isValid()) {
        SGHistorySelectCell(current.column(), current.row());
        SGHistoryClick();
    } else if (SelectedRow >= 0) {
        for (int panel : {1, 3, 4})
            setStatusPanel(panel, QString());
        SelectedRow = -1;
        SelectedCol = -1;
        cyNavigateURL->setEnabled(false);
    }
}

void TForm5::cyDeleteRecordClick() {
    if (!m_history.hasEntries())
        return;
    const QModelIndex current = SGHistory->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row();
    if (row >= m_history.rowCount() - 1)
        return;
    m_history.DeleteHistoryRow(row);
}

void TForm5::cyNavigateURLClick() {
    if (SelectedRow < 0 || SelectedCol < 0)
        return;
    if (m_launcher)
        m_launcher->navigateFromHistory(m_history.cell(SelectedRow, SelectedCol));
}

void TForm5::cyCloseClick() {
    hide();
}

// ---- Search

void TForm5::cySearchClick() {
    if (EditSearch->text().isEmpty() || m_search.isRunning())
        return;
    EditSearch->setEnabled(false);
    cyStopSearch->setEnabled(true);
    HistorySearch::Hooks hooks;
    hooks.select = [this](int row, int column) { selectCell(row, column); };
    hooks.yield = letPendingMessagesRun;
    m_search.run(EditSearch->text(), hooks);
    EditSearch->setEnabled(true);
    cyStopSearch->setEnabled(false);
}

void TForm5::cyStopSearchClick() {
    m_search.cancel();
}

void TForm5::EditSearchChange() {
    cySearch->setEnabled(!EditSearch->text().isEmpty());
}

void TForm5::cyAdvSpeedButton4Click() {
    EditSearch->clear();
}

// ---- Sort and duplicates

void TForm5::cyAdvSpeedButton1Click() {
    const int column = CBSortHistory->currentIndex();
    if (column < 0)
        return;
    WaitCursor wait;
    SortHistory(m_history, column);
}

void TForm5::cyAdvSpeedButton2Click() {
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

void TForm5::cyAutosizeClick() {
    AutoSize();
}

GridMetrics TForm5::gridMetrics() const {
    GridMetrics grid;
    SGHistory->ensurePolished(); // the theme's font and margins
    grid.font = SGHistory->font();
    // The item text sits inside the focus frame's margin plus one pixel on each side; the grid line takes
    // one.
    const int margin = SGHistory->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, SGHistory) + 1;
    grid.cellPadding = 2 * margin + (SGHistory->showGrid() ? 1 : 0);
    QHeaderView* header = SGHistory->horizontalHeader();
    header->ensurePolished();
    for (int c = 0; c < kHistoryColumns; ++c)
        grid.headerWidths[std::size_t(c)] = header->sectionSizeHint(c);
    return grid;
}

void TForm5::AutoSize() {
    const std::array<int, kHistoryColumns> widths = autoSizeWidths(m_history, gridMetrics());
    for (int c = 0; c < kHistoryColumns; ++c)
        SGHistory->setColumnWidth(c, widths[std::size_t(c)]);
    SGHistory->verticalHeader()->setDefaultSectionSize(kHistoryRowHeight);
}

void TForm5::AutoSizeCol(int column) {
    SGHistory->setColumnWidth(column, autoSizeColWidth(m_history, column, gridMetrics()));
}

void TForm5::cyPrintDBClick() {
    PrintHistory(historyPrintTitle(QDateTime::currentDateTime()));
}

void TForm5::PrintHistory(const QString& title) {
    std::array<int, kHistoryColumns> widths{};
    for (int c = 0; c < kHistoryColumns; ++c)
        widths[std::size_t(c)] = SGHistory->columnWidth(c);
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
