#include "CurlHttpClient.h"

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <atomic>
#include <curl/curl.h>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace clipvane {

namespace {

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Easy {
    CURL* h = curl_easy_init();
    curl_slist* headers = nullptr;
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
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(t.connect.count()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(t.total.count()));
    // "Nothing arrives for idle": under one byte a second for that long.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, std::max(1L, long(t.idle.count() / 1000)));
}

// Follows one response's header lines. The empty line after a final (not 1xx) status line ends the
// transfer: the body is never waited for.
struct StatusSink {
    int status = 0;
    QByteArray location;
    bool finalHeadersIn = false;
};

size_t onHeaderLine(char* data, size_t size, size_t nmemb, void* userdata) {
    auto* sink = static_cast<StatusSink*>(userdata);
    const size_t n = size * nmemb;
    const QByteArray line = QByteArray(data, qsizetype(n)).trimmed();
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> parts = line.split(' ');
        sink->status = parts.size() >= 2 ? parts[1].toInt() : 0;
        sink->location.clear();
    } else if (line.isEmpty()) {
        if (sink->status >= 200) {
            sink->finalHeadersIn = true;
            return 0; // abort: the status and the headers are all we need
        }
    } else if (sink->location.isEmpty() && line.size() > 9 &&
               line.first(9).compare("Location:", Qt::CaseInsensitive) == 0) {
        sink->location = line.mid(9).trimmed();
    }
    return n;
}

size_t refuseBody(char*, size_t, size_t, void*) {
    return 0;
}

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

// One check's walk through its redirections. Redirections are followed here rather than by curl, so that
// every response, redirections included, ends at its headers: a server that sends headers and then holds
// back the body still gives its status. Time spent waiting for a free slot does not count against the
// check's total time-out, so a check in a batch ends exactly as the same check alone would.
struct Check {
    HttpStatusRequest request;
    QByteArray url;
    QByteArray host;
    int redirections = 0;
    std::chrono::milliseconds used{0};
    std::chrono::steady_clock::time_point hopStart;
    std::unique_ptr<Easy> easy;
    StatusSink sink;
};

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

// Runs status checks on one multi handle, at most limits.total at once and limits.perHost per host
// name, the lowest index first. Used alone on the caller's thread for one check, and on a worker
// thread for a batch.
class StatusRunner {
public:
    using Deliver = std::function<void(HttpStatusResults)>;

    StatusRunner(CURLM* multi, QList<HttpStatusRequest> requests, HttpBatchLimits limits,
                 HttpTimeouts timeouts)
        : m_multi(multi), m_limits(limits), m_timeouts(timeouts) {
        m_limits.total = std::max(1, m_limits.total);
        m_limits.perHost = std::max(1, m_limits.perHost);
        m_checks.resize(size_t(requests.size()));
        for (qsizetype i = 0; i < requests.size(); ++i) {
            Check& c = m_checks[size_t(i)];
            c.url = requests[i].url.toUtf8();
            c.request = std::move(requests[i]);
            enqueue(int(i));
        }
        m_left = int(m_checks.size());
    }

    ~StatusRunner() {
        for (Check& c : m_checks)
            if (c.easy && c.easy->h)
                curl_multi_remove_handle(m_multi, c.easy->h);
    }

    // Runs until every check has its result or `stop` turns true.
    void run(const Deliver& deliver, const std::atomic<bool>* stop) {
        while (m_left > 0 && !(stop && stop->load())) {
            dispatch();
            int running = 0;
            curl_multi_perform(m_multi, &running);
            int queued = 0;
            while (CURLMsg* msg = curl_multi_info_read(m_multi, &queued)) {
                if (msg->msg != CURLMSG_DONE)
                    continue;
                char* priv = nullptr;
                curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &priv);
                hopDone(int(reinterpret_cast<quintptr>(priv)));
            }
            dispatch();
            if (!m_done.isEmpty()) {
                deliver(std::exchange(m_done, {}));
                continue;
            }
            if (m_left > 0 && !(stop && stop->load()))
                curl_multi_poll(m_multi, nullptr, 0, 1000, nullptr);
        }
    }

