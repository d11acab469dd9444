#include "HistoryTools.h"

#include "core/Collation.h"
#include "core/Dialogs.h"
#include "history/HistoryFile.h"

#include <QCollatorSortKey>
#include <QFontMetricsF>
#include <QSet>
#include <algorithm>
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
    const QCollator collator = listCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(std::size_t(count));
    QString key;
    for (int i = 0; i < count; ++i) {
        const int row = i + 1;
        key.clear();
        key += table.cellView(row, column);
        key += u'@';
        for (int c = 0; c < kHistoryColumns; ++c) {
            key += table.cellView(row, c);
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
            joined += table.cellView(row, c);
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

// Text widths for a whole column. Printable Latin-1 text (nearly every cell) is the sum of its characters'
// advances from a table, which is what the font gives it but for kerning, a pixel at most here and there;
// other text is measured whole, as fallback fonts and shaping may apply.
class ColumnMeasure {
public:
    explicit ColumnMeasure(const QFont& font) : m_metrics(font) {
        // Fractional advances: rounding each character would add up over a long URL.
        const QFontMetricsF exact(font);
        for (int c = 0; c < 256; ++c)
            m_advance[std::size_t(c)] = exact.horizontalAdvance(QChar(char16_t(c)));
    }
    int width(const QString& text) const {
        qreal sum = 0;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            // Controls and the soft hyphen are drawn (or not) by the text engine's own rules.
            if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0xAD || u > 0xFF)
                return m_metrics.horizontalAdvance(text);
            sum += m_advance[std::size_t(u)];
        }
        return qRound(sum);
    }

private:
    QFontMetrics m_metrics;
    std::array<qreal, 256> m_advance{};
};

// The widest text of a column, or `cap` as soon as some text reaches it.
int widestText(const HistoryTable& table, int column, const QFont& font, int cap) {
    const ColumnMeasure measure(font);
    int widest = 0;
    for (int row = 0; row < table.rowCount(); ++row) {
        widest = std::max(widest, measure.width(table.cell(row, column)));
        if (widest >= cap)
            return cap;
    }
    return widest;
}

} // namespace

std::array<int, kHistoryColumns> autoSizeWidths(const HistoryTable& table, const QFont& font) {
    constexpr int kGridLine = 1;
    std::array<int, kHistoryColumns> widths{};
    for (int c = 0; c < kHistoryColumns; ++c) {
        if (c == 2)
            continue; // set below without the upper limit
        const int w = std::clamp(widestText(table, c, font, 200), 20, 200);
        widths[std::size_t(c)] = w + 2 * kGridLine + 18;
    }
    widths[2] = autoSizeColWidth(table, 2, font);
    return widths;
}

int autoSizeColWidth(const HistoryTable& table, int column, const QFont& font) {
    return widestText(table, column, font, std::numeric_limits<int>::max()) + 7;
}

} // namespace clipvane
