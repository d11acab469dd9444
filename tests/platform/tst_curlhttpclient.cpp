#include "LocalHttpServer.h"
#include "platform/linux/CurlHttpClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

Q_DECLARE_METATYPE(clipvane::test::ScriptedReply)

using namespace clipvane;
using namespace clipvane::test;
using namespace std::chrono_literals;

namespace {

// Short enough that a fault (waiting for a body, a silent server) shows as a failure within seconds.
constexpr HttpTimeouts kShort{2000ms, 2000ms, 5000ms};

HttpStatusRequest statusRequest(const QString& url) {
    HttpStatusRequest r;
    r.url = url;
    r.userAgent = "tester/1";
    return r;
}

// A port on 127.0.0.1 where nothing listens.
quint16 closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

// Runs a batch and waits for every result, in index order.
QList<HttpStatusResult> runBatch(CurlHttpClient& client, const QStringList& urls, HttpBatchLimits limits,
                                 int timeoutMs = 20000) {
    QList<HttpStatusRequest> requests;
    for (const QString& url : urls)
        requests.append(statusRequest(url));
    QList<HttpStatusResult> results(urls.size());
    int in = 0;
    QObject context;
    auto batch = client.startStatusBatch(requests, limits, &context, [&](const HttpStatusResults& done) {
        for (const auto& [index, result] : done) {
            results[index] = result;
            ++in;
        }
    });
    QElapsedTimer timer;
    timer.start();
    while (in < urls.size() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (in < urls.size())
        qWarning("the batch did not finish");
    return results;
}

} // namespace

class TestCurlHttpClient : public QObject {
    Q_OBJECT

    std::unique_ptr<LocalHttpServer> server;

private slots:
    void init();
    void cleanup();

    void defaultTimeoutsAreTheDecidedOnes();

    void fetchStatusGivesTheFinalStatus_data();
    void fetchStatusGivesTheFinalStatus();
    void fetchStatusLeavesTheBodyUnread_data();
    void fetchStatusLeavesTheBodyUnread();
    void fetchStatusSendsAgentAndHeadersOnEveryHop();
    void refusesSchemesOtherThanHttp_data();
    void refusesSchemesOtherThanHttp();

    void silentServerEndsWithinTheTimeouts_data();
    void silentServerEndsWithinTheTimeouts();
    void connectTimeoutApplies();

    void reasonSaysWhyTheCheckEnded_data();
    void reasonSaysWhyTheCheckEnded();
    void trickledHeadersAreNotIdle_data();
    void trickledHeadersAreNotIdle();
    void retryAfterAsksOnceMore_data();
    void retryAfterAsksOnceMore();
    void hostQueueWaitsForRetryAfter();
    void freeSlotGoesToTheLowestIndexThatCanStart();
    void perHostCapHoldsWithRedirects();
    void connectionsAreReused_data();
    void connectionsAreReused();

