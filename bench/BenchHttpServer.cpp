#include "BenchHttpServer.h"

#include "ServerSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <queue>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <unordered_map>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr qsizetype kMaxRequestHead = 64 * 1024;
constexpr quint64 kStopKey = 0;
constexpr quint64 kTimerKey = quint64(1) << 31;
constexpr quint64 kFirstConnectionKey = quint64(1) << 32; // below it: the listening sockets, by index + 1

// The value of a header in a request head (any letter case), empty when absent.
QByteArray headerValue(const QByteArray& head, const QByteArray& name) {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace

struct BenchHttpServer::Connection {
    int fd = -1;
    QByteArray in;
    QByteArray out;
    bool answering = false; // a request waits for its answer; later ones wait in `in`
    bool closeAfter = false;
    bool ending = false; // our side has ended (or will, once `out` is sent)
    QByteArray host;     // of the request being answered
    Answer answer;
    bool isHead = false;
};

BenchHttpServer::BenchHttpServer(int loopbackAddresses) {
    // The first address picks a free port; the others take the same one (a few tries if it is taken).
    for (int attempt = 0; attempt < 20 && m_listenFds.empty(); ++attempt) {
        quint16 port = 0;
        std::vector<int> fds;
        for (int a = 1; a <= loopbackAddresses; ++a) {
            const int fd = clipvane::test::listenOn(INADDR_LOOPBACK - 1 + quint32(a), port, 1024);
            if (fd < 0)
                break;
            fds.push_back(fd);
        }
        if (int(fds.size()) == loopbackAddresses) {
            m_listenFds = std::move(fds);
            m_port = port;
        } else {
            for (int fd : fds)
                ::close(fd);
        }
    }
}

BenchHttpServer::~BenchHttpServer() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_stopFd, &one, sizeof one);
        m_thread.join();
    }
    for (int fd : m_listenFds)
        ::close(fd);
    if (m_stopFd >= 0)
        ::close(m_stopFd);
    if (m_timerFd >= 0)
        ::close(m_timerFd);
    if (m_epoll >= 0)
        ::close(m_epoll);
}

void BenchHttpServer::on(const QByteArray& path, const Answer& answer) {
    m_script.insert(path, answer);
}

bool BenchHttpServer::start() {
    if (m_listenFds.empty() || m_thread.joinable())
        return false;
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_epoll < 0 || m_stopFd < 0)
        return false;
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kStopKey;
    if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_stopFd, &ev) != 0)
        return false;
    // steady_clock is CLOCK_MONOTONIC, so its time points arm the timer directly.
    m_timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    ev.data.u64 = kTimerKey;
    if (m_timerFd < 0 || ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_timerFd, &ev) != 0)
        return false;
    for (size_t i = 0; i < m_listenFds.size(); ++i) {
        ev.data.u64 = i + 1;
        if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_listenFds[i], &ev) != 0)
            return false;
    }
    m_thread = std::thread([this] { loop(); });
    return true;
}

QString BenchHttpServer::urlOn(int address, const QString& path) const {
    return QStringLiteral("http://127.0.0.%1:%2%3").arg(address).arg(m_port).arg(path);
}

int BenchHttpServer::requestCount() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QHash<QByteArray, int> BenchHttpServer::requestsByTarget() const {
    std::lock_guard lock(m_mutex);
    return m_byTarget;
}

int BenchHttpServer::maxConcurrent() const {
    std::lock_guard lock(m_mutex);
    return m_maxInFlightAll;
}

std::chrono::steady_clock::time_point BenchHttpServer::firstRequestAt() const {
    std::lock_guard lock(m_mutex);
    return m_firstRequest;
}

std::chrono::steady_clock::time_point BenchHttpServer::lastAnswerAt() const {
    std::lock_guard lock(m_mutex);
    return m_lastAnswer;
}

int BenchHttpServer::maxConcurrentFor(const QByteArray& host) const {
    std::lock_guard lock(m_mutex);
    return m_maxInFlight.value(host);
}

