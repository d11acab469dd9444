#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <chrono>

namespace clipvane {

struct HttpTimeouts {
    std::chrono::milliseconds connect{10'000};
    std::chrono::milliseconds idle{15'000}; // nothing received for this long ends the request
    std::chrono::milliseconds total{30'000};
};

struct HttpStatusRequest {
    QString url;
    QByteArray userAgent;
    QList<QByteArray> headers; // "Name: value"
    int maxRedirects = 20;
};

struct HttpStatusResult {
    bool ok = false; // a final status line was read
    int status = 0;
};

struct HttpGetRequest {
    QString url;
    qint64 maxBodyBytes = 1 << 20;
    bool followRedirects = false;
    // When given, the request ends as a failure soon (within about a second) after this turns true: the
    // owner of a request running on another thread can leave without waiting out the time-outs.
    const std::atomic<bool>* abandon = nullptr;
};

struct HttpGetResult {
    bool ok = false; // a whole response arrived within the limits
    int status = 0;
    QByteArray body;
};

// HTTP over http and https only. Every call blocks the calling thread, bounded by the time-outs.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    // GET, following redirections, stopping once the final response's headers are in: the body is never read.
    virtual HttpStatusResult fetchStatus(const HttpStatusRequest& request) = 0;
    virtual HttpGetResult get(const HttpGetRequest& request) = 0;
};

} // namespace clipvane
