#include "HistoryTools.h"

#include "core/Collation.h"
#include "core/Dialogs.h"
#include "history/HistoryFile.h"

#include <QCollatorSortKey>
#include <QFontMetricsF>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace clipvane {

namespace {

char16_t foldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

} // namespace

bool containsFoldingAsciiLetters(QStringView cell, QStringView text) {
    const qsizetype n = cell.size();
    const qsizetype m = text.size();
    if (m == 0)
        return true;
    if (m > n)
        return false;
    const char16_t first = foldAscii(text[0].unicode());
    for (qsizetype i = 0; i + m <= n; ++i) {
        if (foldAscii(cell[i].unicode()) != first)
            continue;
        qsizetype k = 1;
        while (k < m && foldAscii(cell[i + k].unicode()) == foldAscii(text[k].unicode()))
            ++k;
        if (k == m)
            return true;
    }
    return false;
}

QString searchTotalsText(bool cancelled, int exact, int partial) {
    return (cancelled ? QStringLiteral("The search was canceled and is over. ")
                      : QStringLiteral("The search is over. ")) +
           QStringLiteral("\r\nTotal exact match found:  ") + QString::number(exact) +
           QStringLiteral("\r\nTotal partial match found:") + QString::number(partial);
}

// ---- Search

HistorySearch::HistorySearch(HistoryTable& table, Dialogs& dialogs) : m_table(table), m_dialogs(dialogs) {}

HistorySearch::Result HistorySearch::run(const QString& text, const Hooks& hooks) {
    Result result;
    if (text.isEmpty() || m_running)
        return result;
    m_running = true;
    m_cancelled = false;
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{m_running};

    // The rows present now, blank last row included; rows added later are not examined.
    std::vector<quint64> ids;
    ids.reserve(std::size_t(std::max(0, m_table.rowCount() - 1)));
    for (int r = 1; r < m_table.rowCount(); ++r)
        ids.push_back(m_table.idAt(r));

    TimeSlicedYield yield(hooks.yield);
    int hint = 1;
    for (quint64 id : ids) {
        for (int c = 0; c < kHistoryColumns && !m_cancelled; ++c) {
            yield();
            // Looked up again at every cell: questions and yields let rows move or go.
            const int row = m_table.rowOfId(id, hint);
            if (row < 0)
                break;
            hint = row;
            const QString cell = m_table.cell(row, c);
            if (cell == text) {
                ++result.exact;
                if (hooks.select)
                    hooks.select(row, c);
                const Answer a = m_dialogs.message(MessageKind::Information,
                                                   QString::fromLatin1(kExactMatchQuestion), Buttons::YesNo);
                if (a == Answer::No) {
                    result.outcome = Outcome::Stopped;
                    return result;
                }
            } else if (containsFoldingAsciiLetters(cell, text)) {
                ++result.partial;
                if (hooks.select)
                    hooks.select(row, c);
                const Answer a = m_dialogs.message(
                    MessageKind::Information, QString::fromLatin1(kPartialMatchQuestion), Buttons::YesNo);
                if (a != Answer::Yes) {
                    result.outcome = Outcome::Stopped;
                    return result;
                }
            }
            yield();
        }
        if (m_cancelled)
            break;
        ++hint;
    }
    result.outcome = m_cancelled ? Outcome::Cancelled : Outcome::Finished;
    m_dialogs.message(MessageKind::Information, searchTotalsText(m_cancelled, result.exact, result.partial),
                      Buttons::Ok);
    return result;
}

// ---- Sort, duplicates, URL column

void SortHistory(HistoryTable& table, int column) {
    if (column < 0 || column >= kHistoryColumns)
        return;
    const int count = table.rowCount() - 2;
    if (count < 2)
        return;
    const ListCollation collator;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(std::size_t(count));
    QString key;
    for (int i = 0; i < count; ++i) {
        const int row = i + 1;
        key.clear();
        key += table.cell(row, column);
        key += u'@';
        for (int c = 0; c < kHistoryColumns; ++c) {
            key += table.cell(row, c);
            key += QLatin1String("\r\n");
        }
        keys.push_back(collator.sortKey(key));
    }
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return keys[std::size_t(a)].compare(keys[std::size_t(b)]) < 0; });
    table.reorderRows(1, order);
}

