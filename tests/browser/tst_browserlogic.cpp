#include "BrowserDoubles.h"
#include "Doubles.h"
#include "browser/BrowserHistoryWriter.h"
#include "browser/BrowserSession.h"
#include "history/HistoryTable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

// One browser window's logic on doubles: the view, the controls, the shell, the dialogs and a history
// table whose resolver answers from worker threads.
struct Fixture {
    FakeBrowserControls controls;
    ScriptedWebView view;
    FakeShell shell;
    ScriptedDialogs dialogs;
    ThreadSafeResolver resolver;
    FakeConnectivity connectivity;
    HistoryTable history{sources()};
    BrowserHistoryWriter writer{history, resolver};
    BrowserEnvironment env;
    std::unique_ptr<BrowserSession> session;
    int yields = 0;
    std::function<void()> duringYield;
    bool launch = true;

    QDateTime clock = QDateTime(QDate(2026, 3, 4), QTime(10, 20, 30));
    HistorySources sources() {
        HistorySources s;
        s.connectivity = &connectivity;
        s.validateClipboardUrl = [] { return false; };
        s.now = [this] { return clock; };
        return s;
    }
    Fixture() {
        env.dialogs = &dialogs;
        env.shell = &shell;
        env.history = &writer;
        env.searchHost = QStringLiteral("search.example");
        env.yield = [this] {
            ++yields;
            if (duringYield) {
                auto once = std::move(duringYield);
                duringYield = nullptr;
                once();
            }
        };
        env.listOptions.launchOnDoubleClick = [this] { return launch; };
        env.homePage = [] { return QStringLiteral("http://home.example/"); };
        session = std::make_unique<BrowserSession>(controls, env);
        session->attach(&view);
        session->showFresh();
        session->capture().setQuietTimeout(50);
    }
    CheckListModel& list() { return session->list(); }
    int rows() const { return history.rowCount() - 2; }
    QString cell(int entry, int column) const { return history.cell(entry + 1, column); }
    QStringList urlColumn() const {
        QStringList out;
        for (int i = 0; i < rows(); ++i)
            out.append(cell(i, 2));
        return out;
    }
    // The engine answers the last harvest with frames at their places, in the order given.
    void answer(const QList<QPair<FramePath, HarvestedFrame>>& frames, int id = -1) {
        for (const auto& [path, content] : frames)
            session->harvestFrame(id < 0 ? view.lastHarvest() : id, path, content);
    }
};

HarvestedFrame page(const QStringList& links, int frames = 0, bool frameset = false) {
    HarvestedFrame f;
    f.links = links;
    f.frames = frames;
    f.frameset = frameset;
    return f;
}

} // namespace

class TestBrowserLogic : public QObject {
    Q_OBJECT
private slots:
    void addressBarText_data();
    void addressBarText();
    void navigationEventsSetButtonsAndStatus();
    void framesLeaveTheLastReportedAddress();
    void mailLinksKeepTheBarAndReachTheShell_data();
    void mailLinksKeepTheBarAndReachTheShell();
    void commandsReachTheView();
    void singleFrameCaptureKeepsPageOrderInHistory();
    void allFramesCaptureOrdersFramesArrivingInAnyOrder();
    void unreadableFramesAreSkippedAndCounted();
    void busyPageIsSaidAndCounted_data();
    void busyPageIsSaidAndCounted();
    void overlappingCapturesKeepTheirOwnFrames();
    void failedSingleCaptureShowsErrorAndStillSorts();
    void historyRowsResolveEachHostOnceInPageOrder();
    void historyRowsCarryTheCaptureTime();
    void pendingRowsAreWrittenAtExit();
    void manyRowsGoInAFewInsertions();
    void tickRulesAndDeletions();
    void sortedModeKeepsTicksAndDuplicates();
    void doubleClickByMode();
    void openAndSaveThroughTheListFiles();
};

