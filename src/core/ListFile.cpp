#include "ListFile.h"

#include "core/CheckListModel.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cerrno>

namespace clipvane {

namespace {

constexpr qsizetype kChunkSize = qsizetype(1) << 20;

// Whether a byte stream is valid UTF-8, fed in pieces; a sequence cut off at a piece's end goes on in the
// next.
class Utf8Check {
public:
    void feed(QByteArrayView bytes) {
        if (m_bad || bytes.isEmpty())
            return;
        m_out.resize(m_decoder.requiredSpace(bytes.size()));
        m_decoder.appendToBuffer(m_out.data(), bytes);
        m_bad = m_decoder.hasError();
    }
    // Ends the stream: a sequence left open by its last byte is invalid too.
    bool endsValid() {
        feed("\n");
        return !m_bad;
    }

private:
    QStringDecoder m_decoder{QStringConverter::Utf8};
    QList<QChar> m_out;
    bool m_bad = false;
};

bool startsWith(const QByteArray& bytes, const char* mark) {
    return bytes.startsWith(QByteArrayView(mark));
}
// Reads the rest of a file whole: for the rare encodings and what changed between the two passes.
ListFileContent readWhole(QFile& file) {
    ListFileContent result;
    QByteArray bytes;
    if (!readRemaining(file, bytes, result.error))
        return result;
    DecodedText decoded = decodeText(bytes);
    result.lines = splitLines(decoded.text);
    result.encoding = decoded.encoding;
    result.ok = true;
    return result;
}

// Hands out a file's bytes through one buffer, from a position to the end.
class ChunkReader {
public:
    ChunkReader(QFile& file, qsizetype chunkSize) : m_file(file), m_buffer(chunkSize, Qt::Uninitialized) {}

    bool rewind(qint64 to) { return m_file.seek(to); }
    // The next piece; empty at the end or on failure (see failed()).
    QByteArrayView next() {
        errno = 0;
        const qint64 n = m_file.read(m_buffer.data(), m_buffer.size());
        if (n < 0) {
            m_error = OsError::fromFile(m_file, errno);
            m_failed = true;
            return {};
        }
        return QByteArrayView(m_buffer.constData(), n);
    }
    bool failed() const { return m_failed; }
    OsError error() const { return m_error; }

private:
    QFile& m_file;
    QByteArray m_buffer;
    bool m_failed = false;
    OsError m_error;
};

enum class LineDecoding { Latin1, Windows1252, Utf8 };

// Decodes one line as the decoder of the whole text would have decoded it there: the file's own mark is
// cut off before, so a mark at the start of a line is text.
class LineDecoder {
public:
    explicit LineDecoder(LineDecoding decoding) : m_decoding(decoding) {}

