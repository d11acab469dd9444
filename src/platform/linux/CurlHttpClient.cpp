#include "CurlHttpClient.h"
#include "HttpResponseText.h"
#include "SocketTable.h"

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <curl/curl.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace clipvane {

namespace {

using namespace httptext;

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Easy {
    CURL* h = curl_easy_init();
    curl_slist* headers = nullptr;
    char error[CURL_ERROR_SIZE] = {};
    ~Easy() {
        if (headers)
            curl_slist_free_all(headers);
        if (h)
            curl_easy_cleanup(h);
    }
};

void applyCommon(CURL* h, const QByteArray& url, const HttpTimeouts& t) {
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // A name server that never answers must not hold the end of a request (or of the process) until the
    // resolver's own time-out: its thread is left to end alone.
    curl_easy_setopt(h, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(t.connect.count()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(t.total.count()));
    // "Nothing arrives for idle": under one byte a second for that long.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, std::max(1L, long(t.idle.count() / 1000)));
}

using Clock = std::chrono::steady_clock;

// Follows one response's header lines. The empty line after a final (not 1xx) status line ends the
// transfer: the body is never waited for. A response without a body runs to its end, which leaves its
// connection open for the next check on that host.
struct StatusSink {
    int status = 0;
    QByteArray phrase;
    QByteArray location;
    qint64 retryAfter = -1;
    qint64 contentLength = -1;
    bool finalHeadersIn = false;
};

bool headerNamed(const QByteArray& line, const char* name, QByteArray& value) {
    const qsizetype n = qsizetype(qstrlen(name));
    if (line.size() <= n || line[n] != ':' || line.first(n).compare(name, Qt::CaseInsensitive) != 0)
        return false;
    value = line.mid(n + 1).trimmed();
    return true;
}

curl_socket_t openTrackedSocket(void* table, curlsocktype purpose, curl_sockaddr* address) {
    return static_cast<SocketTable*>(table)->open(*address, purpose == CURLSOCKTYPE_IPCXN);
}

int closeTrackedSocket(void* table, curl_socket_t fd) {
    return static_cast<SocketTable*>(table)->close(fd);
}

struct Multi {
    CURLM* h = curl_multi_init();
    ~Multi() {
        if (h)
            curl_multi_cleanup(h);
    }
};

// A multi handle with its socket table, destroyed in that order.
struct MultiWithSockets {
    SocketTable sockets;
    Multi multi;
};

// The address a Location header leads to, resolved against the address that answered with it.
QByteArray resolveLocation(const QByteArray& base, const QByteArray& location) {
    CURLU* u = curl_url();
    if (!u)
        return {};
    QByteArray out;
    char* full = nullptr;
    if (curl_url_set(u, CURLUPART_URL, base.constData(), 0) == CURLUE_OK &&
        curl_url_set(u, CURLUPART_URL, location.constData(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE | CURLU_ALLOW_SPACE) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_URL, &full, 0) == CURLUE_OK)
        out = full;
    curl_free(full);
    curl_url_cleanup(u);
    return out;
}

struct BodySink {
    QByteArray body;
    qint64 cap = 0;
    bool overflow = false;
};

size_t collectBody(char* data, size_t size, size_t nmemb, void* userdata) {
    auto* sink = static_cast<BodySink*>(userdata);
    const size_t n = size * nmemb;
    if (sink->body.size() + qint64(n) > sink->cap) {
        sink->overflow = true;
        return 0;
    }
    sink->body.append(data, qsizetype(n));
    return n;
}

class StatusRunner;

// One check's walk through its redirections. Redirections are followed here rather than by curl, so that
// every response, redirections included, ends at its headers: a server that sends headers and then holds
// back the body still gives its status. Time spent waiting for a free slot, or for a host that asked to
// wait, does not count against the check's total time-out, so a check in a batch ends exactly as the same
// check alone would.
struct Check {
    StatusRunner* runner = nullptr;
    HttpStatusRequest request;
    QByteArray url;
    QByteArray host;
    int redirections = 0;
    bool retried = false; // asked again once after a Retry-After
    std::chrono::milliseconds used{0};
    Clock::time_point hopStart;
    std::unique_ptr<Easy> easy;
    StatusSink sink;
    // The idle rule of the hop in progress: nothing received on its connection for the idle time ends it.
    bool connected = false;
    bool idleTimedOut = false;
    int fd = -1;
    quint64 bytesSeen = 0;
    Clock::time_point lastReceived;
    Clock::time_point lastProbe;
};

constexpr auto kIdleProbeInterval = std::chrono::milliseconds(200);

size_t onHeaderLine(char* data, size_t size, size_t nmemb, void* userdata) {
    auto* c = static_cast<Check*>(userdata);
    StatusSink* sink = &c->sink;
    const size_t n = size * nmemb;
    c->lastReceived = Clock::now();
    const QByteArray line = QByteArray(data, qsizetype(n)).trimmed();
    QByteArray value;
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> parts = line.split(' ');
        *sink = {};
        sink->status = parts.size() >= 2 ? parts[1].toInt() : 0;
        const qsizetype second = line.indexOf(' ', line.indexOf(' ') + 1);
        if (second > 0)
            sink->phrase = line.mid(second + 1);
    } else if (line.isEmpty()) {
        if (sink->status >= 200) {
            sink->finalHeadersIn = true;
            const bool noBody = sink->status == 204 || sink->status == 304 || sink->contentLength == 0;
            return noBody ? n : 0; // otherwise abort: the status and the headers are all we need
        }
    } else if (sink->location.isEmpty() && headerNamed(line, "Location", value)) {
        sink->location = value;
    } else if (headerNamed(line, "Retry-After", value)) {
        sink->retryAfter = retryAfterSeconds(value);
    } else if (headerNamed(line, "Content-Length", value)) {
        bool ok = false;
        const qint64 length = value.toLongLong(&ok);
        sink->contentLength = ok ? length : -1;
    }
    return n;
}

size_t refuseBody(char*, size_t, size_t, void*) {
    return 0;
}

int afterConnect(void* check, char*, char*, int, int);
int watchIdle(void* check, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

QByteArray hostOf(const QByteArray& url) {
    QByteArray host;
    if (CURLU* u = curl_url()) {
        char* h = nullptr;
        if (curl_url_set(u, CURLUPART_URL, url.constData(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
            curl_url_get(u, CURLUPART_HOST, &h, 0) == CURLUE_OK)
            host = QByteArray(h).toLower();
        curl_free(h);
        curl_url_cleanup(u);
    }
    return host;
}

// Why a hop ended without a status line, from curl's code and what the hop saw.
HttpStatusResult failureOf(CURLcode rc, const Check& c, const char* errorText, long osErrno,
                           const HttpTimeouts& limits, std::chrono::milliseconds left) {
    if (c.idleTimedOut)
        return timedOut(limits.idle);
    switch (rc) {
    case CURLE_OPERATION_TIMEDOUT:
        return timedOut(!c.connected && limits.connect < left ? limits.connect : limits.total);
    case CURLE_COULDNT_RESOLVE_HOST:
        return failedWith(HttpFailure::NameNotResolved, QStringLiteral("name not resolved"));
    case CURLE_COULDNT_RESOLVE_PROXY:
        return failedWith(HttpFailure::NameNotResolved, QStringLiteral("proxy name not resolved"));
    case CURLE_COULDNT_CONNECT:
        if (osErrno == ECONNREFUSED)
            return failedWith(HttpFailure::ConnectionRefused, QStringLiteral("connection refused"));
        if (osErrno == EHOSTUNREACH || osErrno == ENETUNREACH)
            return failedWith(HttpFailure::Unreachable, QStringLiteral("host unreachable"));
        return failedWith(HttpFailure::Unreachable, QStringLiteral("could not connect"));
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        if (c.connected) // an answer curl cannot take as HTTP (HTTP/0.9 is refused this way)
            return failedWith(HttpFailure::NotHttp, QStringLiteral("not an HTTP answer"));
        return failedWith(HttpFailure::NotWebAddress, QStringLiteral("not a web address"));
    case CURLE_PEER_FAILED_VERIFICATION: {
        const QString detail = printable(errorText, 120);
        const qsizetype at = detail.indexOf(QLatin1String("certificate"), 0, Qt::CaseInsensitive);
        if (at >= 0)
            return failedWith(HttpFailure::Tls, QStringLiteral("TLS: ") + detail.mid(at));
        return failedWith(HttpFailure::Tls, QStringLiteral("TLS: certificate not accepted"));
    }
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
        return failedWith(HttpFailure::Tls, QStringLiteral("TLS: handshake failed"));
    case CURLE_GOT_NOTHING:
        return failedWith(HttpFailure::NotHttp, QStringLiteral("empty answer"));
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return failedWith(HttpFailure::NotHttp, QStringLiteral("connection reset"));
    case CURLE_WEIRD_SERVER_REPLY:
        return failedWith(HttpFailure::NotHttp, QStringLiteral("not an HTTP answer"));
    default:
        return failedWith(HttpFailure::Other, QString::fromLatin1(curl_easy_strerror(rc)).toLower());
    }
}

// Runs status checks on one multi handle, at most limits.total at once and limits.perHost per host
// name, redirections and retries included, the lowest index first. Used alone on the caller's thread for
// one check, and on a worker thread for a batch. Connections are kept and reused within the run, and the
// multi handle's DNS cache is shared by every check of it.
class StatusRunner {
public:
    using Deliver = std::function<void(HttpStatusResults)>;

    StatusRunner(MultiWithSockets& multi, QList<HttpStatusRequest> requests, HttpBatchLimits limits,
                 HttpTimeouts timeouts)
        : m_multi(multi.multi.h), m_sockets(multi.sockets), m_limits(limits), m_timeouts(timeouts) {
        m_limits.total = std::max(1, m_limits.total);
        m_limits.perHost = std::max(1, m_limits.perHost);
        curl_multi_setopt(m_multi, CURLMOPT_MAX_HOST_CONNECTIONS, long(m_limits.perHost));
        m_checks.resize(size_t(requests.size()));
        for (qsizetype i = 0; i < requests.size(); ++i) {
            Check& c = m_checks[size_t(i)];
            c.runner = this;
            c.request = std::move(requests[i]);
        }
        m_left = int(m_checks.size());
        // Hosts are read as the queue reaches their checks (see dispatch): a long list starts at once.
        sizeConnectionCache();
    }

    ~StatusRunner() {
        for (Check& c : m_checks)
            if (c.easy && c.easy->h)
                curl_multi_remove_handle(m_multi, c.easy->h);
    }

    // Runs until every check has its result or `stop` turns true.
    void run(const Deliver& deliver, const std::atomic<bool>* stop) {
        while (m_left > 0 && !(stop && stop->load())) {
            resumeHosts();
            dispatch();
            int running = 0;
            curl_multi_perform(m_multi, &running);
            int queued = 0;
            while (CURLMsg* msg = curl_multi_info_read(m_multi, &queued)) {
                if (msg->msg != CURLMSG_DONE)
                    continue;
                char* priv = nullptr;
                curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &priv);
                hopDone(int(reinterpret_cast<quintptr>(priv)), msg->data.result);
            }
            dispatch();
            if (!m_done.isEmpty()) {
                deliver(std::exchange(m_done, {}));
                continue;
            }
            if (m_left > 0 && !(stop && stop->load()))
                curl_multi_poll(m_multi, nullptr, 0, pollTimeoutMs(), nullptr);
        }
    }

    // The prerequisite callback: the hop has its connection (new or reused).
    void connectedHop(Check& c) {
        c.connected = true;
        c.lastReceived = Clock::now();
        long port = 0;
        curl_easy_getinfo(c.easy->h, CURLINFO_LOCAL_PORT, &port);
        c.fd = port > 0 ? m_sockets.fdForLocalPort(quint16(port)) : -1;
        c.bytesSeen = bytesReceived(c.fd);
        c.lastProbe = c.lastReceived;
    }

    // The progress callback: a non-zero answer ends the hop as idle.
    int idleCheck(Check& c) {
        if (!c.connected)
            return 0; // the connect time-out governs until then
        const auto now = Clock::now();
        // curl calls this for every transfer on every pass; the kernel is asked a few times a second.
        if (c.fd >= 0 && now - c.lastProbe >= kIdleProbeInterval) {
            c.lastProbe = now;
            const quint64 seen = bytesReceived(c.fd);
            if (seen != c.bytesSeen) {
                c.bytesSeen = seen;
                c.lastReceived = now;
            }
        }
        if (now - c.lastReceived < m_timeouts.idle)
            return 0;
        c.idleTimedOut = true;
        return 1;
    }

private:
    struct Host {
        std::set<int> waiting; // the checks waiting for a slot, by index
        int running = 0;
        int readyKey = -1;                          // its entry in m_ready, -1 when it has none
        std::optional<Clock::time_point> waitUntil; // asked to wait (Retry-After)
    };

    // A host is ready when a check waits for it, it has a free slot and it is not asked to wait. Every
    // change to a host passes here, so m_ready holds each host at most once.
    void refreshReady(const QByteArray& name, Host& h) {
        if (h.readyKey >= 0) {
            m_ready.erase({h.readyKey, name});
            h.readyKey = -1;
        }
        if (!h.waiting.empty() && h.running < m_limits.perHost && !h.waitUntil) {
            h.readyKey = *h.waiting.begin();
            m_ready.insert({h.readyKey, name});
        }
    }

    void enqueue(int index) {
        Check& c = m_checks[size_t(index)];
        c.host = hostOf(c.url);
        const size_t known = m_hosts.size();
        Host& h = m_hosts[c.host];
        h.waiting.insert(index);
        refreshReady(c.host, h);
        if (m_hosts.size() != known)
            sizeConnectionCache();
    }

    // The cache counts the connections in use too. Holding only `total` of them, a run that goes round more
    // hosts than that (the lowest index first spreads over the hosts) closed each host's idle connection
    // before its next check came: room for one idle connection per host keeps them, within a bound on the
    // sockets held.
    void sizeConnectionCache() {
        const qint64 total = m_limits.total;
        curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS,
                          long(std::min(4 * total, total + qint64(m_hosts.size()))));
    }

    // The checks are queued in their order as slots need them, so the first ones start before a long list
    // has been read: a slot goes to the lowest waiting index whose host has room, and every check not
    // queued yet comes after every queued one, so reading on only when no queued check can start keeps
    // that rule.
    void dispatch() {
        while (m_running < m_limits.total) {
            if (m_ready.empty()) {
                if (m_unqueued == m_checks.size())
                    return;
                Check& c = m_checks[m_unqueued];
                c.url = c.request.url.toUtf8();
                enqueue(int(m_unqueued++));
                continue;
            }
            const QByteArray name = m_ready.begin()->second;
            Host& h = m_hosts[name];
            const int index = *h.waiting.begin();
            h.waiting.erase(h.waiting.begin());
            ++m_running;
            ++h.running;
            refreshReady(name, h);
            startHop(index);
        }
    }

    void release(const QByteArray& name) {
        --m_running;
        Host& h = m_hosts[name];
        --h.running;
        refreshReady(name, h);
    }

    void resumeHosts() {
        const auto now = Clock::now();
        for (auto it = m_waitingHosts.begin(); it != m_waitingHosts.end();) {
            Host& h = m_hosts[*it];
            if (*h.waitUntil > now) {
                ++it;
                continue;
            }
            h.waitUntil.reset();
            refreshReady(*it, h);
            it = m_waitingHosts.erase(it);
        }
    }

    int pollTimeoutMs() {
        auto wait = std::chrono::milliseconds(1000);
        const auto now = Clock::now();
        for (const QByteArray& name : m_waitingHosts)
            wait =
                std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(*m_hosts[name].waitUntil - now));
        return int(std::max<qint64>(0, wait.count()));
    }

    void finish(int index, HttpStatusResult result) {
        m_checks[size_t(index)].easy.reset();
        m_done.append({index, result});
        --m_left;
    }

    void startHop(int index) {
        Check& c = m_checks[size_t(index)];
        const auto left = m_timeouts.total - c.used;
        c.easy = std::make_unique<Easy>();
        if (left.count() <= 0 || !c.easy->h) {
            release(c.host);
            finish(index, left.count() <= 0
                              ? timedOut(m_timeouts.total)
                              : failedWith(HttpFailure::Other, QStringLiteral("out of memory")));
            return;
        }
        HttpTimeouts hop = m_timeouts;
        hop.total = left;
        hop.connect = std::min(hop.connect, left);
        CURL* h = c.easy->h;
        applyCommon(h, c.url, hop);
        // The idle rule is the check's own (watchIdle), counting header bytes too.
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 0L);
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, watchIdle);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, &c);
        curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, afterConnect);
        curl_easy_setopt(h, CURLOPT_PREREQDATA, &c);
        curl_easy_setopt(h, CURLOPT_OPENSOCKETFUNCTION, openTrackedSocket);
        curl_easy_setopt(h, CURLOPT_OPENSOCKETDATA, &m_sockets);
        curl_easy_setopt(h, CURLOPT_CLOSESOCKETFUNCTION, closeTrackedSocket);
        curl_easy_setopt(h, CURLOPT_CLOSESOCKETDATA, &m_sockets);
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, c.easy->error);
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        curl_easy_setopt(h, CURLOPT_USERAGENT, c.request.userAgent.constData());
        for (const QByteArray& header : c.request.headers)
            c.easy->headers = curl_slist_append(c.easy->headers, header.constData());
        if (c.easy->headers)
            curl_easy_setopt(h, CURLOPT_HTTPHEADER, c.easy->headers);
        c.sink = {};
        c.connected = c.idleTimedOut = false;
        c.fd = -1;
        curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, onHeaderLine);
        curl_easy_setopt(h, CURLOPT_HEADERDATA, &c);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, refuseBody);
        curl_easy_setopt(h, CURLOPT_PRIVATE, reinterpret_cast<char*>(quintptr(index)));
        c.hopStart = Clock::now();
        if (curl_multi_add_handle(m_multi, h) != CURLM_OK) {
            c.easy.reset();
            release(c.host);
            finish(index, failedWith(HttpFailure::Other, QStringLiteral("could not start the request")));
        }
    }

    void hopDone(int index, CURLcode rc) {
        Check& c = m_checks[size_t(index)];
        CURL* h = c.easy->h;
        long osErrno = 0;
        curl_easy_getinfo(h, CURLINFO_OS_ERRNO, &osErrno);
        curl_multi_remove_handle(m_multi, h);
        const auto left = m_timeouts.total - c.used;
        c.used += std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - c.hopStart);
        release(c.host);
        const StatusSink& sink = c.sink;
        if (!sink.finalHeadersIn || sink.status <= 0)
            return finish(index, failureOf(rc, c, c.easy->error, osErrno, m_timeouts, left));
        const int status = sink.status;
        if ((status == 429 || status == 503) && sink.retryAfter >= 0 && !c.retried) {
            // Asked again once, after the wait the server gave (capped); the host's queue waits meanwhile.
            c.retried = true;
            const auto delay = std::min<std::chrono::milliseconds>(std::chrono::seconds(sink.retryAfter),
                                                                   m_timeouts.retryAfterCap);
            Host& host = m_hosts[c.host];
            const auto until = Clock::now() + delay;
            m_waitingHosts.insert(c.host);
            host.waitUntil = std::max(host.waitUntil.value_or(until), until);
            c.easy.reset();
            enqueue(index);
            return;
        }
        if (status == 429)
            return finish(index, {true, status, HttpFailure::RateLimited, QStringLiteral("rate limited")});
        const HttpStatusResult answered{true, status, HttpFailure::None, statusReason(status, sink.phrase)};
        if (status < 300 || status >= 400 || sink.location.isEmpty())
            return finish(index, answered);
        if (c.redirections >= c.request.maxRedirects)
            return finish(index,
                          failedWith(HttpFailure::TooManyRedirects, QStringLiteral("too many redirects")));
        c.url = resolveLocation(c.url, sink.location);
        if (c.url.isEmpty())
            return finish(index, failedWith(HttpFailure::NotWebAddress, QStringLiteral("not a web address")));
        ++c.redirections;
        c.easy.reset();
        enqueue(index);
    }

    CURLM* m_multi;
    SocketTable& m_sockets;
    HttpBatchLimits m_limits;
    HttpTimeouts m_timeouts;
    std::vector<Check> m_checks;
    std::map<QByteArray, Host> m_hosts;
    std::set<std::pair<int, QByteArray>> m_ready; // hosts with a free slot, by their lowest waiting index
    std::set<QByteArray> m_waitingHosts;          // hosts asked to wait, by name
    size_t m_unqueued = 0;                        // the checks from here on have not been queued yet
    int m_running = 0;
    int m_left = 0;
    HttpStatusResults m_done;
};

