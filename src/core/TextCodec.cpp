#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>

namespace clipvane {

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes keep their C1 code points, as Windows maps them.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool hasNonAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// Keeps a mark at the start of the text: the file's own mark has been cut off before.
QString decodeKeepingMark(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder d(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return d.decode(bytes);
}

} // namespace

bool startsWithMark(QByteArrayView bytes) {
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

EncodingChoice::EncodingChoice(TextEncoding preferred) : m_preferred(preferred) {}

void EncodingChoice::feed(QStringView text) {
    if (m_preferred != TextEncoding::Ansi || m_unmapped || text.isEmpty())
        return;
    if (!toWindows1252(text, m_bytes)) {
        m_unmapped = true;
        return;
    }
    if (m_head.size() < 3)
        m_head += QByteArrayView(m_bytes).first(std::min<qsizetype>(3 - m_head.size(), m_bytes.size()));
    if (!m_nonAscii && hasNonAscii(m_bytes))
        m_nonAscii = true;
    // Bytes before the first non-ASCII one are ASCII and valid anyway; after it, every byte counts.
    if (m_nonAscii && !m_invalidUtf8) {
        m_scratch.resize(m_utf8.requiredSpace(m_bytes.size()));
        m_utf8.appendToBuffer(m_scratch.data(), m_bytes);
        m_invalidUtf8 = m_utf8.hasError();
    }
}

TextEncoding EncodingChoice::result() {
    if (m_preferred != TextEncoding::Ansi)
        return m_preferred;
    if (m_unmapped || startsWithMark(m_head))
        return TextEncoding::Utf8Bom;
    if (m_nonAscii && !m_invalidUtf8) {
        // A sequence left open by the last byte is invalid too.
        m_scratch.resize(m_utf8.requiredSpace(1));
        m_utf8.appendToBuffer(m_scratch.data(), "\n");
        m_invalidUtf8 = m_utf8.hasError();
        if (!m_invalidUtf8)
            return TextEncoding::Utf8Bom;
    }
    return TextEncoding::Ansi;
}

TextEncoding chooseEncoding(QStringView text, TextEncoding preferred) {
    EncodingChoice choice(preferred);
    choice.feed(text);
    return choice.result();
}

QString fromWindows1252(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : char16_t(b);
    }
    return out;
}

bool toWindows1252(QStringView text, QByteArray& out) {
    out.resize(text.size());
    char* dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            dst[i] = char(c);
            continue;
        }
        const auto it = std::find(kHigh.begin(), kHigh.end(), c);
        if (it == kHigh.end())
            return false;
        dst[i] = char(0x80 + (it - kHigh.begin()));
    }
    return true;
}

DecodedText decodeText(const QByteArray& bytes) {
    const QByteArrayView v(bytes);
    if (v.startsWith("\xEF\xBB\xBF"))
        return {decodeKeepingMark(QStringConverter::Utf8, v.sliced(3)), TextEncoding::Utf8Bom};
    if (v.startsWith("\xFF\xFE"))
        return {decodeKeepingMark(QStringConverter::Utf16LE, v.sliced(2)), TextEncoding::Utf16LE};
    if (v.startsWith("\xFE\xFF"))
        return {decodeKeepingMark(QStringConverter::Utf16BE, v.sliced(2)), TextEncoding::Utf16BE};
    if (hasNonAscii(v)) {
        QStringDecoder d(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QString text = d.decode(v);
        if (!d.hasError())
            return {text, TextEncoding::Ansi};
    }
    return {fromWindows1252(v), TextEncoding::Ansi};
}

QByteArray encodeText(const QString& text, TextEncoding encoding) {
    switch (chooseEncoding(text, encoding)) {
    case TextEncoding::Ansi: {
        QByteArray out;
        toWindows1252(text, out);
        return out;
    }
    case TextEncoding::Utf8Bom:
        return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool le = encoding == TextEncoding::Utf16LE;
        QStringEncoder e(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                         QStringConverter::Flag::Stateless);
        return QByteArray(le ? "\xFF\xFE" : "\xFE\xFF", 2) + QByteArray(e.encode(text));
    }
    }
    return {};
}

} // namespace clipvane
