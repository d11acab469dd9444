#pragma once
#include "history/HistoryTable.h"

#include <QDateTime>
#include <array>

class QPainter;

namespace clipvane {

// "Clipvane - Captured History database. " and the date and time in the locale's formats.
QString historyPrintTitle(const QDateTime& when);

// Draws the printout on one page in device units: the title, then the columns from "Time of entry" to
// "IP" (not the date), each five times its width on screen, header row and every row below it, each
// cell clipped to its box. Rows below the page are left out.
void drawHistoryPrintout(QPainter& painter, const HistoryTable& table, const QString& title,
                         const std::array<int, kHistoryColumns>& screenWidths);

} // namespace clipvane
