#include "ListFile.h"

#include <QFile>
#include <cerrno>

namespace clipvane {

QStringList splitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    const QChar* d = text.constData();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && d[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.sliced(start));
    return lines;
}

ListFileContent ReadListFile(const QString& path) {
    ListFileContent result;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = OsError::fromFile(file, errno);
        return result;
    }
    errno = 0;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = OsError::fromFile(file, errno);
        return result;
    }
    DecodedText decoded = decodeText(bytes);
    result.lines = splitLines(decoded.text);
    result.encoding = decoded.encoding;
    result.ok = true;
    return result;
}

} // namespace clipvane

#include <QFileInfo>
#include <QSaveFile>

namespace clipvane {

namespace {

// A device or pipe cannot be replaced by renaming a temporary file over it (that would swap the device
// node for a plain file): it is written in place, and its own error (ENOSPC for /dev/full) comes back.
ListWriteResult writeInPlace(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, OsError::fromFile(file, errno)};
    errno = 0;
    if (file.write(bytes) != bytes.size())
        return {false, OsError::fromFile(file, errno)};
    return {true, {}};
}

} // namespace

ListWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeInPlace(path, bytes);

    QSaveFile file(path);
    errno = 0;
    // Unbuffered: QSaveFile::commit() does not notice a failure of the final flush of its buffer (a full
    // disk, a file size limit) and would rename a truncated file over the previous one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, OsError::fromFile(file, errno)};
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const OsError e = OsError::fromFile(file, errno);
        file.cancelWriting();
        return {false, e};
    }
    errno = 0;
    if (!file.commit())
        return {false, OsError::fromFile(file, errno)};
    return {true, {}};
}

ListWriteResult WriteListFile(const QString& path, const QStringList& lines, TextEncoding encoding) {
    qsizetype size = 0;
    for (const QString& l : lines)
        size += l.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& l : lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    return writeFileAtomically(path, encodeText(text, encoding));
}

} // namespace clipvane