void TestBrowserLogic::addressBarText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("asked");
    QTest::newRow("full address") << "http://a.example/x?y=1"
                                  << "http://a.example/x?y=1";
    QTest::newRow("host only") << "a.example"
                               << "http://a.example";
    QTest::newRow("host and port") << "127.0.0.1:8080/p"
                                   << "http://127.0.0.1:8080/p";
    QTest::newRow("localhost port") << "localhost:8080"
                                    << "http://localhost:8080";
    QTest::newRow("about") << "about:blank"
                           << "about:blank";
    QTest::newRow("mail") << "mailto:x@y.example"
                          << "mailto:x@y.example";
    QTest::newRow("words") << "latest version of Clipvane"
                           << "https://search.example/?q=latest%20version%20of%20Clipvane";
    QTest::newRow("one word") << "clipvane"
                              << "https://search.example/?q=clipvane";
    QTest::newRow("blank") << "   "
                           << "";
    QTest::newRow("blank in the path") << "http://127.0.0.1:8080/a b"
                                       << "http://127.0.0.1:8080/a%20b";
    QTest::newRow("blank after host and port") << "127.0.0.1:8080/a b"
                                               << "http://127.0.0.1:8080/a%20b";
    QTest::newRow("blank after a host name") << "www.example.org/my page.html"
                                             << "http://www.example.org/my%20page.html";
    QTest::newRow("words with a colon") << "note: buy milk"
                                        << "https://search.example/?q=note:%20buy%20milk";
    QTest::newRow("words with a slash") << "either/or question"
                                        << "https://search.example/?q=either/or%20question";
}

void TestBrowserLogic::addressBarText() {
    QFETCH(QString, typed);
    QFETCH(QString, asked);
    QCOMPARE(navigableAddress(typed, QStringLiteral("search.example")), asked);
}

void TestBrowserLogic::navigationEventsSetButtonsAndStatus() {
    Fixture f;
    for (BrowserButton b : {BrowserButton::Stop, BrowserButton::PageCapture, BrowserButton::AllPageCapture,
                            BrowserButton::Refresh, BrowserButton::NavBack, BrowserButton::NavForward,
                            BrowserButton::Delete, BrowserButton::ValidateURL})
        QVERIFY(!f.controls.isEnabled(b));
    QVERIFY(f.controls.isEnabled(BrowserButton::Navigate));
    QVERIFY(f.controls.isEnabled(BrowserButton::Home));

    f.session->beforeNavigate(QStringLiteral("http://a.example/"));
    QCOMPARE(f.controls.address, QStringLiteral("http://a.example/"));
    QCOMPARE(f.controls.navStatus, QStringLiteral("Navigating to: http://a.example/ ..."));
    QVERIFY(f.controls.isEnabled(BrowserButton::Stop));
    QVERIFY(f.controls.isEnabled(BrowserButton::PageCapture));
    QVERIFY(f.controls.isEnabled(BrowserButton::AllPageCapture));
    QVERIFY(!f.controls.isEnabled(BrowserButton::Refresh));
    QCOMPARE(f.yields, 1);

    // A failure leaves the capture buttons on; Refresh waits for a completion.
    f.session->navigateError(QStringLiteral("http://a.example/"));
    QCOMPARE(f.controls.navStatus, QStringLiteral("Error while navigating to: http://a.example/"));
    QVERIFY(!f.controls.isEnabled(BrowserButton::Stop));
    QVERIFY(f.controls.isEnabled(BrowserButton::PageCapture));
    QVERIFY(!f.controls.isEnabled(BrowserButton::Refresh));

    f.session->navigateComplete(QStringLiteral("http://b.example/"));
    QCOMPARE(f.controls.navStatus, QStringLiteral("http://b.example/"));
    QVERIFY(f.controls.isEnabled(BrowserButton::Refresh));

    f.session->commandStateChange(WebView::kNavigateBack, true);
    QVERIFY(f.controls.isEnabled(BrowserButton::NavBack));
    QVERIFY(!f.controls.isEnabled(BrowserButton::NavForward));
    f.session->commandStateChange(WebView::kNavigateForward, true);
    f.session->commandStateChange(3, false); // other commands mean nothing here
    QVERIFY(f.controls.isEnabled(BrowserButton::NavForward));
    f.session->commandStateChange(WebView::kNavigateBack, false);
    QVERIFY(!f.controls.isEnabled(BrowserButton::NavBack));
}

