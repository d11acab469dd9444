#include "AppFixture.h"
#include "Doubles.h"
#include "LocalHttpServer.h"
#include "capture/CapturePipeline.h"
#include "core/CheckListModel.h"
#include "core/SessionState.h"
#include "platform/linux/CurlHttpClient.h"
#include "ui/Main/Main.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace clipvane;
using namespace clipvane::test;

namespace {

struct Host final : CaptureHost {
    bool monitor = true;
    bool balloon = true;
    QString memo;
    QString status;
    QStringList history;
    QStringList balloons;
    bool monitorOn() const override { return monitor; }
    bool showCaptureOn() const override { return balloon; }
    void setMemoText(const QString& t) override { memo = t; }
    void showCaptureBalloon(const QString& c) override { balloons.append(c); }
    void setListStatus(const QString& s) override { status = s; }
    void addHistoryEntry(const QString& c) override { history.append(c); }
};

// The pipeline on doubles, with a yield that can run a nested capture at a chosen point.
struct Rig {
    FakeClipboard clipboard;
    FakeConnectivity connectivity;
    FakeHttpClient http;
    SessionState session;
    CheckListModel list;
    Host host;
    CheckEngine engine{connectivity, http, session};
    int yields = 0;
    std::function<void(int)> onYield;
    CapturePipeline pipeline{clipboard, engine, session, list, host, [this] {
                                 ++yields;
                                 if (onYield)
                                     onYield(yields);
                             }};
    Rig() {
        clipboard.join();
        QObject::connect(&clipboard, &Clipboard::changed, [this] { pipeline.WMDrawClipboard(); });
        clipboard.afterCopy = [this] { settleCaptures(&pipeline); };
    }
};

} // namespace

class TstCapture : public QObject {
    Q_OBJECT
private slots:
    // The check runs on the check engine: while a server keeps silent the event loop goes on (a timer
    // ticks), later copies wait their turn, and verdicts land in the order of the copies even when a later
    // server answers first.
    void checkWaitsOffTheGuiThread() {
        using namespace std::chrono_literals;
        LocalHttpServer server;
        ScriptedReply slow = ScriptedReply::withStatus(200);
        slow.delayBeforeHeaders = 800ms;
        server.on("/slow", slow);
        server.on("/fast", ScriptedReply::withStatus(200));
        server.on("/silent", ScriptedReply::neverAnswer());
        FakeClipboard clipboard;
        FakeConnectivity connectivity;
        connectivity.connected = true;
        CurlHttpClient http;
        SessionState session;
        CheckListModel list;
        Host host;
        CheckEngine engine{connectivity, http, session};
        CapturePipeline pipeline{clipboard, engine, session, list, host, [] {}};
        clipboard.join();
        QObject::connect(&clipboard, &Clipboard::changed, [&] { pipeline.WMDrawClipboard(); });

        int ticks = 0;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start();
        clipboard.copy(server.url("/slow"));
        clipboard.copy(server.url("/fast"));
        QVERIFY(host.history.isEmpty()); // the copies did not wait for the server
        QCOMPARE(pipeline.pending(), 2);
        QCOMPARE(host.memo, server.url("/slow")); // the text box follows the copy being checked
        QTRY_COMPARE_WITH_TIMEOUT(pipeline.pending(), 0, 10000);
        QVERIFY2(ticks >= 20, qPrintable(QString("the event loop ran %1 ticks").arg(ticks)));
        QCOMPARE(host.history, (QStringList{server.url("/slow"), server.url("/fast")}));
        QCOMPARE(session.LastValidUrl, server.url("/fast"));
        QCOMPARE(session.LastCheckedUrl, server.url("/fast"));

        // A silent server: the capture is still pending while the window goes on; the pipeline (the
        // window) can go meanwhile without waiting for it.
        ticks = 0;
        clipboard.copy(server.url("/silent"));
        QTest::qWait(300);
        QCOMPARE(pipeline.pending(), 1);
        QVERIFY(ticks >= 10);
    }

    void copiesEndSortedAndUnique() {
        Rig r;
        r.clipboard.copy("http://b.example/");
        r.clipboard.copy("http://a.example/");
        r.clipboard.copy("http://b.example/");
        QCOMPARE(r.list.texts(), (QStringList{"http://a.example/", "http://b.example/"}));
        QCOMPARE(r.host.history.size(), 3);
        QCOMPARE(r.session.LastValidUrl, QString("http://b.example/"));
        QVERIFY(r.session.ListModified);
        QCOMPARE(r.host.status, QString("Modified"));
    }