    QString operator()(QByteArrayView bytes) {
        switch (m_decoding) {
        case LineDecoding::Latin1:
            return QString::fromLatin1(bytes);
        case LineDecoding::Windows1252:
            return fromWindows1252(bytes);
        case LineDecoding::Utf8:
            break;
        }
        return m_keepMark.decode(bytes);
    }

private:
    LineDecoding m_decoding;
    QStringDecoder m_keepMark{QStringConverter::Utf8,
                              QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom};
};

} // namespace

ListFileContent ReadListFile(const QString& path) {
    return readListFileInChunks(path, kChunkSize);
}

// Two passes through one small buffer: the first finds the encoding (as decodeText decides it) and counts
// the lines, the second decodes line by line. Neither the whole file nor its whole text is ever held.
ListFileContent readListFileInChunks(const QString& path, qsizetype chunkSize) {
    ListFileContent result;
    QFile file;
    if (!openForReading(file, path, result.error))
        return result;
    const QByteArray head = file.peek(3);
    if (startsWith(head, "\xFF\xFE") || startsWith(head, "\xFE\xFF"))
        return readWhole(file);
    const bool utf8Mark = startsWith(head, "\xEF\xBB\xBF");
    const qint64 textStart = utf8Mark ? 3 : 0;

    ChunkReader reader(file, std::max<qsizetype>(chunkSize, 1));
    bool nonAscii = false;
    Utf8Check utf8;
    qsizetype lineCount = 0;
    char last = '\n';
    bool afterCR = false;
    if (!reader.rewind(textStart))
        return readWhole(file);
    for (QByteArrayView piece = reader.next(); !piece.isEmpty(); piece = reader.next()) {
        bool checkPiece = utf8Mark || nonAscii;
        for (const char c : piece) {
            if (c == '\n') {
                if (!afterCR)
                    ++lineCount;
            } else if (c == '\r') {
                ++lineCount;
            } else if (static_cast<unsigned char>(c) >= 0x80) {
                nonAscii = true;
            }
            afterCR = c == '\r';
        }
        // Bytes before the first non-ASCII one are ASCII: checking from the piece that holds it is enough.
        if (checkPiece || nonAscii)
            utf8.feed(piece);
        last = piece.back();
    }
    if (reader.failed()) {
        result.error = reader.error();
        return result;
    }
    if (last != '\n' && last != '\r')
        ++lineCount;

    LineDecoding decoding = LineDecoding::Latin1;
    if (utf8Mark) {
        // Invalid sequences after a mark: leave their replacement to the decoder of the whole text.
        if (!utf8.endsValid()) {
            reader.rewind(0);
            return readWhole(file);
        }
        decoding = LineDecoding::Utf8;
        result.encoding = TextEncoding::Utf8Bom;
    } else if (nonAscii) {
        decoding = utf8.endsValid() ? LineDecoding::Utf8 : LineDecoding::Windows1252;
    }

    if (!reader.rewind(textStart)) {
        result.error = OsError::fromFile(file, errno);
        return result;
    }
    result.lines.reserve(lineCount);
    LineDecoder decodeLine(decoding);
    QByteArray carry; // a line that goes on in the next piece
    bool skipLF = false;
    for (QByteArrayView piece = reader.next(); !piece.isEmpty(); piece = reader.next()) {
        qsizetype start = 0;
        if (skipLF && piece.front() == '\n')
            start = 1;
        skipLF = false;
        const qsizetype n = piece.size();
        for (qsizetype i = start; i < n; ++i) {
            const char c = piece[i];
            if (c != '\r' && c != '\n')
                continue;
            const QByteArrayView line = piece.sliced(start, i - start);
            if (carry.isEmpty()) {
                result.lines.append(decodeLine(line));
            } else {
                carry += line;
                result.lines.append(decodeLine(carry));
                carry.clear();
            }
            if (c == '\r') {
                if (i + 1 < n) {
                    if (piece[i + 1] == '\n')
                        ++i;
                } else {
                    skipLF = true;
                }
            }
            start = i + 1;
        }
        if (start < n)
            carry += piece.sliced(start);
    }
    if (reader.failed()) {
        result.error = reader.error();
        result.lines = {};
        return result;
    }
    if (!carry.isEmpty())
        result.lines.append(decodeLine(carry));
    result.ok = true;
    return result;
}

namespace {

// The encoding the lines go out in, chosen as for their joined text.
template <typename TextAt>
TextEncoding chooseLinesEncoding(qsizetype count, const TextAt& textAt, TextEncoding preferred) {
    EncodingChoice choice(preferred);
    for (qsizetype i = 0; i < count; ++i) {
        choice.feed(textAt(i));
        choice.feed(u"\r\n");
    }
    return choice.result();
}

// Encodes the lines, each followed by CR LF, into chunks of about kChunkSize bytes.
template <typename TextAt> class LineEncoder {
public:
    LineEncoder(qsizetype count, TextAt textAt, TextEncoding encoding)
        : m_count(count), m_textAt(std::move(textAt)), m_encoding(encoding),
          m_encoder(encoding == TextEncoding::Utf16BE ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                    QStringConverter::Flag::Stateless) {
        m_buffer.reserve(kChunkSize + 4096);
        switch (encoding) {
        case TextEncoding::Ansi:
            break;
        case TextEncoding::Utf8Bom:
            m_buffer.append("\xEF\xBB\xBF");
            break;
        case TextEncoding::Utf16LE:
            m_buffer.append("\xFF\xFE", 2);
            break;
        case TextEncoding::Utf16BE:
            m_buffer.append("\xFE\xFF", 2);
            break;
        }
    }

    QByteArrayView next() {
        if (m_handedOut) {
            m_buffer.resize(0);
            m_handedOut = false;
        }
        while (m_next < m_count && m_buffer.size() < kChunkSize)
            append(m_textAt(m_next++));
        m_handedOut = true;
        return m_buffer;
    }

private:
    void appendEncoded(QStringView text) {
        const qsizetype old = m_buffer.size();
        m_buffer.resize(old + m_encoder.requiredSpace(text.size()));
        char* end = m_encoder.appendToBuffer(m_buffer.data() + old, text);
        m_buffer.resize(end - m_buffer.constData());
    }
    void append(const QString& line) {
        if (m_encoding == TextEncoding::Ansi) {
            toWindows1252(line, m_line);
            m_buffer += m_line;
            m_buffer += "\r\n";
            return;
        }
        if (m_encoding == TextEncoding::Utf8Bom) {
            // toUtf8, as for the whole text: a lone surrogate becomes "?".
            m_buffer += line.toUtf8();
            m_buffer += "\r\n";
            return;
        }
        appendEncoded(line);
        appendEncoded(u"\r\n");
    }

    qsizetype m_count;
    TextAt m_textAt;
    TextEncoding m_encoding;
    QStringEncoder m_encoder;
    QByteArray m_buffer;
    QByteArray m_line;
    qsizetype m_next = 0;
    bool m_handedOut = false;
};

template <typename TextAt>
WriteResult writeLines(const QString& path, qsizetype count, TextAt textAt, TextEncoding encoding) {
    encoding = chooseLinesEncoding(count, textAt, encoding);
    LineEncoder<TextAt> encoder(count, std::move(textAt), encoding);
    return writeFileAtomically(path, [&] { return encoder.next(); });
}

} // namespace

WriteResult WriteListFile(const QString& path, const QStringList& lines, TextEncoding encoding) {
    return writeLines(
        path, lines.size(), [&lines](qsizetype i) -> const QString& { return lines[i]; }, encoding);
}

WriteResult WriteListFile(const QString& path, const QVector<CheckEntry>& entries, TextEncoding encoding) {
    return writeLines(
        path, entries.size(), [&entries](qsizetype i) -> const QString& { return entries[i].text; },
        encoding);
}

} // namespace clipvane
