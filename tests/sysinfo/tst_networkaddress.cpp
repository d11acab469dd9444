#include "Doubles.h"
#include "sysinfo/AddressWatch.h"
#include "sysinfo/NetworkAddress.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(clipvane::HttpGetResult)

using namespace clipvane;
using namespace clipvane::test;

namespace {

const QString kService = QStringLiteral("http://echo.test/json");

HttpGetResult reply(int status, const QByteArray& body, bool ok = true) {
    return {ok, status, body};
}

// The watch on doubles; the yield counts, so the tests see that each tick lets messages run first.
struct Rig {
    FakeConnectivity connectivity;
    FakeHttpClient http;
    int yields = 0;
    AddressWatch watch{connectivity, http, kService, [this] { ++yields; }};

    void serve(const QByteArray& ip) { http.replies[kService] = reply(200, "{\"ip\":\"" + ip + "\"}"); }
    void serveNothing() { http.replies.remove(kService); }
    // The request runs on a worker thread; its answer comes through the event loop.
    void settle() {
        if (!watch.requestPending())
            return;
        QSignalSpy done(&watch, &AddressWatch::requestFinished);
        QVERIFY(done.wait(5000));
    }
};

} // namespace

class TstNetworkAddress : public QObject {
    Q_OBJECT
private slots:
    void publicIpFromTheReply_data() {
        QTest::addColumn<HttpGetResult>("answer");
        QTest::addColumn<QString>("ip");
        QTest::newRow("JSON object") << reply(200, "{\"ip\":\"203.0.113.7\",\"city\":\"Zürich\"}")
                                     << "203.0.113.7";
        QTest::newRow("other 2xx") << reply(203, "{\"ip\":\"203.0.113.7\"}") << "203.0.113.7";
        QTest::newRow("outside ASCII") << reply(200, "{\"ip\":\"1.2.3.ä\"}") << "N/A";
        QTest::newRow("HTML") << reply(200, "<html><body>203.0.113.7</body></html>") << "";
        QTest::newRow("JSON array") << reply(200, "[{\"ip\":\"203.0.113.7\"}]") << "";
        QTest::newRow("no member ip") << reply(200, "{\"addr\":\"203.0.113.7\"}") << "";
        QTest::newRow("ip a number") << reply(200, "{\"ip\":1234}") << "N/A";
        QTest::newRow("ip null") << reply(200, "{\"ip\":null}") << "N/A";
        QTest::newRow("ip an object") << reply(200, "{\"ip\":{\"v4\":\"1.2.3.4\"}}") << "N/A";
        QTest::newRow("ip empty") << reply(200, "{\"ip\":\"\"}") << "N/A";
        QTest::newRow("IPv6") << reply(200, "{\"ip\":\"2001:db8::7\"}") << "2001:db8::7";
        QTest::newRow("IPv6 in full")
            << reply(200, "{\"ip\":\"2001:DB8:0:0:1:0:0:7\"}") << "2001:DB8:0:0:1:0:0:7";
        QTest::newRow("IPv6 ending in IPv4")
            << reply(200, "{\"ip\":\"::ffff:203.0.113.7\"}") << "::ffff:203.0.113.7";
        // Escapes decode to characters the status bar must never get.
        QTest::newRow("escaped control characters")
            << reply(200, "{\"ip\":\"1.2.3.4\\u001b[2J\\n\"}") << "N/A";
        QTest::newRow("escaped bidirectional override") << reply(200, "{\"ip\":\"\\u202e4.3.2.1\"}") << "N/A";
        QTest::newRow("markup") << reply(200, "{\"ip\":\"<b>1.2.3.4</b>\"}") << "N/A";
        QTest::newRow("IPv4 number over 255") << reply(200, "{\"ip\":\"1.2.3.256\"}") << "N/A";
        QTest::newRow("IPv4 of three numbers") << reply(200, "{\"ip\":\"1.2.3\"}") << "N/A";
        QTest::newRow("IPv4 leading zero") << reply(200, "{\"ip\":\"1.02.3.4\"}") << "N/A";
        QTest::newRow("IPv4 with a blank") << reply(200, "{\"ip\":\" 1.2.3.4\"}") << "N/A";
        QTest::newRow("IPv6 two gaps") << reply(200, "{\"ip\":\"1::2::3\"}") << "N/A";
        QTest::newRow("IPv6 nine groups") << reply(200, "{\"ip\":\"1:2:3:4:5:6:7:8:9\"}") << "N/A";
        QTest::newRow("IPv6 group of five digits") << reply(200, "{\"ip\":\"12345::1\"}") << "N/A";
        QTest::newRow("IPv6 with a zone") << reply(200, "{\"ip\":\"fe80::1%eth0\"}") << "N/A";
        QTest::newRow("host name") << reply(200, "{\"ip\":\"example.org\"}") << "N/A";
        QTest::newRow("trailing text") << reply(200, "{\"ip\":\"1.2.3.4\"} and more") << "";
        QTest::newRow("redirect") << reply(301, "{\"ip\":\"203.0.113.7\"}") << "";
        QTest::newRow("found elsewhere") << reply(302, "{\"ip\":\"203.0.113.7\"}") << "";
        QTest::newRow("server error") << reply(500, "{\"ip\":\"203.0.113.7\"}") << "";
        QTest::newRow("empty body") << reply(200, "") << "";
        QTest::newRow("no reply at all") << reply(0, "", false) << "";
        QTest::newRow("body over the cap, refused by the client") << reply(200, "", false) << "";
        // A client that ignored the cap still gets no answer from megabytes.
        QByteArray huge = "{\"ip\":\"203.0.113.7\",\"pad\":\"" + QByteArray(2 << 20, 'x') + "\"}";
        QTest::newRow("megabytes of JSON") << reply(200, huge) << "";
    }
    void publicIpFromTheReply() {
        QFETCH(HttpGetResult, answer);
        QFETCH(QString, ip);
        FakeHttpClient http;
        http.replies[kService] = answer;
        QCOMPARE(GetPublicIp(http, kService), ip);
        QCOMPARE(http.getRequests.size(), 1);
        const HttpGetRequest& sent = http.getRequests[0];
        QCOMPARE(sent.url, kService);
        QVERIFY(!sent.followRedirects);
        QCOMPARE(sent.maxBodyBytes, qint64(1 << 20));
    }

