#include "Doubles.h"
#include "LocalHttpServer.h"
#include "core/Options.h"
#include "platform/linux/CurlHttpClient.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;
using namespace std::chrono_literals;

namespace {

// Short time-outs, so that silent and slow servers end the check quickly; the same for both ways.
HttpTimeouts shortTimeouts() {
    HttpTimeouts t;
    t.connect = 1000ms;
    t.idle = 1000ms;
    t.total = 1500ms;
    return t;
}

struct Verdicts {
    QList<bool> inOrder;
    QList<int> indexes;
    QList<int> progress;
};

// Runs the texts on the engine and waits for the end, collecting what it hands out.
Verdicts runEngine(CheckEngine& engine, const QStringList& texts, int timeoutMs = 20000) {
    Verdicts v;
    auto run = engine.start(texts);
    QObject::connect(run.get(), &CheckRun::checked, [&](int index, bool accepted) {
        v.indexes.append(index);
        v.inOrder.append(accepted);
    });
    QObject::connect(run.get(), &CheckRun::progressed, [&](int completed) { v.progress.append(completed); });
    QSignalSpy finished(run.get(), &CheckRun::finished);
    if (!finished.wait(timeoutMs))
        qWarning("the run did not finish");
    return v;
}

} // namespace

// The check engine against CheckUrl, one text after another, on the local server's answers.
class TestCheckEngine : public QObject {
    Q_OBJECT

    std::unique_ptr<LocalHttpServer> server;
    FakeConnectivity connectivity;
    Options options;
    std::unique_ptr<CurlHttpClient> http;
    std::unique_ptr<UrlChecker> urlChecker; // the engine's LastCheckedUrl and offline rule

private slots:
    void init() {
        server = std::make_unique<LocalHttpServer>(3);
        QVERIFY(server->isListening());
        LocalHttpServer& s = *server;
        s.on("/ok", ScriptedReply::withStatus(200, "page"));
        s.on("/found", ScriptedReply::withStatus(302));
        s.on("/moved-to-ok", ScriptedReply::redirect(301, "/ok"));
        s.on("/other-host", ScriptedReply::redirect(301, server->urlOn(2, QStringLiteral("/ok")).toUtf8()));
        s.on("/missing", ScriptedReply::withStatus(404));
        s.on("/loop", ScriptedReply::redirect(302, "/loop"));
        s.on("/silent", ScriptedReply::neverAnswer());
        s.on("/garbage", ScriptedReply::garbage());
        s.on("/reset", ScriptedReply::resetAtOnce());
        ScriptedReply trickle = ScriptedReply::withStatus(200, "slow");
        trickle.delayBetweenBytes = 400ms; // under the idle limit, over the total time
        s.on("/trickle", trickle);
        connectivity.connected = true;
        options.setValidateClipboardUrl(false);
        http = std::make_unique<CurlHttpClient>(shortTimeouts());
        urlChecker = std::make_unique<UrlChecker>(connectivity, *http, options);
    }
    void cleanup() {
        urlChecker.reset();
        http.reset();
        server.reset();
    }

    void sameVerdictsAsOneAfterAnother() {
        // path, expected verdict
        const QList<QPair<QString, bool>> table = {
            {"/ok", true},       {"/found", true},    {"/moved-to-ok", true}, {"/other-host", true},
            {"/missing", false}, {"/loop", false},    {"/silent", false},     {"/garbage", false},
            {"/reset", false},   {"/trickle", false}, {"/ok", true}, // a duplicate is checked twice
        };
        QStringList texts;
        for (const auto& row : table)
            texts.append(server->url(row.first));
        texts.append(QStringLiteral("127.0.0.1:%1/found").arg(server->port())); // no scheme: normalised
        texts.append(QStringLiteral("ftp://127.0.0.1:%1/ok").arg(server->port()));

        QList<bool> sequential;
        for (const QString& t : texts)
            sequential.append(urlChecker->CheckUrl(t));
        const QString lastSequential = urlChecker->lastCheckedUrl();

        urlChecker->setLastCheckedUrl(QString());
        CheckEngine engine(connectivity, *http, *urlChecker);
        const Verdicts v = runEngine(engine, texts);
        QCOMPARE(v.inOrder, sequential);
        for (int i = 0; i < table.size(); ++i)
            QVERIFY2(v.inOrder[i] == table[i].second, qPrintable(table[i].first));
        QList<int> order;
        for (int i = 0; i < texts.size(); ++i)
            order.append(i);
        QCOMPARE(v.indexes, order); // handed out in the order of the texts
        QCOMPARE(v.progress.last(), int(texts.size()));
        QCOMPARE(urlChecker->lastCheckedUrl(), lastSequential);
        // The same request as CheckUrl's.
        const RecordedRequest r = server->requestsFor("/found").last();
        QCOMPARE(r.header("User-Agent"), QByteArray("RizeRAD:/1.0"));
        QCOMPARE(r.header("Cache-Control"), QByteArray("no-cache"));
        QCOMPARE(r.header("Pragma"), QByteArray("no-cache"));
    }

