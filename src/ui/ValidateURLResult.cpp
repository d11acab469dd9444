#include "ValidateURLResult.h"

#include "core/Dialogs.h"
#include "prefs/UrlLauncher.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
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

QToolButton* toolButton(QWidget* parent, const char* name, const char* pictureName, const QString& caption,
                        const QString& hint, bool enabled = true) {
    auto* b = named(new QToolButton(parent), name);
    b->setAccessibleName(caption);
    b->setToolTip(caption);
    b->setIcon(picture(QString::fromLatin1(pictureName)));
    b->setIconSize(QSize(28, 28));
    b->setFixedSize(40, 40);
    b->setAutoRaise(true);
    b->setEnabled(enabled);
    setHint(b, hint);
    return b;
}

// A text button of the sync panel: its caption says what it writes.
QToolButton* syncButton(QWidget* parent, const char* name, const char* pictureName, const QString& caption,
                        const QString& hint, bool enabled = true) {
    QToolButton* b = toolButton(parent, name, pictureName, caption, hint, enabled);
    b->setText(caption);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setIconSize(QSize(20, 20));
    b->setMinimumSize(0, 30);
    b->setMaximumSize(QWIDGETSIZE_MAX, 30);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TForm2::TForm2(Services services, ValidationReport& report, UrlLauncher& launcher,
               std::function<int()> doubleClickMode, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_report(report), m_launcher(launcher),
      m_doubleClickMode(std::move(doubleClickMode)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Validation of URL report"));
    setMinimumSize(637, 534);
    resize(760, 560);
    buildControls();
    connectControls();
    m_report.setEditText(QString()); // EditURL is emptied when the window is created
    showButtons();
}

void TForm2::buildControls() {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(4, 4, 4, 4);

    auto* panel1 = named(new QWidget(this), "Panel1");
    auto* bar = new QHBoxLayout(panel1);
    bar->setContentsMargins(2, 2, 2, 2);
    cyAdvSpeedButton2 = toolButton(panel1, "cyAdvSpeedButton2", "tick-all", QStringLiteral("Tick all valid"),
                                   QStringLiteral("|Tick all the items in the Valid URL list"));
    cyAdvSpeedButton3 =
        toolButton(panel1, "cyAdvSpeedButton3", "untick-all", QStringLiteral("Untick all valid"),
                   QStringLiteral("|Untick all the items in the Valid URL list"));
    cyDeleteValidChecked =
        toolButton(panel1, "cyDeleteValidChecked", "delete-ticked", QStringLiteral("Delete ticked valid"),
                   QStringLiteral("|Delete all ticked items from the Valid URL list"), false);
    RGSync = named(new QGroupBox(QStringLiteral("Sync URL List"), panel1), "RGSync");
    setHint(RGSync, QStringLiteral("|The validation report always point to the sender. You can always modify "
                                   "the recipient of the sync."));
    RGSyncGroup = new QButtonGroup(RGSync);
    auto* rg = new QHBoxLayout(RGSync);
    rg->setContentsMargins(6, 2, 6, 2);
    const QString items[] = {QStringLiteral("URL Capture"), QStringLiteral("Browser list")};
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(items[i], RGSync);
        r->setObjectName(QStringLiteral("RGSync%1").arg(i));
        RGSyncGroup->addButton(r, i);
        rg->addWidget(r);
    }
    cyAdvSpeedButton1 =
        toolButton(panel1, "cyAdvSpeedButton1", "tick-all", QStringLiteral("Tick all invalid"),
                   QStringLiteral("|Tick all the items in the Invalid URL list"));
    cyAdvSpeedButton4 =
        toolButton(panel1, "cyAdvSpeedButton4", "untick-all", QStringLiteral("Untick all invalid"),
                   QStringLiteral("|Untick all the items in the Invalid URL list"));
    cyDeleteInvalidChecked =
        toolButton(panel1, "cyDeleteInvalidChecked", "delete-ticked", QStringLiteral("Delete ticked invalid"),
                   QStringLiteral("|Delete all ticked items from the Invalid URL list"), false);
    cyReturnInvalid =
        toolButton(panel1, "cyReturnInvalid", "return-invalid", QStringLiteral("Return invalid"),
                   QStringLiteral("|Return ticked invalid url to the Valid URL List"), false);
    cyAdvSpeedButton7 = toolButton(
        panel1, "cyAdvSpeedButton7", "exit", QStringLiteral("Close"),
        QStringLiteral("|Close the Validation of URL report window and return to the main window"));
    for (QWidget* w : {static_cast<QWidget*>(cyAdvSpeedButton2), static_cast<QWidget*>(cyAdvSpeedButton3),
                       static_cast<QWidget*>(cyDeleteValidChecked)})
        bar->addWidget(w);
    bar->addWidget(separator(panel1));
    bar->addWidget(RGSync);
    bar->addWidget(separator(panel1));
    for (QWidget* w : {cyAdvSpeedButton1, cyAdvSpeedButton4, cyDeleteInvalidChecked, cyReturnInvalid})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(cyAdvSpeedButton7);
    v->addWidget(panel1);

    auto* halves = new QHBoxLayout;
    GroupBox1 = named(new QGroupBox(QStringLiteral("Valid URL list"), this), "GroupBox1");
    auto* g1 = new QVBoxLayout(GroupBox1);
    CLBValid = named(new CheckListView(GroupBox1), "CLBValid");
    CLBValid->setModel(&m_report.valid());
    setHint(CLBValid, QString::fromLatin1(kValidHintLaunch));
    g1->addWidget(CLBValid, 1);
    auto* panel5 = named(new QWidget(GroupBox1), "Panel5");
    auto* p5 = new QGridLayout(panel5);
    p5->setContentsMargins(0, 0, 0, 0);
    cySyncURLList =
        syncButton(panel5, "cySyncURLList", "sync-overwrite", QStringLiteral("Overwrite with all"),
                   QStringLiteral("|URL captured list is overwritten with the valid URL list. Sync "
                                  "with and empty Valid URL list is possible"));
    cySyncURLListAppend =
        syncButton(panel5, "cySyncURLListAppend", "sync-append", QStringLiteral("Append all"),
                   QStringLiteral("|Append the Valid list to the URL captured list.  No duplicate."));
    cySyncCheckedURLList = syncButton(
        panel5, "cySyncCheckedURLList", "sync-overwrite", QStringLiteral("Overwrite with ticked"),
        QStringLiteral("|URL captured list is overwritten with the checked item of the valid URL list"),
        false);
    cySyncURLListAppendChecked = syncButton(
        panel5, "cySyncURLListAppendChecked", "sync-append", QStringLiteral("Append ticked"),
        QStringLiteral(
            "|Append the checked item of the valid URL list to the URL captured list. No duplicate"),
        false);
    p5->addWidget(cySyncURLList, 0, 0);
    p5->addWidget(cySyncURLListAppend, 0, 1);
    p5->addWidget(cySyncCheckedURLList, 1, 0);
    p5->addWidget(cySyncURLListAppendChecked, 1, 1);
    g1->addWidget(panel5);

    GroupBox2 = named(new QGroupBox(QStringLiteral("Invalid URL list"), this), "GroupBox2");
    auto* g2 = new QVBoxLayout(GroupBox2);
    CLBInvalid = named(new CheckListView(GroupBox2), "CLBInvalid");
    CLBInvalid->setModel(&m_report.invalid());
    setHint(CLBInvalid, QStringLiteral("|List of invalid URL. Click an item to edit"));
    g2->addWidget(CLBInvalid, 1);
    auto* panel4 = named(new QWidget(GroupBox2), "Panel4");
    auto* p4 = new QHBoxLayout(panel4);
    p4->setContentsMargins(0, 0, 0, 0);
    EditURL = named(new QLineEdit(panel4), "EditURL");
    setHint(EditURL, QStringLiteral("|Input here a URL to validate"));
    cyEditURL = syncButton(panel4, "cyEditURL", "validate-ticked", QStringLiteral("Check again"),
                           QStringLiteral("Validate URL. Result is send to the Valid URL list if the URL of "
                                          "validation is successful"),
                           false);
    cyEditURL->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    p4->addWidget(EditURL, 1);
    p4->addWidget(cyEditURL);
    g2->addWidget(panel4);
    // Keep the two panels under the lists level with each other.
    panel4->setMinimumHeight(panel5->sizeHint().height());

    halves->addWidget(GroupBox1, 1);
    halves->addWidget(GroupBox2, 1);
    v->addLayout(halves, 1);

    HintPanel = named(new QLabel(this), "HintPanel");
    HintPanel->setTextFormat(Qt::PlainText);
    HintPanel->setFrameShape(QFrame::StyledPanel);
    HintPanel->setMinimumHeight(22);
    v->addWidget(HintPanel);
}

void TForm2::followSelection(CheckListView* view, CheckListModel& model) {
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

void TForm2::connectControls() {
    ValidationReport& r = m_report;
    connect(cyAdvSpeedButton2, &QToolButton::clicked, this, [&r] { r.tickAllValid(true); });
    connect(cyAdvSpeedButton3, &QToolButton::clicked, this, [&r] { r.tickAllValid(false); });
    connect(cyDeleteValidChecked, &QToolButton::clicked, this, [&r] { r.deleteTickedValid(); });
    connect(cyAdvSpeedButton1, &QToolButton::clicked, this, [&r] { r.tickAllInvalid(true); });
    connect(cyAdvSpeedButton4, &QToolButton::clicked, this, [&r] { r.tickAllInvalid(false); });
    connect(cyDeleteInvalidChecked, &QToolButton::clicked, this, [&r] { r.deleteTickedInvalid(); });
    connect(cyReturnInvalid, &QToolButton::clicked, this, [&r] { r.returnInvalid(); });
    connect(cyAdvSpeedButton7, &QToolButton::clicked, this, &QWidget::hide);
    connect(cySyncURLList, &QToolButton::clicked, this, [&r] { r.syncOverwriteAll(); });
    connect(cySyncURLListAppend, &QToolButton::clicked, this, [&r] { r.syncAppendAll(); });
    connect(cySyncCheckedURLList, &QToolButton::clicked, this, [&r] { r.syncOverwriteTicked(); });
    connect(cySyncURLListAppendChecked, &QToolButton::clicked, this, [&r] { r.syncAppendTicked(); });
    connect(cyEditURL, &QToolButton::clicked, this, [&r] { r.checkAgain(); });

    if (QAbstractButton* b = RGSyncGroup->button(r.syncIndex()))
        b->setChecked(true);
    connect(RGSyncGroup, &QButtonGroup::idClicked, this, [&r](int id) { r.setSyncIndex(id); });
    connect(&r, &ValidationReport::syncIndexChanged, this, [this](int index) {
        if (QAbstractButton* b = RGSyncGroup->button(index))
            b->setChecked(true);
    });

    // cyEditURL is enabled while EditURL holds text.
    connect(EditURL, &QLineEdit::textEdited, this, [&r](const QString& text) { r.setEditText(text); });
    connect(&r, &ValidationReport::editTextChanged, this, [this](const QString& text) {
        if (EditURL->text() != text)
            EditURL->setText(text);
    });
    connect(&r, &ValidationReport::buttonsChanged, this, &TForm2::showButtons);
    connect(&r, &ValidationReport::scrollRangesWanted, this, &TForm2::HorScrollBar);
    followSelection(CLBValid, r.valid());
    followSelection(CLBInvalid, r.invalid());
    m_validWidths = new WidestEntry(r.valid(), CLBValid);
    m_invalidWidths = new WidestEntry(r.invalid(), CLBInvalid);
    connect(m_validWidths, &WidestEntry::widestChanged, this,
            [this] { fitColumn(CLBValid, *m_validWidths); });
    connect(m_invalidWidths, &WidestEntry::widestChanged, this,
            [this] { fitColumn(CLBInvalid, *m_invalidWidths); });
    // The status panel says why a selected invalid entry failed (plain text: it holds the server's words).
    connect(&r.invalid(), &CheckListModel::selectionChanged, this, [this, &r](int row) {
        const QString reason = r.invalid().hintAt(row);
        if (!reason.isEmpty())
            HintPanel->setText(reason);
    });
    connect(CLBValid, &QAbstractItemView::doubleClicked, this, [this] { CLBValidDblClick(); });
}

void TForm2::showButtons() {
    const ReportButtons& b = m_report.buttons();
    cySyncCheckedURLList->setEnabled(b.syncChecked);
    cySyncURLListAppendChecked->setEnabled(b.appendChecked);
    cySyncURLListAppend->setEnabled(b.appendAll);
    cyDeleteValidChecked->setEnabled(b.deleteValid);
    cyDeleteInvalidChecked->setEnabled(b.deleteInvalid);
    cyReturnInvalid->setEnabled(b.returnInvalid);
    cyEditURL->setEnabled(b.checkAgain && !EditURL->text().isEmpty());
}

void TForm2::fitColumn(CheckListView* view, const WidestEntry& widths) {
    // The column is at least as wide as the view, and as wide as the widest text plus its margin.
    const int range = widths.widest() == 0 ? 0 : widths.widest() + 25;
    view->horizontalHeader()->setStretchLastSection(false);
    view->setColumnWidth(0, std::max(range, view->viewport()->width()));
}

void TForm2::HorScrollBar() {
    // The widths were measured as the lists changed: sizing (on every resize) measures nothing.
    fitColumn(CLBValid, *m_validWidths);
    fitColumn(CLBInvalid, *m_invalidWidths);
    m_report.scrollRangesSized();
}

void TForm2::showReport() {
    if (m_report.valid().selected() >= 0 || m_report.invalid().selected() >= 0)
        HorScrollBar();
    show();
    raise();
    activateWindow();
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    HorScrollBar();
}

void TForm2::showDoubleClickHint(int mode) {
    if (mode == 0)
        setHint(CLBValid, QString::fromLatin1(kValidHintLaunch));
    else if (mode == 1)
        setHint(CLBValid, QString::fromLatin1(kValidHintShow));
}

void TForm2::CLBValidDblClick() {
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
