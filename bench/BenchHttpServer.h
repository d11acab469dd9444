#pragma once
// An HTTP/1.1 server for the benchmarks on 127.0.0.1 … 127.0.0.<n> (one port): one thread driving every
// connection from an epoll loop, answers by path after a scripted delay, and connections kept alive as a
// real server keeps them, unless told to close each one after its answer. The test suite's LocalHttpServer
// (a thread per connection, every misbehaviour scriptable) would measure its own threads on a small machine.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace bench {

class BenchHttpServer {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        std::chrono::milliseconds delay{0}; // from the request's head to the answer
    };

    explicit BenchHttpServer(int loopbackAddresses = 1);
    ~BenchHttpServer();
    BenchHttpServer(const BenchHttpServer&) = delete;
    BenchHttpServer& operator=(const BenchHttpServer&) = delete;

    // Scripting happens before start(); unscripted paths get 404 at once.
    void on(const QByteArray& path, const Answer& answer);
    // Every answer says "Connection: close" and the server ends the connection after it.
    void setCloseEachConnection(bool on) { m_closeEach = on; }
    bool start();

    quint16 port() const { return m_port; }
    QString urlOn(int address, const QString& path) const;

    int requestCount() const;
    // How many requests each target got.
    QHash<QByteArray, int> requestsByTarget() const;
    int connectionsAccepted() const { return m_accepted.load(); }
    // The most requests being answered at once, from the arrival of the request's head until its answer
    // was sent: over all host names, and for one (the Host header without its port).
    int maxConcurrent() const;
    int maxConcurrentFor(const QByteArray& host) const;
    // When the first request's head arrived and when the last answer was sent (the epoch when none).
    std::chrono::steady_clock::time_point firstRequestAt() const;
    std::chrono::steady_clock::time_point lastAnswerAt() const;

private:
    struct Connection;
    void loop();

    std::vector<int> m_listenFds; // 127.0.0.1 first
    int m_epoll = -1;
    int m_stopFd = -1;
    int m_timerFd = -1; // due answers
    quint16 m_port = 0;
    bool m_closeEach = false;
    QHash<QByteArray, Answer> m_script;
    std::atomic<int> m_accepted{0};

    mutable std::mutex m_mutex; // the figures below, read from other threads
    int m_requests = 0;
    QHash<QByteArray, int> m_byTarget;
    int m_inFlightAll = 0;
    int m_maxInFlightAll = 0;
    QHash<QByteArray, int> m_inFlight;
    QHash<QByteArray, int> m_maxInFlight;
    std::chrono::steady_clock::time_point m_firstRequest;
    std::chrono::steady_clock::time_point m_lastAnswer;

    std::thread m_thread;
};

} // namespace bench
