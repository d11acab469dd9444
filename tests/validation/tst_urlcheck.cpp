#include "Doubles.h"
#include "LocalHttpServer.h"
#include "core/Options.h"
#include "platform/linux/CurlHttpClient.h"
#include "validation/UrlCheck.h"

#include <QTest>

using namespace clipvane;
using namespace clipvane::test;
using namespace std::chrono_literals;

// CheckUrl through the real libcurl client against a local server; the connection state is scripted.
class TestUrlCheck : public QObject {
    Q_OBJECT

    std::unique_ptr<LocalHttpServer> server;
    FakeConnectivity connectivity;
    Options options;
    std::unique_ptr<CurlHttpClient> http;
    std::unique_ptr<UrlChecker> checker;

    // Texts in the tables write "PORT" for the server's port, known only once a test runs.
    QString withPort(QString text) const {
        return text.replace(QLatin1String("PORT"), QString::number(server->port()));
    }

private slots:
    void init();
    void cleanup();

    void normalisation_data();
    void normalisation();
    void onlineTheServerDecides_data();
    void onlineTheServerDecides();
    void onlineRequestIsAFreshGetWithTheAgent();
    void offlineTheSwitchDecides_data();
    void offlineTheSwitchDecides();
};

void TestUrlCheck::init() {
    server = std::make_unique<LocalHttpServer>();
    QVERIFY(server->isListening());
    LocalHttpServer& s = *server;
    s.on("/ok", ScriptedReply::withStatus(200, "page"));
    s.on("/found", ScriptedReply::withStatus(302));
    s.on("/found-to-ok", ScriptedReply::redirect(302, "/ok"));
    s.on("/moved-to-ok", ScriptedReply::redirect(301, "/ok"));
    s.on("/moved-to-missing", ScriptedReply::redirect(301, "/missing"));
    s.on("/moved-to-found", ScriptedReply::redirect(301, "/found"));
    s.on("/moved", ScriptedReply::withStatus(301)); // no Location: 301 is final
    s.on("/not-modified", ScriptedReply::withStatus(304));
    s.on("/forbidden", ScriptedReply::withStatus(403));
    s.on("/error", ScriptedReply::withStatus(500));
    s.on("/loop", ScriptedReply::redirect(302, "/loop"));
    s.on("/garbage", ScriptedReply::garbage());
    s.on("/closed", ScriptedReply::closeAtOnce());
    s.on("/silent", ScriptedReply::neverAnswer());
    s.on("/endless", ScriptedReply::endless(200));

    connectivity = FakeConnectivity();
    options.setValidateClipboardUrl(false);
    http = std::make_unique<CurlHttpClient>(HttpTimeouts{1000ms, 1000ms, 3000ms});
    checker = std::make_unique<UrlChecker>(connectivity, *http, options);
    checker->setLastCheckedUrl(QStringLiteral("previous"));
}

void TestUrlCheck::cleanup() {
    checker.reset();
    http.reset();
    server.reset();
}

void TestUrlCheck::normalisation_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalised");

    QTest::newRow("host and path, no scheme") << "Example.COM/Some/Path"
                                              << "http://Example.COM/Some/Path";
    QTest::newRow("http") << "http://example.com"
                          << "http://example.com";
    QTest::newRow("HTTPS in capitals") << "HTTPS://Example.com/X"
                                       << "HTTPS://Example.com/X";
    QTest::newRow("Http mixed case") << "hTtP://example.com"
                                     << "hTtP://example.com";
    QTest::newRow("ftp") << "ftp://files.example.com/a"
                         << "http://ftp://files.example.com/a";
    QTest::newRow("sentence containing http://") << "see http://example.com for more"
                                                 << "see http://example.com for more";
    QTest::newRow("https:// in the middle") << "x https://y"
                                            << "x https://y";
    QTest::newRow("one slash only") << "http:/example.com"
                                    << "http://http:/example.com";
    QTest::newRow("file with http in it") << "file:///etc/passwd?http://x"
                                          << "file:///etc/passwd?http://x";
    QTest::newRow("empty") << ""
                           << "http://";
    QTest::newRow("blanks kept") << "  example.com  "
                                 << "http://  example.com  ";
    QTest::newRow("NUL kept") << QString::fromUtf16(u"a\0b", 3) << QString::fromUtf16(u"http://a\0b", 10);
    QTest::newRow("non-ASCII kept") << QString::fromUtf8("bücher.example/straße")
                                    << QString::fromUtf8("http://bücher.example/straße");
}

// Offline with the switch off, the check accepts anything and remembers the normalised copy: the same
// normalisation as NormaliseUrl.
void TestUrlCheck::normalisation() {
    QFETCH(QString, text);
    QFETCH(QString, normalised);
    QCOMPARE(NormaliseUrl(text), normalised);
    // A normalised address is left as it is: checking it again checks the same address.
    QCOMPARE(NormaliseUrl(normalised), normalised);
    QVERIFY(checker->CheckUrl(text));
    QCOMPARE(checker->lastCheckedUrl(), normalised);
}