void TestBrowserLogic::framesLeaveTheLastReportedAddress() {
    Fixture f;
    f.session->beforeNavigate(QStringLiteral("http://a.example/frames.html"));
    f.session->beforeNavigate(QStringLiteral("http://a.example/left.html"));
    f.session->beforeNavigate(QStringLiteral("http://a.example/right.html"));
    f.session->navigateComplete(QStringLiteral("http://a.example/frames.html"));
    QCOMPARE(f.controls.address, QStringLiteral("http://a.example/right.html"));
    QCOMPARE(f.controls.navStatus, QStringLiteral("http://a.example/frames.html"));
}

void TestBrowserLogic::mailLinksKeepTheBarAndReachTheShell_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("mail");
    QTest::newRow("small letters") << "mailto:a@b.example" << true;
    QTest::newRow("capitals") << "MAILTO:a@b.example" << true;
    QTest::newRow("mixed") << "MaIlTo:a@b.example" << true;
    QTest::newRow("shorter than seven") << "mailto" << false;
    QTest::newRow("web address") << "http://mailto.example/" << false;
}

void TestBrowserLogic::mailLinksKeepTheBarAndReachTheShell() {
    QFETCH(QString, url);
    QFETCH(bool, mail);
    Fixture f;
    f.session->beforeNavigate(QStringLiteral("http://page.example/"));
    f.session->navigateComplete(QStringLiteral("http://page.example/"));
    f.session->beforeNavigate(url);
    if (mail) {
        QCOMPARE(f.controls.address, QStringLiteral("http://page.example/"));
        QCOMPARE(f.controls.navStatus, QStringLiteral("http://page.example/"));
        QVERIFY(!f.controls.isEnabled(BrowserButton::Stop));
        QCOMPARE(f.shell.mailed.size(), 1);
        QCOMPARE(f.shell.mailed.first().compare(url, Qt::CaseInsensitive), 0);
    } else {
        QCOMPARE(f.controls.address, url);
        QVERIFY(f.controls.isEnabled(BrowserButton::Stop));
        QVERIFY(f.shell.mailed.isEmpty());
    }
    QVERIFY(f.shell.opened.isEmpty());
}

void TestBrowserLogic::commandsReachTheView() {
    Fixture f;
    // The yield runs before the text is read: what the user typed meanwhile is what gets visited.
    f.controls.address = QStringLiteral("a.example");
    f.duringYield = [&] { f.controls.address = QStringLiteral("b.example"); };
    f.session->navigation().cyNavigateClick();
    QCOMPARE(f.view.navigations.size(), 1);
    QCOMPARE(f.view.navigations[0].address, QStringLiteral("http://b.example"));
    QVERIFY(f.view.navigations[0].fresh);

    f.session->cyAdvSpeedButton3Click();
    QCOMPARE(f.view.navigations[1].address, QStringLiteral("http://home.example/"));
    QVERIFY(!f.view.navigations[1].fresh);

    f.session->navigation().cyNavBackClick();
    f.session->navigation().cyNavForwardClick();
    f.session->navigation().cyRefreshClick();
    f.session->navigation().cyStopClick();
    QCOMPARE(f.view.actions, QStringList({"back", "forward", "refresh", "stop"}));
    QCOMPARE(f.controls.navStatus, QStringLiteral("Navigation interrupted: b.example ..."));

    // Before the window was first shown there is no view: the commands do nothing.
    f.session->attach(nullptr);
    f.session->navigation().cyNavigateClick();
    f.session->cyPageCaptureClick();
    QCOMPARE(f.view.navigations.size(), 2);
    QVERIFY(f.view.harvests.isEmpty());
}