int afterConnect(void* check, char*, char*, int, int) {
    auto* c = static_cast<Check*>(check);
    c->runner->connectedHop(*c);
    return CURL_PREREQFUNC_OK;
}

int watchIdle(void* check, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* c = static_cast<Check*>(check);
    return c->runner->idleCheck(*c);
}

// A batch on its own worker thread; results travel to the context's thread as queued calls.
class CurlStatusBatch final : public HttpStatusBatch {
public:
    CurlStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, HttpTimeouts timeouts,
                    QObject* context, std::function<void(HttpStatusResults)> onResults)
        : m_alive(std::make_shared<bool>(true)) {
        const int count = int(requests.size());
        auto alive = m_alive;
        auto deliver = [context, alive, onResults = std::move(onResults)](HttpStatusResults results) {
            QMetaObject::invokeMethod(
                context,
                [alive, onResults, results = std::move(results)] {
                    if (*alive)
                        onResults(results);
                },
                Qt::QueuedConnection);
        };
        if (!m_multi.multi.h) {
            HttpStatusResults failed;
            for (int i = 0; i < count; ++i)
                failed.append(qMakePair(i, HttpStatusResult{false, 0, HttpFailure::Other,
                                                            QStringLiteral("could not start the request")}));
            deliver(std::move(failed));
            return;
        }
        m_worker = std::thread([this, requests = std::move(requests), limits, timeouts, deliver]() mutable {
            StatusRunner runner(m_multi, std::move(requests), limits, timeouts);
            runner.run(deliver, &m_stop);
        });
    }

    ~CurlStatusBatch() override {
        *m_alive = false;
        m_stop = true;
        if (m_worker.joinable()) {
            curl_multi_wakeup(m_multi.multi.h);
            m_worker.join();
        }
    }

