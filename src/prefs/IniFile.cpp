#include "IniFile.h"

#include "core/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>

namespace clipvane {

WriteResult writeWholeFile(const QString& path, const QByteArray& bytes) {
    return writeFileAtomically(path, bytes);
}

namespace {

using Coding = IniFile::Coding;

bool hasNonAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// A file without a mark whose every other byte is zero is UTF-16 (text of this kind is mostly ASCII).
std::optional<Coding> unmarkedUtf16(QByteArrayView bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return std::nullopt;
    const qsizetype n = qMin<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    const qsizetype pairs = n / 2;
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        evenZeros += bytes[i] == 0;
        oddZeros += bytes[i + 1] == 0;
    }
    if (oddZeros * 4 >= pairs * 3 && evenZeros * 8 < pairs)
        return Coding::Utf16LENoBom;
    if (evenZeros * 4 >= pairs * 3 && oddZeros * 8 < pairs)
        return Coding::Utf16BENoBom;
    return std::nullopt;
}

Coding detect(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return Coding::Utf8Bom;
    if (bytes.startsWith("\xFF\xFE"))
        return Coding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return Coding::Utf16BE;
    if (auto utf16 = unmarkedUtf16(bytes))
        return *utf16;
    if (hasNonAscii(bytes)) {
        // decode() is lazy: the text must be made for the decoder to see the bytes.
        QStringDecoder d(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = d.decode(bytes);
        if (!d.hasError())
            return Coding::Utf8;
    }
    return Coding::Ansi;
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    // A second mark after the first is text, not a mark: keep it.
    QStringDecoder d(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return d.decode(bytes);
}

QByteArray encodeWith(QStringConverter::Encoding encoding, const QString& text) {
    QStringEncoder e(encoding, QStringConverter::Flag::Stateless);
    return e.encode(text);
}

QString decodeAs(QByteArrayView bytes, Coding coding) {
    switch (coding) {
    case Coding::Ansi:
        return fromWindows1252(bytes);
    case Coding::Utf8:
        return decodeWith(QStringConverter::Utf8, bytes);
    case Coding::Utf8Bom:
        return decodeWith(QStringConverter::Utf8, bytes.sliced(3));
    case Coding::Utf16LE:
        return decodeWith(QStringConverter::Utf16LE, bytes.sliced(2));
    case Coding::Utf16BE:
        return decodeWith(QStringConverter::Utf16BE, bytes.sliced(2));
    case Coding::Utf16LENoBom:
        return decodeWith(QStringConverter::Utf16LE, bytes);
    case Coding::Utf16BENoBom:
        return decodeWith(QStringConverter::Utf16BE, bytes);
    }
    return {};
}

// The bytes of the text in the coding; text the ANSI code page cannot hold switches to UTF-8 with its mark.
QByteArray encodeAs(const QString& text, Coding& coding) {
    switch (coding) {
    case Coding::Ansi: {
        QByteArray out;
        if (toWindows1252(text, out))
            return out;
        coding = Coding::Utf8Bom;
        return encodeAs(text, coding);
    }
    case Coding::Utf8:
        return text.toUtf8();
    case Coding::Utf8Bom:
        return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    case Coding::Utf16LE:
        return QByteArrayLiteral("\xFF\xFE") + encodeWith(QStringConverter::Utf16LE, text);
    case Coding::Utf16BE:
        return QByteArrayLiteral("\xFE\xFF") + encodeWith(QStringConverter::Utf16BE, text);
    case Coding::Utf16LENoBom:
        return encodeWith(QStringConverter::Utf16LE, text);
    case Coding::Utf16BENoBom:
        return encodeWith(QStringConverter::Utf16BE, text);
    }
    return {};
}

bool isHeader(QStringView line, QStringView* name) {
    const QStringView t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    *name = (close < 0 ? t.sliced(1) : t.sliced(1, close - 1)).trimmed();
    return true;
}

bool isKey(QStringView line, QStringView* key, qsizetype* equals) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    const QStringView k = line.first(eq).trimmed();
    if (k.startsWith(u';') || k.startsWith(u'#'))
        return false; // a comment that happens to hold "="
    *key = k;
    *equals = eq;
    return true;
}

QStringView unquoted(QStringView v) {
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.sliced(1, v.size() - 2);
    return v;
}

// A value as it must be written to read back unchanged: on one line, quoted when trimming or unquoting
// would change it.
QString formatValue(QString v) {
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    const QStringView view(v);
    if (!v.isEmpty() && (view.trimmed().size() != v.size() || unquoted(view).size() != v.size()))
        return u'"' + v + u'"';
    return v;
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

IniFile::IniFile(QString path, FileWriter writer) : m_path(std::move(path)), m_writer(std::move(writer)) {
    if (!m_writer)
        m_writer = writeWholeFile;
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return;
    m_exists = true;
    const FileBytes read = readFileBytes(m_path, kMaxFileSize);
    if (!read.ok) {
        m_readError = read.error;
        return;
    }
    const QByteArray& bytes = read.bytes;

    m_coding = detect(bytes);
    const QString text = decodeAs(bytes, m_coding);
    Coding again = m_coding;
    if (encodeAs(text, again) != bytes || again != m_coding) {
        // Bytes that do not fit their own mark (an odd length after a UTF-16 mark, broken UTF-8 after the
        // UTF-8 one): the file reads as the next start will read it, but whatever a write put in, in
        // whichever encoding, some line would read differently afterwards. It is left alone.
        m_readError = OsError{EILSEQ, QStringLiteral("The preference file's character encoding cannot be "
                                                     "told; it is left unchanged")};
    }

    const qsizetype n = text.size();
    qsizetype start = 0;
    bool eolSeen = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        const qsizetype len = (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ? 2 : 1;
        Line line{text.sliced(start, i - start), text.sliced(i, len)};
        if (!eolSeen) {
            m_newLine = line.eol;
            eolSeen = true;
        }
        m_lines.append(std::move(line));
        i += len - 1;
        start = i + 1;
    }
    if (start < n)
        m_lines.append({text.sliced(start), QString()});
}

IniFile::Location IniFile::locate(QStringView section, QStringView key) const {
    Location loc;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString& text = m_lines[i].text;
        QStringView name;
        if (isHeader(text, &name)) {
            if (loc.header >= 0) {
                loc.end = i;
                return loc;
            }
            if (name.compare(section, Qt::CaseInsensitive) == 0)
                loc.header = i;
            continue;
        }
        QStringView k;
        qsizetype eq = 0;
        if (loc.header >= 0 && loc.keyLine < 0 && isKey(text, &k, &eq) &&
            k.compare(key, Qt::CaseInsensitive) == 0)
            loc.keyLine = i;
    }
    if (loc.header >= 0)
        loc.end = m_lines.size();
    return loc;
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const {
    const Location loc = locate(section, key);
    if (loc.keyLine < 0)
        return std::nullopt;
    const QString& text = m_lines[loc.keyLine].text;
    return unquoted(QStringView(text).sliced(text.indexOf(u'=') + 1)).toString();
}

QString IniFile::readString(QStringView section, QStringView key, const QString& defaultValue) const {
    std::optional<QString> v = value(section, key);
    if (!v)
        return defaultValue;
    if (v->size() > kMaxTextLength) {
        qsizetype cut = kMaxTextLength;
        if (v->at(cut - 1).isHighSurrogate())
            --cut; // never half a character
        v->truncate(cut);
    }
    return *v;
}

int IniFile::readInteger(QStringView section, QStringView key, int defaultValue) const {
    const std::optional<QString> v = value(section, key);
    if (!v)
        return defaultValue;
    return parseInteger(QStringView(*v).first(qMin(v->size(), kMaxTextLength))).value_or(defaultValue);
}

bool IniFile::readBool(QStringView section, QStringView key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::optional<int> IniFile::parseInteger(QStringView s) {
    s = s.trimmed();
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = s.sliced(1);
    }
    int base = 10;
    if (s.startsWith(u'$')) {
        base = 16;
        s = s.sliced(1);
    } else if (s.size() >= 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
        base = 16;
        s = s.sliced(2);
    }
    if (s.isEmpty())
        return std::nullopt;
    // Hexadecimal covers the 32 bits (FFFFFFFF is -1); decimal the range of an int.
    const quint64 limit = base == 16 ? 0xFFFFFFFFull : 0x80000000ull;
    quint64 v = 0;
    for (QChar c : s) {
        const int d = hexDigit(c.unicode());
        if (d < 0 || d >= base)
            return std::nullopt;
        v = v * base + d;
        if (v > limit)
            return std::nullopt;
    }
    if (base == 16) {
        const qint64 r = qint32(quint32(v));
        return qint32(quint32(negative ? -r : r));
    }
    if (negative)
        return int(-qint64(v));
    if (v > 0x7FFFFFFFull)
        return std::nullopt;
    return int(v);
}

bool IniFile::writeString(QStringView section, QStringView key, const QString& value) {
    if (m_readError) {
        // Rewriting a file we could not read would lose what it holds.
        m_error = *m_readError;
        return false;
    }
    QList<Line> lines = m_lines;
    const Location loc = locate(section, key);
    const QString formatted = formatValue(value);
    auto insertLine = [&](qsizetype at, QString text) {
        if (at > 0 && lines[at - 1].eol.isEmpty())
            lines[at - 1].eol = m_newLine;
        lines.insert(at, Line{std::move(text), m_newLine});
    };
    if (loc.keyLine >= 0) {
        Line& line = lines[loc.keyLine];
        line.text = line.text.left(line.text.indexOf(u'=') + 1) + formatted;
    } else if (loc.header >= 0) {
        qsizetype at = loc.end;
        while (at > loc.header + 1 && QStringView(lines[at - 1].text).trimmed().isEmpty())
            --at;
        insertLine(at, key.toString() + u'=' + formatted);
    } else {
        insertLine(lines.size(), u'[' + section.toString() + u']');
        insertLine(lines.size(), key.toString() + u'=' + formatted);
    }
    return store(lines);
}

bool IniFile::writeInteger(QStringView section, QStringView key, int value) {
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(QStringView section, QStringView key, bool value) {
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString IniFile::text() const {
    QString out;
    for (const Line& l : m_lines) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

bool IniFile::store(const QList<Line>& lines) {
    QString text;
    for (const Line& l : lines) {
        text += l.text;
        text += l.eol;
    }
    // Whatever the new value is, every other line must read as it did: the file keeps its encoding when
    // that holds, otherwise the whole file changes to the one every reader tells (UTF-8 with its mark).
    Coding coding = m_coding;
    if (coding == Coding::Ansi && chooseEncoding(text) != TextEncoding::Ansi)
        coding = Coding::Utf8Bom;
    QByteArray bytes = encodeAs(text, coding);
    if (decodeAs(bytes, detect(bytes)) != text && coding != Coding::Utf8Bom) {
        coding = Coding::Utf8Bom;
        bytes = encodeAs(text, coding);
    }
    if (decodeAs(bytes, detect(bytes)) != text) {
        m_error = OsError{EILSEQ, QStringLiteral("The value cannot be written so that it reads back")};
        return false;
    }
    coding = detect(bytes);
    const WriteResult written = m_writer(m_path, bytes);
    if (!written.ok) {
        m_error = written.error;
        return false;
    }
    m_lines = lines;
    m_coding = coding;
    m_exists = true;
    return true;
}

} // namespace clipvane