    void getCapsTheBody_data();
    void getCapsTheBody();
    void getFollowsRedirectsOnlyWhenAsked();
    void getFailures_data();
    void getFailures();
    void getEndsSoonOnceAbandoned();
};

void TestCurlHttpClient::init() {
    server = std::make_unique<LocalHttpServer>();
    QVERIFY(server->isListening());
    LocalHttpServer& s = *server;
    s.on("/ok", ScriptedReply::withStatus(200, "hello"));
    s.on("/found-no-location", ScriptedReply::withStatus(302));
    s.on("/moved", ScriptedReply::redirect(301, "/ok"));
    s.on("/moved-absolute", ScriptedReply::redirect(301, s.urlBytes("/ok")));
    s.on("/see-other", ScriptedReply::redirect(303, "/ok"));
    s.on("/found-to-missing", ScriptedReply::redirect(302, "/missing"));
    s.on("/moved-to-error", ScriptedReply::redirect(301, "/error"));
    s.on("/error", ScriptedReply::withStatus(500, "boom"));
    s.on("/loop", ScriptedReply::redirect(302, "/loop"));
    s.on("/garbage", ScriptedReply::garbage());
    s.on("/closed", ScriptedReply::closeAtOnce());
    s.on("/silent", ScriptedReply::neverAnswer());
    s.on("/endless", ScriptedReply::endless());
    // A chain /chain/N -> /chain/N-1 -> ... -> /chain/0 (200): N redirections.
    for (int n = 1; n <= 21; ++n)
        s.on("/chain/" + QByteArray::number(n),
             ScriptedReply::redirect(302, "/chain/" + QByteArray::number(n - 1)));
    s.on("/chain/0", ScriptedReply::withStatus(200, "end of chain"));
    // An interim answer before the real one.
    s.on("/continue",
         ScriptedReply::garbage("HTTP/1.1 100 Continue\r\n\r\n"
                                "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nhi"));
    ScriptedReply slow = ScriptedReply::withStatus(200, "late");
    slow.delayBeforeHeaders = 400ms;
    s.on("/slow", slow);
    ScriptedReply trickle = ScriptedReply::withStatus(404, "0123456789");
    trickle.delayBetweenBytes = 3ms;
    s.on("/trickle", trickle);
}

void TestCurlHttpClient::cleanup() {
    server.reset();
}

void TestCurlHttpClient::defaultTimeoutsAreTheDecidedOnes() {
    const HttpTimeouts t;
    QVERIFY(t.connect == 10s);
    QVERIFY(t.idle == 15s);
    QVERIFY(t.total == 30s);
}

void TestCurlHttpClient::fetchStatusGivesTheFinalStatus_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("requests"); // how many the server saw

    QTest::newRow("200") << QByteArray("/ok") << true << 200 << 1;
    QTest::newRow("302 without Location") << QByteArray("/found-no-location") << true << 302 << 1;
    QTest::newRow("301 then 200") << QByteArray("/moved") << true << 200 << 2;
    QTest::newRow("301 absolute then 200") << QByteArray("/moved-absolute") << true << 200 << 2;
    QTest::newRow("303 then 200") << QByteArray("/see-other") << true << 200 << 2;
    QTest::newRow("302 then 404") << QByteArray("/found-to-missing") << true << 404 << 2;
    QTest::newRow("301 then 500") << QByteArray("/moved-to-error") << true << 500 << 2;
    QTest::newRow("20 redirections") << QByteArray("/chain/20") << true << 200 << 21;
    QTest::newRow("21 redirections") << QByteArray("/chain/21") << false << 0 << 21;
    QTest::newRow("redirect loop") << QByteArray("/loop") << false << 0 << 21;
    QTest::newRow("interim 100 first") << QByteArray("/continue") << true << 200 << 1;
    QTest::newRow("slow headers") << QByteArray("/slow") << true << 200 << 1;
    QTest::newRow("trickled answer") << QByteArray("/trickle") << true << 404 << 1;
    QTest::newRow("garbage") << QByteArray("/garbage") << false << 0 << 1;
    QTest::newRow("closed at once") << QByteArray("/closed") << false << 0 << 1;
}

void TestCurlHttpClient::fetchStatusGivesTheFinalStatus() {
    QFETCH(QByteArray, path);
    QFETCH(bool, ok);
    QFETCH(int, status);
    QFETCH(int, requests);

    CurlHttpClient client(kShort);
    const HttpStatusResult result = client.fetchStatus(statusRequest(server->url(QString::fromLatin1(path))));
    QCOMPARE(result.ok, ok);
    if (ok)
        QCOMPARE(result.status, status);
    QCOMPARE(server->requests().size(), requests);
    for (const RecordedRequest& r : server->requests())
        QCOMPARE(r.method, QByteArray("GET"));
}

void TestCurlHttpClient::fetchStatusLeavesTheBodyUnread_data() {
    QTest::addColumn<ScriptedReply>("reply");
    QTest::addColumn<int>("status");

    QTest::newRow("endless body") << ScriptedReply::endless(200) << 200;
    ScriptedReply stalled = ScriptedReply::withStatus(200);
    stalled.stallAfterHeaders = true;
    QTest::newRow("body announced, never sent") << stalled << 200;
    ScriptedReply trickling = ScriptedReply::endless(404);
    trickling.delayBetweenBytes = 1ms;
    QTest::newRow("endless trickling body") << trickling << 404;
    QTest::newRow("redirect with an endless body")
        << ScriptedReply::endless(301).header("Location", "/ok") << 200;
}

