#pragma once
#include "core/FileIO.h"
#include "core/OsError.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace clipvane {

// A profile file: "[Section]" header lines, each followed by "Key=Value" lines.
// - Section and key names match without regard to case; the first section and the first key of a name
//   count, for reading and for writing alike.
// - Values are read trimmed; a value wholly enclosed in a pair of matching quotes loses them. Values that
//   would not read back as written are written quoted.
// - Writing a key replaces its value in place, or appends the key after the last line of its section, or
//   appends the section at the end, or creates the file. Each write reaches the disk at once: the whole
//   file goes to a temporary file that replaces the old one, so a failed write leaves the file as it was.
// - Every line the system does not know (comments, foreign keys, duplicates, lines outside sections, even
//   binary junk) is written back exactly as it was read, in the file's own encoding and line breaks.
// The default writer: the whole file at once, atomically.
WriteResult writeWholeFile(const QString& path, const QByteArray& bytes);

class IniFile {
public:
    using FileWriter = std::function<WriteResult(const QString& path, const QByteArray& bytes)>;

    // Reads the file once. A missing file reads as empty; nothing is created until a key is written.
    explicit IniFile(QString path, FileWriter writer = writeWholeFile);

    QString path() const { return m_path; }
    // Whether the file existed when opened or has been written since.
    bool exists() const { return m_exists; }

    // The raw (trimmed, unquoted) value; nullopt when the section or key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;
    // Text: at most kMaxTextLength characters.
    QString readString(QStringView section, QStringView key, const QString& defaultValue) const;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives the default.
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    // An integer other than 0 is true; anything that is not an integer gives the default.
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;

    // False when the file could not be written; lastError() says why and the file is unchanged.
    bool writeString(QStringView section, QStringView key, const QString& value);
    bool writeInteger(QStringView section, QStringView key, int value);
    bool writeBool(QStringView section, QStringView key, bool value);
    OsError lastError() const { return m_error; }

    // The file's text as it would be written now.
    QString text() const;

    static constexpr qsizetype kMaxTextLength = 2047;
    // A larger file is no preference file: it is refused, not read.
    static constexpr qint64 kMaxFileSize = qint64(64) << 20;
    static std::optional<int> parseInteger(QStringView text);

    // How the file's bytes map to text; kept when the file is written back.
    enum class Coding { Ansi, Utf8, Utf8Bom, Utf16LE, Utf16BE, Utf16LENoBom, Utf16BENoBom };
    Coding coding() const { return m_coding; }

private:
    struct Line {
        QString text;
        QString eol; // "\r\n", "\n", "\r" or empty (last line without a break)
    };
    struct Location {
        qsizetype header = -1;  // the section's header line, -1 when the section is missing
        qsizetype end = -1;     // one past the section's last line
        qsizetype keyLine = -1; // -1 when the key is missing
    };
    Location locate(QStringView section, QStringView key) const;
    bool store(const QList<Line>& lines);

    QString m_path;
    FileWriter m_writer;
    QList<Line> m_lines;
    Coding m_coding = Coding::Ansi;
    QString m_newLine = QStringLiteral("\r\n");
    bool m_exists = false;
    std::optional<OsError> m_readError; // the file exists but could not be read: never overwrite it
    OsError m_error;
};

} // namespace clipvane
