#include "OsError.h"

#include <QFileDevice>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace clipvane {

OsError OsError::fromErrno(int err) {
    return {err, QString::fromLocal8Bit(std::strerror(err))};
}

OsError OsError::fromFile(const QFileDevice& file, int savedErrno) {
    if (savedErrno != 0)
        return fromErrno(savedErrno);
    // Qt reports some failures without errno: a folder where a file was expected is the usual one.
    if (!file.fileName().isEmpty() && QFileInfo(file.fileName()).isDir())
        return fromErrno(EISDIR);
    // EIO keeps the number meaningful for the others.
    return {EIO, file.errorString()};
}

} // namespace clipvane