// Stopping at the headers is what keeps the check quick: a body that never ends or never comes must not
// turn an answered request into a time-out.
void TestCurlHttpClient::fetchStatusLeavesTheBodyUnread() {
    QFETCH(ScriptedReply, reply);
    QFETCH(int, status);
    server->on("/body", reply);

    CurlHttpClient client({2000ms, 3000ms, 20000ms});
    const HttpStatusResult result = client.fetchStatus(statusRequest(server->url(QStringLiteral("/body"))));
    QVERIFY(result.ok);
    QCOMPARE(result.status, status);
    // The client went away instead of reading on.
    QVERIFY(server->waitForIdle(3s));
}

void TestCurlHttpClient::fetchStatusSendsAgentAndHeadersOnEveryHop() {
    CurlHttpClient client(kShort);
    HttpStatusRequest request = statusRequest(server->url(QStringLiteral("/moved")));
    request.userAgent = "RizeRAD:/1.0";
    request.headers = {"Cache-Control: no-cache", "Pragma: no-cache"};
    QVERIFY(client.fetchStatus(request).ok);

    const QList<RecordedRequest> seen = server->requests();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].target, QByteArray("/moved"));
    QCOMPARE(seen[1].target, QByteArray("/ok"));
    for (const RecordedRequest& r : seen) {
        QCOMPARE(r.method, QByteArray("GET"));
        QCOMPARE(r.header("User-Agent"), QByteArray("RizeRAD:/1.0"));
        QCOMPARE(r.header("Cache-Control"), QByteArray("no-cache"));
        QCOMPARE(r.header("Pragma"), QByteArray("no-cache"));
    }
}

void TestCurlHttpClient::refusesSchemesOtherThanHttp_data() {
    // "PORT" stands for the local server's port, which is only known once the test runs.
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("location"); // when not empty, the URL is a 302 to it

    QTest::newRow("ftp") << QString("ftp://127.0.0.1:PORT/") << QByteArray();
    QTest::newRow("file") << QString("file:///etc/hostname") << QByteArray();
    QTest::newRow("file with http in the query") << QString("file:///etc/hostname?http://x") << QByteArray();
    QTest::newRow("redirect to ftp") << QString() << QByteArray("ftp://127.0.0.1:PORT/");
    QTest::newRow("redirect to file") << QString() << QByteArray("file:///etc/hostname");
    QTest::newRow("redirect to gopher") << QString() << QByteArray("gopher://127.0.0.1:PORT/");
}

void TestCurlHttpClient::refusesSchemesOtherThanHttp() {
    QFETCH(QString, url);
    QFETCH(QByteArray, location);
    const QByteArray port = QByteArray::number(server->port());
    url.replace(QLatin1String("PORT"), QString::fromLatin1(port));
    if (!location.isEmpty()) {
        server->on("/away", ScriptedReply::redirect(302, location.replace("PORT", port)));
        url = server->url(QStringLiteral("/away"));
    }
    CurlHttpClient client(kShort);
    QVERIFY(!client.fetchStatus(statusRequest(url)).ok);
    HttpGetRequest get;
    get.url = url;
    get.followRedirects = true;
    QVERIFY(!client.get(get).ok);
    // Nothing but the redirecting request reached the server.
    QCOMPARE(server->requests().size(), location.isEmpty() ? 0 : 2);
}

void TestCurlHttpClient::silentServerEndsWithinTheTimeouts_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("accepted, never answered") << QByteArray("/silent");
    QTest::newRow("headers later than the idle limit") << QByteArray("/late");
}

