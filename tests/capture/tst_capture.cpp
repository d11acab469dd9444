#include "Doubles.h"
#include "LocalHttpServer.h"
#include "capture/CapturePipeline.h"
#include "core/CapturedList.h"
#include "core/HistoryRecorder.h"
#include "core/Options.h"
#include "platform/linux/CurlHttpClient.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace clipvane;
using namespace clipvane::test;

namespace {

struct Host final : CaptureHost, HistoryRecorder {
    QString memo;
    QString status;
    QStringList history;
    QStringList balloons;
    void setMemoText(const QString& t) override { memo = t; }
    void showCaptureBalloon(const QString& c) override { balloons.append(c); }
    void setListStatus(const QString& s) override { status = s; }
    void recordCapture(const QString& c) override { history.append(c); }
};

// Offline, the option "Validate Clipboard URL" decides: these rigs start with it unticked.
struct OfflineAccepting {
    Options options;
    OfflineAccepting() { options.setValidateClipboardUrl(false); }
};

// The pipeline on doubles, with a yield that can run a nested capture at a chosen point.
struct Rig : OfflineAccepting {
    FakeClipboard clipboard;
    FakeConnectivity connectivity;
    FakeHttpClient http;
    CapturedList captured;
    CheckListModel& list = captured.model;
    Host host;
    UrlChecker checker{connectivity, http, options};
    CheckEngine engine{connectivity, http, checker};
    int yields = 0;
    std::function<void(int)> onYield;
    CapturePipeline pipeline{clipboard, engine, options, captured, host, host, [this] {
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
        OfflineAccepting o;
        CapturedList captured;
        Host host;
        UrlChecker checker{connectivity, http, o.options};
        CheckEngine engine{connectivity, http, checker};
        CapturePipeline pipeline{clipboard, engine, o.options, captured, host, host, [] {}};
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
        QCOMPARE(captured.lastValidUrl, server.url("/fast"));
        QCOMPARE(checker.lastCheckedUrl(), server.url("/fast"));

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
        QCOMPARE(r.captured.lastValidUrl, QString("http://b.example/"));
        QVERIFY(r.captured.modified);
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
        QCOMPARE(r.checker.lastCheckedUrl(), NormaliseUrl(candidate));
    }

    void upperCaseCopyOfAKeptUrlIsDropped() {
        Rig r;
        r.clipboard.copy("http://example.com/path");
        r.clipboard.copy("HTTP://EXAMPLE.COM/PATH");
        QCOMPARE(r.list.texts(), QStringList{"http://example.com/path"});
    }

    void rejectedCopyShowsTheLastValidUrl() {
        Rig r;
        r.options.setValidateClipboardUrl(true); // offline: every text is rejected
        r.clipboard.copy("rejected");
        QCOMPARE(r.host.memo, QString(kNoPreviousValidUrl));
        r.options.setValidateClipboardUrl(false);
        r.clipboard.copy("http://kept.example/");
        r.options.setValidateClipboardUrl(true);
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
        r.options.setValidateClipboardUrl(true); // ignored online
        r.clipboard.copy("ok.example/x");
        r.clipboard.copy("http://moved.example/");
        r.clipboard.copy("http://missing.example/");
        // The entry is the text as copied; the check worked on the normalised form.
        QCOMPARE(r.list.texts(), (QStringList{"http://moved.example/", "ok.example/x"}));
        QCOMPARE(r.checker.lastCheckedUrl(), QString("http://missing.example/"));
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
        r.options.setMonitorClipboard(monitor);
        r.host.memo = "before";
        r.clipboard.copyContent(content);
        QVERIFY(r.list.isEmpty());
        QVERIFY(r.host.history.isEmpty());
        QVERIFY(r.host.balloons.isEmpty());
        QCOMPARE(r.host.memo, QString("before"));
        QVERIFY(!r.captured.modified);
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
        QCOMPARE(r.captured.lastValidUrl, inner);
        QCOMPARE(r.host.memo, inner);
    }

    // "Show clipboard captured URL in a balloon" is read at each capture.
    void balloonFollowsItsOption() {
        Rig r;
        r.clipboard.copy("http://one.example/");
        r.options.setShowCaptureBalloon(false);
        r.clipboard.copy("http://two.example/");
        QCOMPARE(r.host.balloons, QStringList{"http://one.example/"});
        QCOMPARE(r.host.history.size(), 2);
    }
};

QTEST_MAIN(TstCapture)
#include "tst_capture.moc"