    void candidateIsTheWholeFirstLine_data() {
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("candidate");
        QTest::newRow("two lines LF") << "a.example\nb.example"
                                      << "a.example";
        QTest::newRow("two lines CRLF") << "a.example\r\nb.example"
                                        << "a.example";
        QTest::newRow("lone CR") << "a.example\rb.example"
                                 << "a.example";
        QTest::newRow("300 characters") << QString(300, 'x') << QString(300, 'x');
        QTest::newRow("starts with a break") << "\nb.example"
                                             << "";
        QTest::newRow("megabytes on one line") << QString(4 << 20, 'y') << QString(4 << 20, 'y');
    }
    void candidateIsTheWholeFirstLine() {
        QFETCH(QString, copied);
        QFETCH(QString, candidate);
        Rig r;
        r.clipboard.copy(copied);
        QCOMPARE(r.list.texts(), QStringList{candidate});
        QCOMPARE(r.host.history, QStringList{candidate});
        QCOMPARE(r.session.LastCheckedUrl, NormaliseUrl(candidate));
    }

    void upperCaseCopyOfAKeptUrlIsDropped() {
        Rig r;
        r.clipboard.copy("http://example.com/path");
        r.clipboard.copy("HTTP://EXAMPLE.COM/PATH");
        QCOMPARE(r.list.texts(), QStringList{"http://example.com/path"});
    }

    void rejectedCopyShowsTheLastValidUrl() {
        Rig r;
        r.session.ClipboardValidationOn = true; // offline: every text is rejected
        r.clipboard.copy("rejected");
        QCOMPARE(r.host.memo, QString(kNoPreviousValidUrl));
        r.session.ClipboardValidationOn = false;
        r.clipboard.copy("http://kept.example/");
        r.session.ClipboardValidationOn = true;
        r.clipboard.copy("rejected again");
        QCOMPARE(r.host.memo, QString("http://kept.example/"));
        QCOMPARE(r.list.count(), 1);
        QCOMPARE(r.host.history.size(), 1);
    }

    void onlineTheServerDecides() {
        Rig r;
        r.connectivity.connected = true;
        r.http.statuses["http://ok.example/x"] = 200;
        r.http.statuses["http://moved.example/"] = 302;
        r.http.statuses["http://missing.example/"] = 404;
        r.session.ClipboardValidationOn = true; // ignored online
        r.clipboard.copy("ok.example/x");
        r.clipboard.copy("http://moved.example/");
        r.clipboard.copy("http://missing.example/");
        // The entry is the text as copied; the check worked on the normalised form.
        QCOMPARE(r.list.texts(), (QStringList{"http://moved.example/", "ok.example/x"}));
        QCOMPARE(r.session.LastCheckedUrl, QString("http://missing.example/"));
        QCOMPARE(r.http.statusRequests.first().url, QString("http://ok.example/x"));
    }

    void nothingIsCaptured_data() {
        QTest::addColumn<ClipboardContent>("content");
        QTest::addColumn<bool>("monitor");
        QTest::newRow("monitor off") << ClipboardContent{true, false, "http://x.example/"} << false;
        QTest::newRow("no text (image, files)") << ClipboardContent{false, false, {}} << true;
        QTest::newRow("secret from a password manager") << ClipboardContent{false, true, {}} << true;
    }
    void nothingIsCaptured() {
        QFETCH(ClipboardContent, content);
        QFETCH(bool, monitor);
        Rig r;
        r.host.monitor = monitor;
        r.host.memo = "before";
        r.clipboard.copyContent(content);
        QVERIFY(r.list.isEmpty());
        QVERIFY(r.host.history.isEmpty());
        QVERIFY(r.host.balloons.isEmpty());
        QCOMPARE(r.host.memo, QString("before"));
        QVERIFY(!r.session.ListModified);
    }

    void suppressedDuringStartUp() {
        Rig r;
        r.session.CaptureSuppressed = true;
        r.clipboard.copy("http://x.example/");
        QVERIFY(r.list.isEmpty());
    }