void TestCurlHttpClient::silentServerEndsWithinTheTimeouts() {
    QFETCH(QByteArray, path);
    ScriptedReply late = ScriptedReply::withStatus(200);
    late.delayBeforeHeaders = 3s;
    server->on("/late", late);

    CurlHttpClient client({1000ms, 1000ms, 2000ms});
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!client.fetchStatus(statusRequest(server->url(QString::fromLatin1(path)))).ok);
    HttpGetRequest get;
    get.url = server->url(QString::fromLatin1(path));
    QVERIFY(!client.get(get).ok);
    // Generous bound: the point is that the calls end by the time-outs and not by the server.
    QVERIFY2(timer.elapsed() < 8000, qPrintable(QString::number(timer.elapsed())));
}

// A listening socket whose accept queue is full drops new connections' SYNs, so connecting hangs.
void TestCurlHttpClient::connectTimeoutApplies() {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    QVERIFY(listener >= 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0);
    QVERIFY(::listen(listener, 0) == 0);
    QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) == 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int f = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        ::connect(f, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        fillers.push_back(f);
    }
    QTest::qWait(200);

    CurlHttpClient client({500ms, 10000ms, 20000ms});
    QElapsedTimer timer;
    timer.start();
    const bool ok =
        client.fetchStatus(statusRequest(QString("http://127.0.0.1:%1/").arg(ntohs(addr.sin_port)))).ok;
    const qint64 elapsed = timer.elapsed();
    for (int f : fillers)
        ::close(f);
    ::close(listener);
    QVERIFY(!ok);
    if (elapsed < 400)
        QSKIP("this system refuses connections to a full queue instead of holding them");
    QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
}

void TestCurlHttpClient::reasonSaysWhyTheCheckEnded_data() {
    // "PORT" stands for the local server's port, "CLOSED" for a port where nothing listens.
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("reason");
    const auto none = int(HttpFailure::None);
    QTest::newRow("200") << "http://127.0.0.1:PORT/ok" << none << "200 OK";
    QTest::newRow("404 after a redirect")
        << "http://127.0.0.1:PORT/found-to-missing" << none << "404 Not Found";
    QTest::newRow("302 without a location")
        << "http://127.0.0.1:PORT/found-no-location" << none << "302 Found";
    QTest::newRow("unknown code: the server's phrase, printable only")
        << "http://127.0.0.1:PORT/odd" << none << "599 Odd [31m <b>x</b>";
    QTest::newRow("redirect loop") << "http://127.0.0.1:PORT/loop" << int(HttpFailure::TooManyRedirects)
                                   << "too many redirects";
    QTest::newRow("silent server") << "http://127.0.0.1:PORT/silent" << int(HttpFailure::TimedOut)
                                   << "time-out after 1 s";
    QTest::newRow("not HTTP") << "http://127.0.0.1:PORT/garbage" << int(HttpFailure::NotHttp)
                              << "not an HTTP answer";
    QTest::newRow("closed without an answer")
        << "http://127.0.0.1:PORT/closed" << int(HttpFailure::NotHttp) << "empty answer";
    QTest::newRow("refused") << "http://127.0.0.1:CLOSED/" << int(HttpFailure::ConnectionRefused)
                             << "connection refused";
    QTest::newRow("name not resolved")
        << "http://no-such-host.invalid/" << int(HttpFailure::NameNotResolved) << "name not resolved";
    QTest::newRow("ftp") << "ftp://127.0.0.1:PORT/" << int(HttpFailure::NotWebAddress) << "not a web address";
    QTest::newRow("redirect to file")
        << "http://127.0.0.1:PORT/to-file" << int(HttpFailure::NotWebAddress) << "not a web address";
    QTest::newRow("TLS to a server that does not speak it")
        << "https://127.0.0.1:RAW/" << int(HttpFailure::Tls) << "TLS: handshake failed";
}