void TestUrlCheck::onlineTheServerDecides_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("200") << "http://127.0.0.1:PORT/ok" << true;
    QTest::newRow("302 final") << "http://127.0.0.1:PORT/found" << true;
    QTest::newRow("302 to 200") << "http://127.0.0.1:PORT/found-to-ok" << true;
    QTest::newRow("301 to 200") << "http://127.0.0.1:PORT/moved-to-ok" << true;
    QTest::newRow("301 to 302 final") << "http://127.0.0.1:PORT/moved-to-found" << true;
    QTest::newRow("endless body") << "http://127.0.0.1:PORT/endless" << true;
    QTest::newRow("no scheme") << "127.0.0.1:PORT/ok" << true;
    QTest::newRow("HTTP in capitals") << "HTTP://127.0.0.1:PORT/ok" << true;
    QTest::newRow("404") << "http://127.0.0.1:PORT/missing" << false;
    QTest::newRow("301 to 404") << "http://127.0.0.1:PORT/moved-to-missing" << false;
    QTest::newRow("301 final") << "http://127.0.0.1:PORT/moved" << false;
    QTest::newRow("304") << "http://127.0.0.1:PORT/not-modified" << false;
    QTest::newRow("403") << "http://127.0.0.1:PORT/forbidden" << false;
    QTest::newRow("500") << "http://127.0.0.1:PORT/error" << false;
    QTest::newRow("redirect loop") << "http://127.0.0.1:PORT/loop" << false;
    QTest::newRow("garbage") << "http://127.0.0.1:PORT/garbage" << false;
    QTest::newRow("closed at once") << "http://127.0.0.1:PORT/closed" << false;
    QTest::newRow("never answers") << "http://127.0.0.1:PORT/silent" << false;
    QTest::newRow("sentence containing the URL") << "see http://127.0.0.1:PORT/ok now" << false;
    QTest::newRow("ftp") << "ftp://127.0.0.1:PORT/ok" << false;
    QTest::newRow("file with http in it") << "file:///etc/hostname?http://127.0.0.1:PORT/ok" << false;
    QTest::newRow("empty") << "" << false;
}

// Online, the switch plays no part: both settings get the server's verdict, and LastCheckedUrl always
// takes the normalised copy.
void TestUrlCheck::onlineTheServerDecides() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    text = withPort(text);
    connectivity.connected = true;
    for (const bool validationOn : {false, true}) {
        options.setValidateClipboardUrl(validationOn);
        checker->setLastCheckedUrl(QStringLiteral("previous"));
        QCOMPARE(checker->CheckUrl(text), accepted);
        QCOMPARE(checker->lastCheckedUrl(), NormaliseUrl(text));
    }
    QVERIFY(connectivity.calls >= 2);
}

void TestUrlCheck::onlineRequestIsAFreshGetWithTheAgent() {
    connectivity.connected = true;
    QVERIFY(checker->CheckUrl(server->url(QStringLiteral("/moved-to-ok"))));
    const QList<RecordedRequest> seen = server->requests();
    QCOMPARE(seen.size(), 2);
    for (const RecordedRequest& r : seen) {
        QCOMPARE(r.method, QByteArray("GET"));
        QCOMPARE(r.header("User-Agent"), QByteArray("RizeRAD:/1.0"));
        QCOMPARE(r.header("Cache-Control"), QByteArray("no-cache"));
        QCOMPARE(r.header("Pragma"), QByteArray("no-cache"));
    }
    // Nothing is cached between calls: a second check reaches the server again.
    QVERIFY(checker->CheckUrl(server->url(QStringLiteral("/ok"))));
    QCOMPARE(server->requestsFor("/ok").size(), 2);
}

void TestUrlCheck::offlineTheSwitchDecides_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("a URL the server would refuse") << "http://127.0.0.1:PORT/missing";
    QTest::newRow("a URL the server would accept") << "http://127.0.0.1:PORT/ok";
    QTest::newRow("plain word") << "word";
    QTest::newRow("sentence") << "see http://example.com now";
    QTest::newRow("empty") << "";
}

void TestUrlCheck::offlineTheSwitchDecides() {
    QFETCH(QString, text);
    text = withPort(text);
    connectivity.connected = false;

    options.setValidateClipboardUrl(true);
    QVERIFY(!checker->CheckUrl(text));
    QCOMPARE(checker->lastCheckedUrl(), QStringLiteral("previous"));

    options.setValidateClipboardUrl(false);
    QVERIFY(checker->CheckUrl(text));
    QCOMPARE(checker->lastCheckedUrl(), NormaliseUrl(text));

    // Offline means no request at all.
    QCOMPARE(server->connectionsAccepted(), 0);
}

QTEST_GUILESS_MAIN(TestUrlCheck)
#include "tst_urlcheck.moc"
