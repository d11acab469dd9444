#include "LocalHttpServer.h"
#include "ServerSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace clipvane::test {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Scripted";
    }
}

int listenOn(quint32 address, quint16& port, int backlog) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(address);
    addr.sin_port = htons(port);
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, backlog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(addr.sin_port);
    return fd;
}

namespace {

constexpr qsizetype kMaxRequestHead = 64 * 1024;

bool sameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasHeaderNamed(const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& name) {
    for (const auto& h : headers)
        if (sameName(h.first, name))
            return true;
    return false;
}

bool parseRequestHead(const QByteArray& head, RecordedRequest& out) {
    const QList<QByteArray> lines = head.split('\n');
    if (lines.isEmpty())
        return false;
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3)
        return false;
    out.method = requestLine[0];
    out.target = requestLine[1];
    out.version = requestLine[2];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (line.isEmpty() || colon <= 0)
            continue;
        out.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

} // namespace

QByteArray RecordedRequest::header(const QByteArray& name) const {
    for (const auto& h : headers)
        if (sameName(h.first, name))
            return h.second;
    return {};
}

bool RecordedRequest::hasHeader(const QByteArray& name) const {
    return hasHeaderNamed(headers, name);
}

ScriptedReply ScriptedReply::withStatus(int status, const QByteArray& body) {
    ScriptedReply r;
    r.status = status;
    r.body = body;
    return r;
}

ScriptedReply ScriptedReply::redirect(int status, const QByteArray& location) {
    ScriptedReply r = withStatus(status);
    r.headers.append({"Location", location});
    return r;
}

ScriptedReply ScriptedReply::endless(int status) {
    ScriptedReply r = withStatus(status);
    r.endlessBody = true;
    return r;
}

ScriptedReply ScriptedReply::garbage(const QByteArray& bytes) {
    ScriptedReply r;
    r.kind = Kind::Raw;
    r.raw = bytes;
    return r;
}

ScriptedReply ScriptedReply::closeAtOnce() {
    ScriptedReply r;
    r.kind = Kind::Close;
    return r;
}

ScriptedReply ScriptedReply::resetAtOnce() {
    ScriptedReply r;
    r.kind = Kind::Reset;
    return r;
}

ScriptedReply ScriptedReply::neverAnswer() {
    ScriptedReply r;
    r.kind = Kind::NeverAnswer;
    return r;
}

ScriptedReply& ScriptedReply::header(const QByteArray& name, const QByteArray& value) {
    headers.append({name, value});
    return *this;
}

namespace {} // namespace

LocalHttpServer::LocalHttpServer(int loopbackAddresses) {
    m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopFd < 0)
        return;
    // The first address picks a free port; the others take the same one (a few tries if it is taken).
    for (int attempt = 0; attempt < 20 && m_listenFd < 0; ++attempt) {
        quint16 port = 0;
        const int first = listenOn(INADDR_LOOPBACK, port, 256);
        if (first < 0)
            return;
        std::vector<int> extra;
        for (int a = 2; a <= loopbackAddresses; ++a) {
            quint16 same = port;
            const int fd = listenOn(INADDR_LOOPBACK - 1 + quint32(a), same, 256);
            if (fd < 0)
                break;
            extra.push_back(fd);
        }
        if (int(extra.size()) == loopbackAddresses - 1 || loopbackAddresses < 1) {
            m_listenFd = first;
            m_extraFds = std::move(extra);
            m_port = port;
        } else {
            ::close(first);
            for (int fd : extra)
                ::close(fd);
        }
    }
    if (m_listenFd >= 0)
        m_acceptor = std::thread([this] { acceptLoop(); });
}

LocalHttpServer::~LocalHttpServer() {
    m_stopping = true;
    if (m_stopFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_stopFd, &one, sizeof one);
    }
    if (m_acceptor.joinable())
        m_acceptor.join();
    // The acceptor is gone, so no connection thread is added any more.
    {
        std::unique_lock lock(m_mutex);
        m_connectionsGone.wait(lock, [this] { return m_liveConnections == 0; });
    }
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    for (int fd : m_extraFds)
        ::close(fd);
    if (m_stopFd >= 0)
        ::close(m_stopFd);
}

QString LocalHttpServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QString LocalHttpServer::urlOn(int address, const QString& path) const {
    return QStringLiteral("http://127.0.0.%1:%2%3").arg(address).arg(m_port).arg(path);
}

int LocalHttpServer::maxConcurrentFor(const QByteArray& host) const {
    std::lock_guard lock(m_mutex);
    return m_maxInFlight.value(host);
}

