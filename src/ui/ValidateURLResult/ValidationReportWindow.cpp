#include "ValidationReportWindow.h"

#include "core/Dialogs.h"
#include "prefs/UrlLauncher.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/ToolBar.h"
#include "ui/widgets/WidestEntry.h"
#include "validation/ValidationReport.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace clipvane {

namespace {

constexpr char kValidHintLaunch[] =
    "|Valid URL list. Double click an item to navigate to this URL with the default browser";
constexpr char kValidHintShow[] =
    "|Valid URL list. Double click an item to display the URL in full via message dialog";

// The tool bar's picture buttons, and the text buttons under the lists, whose captions say what they write.
const ToolButtonLook kBarLook{QSize(40, 40), QSize(28, 28), Qt::ToolButtonIconOnly, true};
const ToolButtonLook kTextLook{QSize(), QSize(20, 20), Qt::ToolButtonTextBesideIcon, true};

void fitTextButton(QToolButton* b) {
    b->setMinimumSize(0, 30);
    b->setMaximumSize(QWIDGETSIZE_MAX, 30);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

struct ValidationReportWindow::Ui {
    QToolButton* tickAllInvalidButton = nullptr;      // cyAdvSpeedButton1
    QToolButton* tickAllValidButton = nullptr;        // cyAdvSpeedButton2
    QToolButton* untickAllValidButton = nullptr;      // cyAdvSpeedButton3
    QToolButton* untickAllInvalidButton = nullptr;    // cyAdvSpeedButton4
    QToolButton* closeButton = nullptr;               // cyAdvSpeedButton7
    QToolButton* deleteTickedValidButton = nullptr;   // cyDeleteValidChecked
    QToolButton* deleteTickedInvalidButton = nullptr; // cyDeleteInvalidChecked
    QToolButton* returnInvalidButton = nullptr;       // cyReturnInvalid
    QToolButton* syncButton = nullptr;                // cySyncURLList
    QToolButton* syncAppendButton = nullptr;          // cySyncURLListAppend
    QToolButton* syncTickedButton = nullptr;          // cySyncCheckedURLList
    QToolButton* syncAppendTickedButton = nullptr;    // cySyncURLListAppendChecked
    QToolButton* editUrlButton = nullptr;             // cyEditURL
    QGroupBox* syncTarget = nullptr;                  // RGSync
    QButtonGroup* syncTargetGroup = nullptr;          // RGSyncGroup
    QGroupBox* validBox = nullptr;                    // GroupBox1
    QGroupBox* invalidBox = nullptr;                  // GroupBox2
    CheckListView* validList = nullptr;               // CLBValid
    CheckListView* invalidList = nullptr;             // CLBInvalid
    QLineEdit* urlText = nullptr;                     // EditURL
    QLabel* hintPanel = nullptr;                      // HintPanel
};

ValidationReportWindow::ValidationReportWindow(Services services, ValidationReport& report,
                                               UrlLauncher& launcher, std::function<int()> doubleClickMode,
                                               QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui>()), m_services(services), m_report(report),
      m_launcher(launcher), m_doubleClickMode(std::move(doubleClickMode)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Validation of URL report"));
    setMinimumSize(637, 534);
    resize(760, 560);
    buildControls();
    connectControls();
    m_report.setEditText(QString()); // EditURL is emptied when the window is created
    showButtons();
}

ValidationReportWindow::~ValidationReportWindow() = default;

void ValidationReportWindow::buildControls() {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 4);

    auto* panel1 = named(new QWidget(this), "Panel1");
    auto* bar = new QHBoxLayout(panel1);
    bar->setContentsMargins(2, 2, 2, 2);
    const QList<QToolButton*> validTools = toolButtons(
        panel1,
        {{"cyAdvSpeedButton2", "tick-all", "Tick all valid", "|Tick all the items in the Valid URL list"},
         {"cyAdvSpeedButton3", "untick-all", "Untick all valid",
          "|Untick all the items in the Valid URL list"},
         {"cyDeleteValidChecked", "delete-ticked", "Delete ticked valid",
          "|Delete all ticked items from the Valid URL list"}},
        kBarLook);
    m_ui->tickAllValidButton = validTools[0];
    m_ui->untickAllValidButton = validTools[1];
    m_ui->deleteTickedValidButton = validTools[2];
    m_ui->deleteTickedValidButton->setEnabled(false);
    m_ui->syncTarget = named(new QGroupBox(QStringLiteral("Sync URL List"), panel1), "RGSync");
    setHint(m_ui->syncTarget,
            QStringLiteral("|The validation report always point to the sender. You can always modify "
                           "the recipient of the sync."));
    m_ui->syncTargetGroup = new QButtonGroup(m_ui->syncTarget);
    auto* rg = new QHBoxLayout(m_ui->syncTarget);
    rg->setContentsMargins(6, 2, 6, 2);
    const QString items[] = {QStringLiteral("URL Capture"), QStringLiteral("Browser list")};
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(items[i], m_ui->syncTarget);
        r->setObjectName(QStringLiteral("RGSync%1").arg(i));
        m_ui->syncTargetGroup->addButton(r, i);
        rg->addWidget(r);
    }
    const QList<QToolButton*> invalidTools = toolButtons(
        panel1,
        {{"cyAdvSpeedButton1", "tick-all", "Tick all invalid", "|Tick all the items in the Invalid URL list"},
         {"cyAdvSpeedButton4", "untick-all", "Untick all invalid",
          "|Untick all the items in the Invalid URL list"},
         {"cyDeleteInvalidChecked", "delete-ticked", "Delete ticked invalid",
          "|Delete all ticked items from the Invalid URL list"},
         {"cyReturnInvalid", "return-invalid", "Return invalid",
          "|Return ticked invalid url to the Valid URL List"},
         {"cyAdvSpeedButton7", "exit", "Close",
          "|Close the Validation of URL report window and return to the main window"}},
        kBarLook);
    m_ui->tickAllInvalidButton = invalidTools[0];
    m_ui->untickAllInvalidButton = invalidTools[1];
    m_ui->deleteTickedInvalidButton = invalidTools[2];
    m_ui->returnInvalidButton = invalidTools[3];
    m_ui->closeButton = invalidTools[4];
    m_ui->deleteTickedInvalidButton->setEnabled(false);
    m_ui->returnInvalidButton->setEnabled(false);
    for (QWidget* w :
         {static_cast<QWidget*>(m_ui->tickAllValidButton), static_cast<QWidget*>(m_ui->untickAllValidButton),
          static_cast<QWidget*>(m_ui->deleteTickedValidButton)})
        bar->addWidget(w);
    bar->addWidget(separator(panel1));
    bar->addWidget(m_ui->syncTarget);
    bar->addWidget(separator(panel1));
    for (QWidget* w : {m_ui->tickAllInvalidButton, m_ui->untickAllInvalidButton,
                       m_ui->deleteTickedInvalidButton, m_ui->returnInvalidButton})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(m_ui->closeButton);
    v->addWidget(panel1);

