#include "FixedDriveInfo.h"

#include "core/Yield.h"
#include "sysinfo/DriveUsage.h"
#include "widgets/Controls.h"
#include "widgets/Pictures.h"

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

TForm4::TForm4(Services services, QWidget* parent) : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("All drive information"));
    setWindowIcon(applicationIcon());
    // FormConstrainedResize: never narrower than the five columns.
    setMinimumWidth(659);
    resize(659, 221);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    SG = named(new QTableWidget(0, kDriveTableHeader.size(), this), "SG");
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    SG->setFont(font);
    SG->horizontalHeader()->setDefaultSectionSize(120);
    SG->horizontalHeader()->setStretchLastSection(true);
    SG->horizontalHeader()->setHighlightSections(false);
    // The fixed row is drawn with a gradient of the theme's own colours.
    SG->horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView::section { padding: 2px 4px; border: none; border-right: 1px solid palette(mid);"
        " border-bottom: 1px solid palette(mid); background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 palette(light), stop:1 palette(button)); }"));
    SG->verticalHeader()->hide();
    SG->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 8);
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setTabKeyNavigation(false); // Tab leaves the table; arrows move in it
    SG->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG->setWordWrap(false);
    v->addWidget(SG, 1);

    cyClose = named(new QToolButton(this), "cyClose");
    cyClose->setText(QStringLiteral("Close this information window"));
    cyClose->setIcon(picture(QStringLiteral("exit")));
    cyClose->setIconSize(QSize(24, 24));
    cyClose->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    cyClose->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cyClose->setFixedHeight(48);
    v->addWidget(cyClose);
    connect(cyClose, &QToolButton::clicked, this, &TForm4::cyCloseClick);
}

void TForm4::FormCreate() {
    SG->setHorizontalHeaderLabels(kDriveTableHeader);
}

void TForm4::DriveUsage() {
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
        int width = SG->frameWidth() * 2;
        for (int c = 0; c < SG->columnCount(); ++c)
            width += c == SG->columnCount() - 1 ? 120 : SG->columnWidth(c);
        const int height = SG->frameWidth() * 2 + SG->horizontalHeader()->sizeHint().height() +
                           SG->rowCount() * SG->verticalHeader()->defaultSectionSize() + cyClose->height() +
                           2;
        resize(std::clamp(width, this->width(), std::max(this->width(), available.width() * 9 / 10)),
               std::clamp(height, this->height(), std::max(this->height(), available.height() * 9 / 10)));
        move(available.center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void TForm4::showTable(const DriveTable& table) {
    const QList<QStringList> cells = table.cells();
    SG->clearContents();
    SG->setRowCount(int(cells.size()));
    for (int r = 0; r < cells.size(); ++r) {
        const bool total = r == cells.size() - 1;
        for (int c = 0; c < cells[r].size(); ++c) {
            auto* item = new QTableWidgetItem(cells[r][c]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (total) {
                QFont f = SG->font();
                f.setBold(true);
                item->setFont(f);
            }
            SG->setItem(r, c, item);
        }
    }
    // Mount points are longer than drive letters: the column grows to show them whole.
    SG->resizeColumnToContents(1);
    SG->setColumnWidth(1, std::max(SG->columnWidth(1) + 8, 120));
}

void TForm4::cyCloseClick() {
    hide();
}

} // namespace clipvane
