#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

namespace clipvane {

// How a text file was (or is to be) written. Files without a mark are the ANSI code page, Windows-1252.
enum class TextEncoding { Ansi, Utf8Bom, Utf16LE, Utf16BE };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Ansi; // Ansi also for mark-less UTF-8
};

// A mark selects UTF-8, UTF-16 LE or BE; without one, valid UTF-8 holding non-ASCII bytes is UTF-8,
// anything else Windows-1252. Only the first mark is dropped: a second one is the text's own character.
DecodedText decodeText(const QByteArray& bytes);

// Whether bytes begin with one of the three marks.
bool startsWithMark(QByteArrayView bytes);

// The one decision of how a text is written so that decodeText() gives it back: a marked encoding stays;
// Windows-1252 only when it maps every character and its bytes are neither valid UTF-8 holding non-ASCII
// bytes nor begin like a mark; otherwise UTF-8 with its mark. Fed in pieces, so that a long list is never
// joined first.
class EncodingChoice {
public:
    explicit EncodingChoice(TextEncoding preferred = TextEncoding::Ansi);
    void feed(QStringView text);
    TextEncoding result();

private:
    TextEncoding m_preferred;
    bool m_unmapped = false;
    bool m_nonAscii = false;
    bool m_invalidUtf8 = false;
    QByteArray m_head; // the first bytes, to tell a mark
    QByteArray m_bytes;
    QStringDecoder m_utf8{QStringConverter::Utf8};
    QList<QChar> m_scratch;
};

TextEncoding chooseEncoding(QStringView text, TextEncoding preferred = TextEncoding::Ansi);

// Writes in the encoding chooseEncoding() gives, with its mark, so nothing is lost.
QByteArray encodeText(const QString& text, TextEncoding encoding);

QString fromWindows1252(QByteArrayView bytes);
// False when a character has no Windows-1252 form.
bool toWindows1252(QStringView text, QByteArray& out);

} // namespace clipvane
