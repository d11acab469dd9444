#include "HistoryPrint.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

namespace clipvane {

QString historyPrintTitle(const QDateTime& when) {
    const QLocale locale;
    return QStringLiteral("Clipvane - Captured History database. ") +
           locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(when.time(), longTimeFormat(locale));
}

namespace {

// Text drawn with its top left corner at (x, y), as a text cell is placed, and clipped to a box.
void drawTextAt(QPainter& painter, qreal x, qreal y, const QString& text, const QRect* clip = nullptr) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    if (clip)
        painter.setClipRect(*clip);
    painter.drawText(QPointF(x, y + metrics.ascent()), text);
    if (clip)
        painter.setClipping(false);
}

} // namespace

void drawHistoryPrintout(QPainter& painter, const HistoryTable& table, const QString& title,
                         const std::array<int, kHistoryColumns>& screenWidths) {
    painter.save();
    painter.setPen(Qt::black);

    QFont titleFont(QStringLiteral("Times New Roman"), 12);
    titleFont.setBold(true);
    titleFont.setUnderline(true);
    painter.setFont(titleFont);
    drawTextAt(painter, 0, 100, title);

    QFont headerFont(QStringLiteral("Times New Roman"), 7);
    headerFont.setBold(true);
    QFont rowFont(QStringLiteral("Times New Roman"), 7);
    const int pageHeight = painter.device() ? painter.device()->height() : 0;

    int left = 0;
    for (int c = 1; c < kHistoryColumns; ++c) {
        const int width = 5 * screenWidths[std::size_t(c)];
        const int right = left + width - 30;
        painter.setFont(headerFont);
        const QRect headerBox(left, 300, std::max(0, right - left), 150);
        drawTextAt(painter, left + 50, 350, table.cell(0, c), &headerBox);
        painter.setFont(rowFont);
        for (int r = 1; r < table.rowCount(); ++r) {
            const int top = 300 + 150 * r;
            if (pageHeight > 0 && top >= pageHeight)
                break; // one page: what falls below it is not printed
            const QRect box(left, top, std::max(0, right - left), 150);
            drawTextAt(painter, left + 50, 350 + 150 * r, table.cell(r, c), &box);
        }
        left += width;
    }
    painter.restore();
}

} // namespace clipvane