void TestCurlHttpClient::reasonSaysWhyTheCheckEnded() {
    QFETCH(QString, url);
    QFETCH(int, failure);
    QFETCH(QString, reason);
    server->on("/odd", ScriptedReply::garbage("HTTP/1.1 599 Odd\x1b[31m <b>x</b>\x07\r\nContent-Length: "
                                              "0\r\nConnection: close\r\n\r\n"));
    server->on("/to-file", ScriptedReply::redirect(302, "file:///etc/hostname"));
    url.replace(QLatin1String("CLOSED"), QString::number(closedPort()));
    // A listener that answers whatever comes with a line of text and closes.
    const int raw = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    QVERIFY(::bind(raw, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(raw, 4) == 0 &&
            ::getsockname(raw, reinterpret_cast<sockaddr*>(&addr), &len) == 0);
    url.replace(QLatin1String("RAW"), QString::number(ntohs(addr.sin_port)));
    std::thread answerer;
    if (url.startsWith(QLatin1String("https://")))
        answerer = std::thread([raw] {
            const int fd = ::accept(raw, nullptr, nullptr);
            if (fd < 0)
                return;
            [[maybe_unused]] const ssize_t n = ::send(fd, "no TLS here\r\n", 13, MSG_NOSIGNAL);
            ::close(fd);
        });
    url.replace(QLatin1String("PORT"), QString::number(server->port()));
    CurlHttpClient client({1000ms, 1000ms, 3000ms});
    const HttpStatusResult result = client.fetchStatus(statusRequest(url));
    if (answerer.joinable())
        answerer.join();
    ::close(raw);
    QCOMPARE(int(result.failure), failure);
    QCOMPARE(result.reason, reason);
    QCOMPARE(result.ok, failure == int(HttpFailure::None));
}

// Header bytes that keep coming are not silence, even when one line takes longer than the idle limit;
// the total limit still ends an answer that never completes.
void TestCurlHttpClient::trickledHeadersAreNotIdle_data() {
    QTest::addColumn<bool>("completes");
    QTest::newRow("headers complete within the total") << true;
    QTest::newRow("headers that never end") << false;
}

void TestCurlHttpClient::trickledHeadersAreNotIdle() {
    QFETCH(bool, completes);
    ScriptedReply trickle = ScriptedReply::withStatus(200);
    if (!completes)
        trickle = ScriptedReply::garbage("HTTP/1.1 200 OK\r\nX-Pad: " + QByteArray(200, 'p'));
    trickle.delayBetweenBytes = 60ms; // a 19-byte line takes over a second: longer than the idle limit
    server->on("/drip", trickle);
    CurlHttpClient client({1000ms, 1000ms, 6000ms});
    QElapsedTimer timer;
    timer.start();
    const HttpStatusResult result = client.fetchStatus(statusRequest(server->url(QStringLiteral("/drip"))));
    if (completes) {
        QVERIFY2(result.ok, qPrintable(result.reason));
        QCOMPARE(result.status, 200);
    } else {
        QVERIFY(!result.ok);
        QCOMPARE(result.reason, QStringLiteral("time-out after 6 s"));
        QVERIFY2(timer.elapsed() >= 5500 && timer.elapsed() < 8000,
                 qPrintable(QString::number(timer.elapsed())));
    }
}

void TestCurlHttpClient::retryAfterAsksOnceMore_data() {
    QTest::addColumn<ScriptedReply>("first");
    QTest::addColumn<ScriptedReply>("then");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("minGapMs");
    const ScriptedReply ok = ScriptedReply::withStatus(200);
    const ScriptedReply busy = ScriptedReply::withStatus(429).header("Retry-After", "1");
    QTest::newRow("429, Retry-After 1, then 200") << busy << ok << 200 << "200 OK" << 2 << 950;
    QTest::newRow("503, Retry-After 1, then 200")
        << ScriptedReply::withStatus(503).header("Retry-After", "1") << ok << 200 << "200 OK" << 2 << 950;
    QTest::newRow("429 twice: rate limited") << busy << busy << 429 << "rate limited" << 2 << 950;
    QTest::newRow("503 twice") << ScriptedReply::withStatus(503).header("Retry-After", "0")
                               << ScriptedReply::withStatus(503).header("Retry-After", "0") << 503
                               << "503 Service Unavailable" << 2 << 0;
    QTest::newRow("429 without Retry-After: rate limited, not asked again")
        << ScriptedReply::withStatus(429) << ok << 429 << "rate limited" << 1 << 0;
    QTest::newRow("503 without Retry-After")
        << ScriptedReply::withStatus(503) << ok << 503 << "503 Service Unavailable" << 1 << 0;
    QTest::newRow("an hour's wait is capped")
        << ScriptedReply::withStatus(429).header("Retry-After", "3600") << ok << 200 << "200 OK" << 2 << 450;
    QTest::newRow("an HTTP date in the past: at once")
        << ScriptedReply::withStatus(503).header("Retry-After", "Wed, 21 Oct 2015 07:28:00 GMT") << ok << 200
        << "200 OK" << 2 << 0;
}

void TestCurlHttpClient::retryAfterAsksOnceMore() {
    QFETCH(ScriptedReply, first);
    QFETCH(ScriptedReply, then);
    QFETCH(int, status);
    QFETCH(QString, reason);
    QFETCH(int, requests);
    QFETCH(int, minGapMs);
    server->onFirstThen("/busy", first, then);
    HttpTimeouts t = kShort;
    t.retryAfterCap = 500ms;
    if (minGapMs > 500)
        t.retryAfterCap = 10s;
    CurlHttpClient client(t);
    const HttpStatusResult result = client.fetchStatus(statusRequest(server->url(QStringLiteral("/busy"))));
    QCOMPARE(result.status, status);
    QCOMPARE(result.reason, reason);
    const QList<RecordedRequest> seen = server->requestsFor("/busy");
    QCOMPARE(seen.size(), requests);
    if (requests == 2) {
        const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(seen[1].at - seen[0].at);
        QVERIFY2(gap.count() >= minGapMs && gap.count() < minGapMs + 1500,
                 qPrintable(QString::number(gap.count())));
    }
}

// While a host asked to wait, none of its queued checks starts; other hosts go on. The host's other checks
// take a while, so that without the wait its queue would still be starting new ones during it.
void TestCurlHttpClient::hostQueueWaitsForRetryAfter() {
    server = std::make_unique<LocalHttpServer>(2);
    server->onFirstThen("/busy", ScriptedReply::withStatus(429).header("Retry-After", "1"),
                        ScriptedReply::withStatus(200));
    ScriptedReply slow = ScriptedReply::withStatus(200);
    slow.delayBeforeHeaders = 100ms;
    server->on("/slow", slow);
    server->on("/ok", ScriptedReply::withStatus(200));
    QStringList urls{server->urlOn(1, QStringLiteral("/busy"))};
    for (int i = 0; i < 24; ++i)
        urls << server->urlOn(1, QStringLiteral("/slow")) << server->urlOn(2, QStringLiteral("/ok"));
    CurlHttpClient client(kShort);
    const QList<HttpStatusResult> results = runBatch(client, urls, {128, 6});
    for (const HttpStatusResult& r : results)
        QCOMPARE(r.status, 200);
    const QList<RecordedRequest> busy = server->requestsFor("/busy");
    QCOMPARE(busy.size(), 2);
    QVERIFY(busy[1].at - busy[0].at >= 900ms);
    // Checks started before the 429 came back may still arrive just after it, and the retry starts together
    // with the next of the host's checks; none starts in between.
    int duringWait = 0, late2 = 0;
    for (const RecordedRequest& r : server->requests()) {
        const bool onFirst = r.header("Host").startsWith("127.0.0.1:");
        duringWait += onFirst && r.at > busy[0].at + 300ms && r.at < busy[1].at - 100ms ? 1 : 0;
        late2 += !onFirst && r.at > busy[1].at ? 1 : 0;
    }
    QCOMPARE(duringWait, 0);
    QCOMPARE(late2, 0);
}

// A slot goes to the lowest waiting index whose host has room, however far down the list that check is.
void TestCurlHttpClient::freeSlotGoesToTheLowestIndexThatCanStart() {
    server = std::make_unique<LocalHttpServer>(2);
    QStringList urls;
    for (int i = 0; i < 5; ++i) {
        ScriptedReply slow = ScriptedReply::withStatus(200);
        slow.delayBeforeHeaders = 150ms;
        server->on("/s/" + QByteArray::number(i), slow);
        urls << server->urlOn(i == 3 ? 2 : 1, QStringLiteral("/s/%1").arg(i));
    }
    CurlHttpClient client(kShort);
    const QList<HttpStatusResult> results = runBatch(client, urls, {2, 1});
    for (const HttpStatusResult& r : results)
        QCOMPARE(r.status, 200);
    QList<RecordedRequest> requests = server->requests();
    std::sort(requests.begin(), requests.end(),
              [](const RecordedRequest& a, const RecordedRequest& b) { return a.at < b.at; });
    QStringList order;
    for (const RecordedRequest& r : requests)
        order << QString::fromLatin1(r.target);
    QCOMPARE(order.size(), 5);
    std::sort(order.begin(), order.begin() + 2); // the first two start together
    QCOMPARE(order, QStringList({"/s/0", "/s/3", "/s/1", "/s/2", "/s/4"}));
}

// The cap counts every connection: a check redirected on the same host takes its slot, not a new one.
void TestCurlHttpClient::perHostCapHoldsWithRedirects() {
    ScriptedReply slow = ScriptedReply::withStatus(200);
    slow.delayBeforeHeaders = 600ms;
    server->on("/slow", slow);
    QStringList urls;
    for (int i = 0; i < 24; ++i) {
        if (i < 6) {
            // The first six redirect one after another, each while the others still hold their slots.
            ScriptedReply hop = ScriptedReply::redirect(302, "/slow");
            hop.delayBeforeHeaders = std::chrono::milliseconds(60 * (i + 1));
            server->on("/hop/" + QByteArray::number(i), hop);
            urls << server->url(QStringLiteral("/hop/%1").arg(i));
        } else {
            urls << server->url(QStringLiteral("/slow"));
        }
    }
    CurlHttpClient client(kShort);
    const QList<HttpStatusResult> results = runBatch(client, urls, {128, 6});
    for (const HttpStatusResult& r : results)
        QCOMPARE(r.status, 200);
    QCOMPARE(server->maxOpenConnectionsOn(1), 6);
    QCOMPARE(server->maxConcurrentFor("127.0.0.1"), 6);
}

// Answers without a body leave their connection open: the checks of a run reuse it, also when the run goes
// round more hosts than it runs checks at once.
void TestCurlHttpClient::connectionsAreReused_data() {
    QTest::addColumn<int>("hosts");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("perHost");
    QTest::addColumn<int>("maxConnections");
    QTest::newRow("one host") << 1 << 128 << 6 << 6;
    QTest::newRow("more hosts than at once") << 3 << 2 << 1 << 3;
}

void TestCurlHttpClient::connectionsAreReused() {
    QFETCH(int, hosts);
    QFETCH(int, total);
    QFETCH(int, perHost);
    QFETCH(int, maxConnections);
    server = std::make_unique<LocalHttpServer>(hosts);
    QVERIFY(server->isListening());
    server->setKeepAlive(true);
    server->on("/empty", ScriptedReply::withStatus(200));
    server->on("/to-empty", ScriptedReply::redirect(301, "/empty"));
    QStringList urls;
    for (int i = 0; i < 30; ++i)
        urls << server->urlOn(i % hosts + 1, i % 3 ? QStringLiteral("/empty") : QStringLiteral("/to-empty"));
    CurlHttpClient client(kShort);
    const QList<HttpStatusResult> results = runBatch(client, urls, {total, perHost});
    for (const HttpStatusResult& r : results)
        QCOMPARE(r.status, 200);
    QCOMPARE(server->requests().size(), 40);
    QVERIFY2(server->connectionsAccepted() <= maxConnections,
             qPrintable(QString::number(server->connectionsAccepted())));
}

void TestCurlHttpClient::getCapsTheBody_data() {
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<bool>("ok");
    QTest::newRow("empty") << qsizetype(0) << true;
    QTest::newRow("1 MiB") << qsizetype(1 << 20) << true;
    QTest::newRow("1 MiB and a byte") << qsizetype((1 << 20) + 1) << false;
    QTest::newRow("4 MiB") << qsizetype(4 << 20) << false;
}

void TestCurlHttpClient::getCapsTheBody() {
    QFETCH(qsizetype, size);
    QFETCH(bool, ok);
    const QByteArray body(size, 'b');
    server->on("/body", ScriptedReply::withStatus(200, body));
    // The same body without a length: only the bytes counted can tell.
    ScriptedReply unannounced = ScriptedReply::withStatus(200, body);
    unannounced.kind = ScriptedReply::Kind::Raw;
    unannounced.raw = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body;
    server->on("/unannounced", unannounced);

    CurlHttpClient client(kShort);
    for (const char* path : {"/body", "/unannounced"}) {
        HttpGetRequest request;
        request.url = server->url(QString::fromLatin1(path));
        const HttpGetResult result = client.get(request);
        QCOMPARE(result.ok, ok);
        if (ok) {
            QCOMPARE(result.status, 200);
            QCOMPARE(result.body, body);
        } else {
            QVERIFY(result.body.isEmpty());
        }
    }
}

void TestCurlHttpClient::getFollowsRedirectsOnlyWhenAsked() {
    CurlHttpClient client(kShort);
    HttpGetRequest request;
    request.url = server->url(QStringLiteral("/moved"));
    HttpGetResult result = client.get(request);
    QVERIFY(result.ok);
    QCOMPARE(result.status, 301);
    QVERIFY(server->requestsFor("/ok").isEmpty());

    request.followRedirects = true;
    result = client.get(request);
    QVERIFY(result.ok);
    QCOMPARE(result.status, 200);
    QCOMPARE(result.body, QByteArray("hello"));
}

void TestCurlHttpClient::getFailures_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("garbage") << QByteArray("/garbage");
    QTest::newRow("closed at once") << QByteArray("/closed");
    QTest::newRow("endless body") << QByteArray("/endless");
    QTest::newRow("endless trickle") << QByteArray("/endless-trickle");
}