void TestBrowserLogic::singleFrameCaptureKeepsPageOrderInHistory() {
    Fixture f;
    f.list().appendTexts({QStringLiteral("http://z.example/")});
    f.list().setAllTicked(true);
    f.session->cyPageCaptureClick();
    QCOMPARE(f.view.harvests.last().second, false);
    const QStringList links{"http://127.0.0.1/B.html", "http://127.0.0.1/A.html", "http://127.0.0.1/b.html"};
    f.answer({{{}, page(links)}});
    // B and b are one item (letter case does not count); each link keeps its history row.
    QCOMPARE(f.list().texts(),
             QStringList({"http://127.0.0.1/A.html", "http://127.0.0.1/B.html", "http://z.example/"}));
    QCOMPARE(f.list().tickedCount(), 0);
    QVERIFY(!f.controls.isEnabled(BrowserButton::Delete));
    QVERIFY(!f.controls.isEnabled(BrowserButton::ValidateURL));
    QCOMPARE(f.controls.count, QStringLiteral("3"));
    QCOMPARE(f.controls.extentRefreshes, 1);
    QTRY_COMPARE(f.rows(), 3);
    QCOMPARE(f.urlColumn(), links);
    QCOMPARE(f.cell(0, 3), QStringLiteral("Browser"));
    QCOMPARE(f.cell(0, 6), QStringLiteral("127.0.0.1"));

    // A second capture of the same page adds rows, not items.
    f.session->cyPageCaptureClick();
    f.answer({{{}, page(links)}});
    QCOMPARE(f.list().count(), 3);
    QTRY_COMPARE(f.rows(), 6);
}

void TestBrowserLogic::allFramesCaptureOrdersFramesArrivingInAnyOrder() {
    Fixture f;
    f.session->cyAllPageCaptureClick();
    QCOMPARE(f.view.harvests.last().second, true);
    // top (two frames), a frame set (no links of its own) with two frames, then an inline frame of the top
    // document. A frame's answer may come before the answer of the frame around it.
    QSignalSpy done(&f.session->capture(), &LinkCapture::finished);
    f.answer({{{1}, page({"mailto:x@y.example"})},
              {{0, 0}, page({"http://f/2", "http://f/3"})},
              {{}, page({"http://t/1"}, 2)},
              {{0, 1}, page({"javascript:void(0)"})}});
    QCOMPARE(done.size(), 0);
    f.answer({{{0}, page({"http://ignored/"}, 2, true)}});
    QCOMPARE(done.size(), 1);
    QCOMPARE(done[0][1].toInt(), 0);
    QTRY_COMPARE(f.rows(), 5);
    QCOMPARE(f.urlColumn(), QStringList({"http://t/1", "http://f/2", "http://f/3", "javascript:void(0)",
                                         "mailto:x@y.example"}));
    QCOMPARE(f.cell(3, 5), QStringLiteral("N/A"));
    QCOMPARE(f.cell(3, 6), QStringLiteral("N/A"));
    QCOMPARE(f.list().count(), 5);
    QVERIFY(f.controls.status.isEmpty());
}