    auto* halves = new QHBoxLayout;
    m_ui->validBox = named(new QGroupBox(QStringLiteral("Valid URL list"), this), "GroupBox1");
    auto* g1 = new QVBoxLayout(m_ui->validBox);
    m_ui->validList = named(new CheckListView(m_ui->validBox), "CLBValid");
    m_ui->validList->setModel(&m_report.valid());
    setHint(m_ui->validList, QString::fromLatin1(kValidHintLaunch));
    g1->addWidget(m_ui->validList, 1);
    auto* panel5 = named(new QWidget(m_ui->validBox), "Panel5");
    auto* p5 = new QGridLayout(panel5);
    p5->setContentsMargins(0, 0, 0, 0);
    const QList<QToolButton*> syncs = toolButtons(
        panel5,
        {{"cySyncURLList", "sync-overwrite", "Overwrite with all",
          "|URL captured list is overwritten with the valid URL list. Sync with and empty Valid URL list is "
          "possible"},
         {"cySyncURLListAppend", "sync-append", "Append all",
          "|Append the Valid list to the URL captured list.  No duplicate."},
         {"cySyncCheckedURLList", "sync-overwrite", "Overwrite with ticked",
          "|URL captured list is overwritten with the checked item of the valid URL list"},
         {"cySyncURLListAppendChecked", "sync-append", "Append ticked",
          "|Append the checked item of the valid URL list to the URL captured list. No duplicate"}},
        kTextLook);
    for (QToolButton* b : syncs)
        fitTextButton(b);
    m_ui->syncButton = syncs[0];
    m_ui->syncAppendButton = syncs[1];
    m_ui->syncTickedButton = syncs[2];
    m_ui->syncAppendTickedButton = syncs[3];
    m_ui->syncTickedButton->setEnabled(false);
    m_ui->syncAppendTickedButton->setEnabled(false);
    p5->addWidget(m_ui->syncButton, 0, 0);
    p5->addWidget(m_ui->syncAppendButton, 0, 1);
    p5->addWidget(m_ui->syncTickedButton, 1, 0);
    p5->addWidget(m_ui->syncAppendTickedButton, 1, 1);
    g1->addWidget(panel5);