int LocalHttpServer::maxConcurrent() const {
    std::lock_guard lock(m_mutex);
    return m_maxInFlightAll;
}

void LocalHttpServer::endConnection() {
    std::lock_guard lock(m_mutex);
    --m_liveConnections;
    m_connectionsGone.notify_all();
}

QByteArray LocalHttpServer::urlBytes(const QByteArray& path) const {
    return "http://127.0.0.1:" + QByteArray::number(m_port) + path;
}

void LocalHttpServer::on(const QByteArray& path, const ScriptedReply& reply) {
    std::lock_guard lock(m_mutex);
    for (auto& entry : m_script) {
        if (entry.first == path) {
            entry.second = reply;
            return;
        }
    }
    m_script.append({path, reply});
}

void LocalHttpServer::onFirstThen(const QByteArray& path, const ScriptedReply& first,
                                  const ScriptedReply& then) {
    on(path, then);
    std::lock_guard lock(m_mutex);
    m_firstReplies.insert(path, {first, 0});
}

int LocalHttpServer::maxOpenConnectionsOn(int address) const {
    std::lock_guard lock(m_mutex);
    return m_maxOpen.value(address);
}

QList<RecordedRequest> LocalHttpServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QList<RecordedRequest> LocalHttpServer::requestsFor(const QByteArray& path) const {
    QList<RecordedRequest> out;
    for (const RecordedRequest& r : requests())
        if (r.target == path)
            out.append(r);
    return out;
}

bool LocalHttpServer::waitForIdle(std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (m_open.load() != 0) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

ScriptedReply LocalHttpServer::replyFor(const QByteArray& target) {
    std::lock_guard lock(m_mutex);
    if (auto it = m_firstReplies.find(target); it != m_firstReplies.end() && it->second++ == 0)
        return it->first;
    for (const auto& entry : m_script)
        if (entry.first == target)
            return entry.second;
    return ScriptedReply::withStatus(404, "not scripted\n");
}

void LocalHttpServer::record(RecordedRequest request) {
    std::lock_guard lock(m_mutex);
    m_requests.append(std::move(request));
}

bool LocalHttpServer::waitFor(int fd, short events, int timeoutMs) const {
    pollfd fds[2] = {{fd, events, 0}, {m_stopFd, POLLIN, 0}};
    for (;;) {
        const int n = ::poll(fds, 2, timeoutMs);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || (fds[1].revents & POLLIN))
            return false;
        return fds[0].revents != 0;
    }
}

bool LocalHttpServer::sleepFor(std::chrono::milliseconds d) const {
    if (d.count() <= 0)
        return !m_stopping;
    pollfd stop{m_stopFd, POLLIN, 0};
    const auto end = std::chrono::steady_clock::now() + d;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return !m_stopping;
        const int n = ::poll(&stop, 1, int(left.count()));
        if (n > 0)
            return false;
    }
}

bool LocalHttpServer::sendAll(int fd, const char* data, qsizetype size,
                              std::chrono::milliseconds perByte) const {
    qsizetype sent = 0;
    while (sent < size) {
        if (perByte.count() > 0 && !sleepFor(perByte))
            return false;
        const size_t chunk = perByte.count() > 0 ? 1 : size_t(size - sent);
        const ssize_t n = ::send(fd, data + sent, chunk, MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            if (!waitFor(fd, POLLOUT, -1))
                return false;
            continue;
        }
        return false; // the client went away
    }
    return true;
}

void LocalHttpServer::waitUntilClientLeaves(int fd) const {
    char buf[4096];
    while (waitFor(fd, POLLIN | POLLRDHUP, -1)) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return;
    }
}

