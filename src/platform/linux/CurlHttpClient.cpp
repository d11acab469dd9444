#include "CurlHttpClient.h"

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

struct StatusSink {
    bool sawBody = false;
};

size_t stopAtBody(char*, size_t size, size_t nmemb, void* userdata) {
    if (size * nmemb == 0)
        return 0;
    static_cast<StatusSink*>(userdata)->sawBody = true;
    return 0; // abort: the final response's headers are all we need
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

} // namespace

CurlHttpClient::CurlHttpClient(HttpTimeouts timeouts) : m_timeouts(timeouts) {
    globalInit();
}

CurlHttpClient::~CurlHttpClient() = default;

HttpStatusResult CurlHttpClient::fetchStatus(const HttpStatusRequest& request) {
    Easy e;
    if (!e.h)
        return {};
    const QByteArray url = request.url.toUtf8();
    applyCommon(e.h, url, m_timeouts);
    curl_easy_setopt(e.h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(e.h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e.h, CURLOPT_MAXREDIRS, long(request.maxRedirects));
    curl_easy_setopt(e.h, CURLOPT_USERAGENT, request.userAgent.constData());
    for (const QByteArray& header : request.headers)
        e.headers = curl_slist_append(e.headers, header.constData());
    if (e.headers)
        curl_easy_setopt(e.h, CURLOPT_HTTPHEADER, e.headers);
    StatusSink sink;
    curl_easy_setopt(e.h, CURLOPT_WRITEFUNCTION, stopAtBody);
    curl_easy_setopt(e.h, CURLOPT_WRITEDATA, &sink);

    const CURLcode rc = curl_easy_perform(e.h);
    if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && sink.sawBody))
        return {};
    long status = 0;
    if (curl_easy_getinfo(e.h, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status <= 0)
        return {};
    return {true, int(status)};
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

    const CURLcode rc = curl_easy_perform(e.h);
    long status = 0;
    curl_easy_getinfo(e.h, CURLINFO_RESPONSE_CODE, &status);
    if (rc != CURLE_OK || sink.overflow)
        return {false, int(status), {}};
    return {true, int(status), std::move(sink.body)};
}

} // namespace clipvane