    void startingOfflineAsksNothing() {
        Rig r;
        r.serve("203.0.113.7");
        r.watch.showAtStartup();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString("Disconnected"));
        QVERIFY(!r.watch.refreshRunning());
        QVERIFY(r.http.getRequests.isEmpty());
    }

    // Started offline, and the connection is back before the first watch tick: the refresh still starts.
    void connectionBackBeforeTheFirstTick() {
        Rig r;
        r.watch.showAtStartup();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString("Disconnected"));
        r.connectivity.connected = true;
        r.serve("203.0.113.7");
        r.watch.watchTick();
        QVERIFY(r.watch.refreshRunning());
        r.watch.refreshTick();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString("203.0.113.7"));
        r.watch.watchTick();
        QVERIFY(!r.watch.refreshRunning());
    }

    // The request never holds the calling thread: the panel stays empty while the service keeps silent,
    // the timers' ticks ask nothing more meanwhile, and the address arrives when the answer does.
    void requestRunsOffTheGuiThread() {
        Rig r;
        r.connectivity.connected = true;
        r.serve("203.0.113.7");
        QSemaphore answer;
        r.http.onRequest = [&](const QString&) { answer.tryAcquire(1, 5000); };
        r.watch.showAtStartup();
        QVERIFY(r.watch.requestPending());
        QCOMPARE(r.watch.panelText(), QString());
        r.watch.refreshTick();
        answer.release();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString("203.0.113.7"));
        QCOMPARE(r.http.getRequests.size(), 1);
    }

    // The service unreachable at start-up: an empty panel, and no retry while the connection stays.
    void startingWithTheServiceDownIsNotRetried() {
        Rig r;
        r.connectivity.connected = true;
        r.watch.showAtStartup();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString());
        for (int i = 0; i < 3; ++i)
            r.watch.watchTick();
        QCOMPARE(r.watch.panelText(), QString());
        QVERIFY(!r.watch.refreshRunning());
        QCOMPARE(r.http.getRequests.size(), 1);
    }

    // The three states across a lost and regained connection.
    void lostAndRegainedConnection() {
        Rig r;
        r.connectivity.connected = true;
        r.serve("203.0.113.7");
        r.watch.showAtStartup();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString("203.0.113.7"));
        r.watch.watchTick();
        QVERIFY(!r.watch.refreshRunning());

        // Lost: "Disconnected" at the first watch tick; the refresh runs and failed requests change nothing.
        r.connectivity.connected = false;
        r.serveNothing();
        r.watch.watchTick();
        QCOMPARE(r.watch.panelText(), QString("Disconnected"));
        QVERIFY(r.watch.refreshRunning());
        r.watch.refreshTick();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString("Disconnected"));

        // Back, but the service answers nonsense: the refresh keeps running.
        r.connectivity.connected = true;
        r.http.replies[kService] = reply(200, "<html>not yet</html>");
        r.watch.watchTick();
        QVERIFY(r.watch.refreshRunning());
        r.watch.refreshTick();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString("Disconnected"));
        r.watch.watchTick();
        QVERIFY(r.watch.refreshRunning());

        // A refresh finds the (new) address, and the next watch tick stops the refresh.
        r.serve("198.51.100.4");
        r.watch.refreshTick();
        r.settle();
        QCOMPARE(r.watch.panelText(), QString("198.51.100.4"));
        r.watch.watchTick();
        QVERIFY(!r.watch.refreshRunning());
        QCOMPARE(r.yields, 8);
    }
};

QTEST_MAIN(TstNetworkAddress)
#include "tst_networkaddress.moc"