void TestBrowserLogic::unreadableFramesAreSkippedAndCounted() {
    Fixture f;
    f.list().appendTexts({QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("b")});
    f.session->cyAllPageCaptureClick();
    QSignalSpy done(&f.session->capture(), &LinkCapture::finished);
    const int id = f.view.lastHarvest();
    f.answer({{{}, page({"c"}, 3)}, {{1}, page({"d"})}});
    QVERIFY(done.wait(2000));
    QCOMPARE(done[0][1].toInt(), 2);
    QCOMPARE(f.controls.status, QStringLiteral("2 frames could not be read and were skipped"));
    QCOMPARE(f.list().texts(), QStringList({"a", "b", "c", "d"}));
    QCOMPARE(f.controls.count, QStringLiteral("4"));
    // A late answer of a finished harvest changes nothing.
    f.answer({{{0}, page({"late"})}}, id);
    QCOMPARE(f.list().count(), 4);
    // The status tells about the capture just made.
    f.session->cyAllPageCaptureClick();
    f.answer({{{}, page({"e"})}});
    QCOMPARE(done.size(), 2);
    QCOMPARE(f.controls.status, QString());
}

void TestBrowserLogic::busyPageIsSaidAndCounted_data() {
    QTest::addColumn<bool>("allFrames");
    QTest::newRow("single frame") << false;
    QTest::newRow("all frames") << true;
}

void TestBrowserLogic::busyPageIsSaidAndCounted() {
    // A page whose script keeps the engine busy never answers: the capture says so, as a page that cannot
    // be read, and counts the top document among the frames that did not answer.
    QFETCH(bool, allFrames);
    Fixture f;
    f.controls.status = QStringLiteral("from before");
    allFrames ? f.session->cyAllPageCaptureClick() : f.session->cyPageCaptureClick();
    f.dialogs.answer(Answer::Ok);
    QSignalSpy done(&f.session->capture(), &LinkCapture::finished);
    QVERIFY(done.wait(2000));
    QCOMPARE(f.dialogs.texts(), QStringList({"The page on display could not be read."}));
    QCOMPARE(f.controls.status, allFrames ? skippedFramesText(1) : QString());
    QCOMPARE(f.controls.count, QStringLiteral("0"));
}

void TestBrowserLogic::overlappingCapturesKeepTheirOwnFrames() {
    Fixture f;
    QSignalSpy done(&f.session->capture(), &LinkCapture::finished);
    QList<int> ids;
    for (int i = 0; i < 3; ++i) {
        f.session->cyAllPageCaptureClick();
        ids << f.view.lastHarvest();
    }
    QCOMPARE(QSet<int>(ids.begin(), ids.end()).size(), 3);
    // Answers of the three interleave; a frame of one never counts for another.
    for (int id : ids)
        f.answer({{{}, page({"http://t/"}, 1)}}, id);
    for (int i = 2; i >= 0; --i)
        f.answer({{{0}, page({QStringLiteral("http://o/%1").arg(i)})}}, ids[i]);
    QCOMPARE(done.size(), 3);
    for (const auto& d : done)
        QCOMPARE(d[1].toInt(), 0);
    QCOMPARE(f.list().texts(), QStringList({"http://o/0", "http://o/1", "http://o/2", "http://t/"}));
    QVERIFY(f.controls.status.isEmpty());
}

void TestBrowserLogic::failedSingleCaptureShowsErrorAndStillSorts() {
    Fixture f;
    f.list().appendTexts({QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("B")});
    f.session->cyPageCaptureClick();
    int countWhenShown = -1;
    f.dialogs.onMessage = [&](const ScriptedDialogs::Shown&) { countWhenShown = f.list().count(); };
    f.dialogs.answer(Answer::Ok);
    f.session->harvestFailed(f.view.lastHarvest(), QStringLiteral("The page on display could not be read."));
    QCOMPARE(f.dialogs.texts(), QStringList({"The page on display could not be read."}));
    QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Error);
    QCOMPARE(countWhenShown, 2);
    QCOMPARE(f.list().texts(), QStringList({"a", "b"}));
    QCOMPARE(f.rows(), 0);
}

