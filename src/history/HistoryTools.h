#pragma once
#include "history/HistoryTable.h"

#include <QFont>
#include <QStringList>
#include <array>
#include <functional>

namespace clipvane {

class Dialogs;

inline constexpr char kExactMatchQuestion[] =
    "Found a record matching search criteria and focus on it. Continue the search?";
inline constexpr char kPartialMatchQuestion[] =
    "Found a record partially matching search criteria and focus on it. Continue the search?";
inline constexpr char kDuplicatesRemoved[] = " duplicated record found and removed.";

// The cell holds the text with the letters a to z folded to capitals on both sides (other letters keep
// their case).
bool containsFoldingAsciiLetters(QStringView cell, QStringView text);

// The totals message at the end of a search.
QString searchTotalsText(bool cancelled, int exact, int partial);

// The search of the history window: every cell of the rows present at its start, exact matches and
// partial ones, with a question at each. It lets pending messages run as it goes, holds its rows by
// identity, and stops at the end of the cell being examined once cancelled.
class HistorySearch {
public:
    struct Hooks {
        std::function<void(int row, int column)> select; // select the cell and focus the grid
        std::function<void()> yield;                     // let pending messages run
    };
    enum class Outcome { Finished, Cancelled, Stopped };
    struct Result {
        Outcome outcome = Outcome::Finished;
        int exact = 0;
        int partial = 0;
    };

    HistorySearch(HistoryTable& table, Dialogs& dialogs);

    // Runs the whole search; the totals message is shown unless a question was answered No. An empty
    // text, or a search already running, does nothing.
    Result run(const QString& text, const Hooks& hooks);
    void cancel() { m_cancelled = true; }
    bool isRunning() const { return m_running; }

private:
    HistoryTable& m_table;
    Dialogs& m_dialogs;
    bool m_cancelled = false;
    bool m_running = false;
};

// Sorts the entry rows ascending on the key "cell of the column, @, every cell followed by CR LF", in the
// locale collation without regard to case. The header row and the last row stay where they are.
void SortHistory(HistoryTable& table, int column);

// Removes every entry row whose cells, joined without separator, equal those of an earlier entry row
// (letter case counts); the first of each stays. Answers how many went.
int RemoveDuplicateRecords(HistoryTable& table);

// The URL cells of the entry rows, in table order.
QStringList historyUrlLines(const HistoryTable& table);

// What the grid draws with: its font, the room around a cell's text (margins and the grid line), and the
// width each header section needs to show its text whole.
struct GridMetrics {
    QFont font;
    int cellPadding = 7;
    std::array<int, kHistoryColumns> headerWidths{};
};

// Column widths: every column its widest drawn text within 20..200 plus the grid lines and padding, then
// the URL column its widest text plus the padding without that limit; never narrower than its header,
// never wider than kMaxColumnWidth.
inline constexpr int kHistoryRowHeight = 24;
inline constexpr int kMaxColumnWidth = 4000;
std::array<int, kHistoryColumns> autoSizeWidths(const HistoryTable& table, const GridMetrics& grid);
// The widest drawn text of a column plus the padding (at least 7), within the header and the maximum.
int autoSizeColWidth(const HistoryTable& table, int column, const GridMetrics& grid);

} // namespace clipvane
