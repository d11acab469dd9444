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
    if (QFileInfo(file.fileName()).isDir())
        return fromErrno(EISDIR);
    // Qt reports some failures (e.g. "is a directory") without errno; EIO keeps the number meaningful.
    return {EIO, file.errorString()};
}

} // namespace clipvane
