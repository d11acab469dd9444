#pragma once
#include <QByteArray>
#include <QString>

namespace clipvane {

// How a text file was (or is to be) written. Files without a mark are the ANSI code page, Windows-1252.
enum class TextEncoding { Ansi, Utf8Bom, Utf16LE, Utf16BE };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Ansi; // Ansi also for mark-less UTF-8
};

// A mark selects UTF-8, UTF-16 LE or BE; without one, valid UTF-8 holding non-ASCII bytes is UTF-8,
// anything else Windows-1252.
DecodedText decodeText(const QByteArray& bytes);

// Writes in the given encoding with its mark. Ansi falls back to UTF-8 with its mark when a character
// has no Windows-1252 form, so nothing is lost.
QByteArray encodeText(const QString& text, TextEncoding encoding);

QString fromWindows1252(QByteArrayView bytes);
// False when a character has no Windows-1252 form.
bool toWindows1252(QStringView text, QByteArray& out);

} // namespace clipvane