    void atMostSixPerHostAndTheTotalInAll() {
        ScriptedReply slow = ScriptedReply::withStatus(200);
        slow.delayBeforeHeaders = 150ms;
        server->on("/slow", slow);
        QStringList texts;
        for (int i = 0; i < 40; ++i)
            for (int host = 1; host <= 3; ++host)
                texts.append(server->urlOn(host, QStringLiteral("/slow")));
        CheckEngine engine(connectivity, *http, *urlChecker);
        const Verdicts v = runEngine(engine, texts);
        QCOMPARE(v.inOrder, QList<bool>(texts.size(), true));
        for (int host = 1; host <= 3; ++host)
            QCOMPARE(server->maxConcurrentFor(QByteArray("127.0.0.") + QByteArray::number(host)), 6);

        CheckEngine narrow(connectivity, *http, *urlChecker, {4, 6});
        std::unique_ptr<LocalHttpServer> again = std::make_unique<LocalHttpServer>(3);
        again->on("/slow", slow);
        QStringList more;
        for (int i = 0; i < 10; ++i)
            for (int host = 1; host <= 3; ++host)
                more.append(again->urlOn(host, QStringLiteral("/slow")));
        runEngine(narrow, more);
        QCOMPARE(again->maxConcurrent(), 4);
    }

