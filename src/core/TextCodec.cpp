#include "TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
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

bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder d(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString ignored = d.decode(bytes);
    return !d.hasError();
}

} // namespace

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
        return {QString::fromUtf8(v.sliced(3)), TextEncoding::Utf8Bom};
    if (v.startsWith("\xFF\xFE")) {
        QStringDecoder d(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        return {d.decode(v.sliced(2)), TextEncoding::Utf16LE};
    }
    if (v.startsWith("\xFE\xFF")) {
        QStringDecoder d(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
        return {d.decode(v.sliced(2)), TextEncoding::Utf16BE};
    }
    if (hasNonAscii(v)) {
        QStringDecoder d(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QString text = d.decode(v);
        if (!d.hasError())
            return {text, TextEncoding::Ansi};
    }
    return {fromWindows1252(v), TextEncoding::Ansi};
}

QByteArray encodeText(const QString& text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Ansi: {
        // Windows-1252 bytes that form valid UTF-8 would be read back as UTF-8 ("Ã©" as "é"): the mark
        // keeps such text as it is.
        QByteArray out;
        if (toWindows1252(text, out) && !(hasNonAscii(out) && isValidUtf8(out)))
            return out;
        return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
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
