#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace clipvane {

namespace {

QString runtimeName(const QString& dataFolder, const char* suffix) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || !QFileInfo(folder).isWritable())
        folder = QDir::tempPath();
    const QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    const QByteArray key = QFile::encodeName(canonical.isEmpty() ? QDir::cleanPath(dataFolder) : canonical);
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24);
    return QDir(folder).filePath(QStringLiteral("clipvane-%1-%2%3")
                                     .arg(::getuid())
                                     .arg(QString::fromLatin1(hash), QLatin1String(suffix)));
}

bool socketAddress(const QString& path, sockaddr_un& address) {
    const QByteArray bytes = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (bytes.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, bytes.constData(), std::size_t(bytes.size()));
    return true;
}

} // namespace

QString SingleInstance::socketPath(const QString& dataFolder) {
    return runtimeName(dataFolder, ".sock");
}

QString SingleInstance::lockPath(const QString& dataFolder) {
    return runtimeName(dataFolder, ".lock");
}

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), m_socketPath(socketPath(dataFolder)) {
    // Close-on-exec throughout: a browser started from here must not keep the folder held after we end.
    m_lockFd =
        ::open(QFile::encodeName(lockPath(dataFolder)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0)
        return;
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        m_first = errno != EWOULDBLOCK;
        ::close(m_lockFd);
        m_lockFd = -1;
        return;
    }
    // Holding the lock, any socket file there is stale: its copy is gone.
    sockaddr_un address;
    if (!socketAddress(m_socketPath, address))
        return;
    ::unlink(address.sun_path);
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0)
        return;
    if (::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 8) != 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_listenFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::accept);
}

SingleInstance::~SingleInstance() {
    if (m_listenFd >= 0) {
        delete m_notifier;
        ::close(m_listenFd);
        ::unlink(QFile::encodeName(m_socketPath).constData());
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void SingleInstance::accept() {
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        // Whatever comes, a connection is a request to be shown; nothing is read from it.
        ::close(fd);
        emit showRequested();
    }
}

bool SingleInstance::askFirstToShow(int timeoutMs) const {
    sockaddr_un address;
    if (!socketAddress(m_socketPath, address))
        return false;
    // The first copy may be between taking the lock and listening: ask again for a while.
    const QDeadlineTimer deadline(timeoutMs);
    do {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        const bool connected =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        if (connected) {
            static const char request[] = "show\n";
            [[maybe_unused]] const ssize_t n = ::send(fd, request, sizeof request - 1, MSG_NOSIGNAL);
            ::close(fd);
            return true;
        }
        ::close(fd);
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

} // namespace clipvane
