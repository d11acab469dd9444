#include "HistoryFile.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
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

// Small enough that the text at hand stays a small part of the peak beside the rows.
constexpr qint64 kChunkSize = qint64(256) << 10;

// Codes 1 to 32: the control characters and the space. NUL is an ordinary character here.
bool isBlankOrControl(char16_t c) {
    return c >= 1 && c <= 32;
}

bool isLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n';
}

// The blanks skipped between fields: a line break ends the record instead.
bool isBlankInRecord(char16_t c) {
    return isBlankOrControl(c) && !isLineBreak(c);
}

bool needsQuotes(QStringView cell) {
    for (QChar ch : cell) {
        const char16_t c = ch.unicode();
        if (isBlankOrControl(c) || c == u'"' || c == u',')
            return true;
    }
    return false;
}

void appendCell(QString& out, QStringView cell) {
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

template <typename Row> void appendRowLine(QString& out, const Row& row) {
    for (int c = 0; c < kHistoryColumns; ++c) {
        if (c > 0)
            out += u',';
        appendCell(out, row(c));
    }
}

void appendUndoubled(QString& out, QStringView quoted) {
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        out += quoted[i];
        if (quoted[i] == u'"' && i + 1 < quoted.size() && quoted[i + 1] == u'"')
            ++i;
    }
}

using Cells = std::array<QString, kHistoryColumns>;

// Parses the record at pos into cells and moves pos past its line break. Returns false, with pos
// unchanged, when the text ends before the record does and more text may follow (!atEnd).
// A quoted field runs to its closing quote, across line breaks; when the rest of the file holds no
// closing quote, it ends with its line.
bool parseRecord(QStringView text, qsizetype& pos, bool atEnd, Cells& cells) {
    for (QString& c : cells)
        c.resize(0);
    const qsizetype n = text.size();
    qsizetype i = pos;
    int column = 0;
    auto skipBlanks = [&] {
        while (i < n && isBlankInRecord(text[i].unicode()))
            ++i;
    };

    skipBlanks();
    while (i < n && !isLineBreak(text[i].unicode())) {
        // Fields past the seventh are only scanned: a record of thousands of fields costs no copies.
        QString* field = column < kHistoryColumns ? &cells[std::size_t(column)] : nullptr;
        if (text[i] == u'"') {
            const qsizetype open = ++i;
            qsizetype start = i;
            bool closed = false;
            while (i < n) {
                if (text[i] != u'"') {
                    ++i;
                    continue;
                }
                if (i + 1 == n && !atEnd)
                    return false; // the first of a doubled quote, perhaps
                if (i + 1 < n && text[i + 1] == u'"') {
                    if (field)
                        field->append(text.sliced(start, i + 1 - start));
                    i += 2;
                    start = i;
                    continue;
                }
                if (field)
                    field->append(text.sliced(start, i - start));
                ++i;
                closed = true;
                break;
            }
            if (!closed) {
                if (!atEnd)
                    return false;
                qsizetype end = open;
                while (end < n && !isLineBreak(text[end].unicode()))
                    ++end;
                if (field) {
                    field->resize(0);
                    appendUndoubled(*field, text.sliced(open, end - open));
                }
                i = end;
            }
        } else {
            const qsizetype start = i;
            while (i < n && !isBlankOrControl(text[i].unicode()) && text[i] != u',')
                ++i;
            if (field)
                field->append(text.sliced(start, i - start));
        }
        ++column;
        skipBlanks();
        // A comma that ends the line leaves one more empty field: an empty cell, as it already is.
        if (i < n && text[i] == u',') {
            ++i;
            skipBlanks();
        }
    }
    if (i == n) {
        if (!atEnd)
            return false;
    } else if (text[i] == u'\r') {
        if (i + 1 == n && !atEnd)
            return false; // its LF may follow
        i += (i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
    } else {
        ++i;
    }
    pos = i;
    return true;
}

PackedEntry pack(const Cells& cells) {
    std::array<QStringView, kHistoryColumns> views;
    for (int c = 0; c < kHistoryColumns; ++c)
        views[std::size_t(c)] = cells[std::size_t(c)];
    return PackedEntry::fromCells(views);
}

// Parses every whole record of text into rows; returns how much of the text they took.
qsizetype parseRecords(QStringView text, bool atEnd, Cells& cells, QList<PackedEntry>& rows,
                       TimeSlicedYield& slice) {
    qsizetype pos = 0;
    while (pos < text.size()) {
        slice();
        if (!parseRecord(text, pos, atEnd, cells))
            break;
        rows.append(pack(cells));
    }
    return pos;
}

bool hasNonAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// What the first pass over a file without a UTF-16 mark learns.
struct FileSurvey {
    bool ok = false;
    bool nul = false;
    bool nonAscii = false;
    bool validUtf8 = true;
    qsizetype lineBreaks = 0;
};

FileSurvey survey(QFile& file, QByteArray& buffer, OsError& error) {
    FileSurvey result;
    QStringDecoder utf8(QStringConverter::Utf8);
    QList<QChar> scratch;
    auto check = [&](QByteArrayView bytes) {
        scratch.resize(utf8.requiredSpace(bytes.size()));
        utf8.appendToBuffer(scratch.data(), bytes);
        result.validUtf8 = !utf8.hasError();
    };
    for (;;) {
        errno = 0;
        const qint64 n = file.read(buffer.data(), buffer.size());
        if (n < 0) {
            error = OsError::fromFile(file, errno);
            return result;
        }
        if (n == 0)
            break;
        const QByteArrayView piece(buffer.constData(), n);
        result.nul = result.nul || piece.contains('\0');
        // CR LF is one break: the larger count is near enough for a reserve.
        result.lineBreaks += std::max(piece.count('\n'), piece.count('\r'));
        if (!result.nonAscii)
            result.nonAscii = hasNonAscii(piece);
        // Bytes before the first non-ASCII one are ASCII: checking from the piece that holds it is enough.
        if (result.nonAscii && result.validUtf8)
            check(piece);
    }
    if (result.validUtf8)
        check("\n"); // a sequence left open by the last byte is invalid too
    result.ok = true;
    return result;
}

} // namespace

