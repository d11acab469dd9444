#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <utility>

class QObject;

namespace clipvane {

struct HttpTimeouts {
    std::chrono::milliseconds connect{10'000};
    std::chrono::milliseconds idle{15'000}; // nothing received for this long ends the request
    std::chrono::milliseconds total{30'000};
    std::chrono::milliseconds retryAfterCap{10'000}; // the longest wait a Retry-After gets before the retry
};

struct HttpStatusRequest {
    QString url;
    QByteArray userAgent;
    QList<QByteArray> headers; // "Name: value"
    int maxRedirects = 20;
};

// What ended a status check that read no final status line.
enum class HttpFailure {
    None,              // a final status line was read
    NotWebAddress,     // not an http or https address (a redirection included)
    NameNotResolved,   // the host name does not resolve
    ConnectionRefused, // nothing listens there
    Unreachable,       // no route to the host, or the connection failed otherwise
    TimedOut,          // the connect, idle or total time-out
    TooManyRedirects,
    Tls,         // the TLS handshake failed or the certificate was refused
    RateLimited, // 429, or 429/503 again after waiting as Retry-After asked
    NotHttp,     // an answer that is not HTTP, or the connection ended without one
    Other,
};

struct HttpStatusResult {
    HttpStatusResult() = default;
    HttpStatusResult(bool ok_, int status_, HttpFailure failure_ = HttpFailure::None, QString reason_ = {})
        : ok(ok_), status(status_), failure(failure_), reason(std::move(reason_)) {}

    bool ok = false; // a final status line was read
    int status = 0;
    HttpFailure failure = HttpFailure::None;
    // Why the check ended as it did, for a person: the status with its reason phrase ("404 Not Found")
    // or the failure ("time-out after 15 s", "name not resolved"). Plain text, printable characters only.
    QString reason;
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
    int total = 128;
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
    // A 429 or 503 with Retry-After is asked again once, after that delay (at most 10 s).
    virtual HttpStatusResult fetchStatus(const HttpStatusRequest& request) = 0;
    virtual HttpGetResult get(const HttpGetRequest& request) = 0;
    // Runs fetchStatus for every request concurrently, within the limits, without blocking the caller.
    // Connections to a host are reused; while a host asked to wait (Retry-After), its queue waits.
    // onResults runs on the thread of `context` (from its event loop), never from inside this call,
    // and not after `context` or the batch is gone. Every request gets exactly one result.
    virtual std::unique_ptr<HttpStatusBatch>
    startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                     std::function<void(HttpStatusResults)> onResults) = 0;
};

} // namespace clipvane