    m_ui->invalidBox = named(new QGroupBox(QStringLiteral("Invalid URL list"), this), "GroupBox2");
    auto* g2 = new QVBoxLayout(m_ui->invalidBox);
    m_ui->invalidList = named(new CheckListView(m_ui->invalidBox), "CLBInvalid");
    m_ui->invalidList->setModel(&m_report.invalid());
    setHint(m_ui->invalidList, QStringLiteral("|List of invalid URL. Click an item to edit"));
    g2->addWidget(m_ui->invalidList, 1);
    auto* panel4 = named(new QWidget(m_ui->invalidBox), "Panel4");
    auto* p4 = new QHBoxLayout(panel4);
    p4->setContentsMargins(0, 0, 0, 0);
    m_ui->urlText = named(new QLineEdit(panel4), "EditURL");
    setHint(m_ui->urlText, QStringLiteral("|Input here a URL to validate"));
    m_ui->editUrlButton = toolButton(panel4,
                                     {"cyEditURL", "validate-ticked", "Check again",
                                      "Validate URL. Result is send to the Valid URL list if the URL of "
                                      "validation is successful"},
                                     kTextLook);
    fitTextButton(m_ui->editUrlButton);
    m_ui->editUrlButton->setEnabled(false);
    m_ui->editUrlButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    p4->addWidget(m_ui->urlText, 1);
    p4->addWidget(m_ui->editUrlButton);
    g2->addWidget(panel4);
    // Keep the two panels under the lists level with each other.
    panel4->setMinimumHeight(panel5->sizeHint().height());

    halves->addWidget(m_ui->validBox, 1);
    halves->addWidget(m_ui->invalidBox, 1);
    v->addLayout(halves, 1);

    m_ui->hintPanel = hintPanel(this, 22);
    v->addWidget(m_ui->hintPanel);
}

void ValidationReportWindow::followSelection(CheckListView* view, CheckListModel& model) {
    connect(
        view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [&model](const QModelIndex& current) { model.setSelected(current.isValid() ? current.row() : -1); });
    connect(&model, &CheckListModel::selectionChanged, view, [view, &model](int row) {
        const QModelIndex want = row >= 0 ? model.index(row) : QModelIndex();
        if (view->selectionModel()->currentIndex() == want)
            return;
        if (want.isValid())
            view->selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
        else
            view->selectionModel()->clear();
    });
}

