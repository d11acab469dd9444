#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class QObject;

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

// How many status requests of a batch run at once, in all and per host name.
struct HttpBatchLimits {
    int total = 32;
    int perHost = 6;
};

// Results of a batch as they complete: each is the index of its request and what fetchStatus would give.
using HttpStatusResults = QList<QPair<int, HttpStatusResult>>;

// A batch of status requests in progress. Destroying it abandons what is still running; no result is
// delivered after that.
class HttpStatusBatch {
public:
    virtual ~HttpStatusBatch() = default;
};

// HTTP over http and https only. fetchStatus and get block the calling thread, bounded by the time-outs.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    // GET, following redirections, stopping once the final response's headers are in: the body is never read.
    virtual HttpStatusResult fetchStatus(const HttpStatusRequest& request) = 0;
    virtual HttpGetResult get(const HttpGetRequest& request) = 0;
    // Runs fetchStatus for every request concurrently, within the limits, without blocking the caller.
    // onResults runs on the thread of `context` (from its event loop), never from inside this call,
    // and not after `context` or the batch is gone. Every request gets exactly one result.
    virtual std::unique_ptr<HttpStatusBatch>
    startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                     std::function<void(HttpStatusResults)> onResults) = 0;
};

} // namespace clipvane
