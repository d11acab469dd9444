// The version check, the download and the offline warning, against the local HTTP server through the
// real HTTP client; the rest of the machine is doubles.
#include "Doubles.h"
#include "LocalHttpServer.h"
#include "platform/linux/CurlHttpClient.h"
#include "update/WebUpdater.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(clipvane::test::ScriptedReply)

using namespace clipvane;
using namespace clipvane::test;
using namespace std::chrono_literals;

namespace {

const QByteArray kPagePath = "/Quorbel/Cvn.html";
const QByteArray kMarker = "<p>***version***</p>";

QByteArray page(const QByteArray& versionLine) {
    return "<html><body>\r\n" + kMarker + "\r\n" + versionLine + "\r\n</body></html>\r\n";
}

struct Rig {
    explicit Rig(const QString& local = QStringLiteral("1.2.3.3"),
                 HttpTimeouts timeouts = {2000ms, 1000ms, 3000ms})
        : http(timeouts) {
        connectivity.connected = true;
        updater = std::make_unique<WebUpdater>(
            WebUpdateServices{connectivity, http, resolver, machine, shell, dialogs},
            UpdateAddresses::forSite(server.url(QString())), local, editionFor(64));
    }
    void serve(const ScriptedReply& reply) { server.on(kPagePath, reply); }
    void serve(const QByteArray& body) { serve(ScriptedReply::withStatus(200, body)); }
    // A Linux build's download is the page of the Linux package, never the Windows archive.
    QString packageUrl() const { return server.url(QStringLiteral("/Quorbel/Clipvane_Linux.html")); }
    QString labels() const { return updater->webVersion() + QLatin1Char('|') + updater->status(); }

    LocalHttpServer server;
    CurlHttpClient http;
    FakeConnectivity connectivity;
    FakeResolver resolver;
    FakeLocalMachine machine;
    FakeShell shell;
    ScriptedDialogs dialogs;
    std::unique_ptr<WebUpdater> updater;
};

// Waits for the updater to be idle again, running the event loop meanwhile.
bool waitIdle(const WebUpdater& u, int ms = 8000) {
    return QTest::qWaitFor([&] { return !u.isBusy(); }, ms);
}

} // namespace

class TstWebUpdater : public QObject {
    Q_OBJECT
private slots:
    void check_data() {
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("labels");
        const auto ok = [](const QByteArray& body) { return ScriptedReply::withStatus(200, body); };
        QTest::newRow("up to date") << ok(page("<p>1.2.3.3</p>")) << "1.2.3.3"
                                    << "1.2.3.3|Up to date";
        QTest::newRow("local newer") << ok(page("<p>1.2.3.3</p>")) << "1.2.3.4"
                                     << "1.2.3.3|Up to date";
        QTest::newRow("local older") << ok(page("<p>1.2.3.3</p>")) << "1.2.3.2"
                                     << "1.2.3.3|Out of date";
        QTest::newRow("two markers: the second wins")
            << ok(page("<p>1.0.0.0</p>") + kMarker + "\r\n<p>1.2.3.4</p>\r\n") << "1.2.3.4"
            << "1.2.3.4|Up to date";
        QTest::newRow("a marker with a blank is none")
            << ok("<p>x</p>\r\n " + kMarker + "\r\n<p>1.2.3.3</p>\r\n") << "1.2.3.3"
            << "Unknown|Check failed";
        QTest::newRow("a marker in other case is none")
            << ok("<P>***Version***</P>\r\n<p>1.2.3.3</p>\r\n") << "1.2.3.3"
            << "Unknown|Check failed";
        QTest::newRow("LF only") << ok(kMarker + "\n<p>1.2.3.3</p>\n") << "1.2.3.3"
                                 << "Unknown|Check failed";
        QTest::newRow("marker as the last line") << ok("<p>x</p>\r\n" + kMarker) << "1.2.3.3"
                                                 << "Unknown|Check failed";
        QTest::newRow("version line of 3 characters") << ok(page("<p>")) << "1.2.3.3"
                                                      << "Unknown|Check failed";
        QTest::newRow("non-ASCII version line") << ok(page("<p>1.2.\xc3\xa9.3</p>")) << "1.2.3.3"
                                                << QString::fromUtf8("1.2.\xc3\xa9.3|Out of date");
        QTest::newRow("a page of 10 MB")
            << ok(page("<p>1.2.3.3</p>") + QByteArray(10 << 20, 'x')) << "1.2.3.3"
            << "Unknown|Check failed";
        QTest::newRow("not found") << ScriptedReply::withStatus(404, page("<p>1.2.3.3</p>")) << "1.2.3.3"
                                   << "Unknown|Check failed";
        QTest::newRow("server error") << ScriptedReply::withStatus(500, page("<p>1.2.3.3</p>")) << "1.2.3.3"
                                      << "Unknown|Check failed";
        QTest::newRow("connection closed") << ScriptedReply::closeAtOnce() << "1.2.3.3"
                                           << "Unknown|Check failed";
        QTest::newRow("not HTTP") << ScriptedReply::garbage() << "1.2.3.3"
                                  << "Unknown|Check failed";
    }
    void check() {
        QFETCH(ScriptedReply, reply);
        QFETCH(QString, local);
        QFETCH(QString, labels);
        Rig r(local);
        r.serve(reply);
        QCOMPARE(r.labels(), QStringLiteral("Unknown|Unknown"));
        r.updater->check();
        QCOMPARE(r.labels(), QStringLiteral("Checking...|Checking..."));
        QVERIFY(waitIdle(*r.updater));
        QCOMPARE(r.labels(), labels);
        QCOMPARE(r.server.requestsFor(kPagePath).size(), 1);
        QCOMPARE(r.server.requestsFor(kPagePath)[0].method, QByteArray("GET"));
        QVERIFY(r.shell.opened.isEmpty());
    }

