#pragma once
#include "core/FileIO.h"
#include "core/OsError.h"
#include "core/TextCodec.h"
#include "history/HistoryTable.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>

namespace clipvane {

// Lets pending messages run now and then: often enough for the window to answer, seldom enough that
// long work over a large table is not spent in the event loop.
class TimeSlicedYield {
public:
    explicit TimeSlicedYield(std::function<void()> yield, int sliceMs = 15);
    void operator()(); // yields at the first call, then whenever the slice is used up
    void now();        // yields at once

private:
    std::function<void()> m_yield;
    int m_sliceMs;
    bool m_first = true;
    QElapsedTimer m_timer;
};

// One CSV line of a row, without its line end: a cell holding a character from 1 to 32, a double quote
// or a comma is quoted, with its quotes doubled; other cells are written as they are.
QString historyRowLine(const HistoryEntry& entry);
// The lenient inverse: unquoted fields end at a space or control character, a quoted field without its
// closing quote runs to the end of the line, fields beyond the seventh are dropped.
HistoryEntry parseHistoryLine(QStringView line);

// The whole file: every row followed by CR LF, in the encoding chooseEncoding() gives (UTF-8 with its
// mark also when a cell holds NUL, which a mark-less file may not).
QByteArray encodeHistoryFile(const QList<PackedEntry>& rows, const std::function<void()>& yield = {});

struct HistoryFileContent {
    bool ok = false;
    OsError error;        // when the file could not be read
    bool notText = false; // when it was read but holds NUL bytes without a mark: not a text file
    QList<PackedEntry> rows;
};

// Reads every record of a history file as a row. Records end at CR LF, CR or LF outside quoted fields:
// a quoted field may hold line breaks.
HistoryFileContent ReadHistoryFile(const QString& path, const std::function<void()>& yield = {});

// Writes the table as it is when the call starts. Atomic: a failed write leaves the previous file.
WriteResult WriteHistoryFile(const HistoryTable& table, const QString& path,
                             const std::function<void()>& yield = {});

// The rows of a history file with a table's entries added behind its own: the file's header and rows,
// without the blank rows at their end, then the table's entries (not its header row), then one blank row.
// An empty file gives the table's rows as they are.
QList<PackedEntry> appendedHistoryRows(const QList<PackedEntry>& fileRows,
                                       const QList<PackedEntry>& tableRows);

enum class LoadMode {
    Replace,         // the file's rows replace the table
    Append,          // the file's rows after its first line go behind the table's entries
    ReplaceKeepRows, // as Replace, but the entries already in the table stay behind the file's rows
};

struct HistoryLoadResult {
    bool ok = false;
    OsError error;
    bool notText = false;
    int lines = 0; // lines read from the file
};

// Loads a history file into the table. The file is read and split before the table is touched, and the
// table changes in one step, so that a capture arriving while the load yields keeps its row: entries
// added during the load stay behind the loaded rows. A file that cannot be read changes nothing.
HistoryLoadResult LoadHistoryFile(HistoryTable& table, const QString& path, LoadMode mode,
                                  const std::function<void()>& yield = {});

// The same with rows already read (the table steps alone).
void applyHistoryRows(HistoryTable& table, const QList<PackedEntry>& lines, LoadMode mode,
                      const QList<quint64>& addedDuringLoad = {});

} // namespace clipvane
