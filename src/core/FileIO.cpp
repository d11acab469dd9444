#include "FileIO.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace clipvane {

void forEachLine(QStringView text, const std::function<void(QStringView)>& line) {
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        line(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        line(text.sliced(start));
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    forEachLine(text, [&](QStringView l) { lines.append(l.toString()); });
    return lines;
}

// The rest of an open file, or false with the real error.
bool readRemaining(QFile& file, QByteArray& bytes, OsError& error) {
    errno = 0;
    bytes = file.readAll();
    if (file.error() == QFileDevice::NoError)
        return true;
    error = OsError::fromFile(file, errno);
    return false;
}

FileBytes readFileBytes(const QString& path) {
    FileBytes result;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = OsError::fromFile(file, errno);
        return result;
    }
    result.ok = readRemaining(file, result.bytes, result.error);
    return result;
}

namespace {

// A device or pipe cannot be replaced by renaming a temporary file over it (that would swap the device
// node for a plain file): it is written in place, and its own error (ENOSPC for /dev/full) comes back.
WriteResult writeInPlace(const QString& path, const std::function<QByteArrayView()>& nextChunk) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, OsError::fromFile(file, errno)};
    for (QByteArrayView chunk = nextChunk(); !chunk.isEmpty(); chunk = nextChunk()) {
        errno = 0;
        if (file.write(chunk.data(), chunk.size()) != chunk.size())
            return {false, OsError::fromFile(file, errno)};
    }
    return {true, {}};
}

} // namespace

WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) {
    bool given = false;
    return writeFileAtomically(path, [&]() -> QByteArrayView {
        if (given)
            return {};
        given = true;
        return bytes;
    });
}

WriteResult writeFileAtomically(const QString& path, const std::function<QByteArrayView()>& nextChunk) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeInPlace(path, nextChunk);

    QSaveFile file(path);
    errno = 0;
    // Unbuffered: QSaveFile::commit() does not notice a failure of the final flush of its buffer (a full
    // disk, a file size limit) and would rename a truncated file over the previous one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, OsError::fromFile(file, errno)};
    for (QByteArrayView chunk = nextChunk(); !chunk.isEmpty(); chunk = nextChunk()) {
        errno = 0;
        if (file.write(chunk.data(), chunk.size()) != chunk.size()) {
            const OsError e = OsError::fromFile(file, errno);
            file.cancelWriting();
            return {false, e};
        }
    }
    errno = 0;
    if (!file.commit())
        return {false, OsError::fromFile(file, errno)};
    return {true, {}};
}

} // namespace clipvane