    // A redirection is not followed: its target is never asked for.
    void redirectIsNotFollowed() {
        Rig r;
        r.serve(ScriptedReply::redirect(302, "/elsewhere.html"));
        r.server.on("/elsewhere.html", ScriptedReply::withStatus(200, page("<p>1.2.3.3</p>")));
        r.updater->check();
        QVERIFY(waitIdle(*r.updater));
        QCOMPARE(r.labels(), QStringLiteral("Unknown|Check failed"));
        QVERIFY(r.server.requestsFor("/elsewhere.html").isEmpty());
    }

    // A server that never answers: the check ends with the client's time-outs, and the event loop keeps
    // running all along.
    void silentServerKeepsTheLoopRunning() {
        Rig r;
        r.serve(ScriptedReply::neverAnswer());
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longestGap = 0;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        ticker.start();
        r.updater->check();
        QVERIFY(r.updater->isBusy());
        QVERIFY(waitIdle(*r.updater, 10000));
        QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(r.labels(), QStringLiteral("Unknown|Check failed"));
        // Generous for a loaded machine; a blocked loop would show the whole time-out.
        QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
    }

    void secondCheckDuringACheckStartsNone() {
        Rig r;
        ScriptedReply slow = ScriptedReply::withStatus(200, page("<p>1.2.3.3</p>"));
        slow.delayBeforeHeaders = 400ms;
        r.serve(slow);
        r.updater->check();
        r.updater->check();
        QTest::qWait(50);
        r.updater->check();
        QVERIFY(waitIdle(*r.updater));
        QCOMPARE(r.labels(), QStringLiteral("1.2.3.3|Up to date"));
        QCOMPARE(r.server.requestsFor(kPagePath).size(), 1);
        r.updater->check(); // once it ended, a new check runs
        QVERIFY(waitIdle(*r.updater));
        QCOMPARE(r.server.requestsFor(kPagePath).size(), 2);
    }