void BenchHttpServer::loop() {
    std::unordered_map<quint64, Connection> connections;
    quint64 nextKey = kFirstConnectionKey;
    // Answers due, earliest first: (when, connection). A connection waits for at most one.
    using Due = std::pair<Clock::time_point, quint64>;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> due;

    const auto watch = [&](quint64 key, Connection& c) {
        epoll_event ev{};
        ev.events = EPOLLIN | EPOLLRDHUP | (c.out.isEmpty() ? 0u : unsigned(EPOLLOUT));
        ev.data.u64 = key;
        ::epoll_ctl(m_epoll, EPOLL_CTL_MOD, c.fd, &ev);
    };
    const auto drop = [&](quint64 key) {
        const auto it = connections.find(key);
        if (it == connections.end())
            return;
        Connection& c = it->second;
        if (c.answering) { // the client left before its answer
            std::lock_guard lock(m_mutex);
            --m_inFlight[c.host];
            --m_inFlightAll;
        }
        ::close(c.fd); // also leaves the epoll set
        connections.erase(it);
    };
    // Sends what is pending; false when the connection is gone.
    const auto flush = [&](quint64 key, Connection& c) {
        while (!c.out.isEmpty()) {
            const ssize_t n = ::send(c.fd, c.out.constData(), size_t(c.out.size()), MSG_NOSIGNAL);
            if (n > 0) {
                c.out.remove(0, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                watch(key, c);
                return true;
            }
            drop(key);
            return false;
        }
        if (c.ending)
            ::shutdown(c.fd, SHUT_WR); // the client reads the answer, then sees the end; we close on its end
        watch(key, c);
        return true;
    };
    // Takes the next complete request head, if any, and schedules its answer.
    const auto takeRequest = [&](quint64 key, Connection& c) {
        if (c.answering || c.ending)
            return true;
        const qsizetype end = c.in.indexOf("\r\n\r\n");
        if (end < 0) {
            if (c.in.size() <= kMaxRequestHead)
                return true;
            drop(key);
            return false;
        }
        const QByteArray head = c.in.left(end);
        c.in.remove(0, end + 4);
        const qsizetype lineEnd = head.indexOf("\r\n");
        const QList<QByteArray> requestLine = head.left(lineEnd < 0 ? head.size() : lineEnd).split(' ');
        if (requestLine.size() != 3) {
            drop(key);
            return false;
        }
        const QByteArray& target = requestLine[1];
        c.isHead = requestLine[0] == "HEAD";
        c.closeAfter =
            m_closeEach || headerValue(head, "Connection").compare("close", Qt::CaseInsensitive) == 0;
        c.host = headerValue(head, "Host");
        if (const qsizetype colon = c.host.lastIndexOf(':'); colon >= 0)
            c.host.truncate(colon);
        const auto scripted = m_script.constFind(target);
        c.answer = scripted != m_script.constEnd() ? *scripted : Answer{404, "not scripted\n", {}};
        c.answering = true;
        {
            std::lock_guard lock(m_mutex);
            if (m_requests++ == 0)
                m_firstRequest = Clock::now();
            ++m_byTarget[target];
            m_maxInFlight[c.host] = std::max(m_maxInFlight.value(c.host), ++m_inFlight[c.host]);
            m_maxInFlightAll = std::max(m_maxInFlightAll, ++m_inFlightAll);
        }
        due.push({Clock::now() + c.answer.delay, key});
        return true;
    };
    const auto answer = [&](quint64 key) {
        const auto it = connections.find(key);
        if (it == connections.end())
            return;
        Connection& c = it->second;
        {
            std::lock_guard lock(m_mutex);
            --m_inFlight[c.host];
            --m_inFlightAll;
            m_lastAnswer = Clock::now();
        }
        c.answering = false;
        c.out += "HTTP/1.1 " + QByteArray::number(c.answer.status) + ' ' +
                 clipvane::test::reasonPhrase(c.answer.status) +
                 "\r\nContent-Length: " + QByteArray::number(c.answer.body.size()) + "\r\n" +
                 (c.closeAfter ? "Connection: close\r\n" : "") + "\r\n";
        if (!c.isHead)
            c.out += c.answer.body;
        c.ending = c.closeAfter;
        if (flush(key, c))
            takeRequest(key, c); // a request the client sent behind this one
    };
    const auto readFrom = [&](quint64 key, Connection& c) {
        char buf[16 * 1024];
        for (;;) {
            const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
            if (n > 0) {
                if (!c.ending) // after our end, whatever comes is only drained
                    c.in.append(buf, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return takeRequest(key, c);
            drop(key); // the client's end, or an error
            return false;
        }
    };

    const int timer = m_timerFd;
    std::vector<epoll_event> events(256);
    for (;;) {
        // Answers go out when due, not on the next whole millisecond: a timer of its own, to the nanosecond.
        itimerspec arm{};
        if (!due.empty()) {
            const auto at =
                std::chrono::duration_cast<std::chrono::nanoseconds>(due.top().first.time_since_epoch());
            arm.it_value.tv_sec = time_t(at.count() / 1000000000);
            arm.it_value.tv_nsec = long(at.count() % 1000000000);
            if (arm.it_value.tv_sec == 0 && arm.it_value.tv_nsec == 0)
                arm.it_value.tv_nsec = 1; // zero would disarm it
        }
        ::timerfd_settime(timer, TFD_TIMER_ABSTIME, &arm, nullptr);
        const int n = ::epoll_wait(m_epoll, events.data(), int(events.size()), -1);
        if (n < 0 && errno != EINTR)
            break;
        for (int i = 0; i < n; ++i) {
            const quint64 key = events[size_t(i)].data.u64;
            const unsigned what = events[size_t(i)].events;
            if (key == kStopKey) {
                for (auto& [k, c] : connections)
                    ::close(c.fd);
                return;
            }
            if (key == kTimerKey) {
                uint64_t expirations = 0;
                [[maybe_unused]] const ssize_t r = ::read(timer, &expirations, sizeof expirations);
                continue;
            }
            if (key < kFirstConnectionKey) {
                const int listenFd = m_listenFds[size_t(key - 1)];
                for (;;) {
                    const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                    if (fd < 0)
                        break;
                    ++m_accepted;
                    const quint64 ck = nextKey++;
                    Connection& c = connections[ck];
                    c.fd = fd;
                    epoll_event ev{};
                    ev.events = EPOLLIN | EPOLLRDHUP;
                    ev.data.u64 = ck;
                    ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &ev);
                }
                continue;
            }
            const auto it = connections.find(key);
            if (it == connections.end())
                continue;
            Connection& c = it->second;
            if ((what & EPOLLOUT) && !flush(key, c))
                continue;
            if (what & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR))
                readFrom(key, c);
        }
        const auto now = Clock::now();
        while (!due.empty() && due.top().first <= now) {
            const quint64 key = due.top().second;
            due.pop();
            answer(key);
        }
    }
}

} // namespace bench