    void rejectedTextsCarryTheirReason() {
        const QStringList texts = {server->url("/ok"),
                                   server->url("/missing"),
                                   server->url("/found"),
                                   server->url("/silent"),
                                   server->url("/loop"),
                                   server->url("/garbage"),
                                   QStringLiteral("a sentence with http://x in it")};
        const QStringList reasons = {QString(),
                                     QStringLiteral("404 Not Found"),
                                     QString(),
                                     QStringLiteral("time-out after 1 s"),
                                     QStringLiteral("too many redirects"),
                                     QStringLiteral("not an HTTP answer"),
                                     QStringLiteral("not a web address")};
        CheckEngine engine(connectivity, *http, *urlChecker);
        auto run = engine.start(texts);
        QStringList seen;
        connect(run.get(), &CheckRun::checked, this, [&](int index, bool accepted) {
            // Known as each verdict is handed out, empty exactly for the accepted ones.
            QCOMPARE(run->reasonOf(index).isEmpty(), accepted);
            seen.append(run->reasonOf(index));
        });
        QSignalSpy finished(run.get(), &CheckRun::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(seen, reasons);
        QCOMPARE(run->reasonOf(-1), QString());
        QCOMPARE(run->reasonOf(int(texts.size())), QString());

        // Without a connection and with the option ticked, every text is rejected for that.
        connectivity.connected = false;
        options.setValidateClipboardUrl(true);
        auto offline = engine.start({server->url("/ok")});
        QSignalSpy offlineFinished(offline.get(), &CheckRun::finished);
        QVERIFY(offlineFinished.wait(5000));
        QCOMPARE(offline->reasonOf(0), QStringLiteral("no Internet connection"));
    }

    // The total limit holds for the whole walk through a check's redirections, not for each hop.
    void totalLimitHoldsAcrossRedirects() {
        ScriptedReply hop = ScriptedReply::redirect(302, "/hop/1");
        hop.delayBeforeHeaders = 400ms; // under the idle limit; five of them are over the total
        for (int n = 5; n >= 1; --n) {
            hop.headers = {{"Location", "/hop/" + QByteArray::number(n - 1)}};
            server->on("/hop/" + QByteArray::number(n), hop);
        }
        ScriptedReply last = ScriptedReply::withStatus(200);
        last.delayBeforeHeaders = 400ms;
        server->on("/hop/0", last);
        CheckEngine engine(connectivity, *http, *urlChecker);
        QElapsedTimer timer;
        timer.start();
        auto run = engine.start({server->url("/hop/5")});
        QList<bool> verdicts;
        connect(run.get(), &CheckRun::checked, this, [&](int, bool accepted) { verdicts.append(accepted); });
        QSignalSpy finished(run.get(), &CheckRun::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(verdicts, QList<bool>({false}));
        QCOMPARE(run->reasonOf(0), QStringLiteral("time-out after 1.5 s"));
        QVERIFY2(timer.elapsed() < 2200, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(server->requestsFor("/hop/0").isEmpty()); // the walk ended on the way
    }

    void offlineDuringTheRunGivesTheOfflineVerdict_data() {
        QTest::addColumn<bool>("validationOn");
        QTest::newRow("option unticked: accepted") << false;
        QTest::newRow("option ticked: rejected") << true;
    }
    void offlineDuringTheRunGivesTheOfflineVerdict() {
        QFETCH(bool, validationOn);
        options.setValidateClipboardUrl(validationOn);
        urlChecker->setLastCheckedUrl(QStringLiteral("before"));
        CheckEngine engine(connectivity, *http, *urlChecker);
        auto run = engine.start({server->url("/missing"), server->url("/missing")});
        connectivity.connected = false; // the connection drops before any answer is in
        QList<bool> verdicts;
        connect(run.get(), &CheckRun::checked, this, [&](int, bool accepted) { verdicts.append(accepted); });
        QSignalSpy finished(run.get(), &CheckRun::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(verdicts, QList<bool>(2, !validationOn));
        QCOMPARE(urlChecker->lastCheckedUrl(),
                 validationOn ? QStringLiteral("before") : server->url("/missing"));
    }

    void startedOfflineSendsNothing() {
        connectivity.connected = false;
        CheckEngine engine(connectivity, *http, *urlChecker);
        const Verdicts v = runEngine(engine, {QStringLiteral("word"), server->url("/ok")});
        QCOMPARE(v.inOrder, QList<bool>({true, true}));
        QCOMPARE(urlChecker->lastCheckedUrl(), server->url("/ok"));
        QCOMPARE(server->connectionsAccepted(), 0);
    }

    void longUrlAndEmptyListEnd() {
        CheckEngine engine(connectivity, *http, *urlChecker);
        QCOMPARE(runEngine(engine, {}).inOrder, QList<bool>());
        const QString huge = server->url(QStringLiteral("/") + QString(100000, QLatin1Char('a')));
        QCOMPARE(runEngine(engine, {huge}).inOrder, QList<bool>({false}));
    }

    // Dropping a run ends its requests at once: the server sees every connection closed long before any
    // time-out would close it (the client here waits 15 s for a silent server).
    void abandonedRunClosesItsConnections() {
        CurlHttpClient patient;
        CheckEngine engine(connectivity, patient, *urlChecker);
        auto run = engine.start({server->url("/silent"), server->urlOn(2, "/silent"), server->url("/ok")});
        int delivered = 0;
        connect(run.get(), &CheckRun::checked, this, [&] { ++delivered; });
        QTRY_COMPARE(server->requestsFor("/silent").size(), 2);
        QTRY_COMPARE(server->requestsFor("/ok").size(), 1);
        QVERIFY(server->connectionsOpen() >= 2);
        QCOMPARE(delivered, 0); // the answer of /ok waits behind the silent ones
        run.reset();
        QVERIFY2(server->waitForIdle(3s),
                 qPrintable(QStringLiteral("%1 connection(s) still open").arg(server->connectionsOpen())));
        QTest::qWait(100);
        QCOMPARE(delivered, 0);
    }
};

QTEST_GUILESS_MAIN(TestCheckEngine)
#include "tst_checkengine.moc"