void TestBrowserLogic::historyRowsResolveEachHostOnceInPageOrder() {
    Fixture f;
    f.resolver.answers = {{"a.example", "10.0.0.1"}, {"www.b.example", "10.0.0.2"}};
    f.resolver.delayMs = 20;
    f.connectivity.connected = true;
    QStringList urls;
    for (int i = 0; i < 30; ++i)
        urls << QStringLiteral("http://a.example/%1").arg(i)
             << QStringLiteral("https://www.b.example/%1").arg(i)
             << QStringLiteral("http://nowhere.example/%1").arg(i) << QStringLiteral("about:blank");
    QSignalSpy drained(&f.writer, &BrowserHistoryWriter::drained);
    f.writer.write(urls);
    QCOMPARE(f.rows(), 0); // nothing written before its host answered
    QVERIFY(drained.wait(5000));
    QCOMPARE(f.rows(), urls.size());
    QCOMPARE(f.urlColumn(), urls);
    QCOMPARE(f.resolver.timesAsked("a.example"), 1);
    QCOMPARE(f.resolver.timesAsked("www.b.example"), 1);
    QCOMPARE(f.resolver.timesAsked("nowhere.example"), 1);
    QCOMPARE(f.cell(0, 6), QStringLiteral("10.0.0.1"));
    QCOMPARE(f.cell(1, 5), QStringLiteral("b.example"));
    QCOMPARE(f.cell(1, 6), QStringLiteral("10.0.0.2"));
    QCOMPARE(f.cell(2, 6), QStringLiteral("Unresolved."));
    QCOMPARE(f.cell(3, 4), QStringLiteral("N/A"));
    QCOMPARE(f.cell(3, 6), QStringLiteral("N/A"));
    QCOMPARE(f.cell(0, 4), QStringLiteral("No"));

    // Offline, a failed lookup reads "No Internet"; a later capture asks again.
    f.connectivity.connected = false;
    f.writer.write({QStringLiteral("http://nowhere.example/x")});
    QVERIFY(drained.wait(5000));
    QCOMPARE(f.cell(f.rows() - 1, 6), QStringLiteral("No Internet"));
    QCOMPARE(f.resolver.timesAsked("nowhere.example"), 2);
}

void TestBrowserLogic::historyRowsCarryTheCaptureTime() {
    Fixture f;
    f.resolver.answers = {{"a.example", "10.0.0.1"}};
    f.resolver.delayMs = 50;
    const QDateTime captured = f.clock;
    QSignalSpy drained(&f.writer, &BrowserHistoryWriter::drained);
    f.writer.write({QStringLiteral("http://a.example/1"), QStringLiteral("about:blank")});
    f.clock = captured.addSecs(20); // the lookup answers long after
    QVERIFY(drained.wait(5000));
    const QLocale locale;
    for (int row : {0, 1}) {
        QCOMPARE(f.cell(row, 0), locale.toString(captured.date(), QLocale::ShortFormat));
        QCOMPARE(f.cell(row, 1), locale.toString(captured.time(), longTimeFormat(locale)));
    }
}

void TestBrowserLogic::pendingRowsAreWrittenAtExit() {
    Fixture f;
    f.resolver.answers = {{"a.example", "10.0.0.1"}, {"b.example", "10.0.0.2"}};
    f.resolver.delayMs = 1500;
    f.connectivity.connected = true;
    QStringList urls;
    for (int i = 0; i < 100; ++i)
        urls << QStringLiteral("http://a.example/%1").arg(i) << QStringLiteral("http://b.example/%1").arg(i)
             << QStringLiteral("mailto:x%1@y.example").arg(i);
    f.writer.write(urls);
    QElapsedTimer clock;
    clock.start();
    f.writer.finishPending(100);
    QVERIFY(clock.elapsed() < 1000);
    // Nothing captured is dropped: every row is there, in page order, the unanswered ones "Unresolved.".
    QCOMPARE(f.rows(), urls.size());
    QCOMPARE(f.urlColumn(), urls);
    QCOMPARE(f.writer.pendingRows(), 0);
    QCOMPARE(f.cell(0, 6), QStringLiteral("Unresolved."));
    QCOMPARE(f.cell(1, 6), QStringLiteral("Unresolved."));
    QCOMPARE(f.cell(2, 6), QStringLiteral("N/A"));
    // Answers that come later change nothing.
    QTest::qWait(1700);
    QCOMPARE(f.rows(), urls.size());
    QCOMPARE(f.cell(0, 6), QStringLiteral("Unresolved."));

    // Lookups that answer within the wait are used.
    Fixture g;
    g.resolver.answers = f.resolver.answers;
    g.resolver.delayMs = 100;
    g.writer.write({QStringLiteral("http://a.example/x")});
    g.writer.finishPending(2000);
    QCOMPARE(g.rows(), 1);
    QCOMPARE(g.cell(0, 6), QStringLiteral("10.0.0.1"));
}