private:
    void enqueue(int index) {
        Check& c = m_checks[size_t(index)];
        c.host = hostOf(c.url);
        std::set<int>& waiting = m_waiting[c.host];
        waiting.insert(index);
        if (m_runningPerHost[c.host] < m_limits.perHost)
            m_ready.insert({*waiting.begin(), c.host});
    }

    void dispatch() {
        while (m_running < m_limits.total && !m_ready.empty()) {
            const QByteArray host = m_ready.begin()->second;
            m_ready.erase(m_ready.begin());
            std::set<int>& waiting = m_waiting[host];
            const int index = *waiting.begin();
            waiting.erase(waiting.begin());
            ++m_running;
            const int onHost = ++m_runningPerHost[host];
            if (!waiting.empty() && onHost < m_limits.perHost)
                m_ready.insert({*waiting.begin(), host});
            startHop(index);
        }
    }

    void release(const QByteArray& host) {
        --m_running;
        const int onHost = --m_runningPerHost[host];
        std::set<int>& waiting = m_waiting[host];
        if (!waiting.empty() && onHost == m_limits.perHost - 1)
            m_ready.insert({*waiting.begin(), host});
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
            finish(index, {});
            return;
        }
        HttpTimeouts hop = m_timeouts;
        hop.total = left;
        hop.connect = std::min(hop.connect, left);
        CURL* h = c.easy->h;
        applyCommon(h, c.url, hop);
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        curl_easy_setopt(h, CURLOPT_USERAGENT, c.request.userAgent.constData());
        for (const QByteArray& header : c.request.headers)
            c.easy->headers = curl_slist_append(c.easy->headers, header.constData());
        if (c.easy->headers)
            curl_easy_setopt(h, CURLOPT_HTTPHEADER, c.easy->headers);
        c.sink = {};
        curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, onHeaderLine);
        curl_easy_setopt(h, CURLOPT_HEADERDATA, &c.sink);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, refuseBody);
        // A fresh connection per check, as a check alone makes: nothing is reused between checks.
        curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(h, CURLOPT_PRIVATE, reinterpret_cast<char*>(quintptr(index)));
        c.hopStart = std::chrono::steady_clock::now();
        if (curl_multi_add_handle(m_multi, h) != CURLM_OK) {
            c.easy.reset();
            release(c.host);
            finish(index, {});
        }
    }

    void hopDone(int index) {
        Check& c = m_checks[size_t(index)];
        curl_multi_remove_handle(m_multi, c.easy->h);
        c.used += std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                        c.hopStart);
        release(c.host);
        const StatusSink& sink = c.sink;
        if (!sink.finalHeadersIn || sink.status <= 0)
            return finish(index, {});
        if (sink.status < 300 || sink.status >= 400 || sink.location.isEmpty())
            return finish(index, {true, sink.status});
        if (c.redirections >= c.request.maxRedirects)
            return finish(index, {});
        c.url = resolveLocation(c.url, sink.location);
        if (c.url.isEmpty())
            return finish(index, {});
        ++c.redirections;
        c.easy.reset();
        enqueue(index);
    }

    CURLM* m_multi;
    HttpBatchLimits m_limits;
    HttpTimeouts m_timeouts;
    std::vector<Check> m_checks;
    std::map<QByteArray, std::set<int>> m_waiting; // per host, the checks waiting for a slot
    std::map<QByteArray, int> m_runningPerHost;
    std::set<std::pair<int, QByteArray>> m_ready; // hosts with a free slot, by their lowest waiting index
    int m_running = 0;
    int m_left = 0;
    HttpStatusResults m_done;
};

struct Multi {
    CURLM* h = curl_multi_init();
    ~Multi() {
        if (h)
            curl_multi_cleanup(h);
    }
};

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
        if (!m_multi.h) {
            HttpStatusResults failed;
            for (int i = 0; i < count; ++i)
                failed.append(qMakePair(i, HttpStatusResult{}));
            deliver(std::move(failed));
            return;
        }
        m_worker = std::thread([this, requests = std::move(requests), limits, timeouts, deliver]() mutable {
            StatusRunner runner(m_multi.h, std::move(requests), limits, timeouts);
            runner.run(deliver, &m_stop);
        });
    }

    ~CurlStatusBatch() override {
        *m_alive = false;
        m_stop = true;
        if (m_worker.joinable()) {
            curl_multi_wakeup(m_multi.h);
            m_worker.join();
        }
    }

private:
    std::shared_ptr<bool> m_alive; // read and written on the context's thread only
    std::atomic<bool> m_stop{false};
    Multi m_multi;
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
    Multi multi;
    if (!multi.h)
        return {};
    HttpStatusResult result;
    StatusRunner runner(multi.h, {request}, {1, 1}, m_timeouts);
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