QString historyRowLine(const HistoryEntry& entry) {
    QString out;
    appendRowLine(out, [&](int c) { return QStringView(entry.cells[std::size_t(c)]); });
    return out;
}

HistoryEntry parseHistoryLine(QStringView line) {
    Cells cells;
    qsizetype pos = 0;
    parseRecord(line, pos, true, cells);
    HistoryEntry entry;
    entry.cells = std::move(cells);
    return entry;
}

QByteArray encodeHistoryFile(const QList<PackedEntry>& rows, const std::function<void()>& yield) {
    TimeSlicedYield slice(yield);
    QString text;
    text.reserve(rows.size() * 96);
    for (const PackedEntry& row : rows) {
        slice();
        appendRowLine(text, [&](int c) { return row.cell(c); });
        text += QLatin1String("\r\n");
    }
    // A mark-less file holding NUL bytes reads as "not a text file"; with the mark it reads back whole.
    const bool hasNul = text.contains(QChar(0));
    return encodeText(text, hasNul ? TextEncoding::Utf8Bom : TextEncoding::Ansi);
}

// Two passes through one buffer: the first finds the encoding (as decodeText decides it), the second
// decodes piece by piece and parses every whole record at once, so neither the file's bytes nor its whole
// text are held beside the rows.
HistoryFileContent ReadHistoryFile(const QString& path, const std::function<void()>& yield) {
    HistoryFileContent result;
    QFile file;
    if (!openForReading(file, path, result.error))
        return result;
    TimeSlicedYield slice(yield);
    Cells cells;
    const QByteArray head = file.peek(3);
    const bool utf8Mark = head.startsWith("\xEF\xBB\xBF");

    auto readWhole = [&] {
        QByteArray bytes;
        if (!file.seek(0) || !readRemaining(file, bytes, result.error))
            return result;
        if (!startsWithMark(bytes) && bytes.contains('\0')) {
            result.notText = true;
            return result;
        }
        const QString text = decodeText(bytes).text;
        bytes = {};
        parseRecords(text, true, cells, result.rows, slice);
        result.ok = true;
        return result;
    };
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return readWhole();

    QByteArray buffer(kChunkSize, Qt::Uninitialized);
    const qint64 textStart = utf8Mark ? 3 : 0;
    if (!file.seek(textStart))
        return readWhole();
    const FileSurvey seen = survey(file, buffer, result.error);
    if (!seen.ok)
        return result;
    if (!utf8Mark && seen.nul) {
        result.notText = true;
        return result;
    }
    // Invalid sequences after a mark: their replacement is left to the decoder of the whole text.
    if (utf8Mark && seen.nonAscii && !seen.validUtf8)
        return readWhole();
    const bool utf8 = utf8Mark || (seen.nonAscii && seen.validUtf8);
    if (!file.seek(textStart))
        return readWhole();

    result.rows.reserve(seen.lineBreaks + 1);
    // The file's mark is cut off: a second one is text.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString pending;
    qsizetype retryAt = 0; // a record longer than the text at hand: parse again once the text doubled
    for (;;) {
        errno = 0;
        const qint64 n = file.read(buffer.data(), buffer.size());
        if (n < 0) {
            result.error = OsError::fromFile(file, errno);
            result.rows = {};
            return result;
        }
        const bool atEnd = n == 0;
        const QByteArrayView piece(buffer.constData(), n);
        if (utf8)
            pending += decoder.decode(piece);
        else
            pending += fromWindows1252(piece);
        if (!atEnd && pending.size() < retryAt)
            continue;
        const qsizetype used = parseRecords(pending, atEnd, cells, result.rows, slice);
        pending.remove(0, used);
        retryAt = used == 0 ? pending.size() * 2 : 0;
        if (atEnd)
            break;
    }
    result.rows.squeeze();
    result.ok = true;
    return result;
}

