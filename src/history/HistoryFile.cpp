#include "HistoryFile.h"

#include <QFile>
#include <cerrno>

namespace clipvane {

TimeSlicedYield::TimeSlicedYield(std::function<void()> yield, int sliceMs)
    : m_yield(std::move(yield)), m_sliceMs(sliceMs) {
    m_timer.start();
}

void TimeSlicedYield::operator()() {
    if (m_yield && (m_first || m_timer.elapsed() >= m_sliceMs))
        now();
}

void TimeSlicedYield::now() {
    m_first = false;
    if (m_yield)
        m_yield();
    m_timer.restart();
}

namespace {

// Codes 1 to 32: the control characters and the space. NUL is an ordinary character here.
bool isBlankOrControl(char16_t c) {
    return c >= 1 && c <= 32;
}

bool needsQuotes(const QString& cell) {
    for (QChar ch : cell) {
        const char16_t c = ch.unicode();
        if (isBlankOrControl(c) || c == u'"' || c == u',')
            return true;
    }
    return false;
}

void appendCell(QString& out, const QString& cell) {
    if (!needsQuotes(cell)) {
        out += cell;
        return;
    }
    out += u'"';
    for (QChar c : cell) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

void appendRowLine(QString& out, const HistoryEntry& entry) {
    for (int c = 0; c < kHistoryColumns; ++c) {
        if (c > 0)
            out += u',';
        appendCell(out, entry.cells[std::size_t(c)]);
    }
}

bool startsWithMark(QByteArrayView bytes) {
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

} // namespace

QString historyRowLine(const HistoryEntry& entry) {
    QString out;
    appendRowLine(out, entry);
    return out;
}

HistoryEntry parseHistoryLine(QStringView line) {
    HistoryEntry entry;
    const qsizetype n = line.size();
    qsizetype i = 0;
    int column = 0;
    auto skipBlanks = [&] {
        while (i < n && isBlankOrControl(line[i].unicode()))
            ++i;
    };
    auto put = [&](QString field) {
        if (column < kHistoryColumns)
            entry.cells[std::size_t(column)] = std::move(field);
        ++column;
    };

    skipBlanks();
    while (i < n) {
        if (line[i] == u'"') {
            ++i;
            QString field;
            qsizetype start = i;
            while (i < n) {
                if (line[i] != u'"') {
                    ++i;
                    continue;
                }
                field += line.sliced(start, i - start);
                if (i + 1 < n && line[i + 1] == u'"') {
                    field += u'"';
                    i += 2;
                    start = i;
                    continue;
                }
                ++i; // the closing quote
                start = -1;
                break;
            }
            if (start >= 0) // no closing quote: the field runs to the end of the line
                field += line.sliced(start, n - start);
            put(std::move(field));
        } else {
            const qsizetype start = i;
            while (i < n && !isBlankOrControl(line[i].unicode()) && line[i] != u',')
                ++i;
            // Fields past the seventh are only scanned: a line of thousands of fields costs no copies.
            put(column < kHistoryColumns ? line.sliced(start, i - start).toString() : QString());
        }
        skipBlanks();
        if (i < n && line[i] == u',') {
            if (i == n - 1)
                put(QString());
            ++i;
            skipBlanks();
        }
    }
    return entry;
}

QByteArray encodeHistoryFile(const QList<HistoryEntry>& rows, const std::function<void()>& yield) {
    TimeSlicedYield slice(yield);
    QString text;
    text.reserve(rows.size() * 96);
    for (const HistoryEntry& row : rows) {
        slice();
        appendRowLine(text, row);
        text += QLatin1String("\r\n");
    }
    // A mark-less file holding NUL bytes reads as "not a text file"; with the mark it reads back whole.
    const bool hasNul = text.contains(QChar(0));
    return encodeText(text, hasNul ? TextEncoding::Utf8Bom : TextEncoding::Ansi);
}

HistoryFileContent ReadHistoryFile(const QString& path, const std::function<void()>& yield) {
    HistoryFileContent result;
    const FileBytes file = readFileBytes(path);
    if (!file.ok) {
        result.error = file.error;
        return result;
    }
    const QByteArray& bytes = file.bytes;
    if (!startsWithMark(bytes) && bytes.contains('\0')) {
        result.notText = true;
        return result;
    }
    const QString text = decodeText(bytes).text;

    TimeSlicedYield slice(yield);
    forEachLine(text, [&](QStringView line) {
        slice();
        result.rows.append(parseHistoryLine(line));
    });
    result.ok = true;
    return result;
}

WriteResult WriteHistoryFile(const HistoryTable& table, const QString& path,
                             const std::function<void()>& yield) {
    // The rows as they are now: captures or edits made while the text is built wait for the next save.
    const QList<HistoryEntry> rows = table.snapshot();
    return writeFileAtomically(path, encodeHistoryFile(rows, yield));
}

void applyHistoryRows(HistoryTable& table, const QList<HistoryEntry>& lines, LoadMode mode,
                      const QList<quint64>& addedDuringLoad) {
    if (mode == LoadMode::Append) {
        if (lines.size() <= 1)
            return;
        QList<HistoryEntry> rows = lines.mid(1);
        const int last = table.rowCount() - 1;
        // The first row goes into the blank last row; a last row that holds anything is kept.
        if (last >= 1 && table.entry(last).isBlank()) {
            table.setEntry(last, rows.takeFirst());
            table.insertEntries(last + 1, rows);
        } else {
            table.insertEntries(table.rowCount(), rows);
        }
        return;
    }

    QList<HistoryEntry> rows = lines;
    if (rows.isEmpty())
        rows = {table.entry(0), HistoryEntry{}};
    else if (rows.size() == 1)
        rows.append(HistoryEntry{});

    QList<quint64> keep = addedDuringLoad;
    if (mode == LoadMode::ReplaceKeepRows) {
        keep.clear();
        for (int r = 1; r < table.rowCount(); ++r)
            if (!table.entry(r).isBlank())
                keep.append(table.idAt(r));
    }
    // Kept entries take the place of the file's blank last row.
    if (!keep.isEmpty() && rows.size() > 1 && rows.last().isBlank())
        rows.removeLast();
    table.replaceRows(rows, keep);
}

HistoryLoadResult LoadHistoryFile(HistoryTable& table, const QString& path, LoadMode mode,
                                  const std::function<void()>& yield) {
    const quint64 watermark = table.idWatermark();
    const int lastAtStart = table.rowCount() - 1;
    const quint64 blankAtStart = table.entry(lastAtStart).isBlank() ? table.idAt(lastAtStart) : 0;

    HistoryLoadResult result;
    HistoryFileContent content = ReadHistoryFile(path, yield);
    result.error = content.error;
    result.notText = content.notText;
    if (!content.ok || content.notText)
        return result;
    result.ok = true;
    result.lines = int(content.rows.size());

    // Captures made while the file was read wrote into the blank row of the start or into rows made since.
    QList<quint64> added;
    for (int r = 1; r < table.rowCount(); ++r) {
        const quint64 id = table.idAt(r);
        if ((id >= watermark || (blankAtStart != 0 && id == blankAtStart)) && !table.entry(r).isBlank())
            added.append(id);
    }
    applyHistoryRows(table, content.rows, mode, added);
    return result;
}

} // namespace clipvane