private:
    std::shared_ptr<bool> m_alive; // read and written on the context's thread only
    std::atomic<bool> m_stop{false};
    MultiWithSockets m_multi;
    std::thread m_worker;
};

// Called by curl about once a second, and whenever data moves: a non-zero answer ends the transfer.
int abandonWhenAsked(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

} // namespace

CurlHttpClient::CurlHttpClient(HttpTimeouts timeouts) : m_timeouts(timeouts) {
    globalInit();
}

CurlHttpClient::~CurlHttpClient() = default;

HttpStatusResult CurlHttpClient::fetchStatus(const HttpStatusRequest& request) {
    MultiWithSockets multi;
    if (!multi.multi.h)
        return {false, 0, HttpFailure::Other, QStringLiteral("could not start the request")};
    HttpStatusResult result;
    StatusRunner runner(multi, {request}, {1, 1}, m_timeouts);
    runner.run([&](const HttpStatusResults& done) { result = done.first().second; }, nullptr);
    return result;
}

std::unique_ptr<HttpStatusBatch>
CurlHttpClient::startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                                 std::function<void(HttpStatusResults)> onResults) {
    return std::make_unique<CurlStatusBatch>(std::move(requests), limits, m_timeouts, context,
                                             std::move(onResults));
}

HttpGetResult CurlHttpClient::get(const HttpGetRequest& request) {
    Easy e;
    if (!e.h)
        return {};
    const QByteArray url = request.url.toUtf8();
    applyCommon(e.h, url, m_timeouts);
    curl_easy_setopt(e.h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(e.h, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(e.h, CURLOPT_MAXREDIRS, 20L);
    BodySink sink;
    sink.cap = request.maxBodyBytes;
    curl_easy_setopt(e.h, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(e.h, CURLOPT_WRITEDATA, &sink);
    if (request.abandon) {
        curl_easy_setopt(e.h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(e.h, CURLOPT_XFERINFOFUNCTION, abandonWhenAsked);
        curl_easy_setopt(e.h, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(request.abandon));
    }

    const CURLcode rc = curl_easy_perform(e.h);
    long status = 0;
    curl_easy_getinfo(e.h, CURLINFO_RESPONSE_CODE, &status);
    if (rc != CURLE_OK || sink.overflow)
        return {false, int(status), {}};
    return {true, int(status), std::move(sink.body)};
}

} // namespace clipvane
