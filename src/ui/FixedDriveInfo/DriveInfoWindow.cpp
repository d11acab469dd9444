#include "DriveInfoWindow.h"

#include "core/Yield.h"
#include "sysinfo/DriveUsage.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/ToolBar.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace clipvane {

namespace {

// How long the drives may take to tell their space; one that does not answer in time is left out.
constexpr std::chrono::milliseconds kSpaceTimeLimit{2000};

struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

struct DriveInfoWindow::Ui {
    QTableWidget* driveGrid = nullptr;  // SG
    QToolButton* closeButton = nullptr; // cyClose
};

DriveInfoWindow::DriveInfoWindow(Services services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui>()), m_services(services) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("All drive information"));
    setWindowIcon(applicationIcon());
    // FormConstrainedResize: never narrower than the five columns.
    setMinimumWidth(659);
    resize(659, 221);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_ui->driveGrid = named(new QTableWidget(0, kDriveTableHeader.size(), this), "SG");
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    m_ui->driveGrid->setFont(font);
    m_ui->driveGrid->horizontalHeader()->setDefaultSectionSize(120);
    m_ui->driveGrid->horizontalHeader()->setStretchLastSection(true);
    m_ui->driveGrid->horizontalHeader()->setHighlightSections(false);
    // The fixed row is drawn with a gradient of the theme's own colours.
    m_ui->driveGrid->horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView::section { padding: 2px 4px; border: none; border-right: 1px solid palette(mid);"
        " border-bottom: 1px solid palette(mid); background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 palette(light), stop:1 palette(button)); }"));
    m_ui->driveGrid->verticalHeader()->hide();
    m_ui->driveGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 8);
    m_ui->driveGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ui->driveGrid->setTabKeyNavigation(false); // Tab leaves the table; arrows move in it
    m_ui->driveGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ui->driveGrid->setWordWrap(false);
    v->addWidget(m_ui->driveGrid, 1);

    m_ui->closeButton = toolButton(this, {"cyClose", "exit", "Close this information window", ""},
                                   {QSize(), QSize(24, 24), Qt::ToolButtonTextBesideIcon, false, false});
    m_ui->closeButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_ui->closeButton->setFixedHeight(48);
    v->addWidget(m_ui->closeButton);
    connect(m_ui->closeButton, &QToolButton::clicked, this, &DriveInfoWindow::cyCloseClick);
}

DriveInfoWindow::~DriveInfoWindow() = default;

void DriveInfoWindow::FormCreate() {
    m_ui->driveGrid->setHorizontalHeaderLabels(kDriveTableHeader);
}

void DriveInfoWindow::DriveUsage() {
    DriveTable table;
    if (m_services.platform.drives) {
        const WaitCursor wait;
        table = buildDriveTable(*m_services.platform.drives, {kSpaceTimeLimit, letPendingMessagesRun});
    }
    showTable(table);
    if (!isVisible()) {
        // Opened: tall and wide enough for the whole table, within the screen, centred on it.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        int width = m_ui->driveGrid->frameWidth() * 2;
        for (int c = 0; c < m_ui->driveGrid->columnCount(); ++c)
            width += c == m_ui->driveGrid->columnCount() - 1 ? 120 : m_ui->driveGrid->columnWidth(c);
        const int height =
            m_ui->driveGrid->frameWidth() * 2 + m_ui->driveGrid->horizontalHeader()->sizeHint().height() +
            m_ui->driveGrid->rowCount() * m_ui->driveGrid->verticalHeader()->defaultSectionSize() +
            m_ui->closeButton->height() + 2;
        resize(std::clamp(width, this->width(), std::max(this->width(), available.width() * 9 / 10)),
               std::clamp(height, this->height(), std::max(this->height(), available.height() * 9 / 10)));
        move(available.center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void DriveInfoWindow::showTable(const DriveTable& table) {
    const QList<QStringList> cells = table.cells();
    m_ui->driveGrid->clearContents();
    m_ui->driveGrid->setRowCount(int(cells.size()));
    for (int r = 0; r < cells.size(); ++r) {
        const bool total = r == cells.size() - 1;
        for (int c = 0; c < cells[r].size(); ++c) {
            auto* item = new QTableWidgetItem(cells[r][c]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (total) {
                QFont f = m_ui->driveGrid->font();
                f.setBold(true);
                item->setFont(f);
            }
            m_ui->driveGrid->setItem(r, c, item);
        }
    }
    // Mount points are longer than drive letters: the column grows to show them whole.
    m_ui->driveGrid->resizeColumnToContents(1);
    m_ui->driveGrid->setColumnWidth(1, std::max(m_ui->driveGrid->columnWidth(1) + 8, 120));
}

void DriveInfoWindow::cyCloseClick() {
    hide();
}

} // namespace clipvane