void ValidationReportWindow::connectControls() {
    ValidationReport& r = m_report;
    connect(m_ui->tickAllValidButton, &QToolButton::clicked, this, [&r] { r.tickAllValid(true); });
    connect(m_ui->untickAllValidButton, &QToolButton::clicked, this, [&r] { r.tickAllValid(false); });
    connect(m_ui->deleteTickedValidButton, &QToolButton::clicked, this, [&r] { r.deleteTickedValid(); });
    connect(m_ui->tickAllInvalidButton, &QToolButton::clicked, this, [&r] { r.tickAllInvalid(true); });
    connect(m_ui->untickAllInvalidButton, &QToolButton::clicked, this, [&r] { r.tickAllInvalid(false); });
    connect(m_ui->deleteTickedInvalidButton, &QToolButton::clicked, this, [&r] { r.deleteTickedInvalid(); });
    connect(m_ui->returnInvalidButton, &QToolButton::clicked, this, [&r] { r.returnInvalid(); });
    connect(m_ui->closeButton, &QToolButton::clicked, this, &QWidget::hide);
    connect(m_ui->syncButton, &QToolButton::clicked, this, [&r] { r.syncOverwriteAll(); });
    connect(m_ui->syncAppendButton, &QToolButton::clicked, this, [&r] { r.syncAppendAll(); });
    connect(m_ui->syncTickedButton, &QToolButton::clicked, this, [&r] { r.syncOverwriteTicked(); });
    connect(m_ui->syncAppendTickedButton, &QToolButton::clicked, this, [&r] { r.syncAppendTicked(); });
    connect(m_ui->editUrlButton, &QToolButton::clicked, this, [&r] { r.checkAgain(); });

    if (QAbstractButton* b = m_ui->syncTargetGroup->button(r.syncIndex()))
        b->setChecked(true);
    connect(m_ui->syncTargetGroup, &QButtonGroup::idClicked, this, [&r](int id) { r.setSyncIndex(id); });
    connect(&r, &ValidationReport::syncIndexChanged, this, [this](int index) {
        if (QAbstractButton* b = m_ui->syncTargetGroup->button(index))
            b->setChecked(true);
    });

    // cyEditURL is enabled while EditURL holds text.
    connect(m_ui->urlText, &QLineEdit::textEdited, this, [&r](const QString& text) { r.setEditText(text); });
    connect(&r, &ValidationReport::editTextChanged, this, [this](const QString& text) {
        if (m_ui->urlText->text() != text)
            m_ui->urlText->setText(text);
    });
    connect(&r, &ValidationReport::buttonsChanged, this, &ValidationReportWindow::showButtons);
    connect(&r, &ValidationReport::scrollRangesWanted, this, &ValidationReportWindow::HorScrollBar);
    followSelection(m_ui->validList, r.valid());
    followSelection(m_ui->invalidList, r.invalid());
    m_validWidths = new WidestEntry(r.valid(), m_ui->validList);
    m_invalidWidths = new WidestEntry(r.invalid(), m_ui->invalidList);
    connect(m_validWidths, &WidestEntry::widestChanged, this,
            [this] { fitColumn(m_ui->validList, *m_validWidths); });
    connect(m_invalidWidths, &WidestEntry::widestChanged, this,
            [this] { fitColumn(m_ui->invalidList, *m_invalidWidths); });
    // The status panel says why a selected invalid entry failed (plain text: it holds the server's words).
    connect(&r.invalid(), &CheckListModel::selectionChanged, this, [this, &r](int row) {
        const QString reason = r.invalid().hintAt(row);
        if (!reason.isEmpty())
            m_ui->hintPanel->setText(reason);
    });
    connect(m_ui->validList, &QAbstractItemView::doubleClicked, this, [this] { CLBValidDblClick(); });
}

void ValidationReportWindow::showButtons() {
    const ReportButtons& b = m_report.buttons();
    m_ui->syncTickedButton->setEnabled(b.syncChecked);
    m_ui->syncAppendTickedButton->setEnabled(b.appendChecked);
    m_ui->syncAppendButton->setEnabled(b.appendAll);
    m_ui->deleteTickedValidButton->setEnabled(b.deleteValid);
    m_ui->deleteTickedInvalidButton->setEnabled(b.deleteInvalid);
    m_ui->returnInvalidButton->setEnabled(b.returnInvalid);
    m_ui->editUrlButton->setEnabled(b.checkAgain && !m_ui->urlText->text().isEmpty());
}

void ValidationReportWindow::fitColumn(CheckListView* view, const WidestEntry& widths) {
    // The column is at least as wide as the view, and as wide as the widest text plus its margin.
    const int range = widths.widest() == 0 ? 0 : widths.widest() + 25;
    view->horizontalHeader()->setStretchLastSection(false);
    view->setColumnWidth(0, std::max(range, view->viewport()->width()));
}

void ValidationReportWindow::HorScrollBar() {
    // The widths were measured as the lists changed: sizing (on every resize) measures nothing.
    fitColumn(m_ui->validList, *m_validWidths);
    fitColumn(m_ui->invalidList, *m_invalidWidths);
    m_report.scrollRangesSized();
}

void ValidationReportWindow::showReport() {
    if (m_report.valid().selected() >= 0 || m_report.invalid().selected() >= 0)
        HorScrollBar();
    show();
    raise();
    activateWindow();
}

void ValidationReportWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    HorScrollBar();
}

void ValidationReportWindow::showDoubleClickHint(int mode) {
    if (mode == 0)
        setHint(m_ui->validList, QString::fromLatin1(kValidHintLaunch));
    else if (mode == 1)
        setHint(m_ui->validList, QString::fromLatin1(kValidHintShow));
}

void ValidationReportWindow::CLBValidDblClick() {
    const int row = m_report.valid().selected();
    if (row < 0)
        return;
    const QString text = m_report.valid().textAt(row);
    Dialogs& dialogs = *m_services.dialogs;
    switch (m_doubleClickMode ? m_doubleClickMode() : -1) {
    case 0: // launch: always the system default, never the chosen browser; a failed launch is not reported
        m_launcher.openFromReport(text);
        break;
    case 1:
        dialogs.message(MessageKind::Plain, text, Buttons::Ok);
        break;
    default:
        break;
    }
}

} // namespace clipvane
