#pragma once
// Compact tables for the history tests: a row is written "cell|cell|..." (missing cells are empty,
// "" is a blank row), a table is a list of such rows, the header row first.
#include "Doubles.h"
#include "history/HistoryTable.h"

#include <QStringList>

namespace clipvane::test {

inline HistoryEntry rowOf(const QString& compact) {
    HistoryEntry e;
    const QStringList cells = compact.split(u'|');
    for (int c = 0; c < kHistoryColumns && c < cells.size(); ++c)
        e.cells[std::size_t(c)] = cells[c];
    return e;
}

inline QString compactOf(const HistoryEntry& e) {
    int last = kHistoryColumns - 1;
    while (last >= 0 && e.cells[std::size_t(last)].isEmpty())
        --last;
    QStringList cells;
    for (int c = 0; c <= last; ++c)
        cells.append(e.cells[std::size_t(c)]);
    return cells.join(u'|');
}

inline QStringList compactRows(const HistoryTable& table) {
    QStringList out;
    for (int r = 0; r < table.rowCount(); ++r)
        out.append(compactOf(table.entry(r)));
    return out;
}

inline QList<HistoryEntry> rowsOf(const QStringList& compact) {
    QList<HistoryEntry> rows;
    for (const QString& r : compact)
        rows.append(rowOf(r));
    return rows;
}

// A table on doubles holding exactly the given rows (header row first).
struct TableRig {
    FakeResolver resolver;
    FakeConnectivity connectivity;
    std::function<void()> onYield;
    HistoryTable table{sources()};

    HistorySources sources() {
        HistorySources s;
        s.resolver = &resolver;
        s.connectivity = &connectivity;
        s.validateClipboardUrl = [] { return false; };
        s.yield = [this] {
            if (onYield)
                onYield();
        };
        s.now = [] { return QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3)); };
        return s;
    }
    void set(const QStringList& rows) { table.replaceRows(rowsOf(rows)); }
    QStringList rows() const { return compactRows(table); }
};

inline const QString kHeaderCompact =
    QStringLiteral("Date of entry|Time of entry|URL|Origin|Validate|Domain|IP");

} // namespace clipvane::test