void LocalHttpServer::acceptLoop() {
    std::vector<pollfd> fds;
    fds.push_back({m_stopFd, POLLIN, 0});
    fds.push_back({m_listenFd, POLLIN, 0});
    for (int fd : m_extraFds)
        fds.push_back({fd, POLLIN, 0});
    while (!m_stopping) {
        const int n = ::poll(fds.data(), nfds_t(fds.size()), -1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || (fds[0].revents & POLLIN))
            return;
        for (size_t i = 1; i < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            const int fd = ::accept4(fds[i].fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            ++m_accepted;
            ++m_open;
            const int address = int(i);
            {
                std::lock_guard lock(m_mutex);
                ++m_liveConnections;
                // Connections the client has already closed (its FIN is in) do not count.
                QList<int>& live = m_liveFds[address];
                int open = 1;
                for (int other : live) {
                    pollfd p{other, POLLRDHUP, 0};
                    if (::poll(&p, 1, 0) == 0 || !(p.revents & (POLLRDHUP | POLLHUP | POLLERR)))
                        ++open;
                }
                live.append(fd);
                m_maxOpen[address] = std::max(m_maxOpen.value(address), open);
            }
            std::thread([this, fd, address] {
                serve(fd, address);
                endConnection();
            }).detach();
        }
    }
}

void LocalHttpServer::serve(int fd, int address) {
    QByteArray pending; // bytes of the next request already read
    char buf[4096];
    for (bool again = true; again;) {
        again = false;
        QByteArray head = std::exchange(pending, {});
        bool complete = head.contains("\r\n\r\n");
        while (!complete && head.size() < kMaxRequestHead && waitFor(fd, POLLIN, -1)) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                continue;
            if (n <= 0)
                break;
            head.append(buf, n);
            complete = head.contains("\r\n\r\n");
        }

        RecordedRequest request;
        if (complete && parseRequestHead(head.left(head.indexOf("\r\n\r\n")), request)) {
            request.at = std::chrono::steady_clock::now();
            pending = head.mid(head.indexOf("\r\n\r\n") + 4);
            const ScriptedReply reply = replyFor(request.target);
            const bool keepAlive = m_keepAlive && reply.kind == ScriptedReply::Kind::Http &&
                                   !reply.endlessBody && !reply.stallAfterHeaders;
            QByteArray host = request.header("Host");
            if (const qsizetype colon = host.lastIndexOf(':'); colon >= 0)
                host.truncate(colon);
            {
                std::lock_guard lock(m_mutex);
                m_maxInFlight[host] = std::max(m_maxInFlight.value(host), ++m_inFlight[host]);
                m_maxInFlightAll = std::max(m_maxInFlightAll, ++m_inFlightAll);
            }
            // Answered once the first byte of the answer goes out: the client cannot have its answer (and
            // start another request) before the count went down.
            bool inFlight = true;
            const auto answered = [&] {
                if (!std::exchange(inFlight, false)) {
                    return;
                }
                std::lock_guard lock(m_mutex);
                --m_inFlight[host];
                --m_inFlightAll;
            };
            record(request);
            bool graceful = true;
            switch (reply.kind) {
            case ScriptedReply::Kind::Close:
                graceful = false;
                break;
            case ScriptedReply::Kind::Reset: {
                const linger abort{1, 0}; // closing now sends a reset, not an orderly end
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
                graceful = false;
                break;
            }
            case ScriptedReply::Kind::NeverAnswer:
                waitUntilClientLeaves(fd);
                graceful = false;
                break;
            case ScriptedReply::Kind::Raw:
                graceful = sendAll(fd, reply.raw.constData(), reply.raw.size(), reply.delayBetweenBytes);
                break;
            case ScriptedReply::Kind::Http: {
                if (!sleepFor(reply.delayBeforeHeaders))
                    break;
                answered();
                QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                                 reasonPhrase(reply.status) + "\r\n";
                for (const auto& h : reply.headers)
                    out += h.first + ": " + h.second + "\r\n";
                const bool announceLength =
                    !reply.endlessBody && !hasHeaderNamed(reply.headers, "Content-Length");
                if (announceLength) {
                    const qsizetype length = reply.stallAfterHeaders
                                                 ? std::max<qsizetype>(reply.body.size(), 1024)
                                                 : reply.body.size();
                    out += "Content-Length: " + QByteArray::number(length) + "\r\n";
                }
                out += keepAlive ? "\r\n" : "Connection: close\r\n\r\n";
                if (!reply.stallAfterHeaders && !reply.endlessBody)
                    out += reply.body;
                if (!sendAll(fd, out.constData(), out.size(), reply.delayBetweenBytes)) {
                    graceful = false;
                    break;
                }
                if (reply.stallAfterHeaders) {
                    waitUntilClientLeaves(fd);
                    graceful = false;
                } else if (reply.endlessBody) {
                    const QByteArray chunk(16 * 1024, 'x');
                    while (sendAll(fd, chunk.constData(), chunk.size(), reply.delayBetweenBytes)) {
                    }
                    graceful = false;
                }
                break;
            }
            }
            answered();
            if (graceful && keepAlive) {
                again = true; // the next request on this connection
            } else if (graceful) {
                // Let the client read everything before the socket goes: closing at once could reset it.
                ::shutdown(fd, SHUT_WR);
                pollfd p{fd, POLLIN, 0};
                while (::poll(&p, 1, 1000) > 0 && ::recv(fd, buf, sizeof buf, 0) > 0) {
                }
            }
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_liveFds[address].removeOne(fd);
    }
    ::close(fd);
    --m_open;
}

} // namespace clipvane::test
