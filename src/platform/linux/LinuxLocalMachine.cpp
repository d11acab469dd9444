#include "LinuxLocalMachine.h"

#include <QByteArray>
#include <QList>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace clipvane {

QString LinuxLocalMachine::hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return QString::fromLocal8Bit(name);
}

std::optional<quint64> LinuxLocalMachine::residentSetBytes() {
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[256];
    ssize_t n;
    do
        n = ::read(fd, buffer, sizeof buffer);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (n <= 0 || pageSize <= 0)
        return std::nullopt;
    return residentBytesFromStatm(QByteArray(buffer, n), quint64(pageSize));
}

std::optional<quint64> residentBytesFromStatm(const QByteArray& statm, quint64 pageSize) {
    const QList<QByteArray> fields = statm.simplified().split(' ');
    if (fields.size() < 2)
        return std::nullopt;
    bool ok = false;
    const quint64 pages = fields[1].toULongLong(&ok);
    if (!ok || pageSize == 0 || pages > std::numeric_limits<quint64>::max() / pageSize)
        return std::nullopt;
    return pages * pageSize;
}

} // namespace clipvane