WriteResult WriteHistoryFile(const HistoryTable& table, const QString& path,
                             const std::function<void()>& yield) {
    // The rows as they are now: captures or edits made while the text is built wait for the next save.
    const QList<PackedEntry> rows = table.packedSnapshot();
    return writeFileAtomically(path, encodeHistoryFile(rows, yield));
}

QList<PackedEntry> appendedHistoryRows(const QList<PackedEntry>& fileRows,
                                       const QList<PackedEntry>& tableRows) {
    if (fileRows.isEmpty())
        return tableRows;
    QList<PackedEntry> rows = fileRows;
    while (rows.size() > 1 && rows.back().isBlank())
        rows.removeLast();
    qsizetype end = tableRows.size();
    while (end > 1 && tableRows[end - 1].isBlank())
        --end;
    for (qsizetype i = 1; i < end; ++i)
        rows.append(tableRows[i]);
    rows.append(PackedEntry());
    return rows;
}

void applyHistoryRows(HistoryTable& table, const QList<PackedEntry>& lines, LoadMode mode,
                      const QList<quint64>& addedDuringLoad) {
    if (mode == LoadMode::Append) {
        if (lines.size() <= 1)
            return;
        QList<PackedEntry> rows = lines.mid(1);
        const int last = table.rowCount() - 1;
        // The first row goes into the blank last row; a last row that holds anything is kept.
        if (last >= 1 && table.entry(last).isBlank()) {
            table.setEntry(last, rows.takeFirst().unpacked());
            table.insertPackedEntries(last + 1, rows);
        } else {
            table.insertPackedEntries(table.rowCount(), rows);
        }
        return;
    }

    QList<PackedEntry> rows = lines;
    if (rows.isEmpty())
        rows = {table.entry(0), PackedEntry{}};
    else if (rows.size() == 1)
        rows.append(PackedEntry{});

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
    table.replacePackedRows(rows, keep);
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
