#include "CurlHttpClient.h"

#include <algorithm>
#include <curl/curl.h>
#include <mutex>

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

// Called by curl about once a second, and whenever data moves: a non-zero answer ends the transfer.
int abandonWhenAsked(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

} // namespace

CurlHttpClient::CurlHttpClient(HttpTimeouts timeouts) : m_timeouts(timeouts) {
    globalInit();
}

CurlHttpClient::~CurlHttpClient() = default;

// Redirections are followed here rather than by curl, so that every response, redirections included,
// ends at its headers: a server that sends headers and then holds back the body still gives its status.
HttpStatusResult CurlHttpClient::fetchStatus(const HttpStatusRequest& request) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + m_timeouts.total;
    QByteArray url = request.url.toUtf8();
    for (int redirections = 0;; ++redirections) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return {};
        HttpTimeouts hop = m_timeouts;
        hop.total = left;
        hop.connect = std::min(hop.connect, left);

        Easy e;
        if (!e.h)
            return {};
        applyCommon(e.h, url, hop);
        curl_easy_setopt(e.h, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(e.h, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(e.h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        curl_easy_setopt(e.h, CURLOPT_USERAGENT, request.userAgent.constData());
        for (const QByteArray& header : request.headers)
            e.headers = curl_slist_append(e.headers, header.constData());
        if (e.headers)
            curl_easy_setopt(e.h, CURLOPT_HTTPHEADER, e.headers);
        StatusSink sink;
        curl_easy_setopt(e.h, CURLOPT_HEADERFUNCTION, onHeaderLine);
        curl_easy_setopt(e.h, CURLOPT_HEADERDATA, &sink);
        curl_easy_setopt(e.h, CURLOPT_WRITEFUNCTION, refuseBody);

        curl_easy_perform(e.h);
        if (!sink.finalHeadersIn || sink.status <= 0)
            return {};
        if (sink.status < 300 || sink.status >= 400 || sink.location.isEmpty())
            return {true, sink.status};
        if (redirections >= request.maxRedirects)
            return {};
        url = resolveLocation(url, sink.location);
        if (url.isEmpty())
            return {};
    }
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