int RemoveDuplicateRecords(HistoryTable& table) {
    const int last = table.rowCount() - 2; // the last entry row
    if (last < 2)
        return 0;
    // One pass with the joined cells of every entry seen so far: the same rows go as when every entry
    // is compared with every later one, since equality of the joined texts is transitive.
    QSet<QString> seen;
    seen.reserve(last);
    std::vector<int> duplicates;
    QString joined;
    for (int row = 1; row <= last; ++row) {
        joined.clear();
        for (int c = 0; c < kHistoryColumns; ++c)
            joined += table.cell(row, c);
        if (seen.contains(joined))
            duplicates.push_back(row);
        else
            seen.insert(joined);
    }
    table.removeRowSet(duplicates);
    return int(duplicates.size());
}

QStringList historyUrlLines(const HistoryTable& table) {
    QStringList lines;
    for (int row = 1; row <= table.rowCount() - 2; ++row)
        lines.append(table.cell(row, 2));
    return lines;
}

// ---- AutoSize

namespace {

// Text widths for a whole column, in two steps. A quick estimate for every cell: printable Latin-1 text
// (nearly every cell) is the sum of its characters' advances from a table, which is what the font gives
// it but for kerning and rounding; other text is measured whole. Then the widest candidates are measured
// exactly as the grid lays them out, so the widest text fits whole.
class ColumnMeasure {
public:
    explicit ColumnMeasure(const QFont& font) : m_metrics(font) {
        // Fractional advances: rounding each character would add up over a long URL.
        for (int c = 0; c < 256; ++c)
            m_advance[std::size_t(c)] = m_metrics.horizontalAdvance(QChar(char16_t(c)));
    }
    qreal estimate(const QString& text) const {
        qreal sum = 0;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            // Controls and the soft hyphen are drawn (or not) by the text engine's own rules.
            if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xAD || u > 0xFF)
                return m_metrics.horizontalAdvance(text);
            sum += m_advance[std::size_t(u)];
        }
        return sum;
    }
    // The grid lays text out in fractional pixels and needs the whole last one.
    int exact(const QString& text) const { return int(std::ceil(m_metrics.horizontalAdvance(text))); }

private:
    QFontMetricsF m_metrics;
    std::array<qreal, 256> m_advance{};
};

// How far an estimate may fall short of the laid-out width (kerning and rounding).
qreal shortfall(qreal estimate) {
    return 2 + estimate / 32;
}

// The widest drawn text of a column, or `cap` once some text surely reaches it. Cells are measured as the
// grid draws them (very long texts cut), so a cell of megabytes costs no more than a long one.
int widestText(const HistoryTable& table, int column, const QFont& font, int cap) {
    const ColumnMeasure measure(font);
    std::vector<std::pair<qreal, int>> estimates; // estimate, row
    estimates.reserve(std::size_t(table.rowCount()));
    for (int row = 0; row < table.rowCount(); ++row) {
        const qreal e = measure.estimate(HistoryTable::displayText(table.cell(row, column)));
        if (e - shortfall(e) >= cap)
            return cap;
        estimates.emplace_back(e, row);
    }
    std::sort(estimates.begin(), estimates.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    // Exact measures from the widest estimate down, until no estimate left could beat the widest found.
    constexpr int kMostExact = 256;
    int widest = 0;
    int measured = 0;
    QSet<QString> seen;
    for (const auto& [e, row] : estimates) {
        const int bound = int(std::ceil(e + shortfall(e)));
        if (bound <= widest)
            break;
        if (measured == kMostExact)
            return std::min(cap, bound); // too many look alike: the bound is safe
        const QString text = HistoryTable::displayText(table.cell(row, column));
        if (seen.contains(text))
            continue;
        seen.insert(text);
        ++measured;
        widest = std::max(widest, measure.exact(text));
        if (widest >= cap)
            return cap;
    }
    return widest;
}

} // namespace

std::array<int, kHistoryColumns> autoSizeWidths(const HistoryTable& table, const GridMetrics& grid) {
    constexpr int kGridLine = 1;
    std::array<int, kHistoryColumns> widths{};
    for (int c = 0; c < kHistoryColumns; ++c) {
        if (c == 2)
            continue; // set below without the 200 limit
        const int w = std::clamp(widestText(table, c, grid.font, 200), 20, 200);
        widths[std::size_t(c)] = std::max(w + 2 * kGridLine + 18, grid.headerWidths[std::size_t(c)]);
    }
    widths[2] = autoSizeColWidth(table, 2, grid);
    return widths;
}

int autoSizeColWidth(const HistoryTable& table, int column, const GridMetrics& grid) {
    const int padding = std::max(7, grid.cellPadding);
    const int text = widestText(table, column, grid.font, kMaxColumnWidth - padding);
    const int header = column >= 0 && column < kHistoryColumns ? grid.headerWidths[std::size_t(column)] : 0;
    return std::min(kMaxColumnWidth, std::max(text + padding, header));
}

} // namespace clipvane