    // Download before any check: the check runs first; up to date, the question follows.
    void downloadBeforeAnyCheck_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("opens");
        QTest::newRow("No") << int(Answer::No) << false;
        QTest::newRow("closed") << int(Answer::Closed) << false;
        QTest::newRow("Yes") << int(Answer::Yes) << true;
    }
    void downloadBeforeAnyCheck() {
        QFETCH(int, answer);
        QFETCH(bool, opens);
        Rig r;
        r.serve(page("<p>1.2.3.3</p>"));
        r.dialogs.answer(Answer(answer));
        r.updater->download();
        QVERIFY(waitIdle(*r.updater));
        QCOMPARE(r.server.requestsFor(kPagePath).size(), 1);
        QCOMPARE(r.dialogs.shown.size(), 1);
        QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Information);
        QCOMPARE(r.dialogs.shown[0].buttons, Buttons::YesNo);
        QCOMPARE(r.dialogs.shown[0].text,
                 QStringLiteral("Your version of Clipvane is up to date. Proceed with the download anyway?"));
        QCOMPARE(r.shell.opened, opens ? QList<QUrl>{QUrl(r.packageUrl())} : QList<QUrl>{});
    }

    // Out of date after a check: the package opens at once, without a question and without a new fetch.
    void downloadWhenOutOfDate() {
        Rig r(QStringLiteral("1.0.0.0"));
        r.serve(page("<p>1.2.3.3</p>"));
        r.updater->check();
        QVERIFY(waitIdle(*r.updater));
        r.updater->download();
        QVERIFY(!r.updater->isBusy());
        QCOMPARE(r.shell.opened, QList<QUrl>{QUrl(r.packageUrl())});
        QCOMPARE(r.server.requestsFor(kPagePath).size(), 1);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // Pressed while a check runs, the download follows that check.
    void downloadDuringACheckFollowsIt() {
        Rig r(QStringLiteral("1.0.0.0"));
        ScriptedReply slow = ScriptedReply::withStatus(200, page("<p>1.2.3.3</p>"));
        slow.delayBeforeHeaders = 300ms;
        r.serve(slow);
        r.updater->check();
        r.updater->download();
        QVERIFY(r.shell.opened.isEmpty());
        QVERIFY(waitIdle(*r.updater));
        QCOMPARE(r.shell.opened, QList<QUrl>{QUrl(r.packageUrl())});
        QCOMPARE(r.server.requestsFor(kPagePath).size(), 1);
    }

    // A failed check still lets the user download: nothing says the copy is current.
    void downloadAfterAFailedCheck() {
        Rig r;
        r.serve(ScriptedReply::withStatus(500));
        r.updater->download();
        QVERIFY(waitIdle(*r.updater));
        QCOMPARE(r.labels(), QStringLiteral("Unknown|Check failed"));
        QCOMPARE(r.shell.opened, QList<QUrl>{QUrl(r.packageUrl())});
    }

    void offlineWarning_data() {
        QTest::addColumn<bool>("download");
        QTest::addColumn<QString>("resolved");
        QTest::addColumn<QString>("second");
        QTest::newRow("check") << false << "192.0.2.7"
                               << "LAN IP Address: 192.0.2.7";
        QTest::newRow("download") << true << "192.0.2.7"
                                  << "LAN IP Address: 192.0.2.7";
        QTest::newRow("host name unknown") << false << ""
                                           << "No. IP Address";
    }
    void offlineWarning() {
        QFETCH(bool, download);
        QFETCH(QString, resolved);
        QFETCH(QString, second);
        Rig r;
        r.connectivity.connected = false;
        r.serve(page("<p>1.2.3.3</p>"));
        if (!resolved.isEmpty())
            r.resolver.answers[r.machine.host] = resolved;
        r.dialogs.answer(Answer::Cancel);
        download ? r.updater->download() : r.updater->check();
        QVERIFY(waitIdle(*r.updater));
        QCOMPARE(r.dialogs.shown.size(), 1);
        QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Warning);
        QCOMPARE(r.dialogs.shown[0].buttons, Buttons::Cancel);
        QCOMPARE(r.dialogs.shown[0].text,
                 QStringLiteral("No Internet connection found. Please, connect to the "
                                "Internet before attemping an update.\n") +
                     second);
        QCOMPARE(r.labels(), QStringLiteral("Unknown|Unknown"));
        QCOMPARE(r.server.connectionsAccepted(), 0);
        QVERIFY(r.shell.opened.isEmpty());
    }

    void updateLogOpensWithoutAConnectionTest() {
        Rig r;
        r.connectivity.connected = false;
        r.updater->openLog();
        QCOMPARE(r.shell.opened,
                 QList<QUrl>{QUrl(r.server.url(QStringLiteral("/Quorbel/Clipvane_Update.html")))});
        QCOMPARE(r.connectivity.calls, 0);
        QVERIFY(r.dialogs.shown.isEmpty());
    }

    // Closing the program during a check on a silent server does not wait out the time-outs.
    void destroyedDuringACheck() {
        Rig r(QStringLiteral("1.2.3.3"), HttpTimeouts{60s, 60s, 60s});
        r.serve(ScriptedReply::neverAnswer());
        r.updater->check();
        QTest::qWait(200);
        QElapsedTimer clock;
        clock.start();
        r.updater.reset();
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TstWebUpdater)
#include "tst_webupdater.moc"