    // A copy that arrives while a capture lets pending messages run waits for it: whatever the point, both
    // captures end complete and in the order of the copies: two history rows, both entries once, sorted,
    // and the later copy the last valid URL.
    void captureInsideACapture_data() {
        QTest::addColumn<int>("atYield");
        QTest::addColumn<QString>("inner");
        for (int y = 1; y <= 5; ++y) {
            QTest::addRow("other url at yield %d", y) << y << "http://a.example/";
            QTest::addRow("same url at yield %d", y) << y << "http://z.example/";
        }
    }
    void captureInsideACapture() {
        QFETCH(int, atYield);
        QFETCH(QString, inner);
        Rig r;
        r.list.appendTexts({"http://m.example/"});
        bool fired = false;
        r.onYield = [&](int n) {
            if (n == atYield && !fired) {
                fired = true;
                r.clipboard.copy(inner);
            }
        };
        r.clipboard.copy("http://z.example/");
        QVERIFY(fired);
        QCOMPARE(r.host.history, (QStringList{"http://z.example/", inner}));
        QStringList expected{"http://m.example/", "http://z.example/"};
        if (inner != "http://z.example/")
            expected.prepend(inner);
        QCOMPARE(r.list.texts(), expected);
        QCOMPARE(r.pipeline.pending(), 0);
        QCOMPARE(r.session.LastValidUrl, inner);
        QCOMPARE(r.host.memo, inner);
    }

    // The same, through the whole application: the inner copy arrives as a queued event.
    void captureInsideACaptureInTheApplication() {
        AppFixture app;
        app.connectivity.connected = true;
        app.http.statuses["http://outer.example/"] = 200;
        app.http.statuses["http://inner.example/"] = 200;
        app.http.onRequest = [&](const QString& url) {
            if (url == "http://outer.example/")
                QTimer::singleShot(0, &app.clipboard, [&] { app.clipboard.copy("http://inner.example/"); });
        };
        app.start();
        app.clipboard.copy("http://outer.example/");
        QCOMPARE(app.main().list().texts(), (QStringList{"http://inner.example/", "http://outer.example/"}));
        QCOMPARE(app.session().LastValidUrl, QString("http://inner.example/"));
    }

    void switchesStayInStep() {
        AppFixture app;
        app.start();
        TForm1& f = app.main();
        QCOMPARE(f.statusPanelText(3), QString("Yes"));
        f.CBMonClipboard->setChecked(false);
        QVERIFY(!f.MonClipboard->isChecked());
        QCOMPARE(f.statusPanelText(3), QString("No"));
        app.clipboard.copy("http://x.example/");
        QVERIFY(f.list().isEmpty());
        f.MonClipboard->trigger();
        QVERIFY(f.CBMonClipboard->isChecked());
        QCOMPARE(f.statusPanelText(3), QString("Yes"));

        // Ticked by default; the menu item and the check box follow each other.
        QVERIFY(app.session().ClipboardValidationOn);
        QVERIFY(f.ValidateClipboardURL->isChecked());
        f.ValidateClipboardURL->trigger();
        QVERIFY(!f.CBValidateClipboardURL->isChecked());
        QVERIFY(!app.session().ClipboardValidationOn);
        f.CBValidateClipboardURL->setChecked(true);
        QVERIFY(f.ValidateClipboardURL->isChecked());
        QVERIFY(app.session().ClipboardValidationOn);
    }

    void balloonOnlyWhileInTheTray() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        app.clipboard.copy("http://one.example/");
        QVERIFY(app.tray.balloons.isEmpty());
        app.tray.visible = true;
        app.clipboard.copy("http://two.example/");
        QCOMPARE(app.tray.balloons.size(), 1);
        QCOMPARE(app.tray.balloons[0], qMakePair(QString("Captured URL"), QString("http://two.example/")));
        app.main().Showcapture->trigger(); // off
        app.clipboard.copy("http://three.example/");
        QCOMPARE(app.tray.balloons.size(), 1);
    }

    void captureClearsTicksButNotTheCommands() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        TForm1& f = app.main();
        app.clipboard.copy("http://a.example/");
        f.cyAdvSpeedButton2->click(); // tick all
        QVERIFY(f.cyDeleteChecked->isEnabled());
        app.clipboard.copy("http://b.example/");
        QCOMPARE(f.list().tickedCount(), 0);
        QVERIFY(f.cyDeleteChecked->isEnabled()); // until the next refresh
        f.cyDeleteChecked->click();
        QCOMPARE(f.list().count(), 2);
        QCOMPARE(f.statusPanelText(1), QString("New"));
        QVERIFY(!app.session().ListModified);
    }

    void memoShowsTheWholeCopyUntilTheNextCapture() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        app.clipboard.copy("http://a.example/\nsecond line");
        QCOMPARE(app.main().memoText(), QString("http://a.example/\nsecond line"));
        QCOMPARE(app.main().Memo1->toPlainText(), QString("http://a.example/\nsecond line"));
    }
};

QTEST_MAIN(TstCapture)
#include "tst_capture.moc"