void TestBrowserLogic::manyRowsGoInAFewInsertions() {
    // A grid showing the table lays out its rows again on each insertion: thousands of rows one by one
    // made it crawl.
    Fixture f;
    f.resolver.answers = {{"a.example", "10.0.0.1"}};
    QStringList urls;
    for (int i = 0; i < 5000; ++i)
        urls << QStringLiteral("http://a.example/%1").arg(i) << QStringLiteral("about:blank#%1").arg(i);
    int insertions = 0;
    connect(&f.history, &QAbstractItemModel::rowsInserted, this, [&] { ++insertions; });
    QSignalSpy drained(&f.writer, &BrowserHistoryWriter::drained);
    f.writer.write(urls);
    QVERIFY(drained.wait(5000));
    QCOMPARE(f.rows(), urls.size());
    QCOMPARE(f.urlColumn(), urls);
    QVERIFY2(insertions <= 12, qPrintable(QString::number(insertions)));
    // The blank row stays last.
    QVERIFY(f.history.entry(f.history.rowCount() - 1).isBlank());
    QCOMPARE(f.cell(urls.size() - 1, 3), QStringLiteral("Browser"));
}

void TestBrowserLogic::tickRulesAndDeletions() {
    Fixture f;
    BrowserList& c = f.session->commands();
    c.cyCheckAllClick(); // empty: nothing changes
    QVERIFY(!f.controls.isEnabled(BrowserButton::Delete));
    c.cyUncheckAllClick();
    QVERIFY(!f.controls.isEnabled(BrowserButton::ValidateURL));

    f.list().appendTexts({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    f.list().setTicked(0, true);
    c.CheckListBoxURLClickCheck();
    QVERIFY(f.controls.isEnabled(BrowserButton::Delete));
    QVERIFY(f.controls.isEnabled(BrowserButton::ValidateURL));
    f.list().setTicked(0, false);
    c.CheckListBoxURLClickCheck();
    QVERIFY(!f.controls.isEnabled(BrowserButton::Delete));

    f.list().setTicked(0, true);
    f.list().setTicked(2, true);
    c.cyDeleteClick();
    QCOMPARE(f.list().texts(), QStringList({"B"}));
    QCOMPARE(f.controls.count, QStringLiteral("1"));
    QVERIFY(!f.controls.isEnabled(BrowserButton::Delete));

    f.controls.count = QStringLiteral("stale");
    c.Deleteselected1Click(); // nothing selected: nothing goes, the count is rewritten
    QCOMPARE(f.list().count(), 1);
    QCOMPARE(f.controls.count, QStringLiteral("1"));
    f.list().setSelected(0);
    c.Deleteselected1Click();
    QCOMPARE(f.list().count(), 0);
    QCOMPARE(f.controls.count, QStringLiteral("0"));

    f.list().appendTexts({QStringLiteral("x")});
    c.cyCheckAllClick();
    QVERIFY(f.controls.isEnabled(BrowserButton::Delete));
    c.Clearlist1Click();
    QVERIFY(f.list().isEmpty());
    QVERIFY(!f.controls.isEnabled(BrowserButton::Delete));
    QCOMPARE(f.controls.count, QStringLiteral("0"));
}

void TestBrowserLogic::sortedModeKeepsTicksAndDuplicates() {
    Fixture f;
    BrowserList& c = f.session->commands();
    f.list().appendTexts(
        {QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c"), QStringLiteral("a")});
    f.list().setTicked(0, true);
    QVERIFY(c.Sortedlist1Click());
    QCOMPARE(f.list().texts(), QStringList({"A", "a", "b", "c"}));
    QVERIFY(f.list().isTicked(2));
    QCOMPARE(f.list().tickedCount(), 1);
    QVERIFY(!c.Sortedlist1Click());
}

void TestBrowserLogic::doubleClickByMode() {
    Fixture f;
    BrowserList& c = f.session->commands();
    c.CheckListBoxURLDblClick(); // nothing selected: nothing happens
    f.list().appendTexts({QStringLiteral("http://a.example/"), QStringLiteral("javascript:alert(1)"),
                          QStringLiteral("data:text/html,x")});
    f.list().setSelected(0);
    c.CheckListBoxURLDblClick();
    QCOMPARE(f.controls.address, QStringLiteral("http://a.example/"));
    QCOMPARE(f.view.navigations.size(), 1);
    QVERIFY(f.view.navigations[0].fresh);

    for (int row : {1, 2}) {
        f.list().setSelected(row);
        f.dialogs.answer(Answer::Ok);
        c.CheckListBoxURLDblClick();
        QCOMPARE(f.dialogs.shown.last().kind, MessageKind::Warning);
    }
    QCOMPARE(f.view.navigations.size(), 1);

    f.launch = false;
    f.list().setSelected(1);
    f.dialogs.answer(Answer::Ok);
    c.CheckListBoxURLDblClick();
    QCOMPARE(f.dialogs.shown.last().kind, MessageKind::Plain);
    QCOMPARE(f.dialogs.shown.last().text, QStringLiteral("javascript:alert(1)"));
    QCOMPARE(f.view.navigations.size(), 1);
}

void TestBrowserLogic::openAndSaveThroughTheListFiles() {
    Fixture f;
    QTemporaryDir dir;
    BrowserList& c = f.session->commands();
    f.list().appendTexts({QStringLiteral("http://b/"), QStringLiteral("http://a/")});

    // The third filter writes the plain-text page whatever the name's extension.
    const QString saved = dir.filePath(QStringLiteral("links.txt"));
    f.dialogs.answerFile({true, saved, 3});
    c.cyAdvSpeedButton1Click();
    QCOMPARE(f.dialogs.fileShown.last().request.initialName, QStringLiteral("Web List"));
    QFile page(saved);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    QVERIFY(html.contains("<html") || html.contains("<HTML"));
    QVERIFY(!html.contains("href"));

    QFile list(dir.filePath(QStringLiteral("in.list")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("http://C/\r\nhttp://a/\r\nhttp://c/\r\n");
    list.close();

    f.dialogs.answer(Answer::Yes);
    f.dialogs.answerFile({true, list.fileName(), 3});
    c.cyAdvSpeedButton2Click();
    QCOMPARE(f.list().texts(), QStringList({"http://a/", "http://b/", "http://C/"}));
    QCOMPARE(f.controls.count, QStringLiteral("3"));

    f.dialogs.answer(Answer::No);
    f.dialogs.answerFile({true, list.fileName(), 3});
    c.cyAdvSpeedButton2Click();
    QCOMPARE(f.list().texts(), QStringList({"http://C/", "http://a/", "http://c/"}));

    f.dialogs.answer(Answer::Abort);
    c.cyAdvSpeedButton2Click();
    QCOMPARE(f.list().count(), 3);
    QVERIFY(f.dialogs.allAnswersUsed());
}

QTEST_GUILESS_MAIN(TestBrowserLogic)
#include "tst_browserlogic.moc"
