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

namespace {

OsError tooLarge(qint64 maxSize) {
    return {EFBIG, QStringLiteral("File too large: files over %1 MiB are not read").arg(maxSize >> 20)};
}

OsError notRegular() {
    return {EINVAL, QStringLiteral("Not a regular file: devices, pipes and sockets are not read")};
}

} // namespace

bool openForReading(QFile& file, const QString& path, OsError& error, qint64 maxSize) {
    const QFileInfo info(path);
    if (info.exists()) {
        if (info.isDir()) {
            error = OsError::fromErrno(EISDIR);
            return false;
        }
        if (!info.isFile()) {
            error = notRegular();
            return false;
        }
    }
    file.setFileName(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        error = OsError::fromFile(file, errno);
        return false;
    }
    // The name may have been given to something else since it was looked at.
    if (file.isSequential()) {
        file.close();
        error = notRegular();
        return false;
    }
    if (file.size() > maxSize) {
        file.close();
        error = tooLarge(maxSize);
        return false;
    }
    return true;
}

FileBytes readFileBytes(const QString& path, qint64 maxSize) {
    FileBytes result;
    QFile file;
    if (!openForReading(file, path, result.error, maxSize))
        return result;
    result.ok = readRemaining(file, result.bytes, result.error);
    if (result.ok && result.bytes.size() > maxSize) {
        // It grew while it was read.
        result = {false, tooLarge(maxSize), {}};
    }
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

namespace {
std::function<void(const QString&)>& beforeRenameHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}
} // namespace

void setBeforeRenameHook(std::function<void(const QString& path)> hook) {
    beforeRenameHook() = std::move(hook);
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
    if (beforeRenameHook())
        beforeRenameHook()(path);
    errno = 0;
    if (!file.commit())
        return {false, OsError::fromFile(file, errno)};
    return {true, {}};
}

} // namespace clipvane
