#pragma once
// An HTTP server on 127.0.0.1 with scripted answers per path, for the code that talks HTTP.
// It runs on its own threads: the client under test blocks the calling thread while it waits.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace clipvane::test {

struct RecordedRequest {
    QByteArray method;
    QByteArray target; // path and query, as sent
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>> headers;
    std::chrono::steady_clock::time_point at; // when its head was complete

    // The first header of that name (any letter case); empty when absent.
    QByteArray header(const QByteArray& name) const;
    bool hasHeader(const QByteArray& name) const;
};

// What the server does with a request for one path. Every answer closes the connection afterwards, unless
// the server keeps connections alive (setKeepAlive).
struct ScriptedReply {
    enum class Kind {
        Http,        // a status line, headers and a body
        Raw,         // the bytes of `raw`, then close: garbage that is not HTTP
        Close,       // close the connection at once, sending nothing
        NeverAnswer, // keep the connection open and send nothing until the client goes
        Reset,       // reset the connection (RST) at once
    };
    Kind kind = Kind::Http;
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool endlessBody = false; // after the headers, send body bytes until the client goes
    QByteArray raw;
    std::chrono::milliseconds delayBeforeHeaders{0};
    std::chrono::milliseconds delayBetweenBytes{0}; // sends the whole answer a byte at a time
    bool stallAfterHeaders = false; // announces the body, then sends nothing until the client goes

    static ScriptedReply withStatus(int status, const QByteArray& body = {});
    static ScriptedReply redirect(int status, const QByteArray& location);
    static ScriptedReply endless(int status = 200);
    static ScriptedReply
    garbage(const QByteArray& bytes = QByteArrayLiteral("SSH-2.0-OpenSSH_9.2\r\n\x01\x02"));
    static ScriptedReply closeAtOnce();
    static ScriptedReply neverAnswer();
    static ScriptedReply resetAtOnce();

    ScriptedReply& header(const QByteArray& name, const QByteArray& value);
};

class LocalHttpServer {
public:
    // Listens on 127.0.0.1 and, for tests that need several host names, on 127.0.0.2 … 127.0.0.<n>, all
    // on the same port.
    explicit LocalHttpServer(int loopbackAddresses = 1);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool isListening() const { return m_listenFd >= 0; }
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by the path.
    QString url(const QString& path) const;
    // "http://127.0.0.<address>:<port>" followed by the path.
    QString urlOn(int address, const QString& path) const;
    QByteArray urlBytes(const QByteArray& path) const;

    // Answers requests whose target equals the path. Unscripted paths get 404.
    void on(const QByteArray& path, const ScriptedReply& reply);
    // The first request for the path gets `first`, every later one `then`.
    void onFirstThen(const QByteArray& path, const ScriptedReply& first, const ScriptedReply& then);
    // Plain HTTP answers keep their connection open for the next request (no "Connection: close").
    void setKeepAlive(bool on) { m_keepAlive = on; }

    QList<RecordedRequest> requests() const;
    QList<RecordedRequest> requestsFor(const QByteArray& path) const;
    int connectionsAccepted() const { return m_accepted.load(); }
    // Connections still open on the server's side (e.g. an endless body the client has not left yet).
    int connectionsOpen() const { return m_open.load(); }
    // The most requests of one host name (the Host header without its port) that were being answered at
    // once: from the request's arrival until its answer was sent.
    int maxConcurrentFor(const QByteArray& host) const;
    int maxConcurrent() const; // over all host names together
    // The most connections to 127.0.0.<address> that were open at once, counted at each accept: the
    // connections the client had not closed yet (connected at the TCP level, whether a request came or not).
    int maxOpenConnectionsOn(int address) const;
    // True once every connection has ended, within the time given.
    bool waitForIdle(std::chrono::milliseconds timeout) const;

private:
    void acceptLoop();
    void serve(int fd, int address);
    ScriptedReply replyFor(const QByteArray& target);
    void record(RecordedRequest request);

    // Waits until fd is ready for `events`, or the server stops, or the timeout passes (negative: no limit).
    // Returns true when fd is ready.
    bool waitFor(int fd, short events, int timeoutMs) const;
    bool sleepFor(std::chrono::milliseconds d) const; // false when the server stops meanwhile
    bool sendAll(int fd, const char* data, qsizetype size, std::chrono::milliseconds perByte) const;
    void waitUntilClientLeaves(int fd) const;

    void endConnection();

    int m_listenFd = -1;
    std::vector<int> m_extraFds; // 127.0.0.2 and further
    int m_stopFd = -1;           // an eventfd: readable once the server stops
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_accepted{0};
    std::atomic<int> m_open{0};

    mutable std::mutex m_mutex;
    QList<QPair<QByteArray, ScriptedReply>> m_script;
    QHash<QByteArray, QPair<ScriptedReply, int>> m_firstReplies; // path → the first reply, times asked
    QHash<int, QList<int>> m_liveFds;                            // address → its connections' sockets
    QHash<int, int> m_maxOpen;                                   // address → most open at once
    std::atomic<bool> m_keepAlive{false};
    QList<RecordedRequest> m_requests;
    QHash<QByteArray, int> m_inFlight;
    QHash<QByteArray, int> m_maxInFlight;
    int m_inFlightAll = 0;
    int m_maxInFlightAll = 0;
    // Connection threads are detached (a benchmark serves thousands); the destructor waits for them.
    int m_liveConnections = 0;
    std::condition_variable m_connectionsGone;
    std::thread m_acceptor;
};

} // namespace clipvane::test