void TestCurlHttpClient::getFailures() {
    QFETCH(QByteArray, path);
    ScriptedReply trickle = ScriptedReply::endless(200);
    trickle.delayBetweenBytes = 20ms;
    server->on("/endless-trickle", trickle); // never idle, so only the total limit ends it

    CurlHttpClient client({1000ms, 1000ms, 2000ms});
    HttpGetRequest request;
    request.url = server->url(QString::fromLatin1(path));
    QElapsedTimer timer;
    timer.start();
    const HttpGetResult result = client.get(request);
    QVERIFY(!result.ok);
    QVERIFY(result.body.isEmpty());
    QVERIFY2(timer.elapsed() < 8000, qPrintable(QString::number(timer.elapsed())));
}

// A request on another thread ends within about a second of being abandoned, whatever its time-outs.
void TestCurlHttpClient::getEndsSoonOnceAbandoned() {
    server->on("/silent", ScriptedReply::neverAnswer());
    ScriptedReply stalled = ScriptedReply::withStatus(200, QByteArray(100, 'x'));
    stalled.stallAfterHeaders = true;
    server->on("/stalled", stalled);
    CurlHttpClient client(HttpTimeouts{60s, 60s, 60s});
    for (const QByteArray& path : {QByteArray("/silent"), QByteArray("/stalled")}) {
        std::atomic<bool> abandon{false};
        HttpGetRequest request;
        request.url = server->url(QString::fromLatin1(path));
        request.abandon = &abandon;
        HttpGetResult result{true, 0, {}};
        QElapsedTimer timer;
        std::thread worker([&] { result = client.get(request); });
        QTest::qWait(300);
        timer.start();
        abandon = true;
        worker.join();
        QVERIFY(!result.ok);
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
    }
}

QTEST_GUILESS_MAIN(TestCurlHttpClient)
#include "tst_curlhttpclient.moc"
