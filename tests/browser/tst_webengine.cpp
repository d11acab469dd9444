// The browser logic on the real engine, against pages of the local test server (needs an X server).
#include "BrowserDoubles.h"
#include "Doubles.h"
#include "LocalHttpServer.h"
#include "browser/BrowserHistoryWriter.h"
#include "browser/BrowserSession.h"
#include "history/HistoryTable.h"
#include "platform/linux/QtWebView.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEngineScript>
#include <QWidget>

using namespace clipvane;
using namespace clipvane::test;

namespace {

ScriptedReply html(const QByteArray& body) {
    return ScriptedReply::withStatus(200, body).header("Content-Type", "text/html; charset=utf-8");
}

// One browser window's logic over a real view; new windows become further windows of the same kind.
struct Window {
    FakeBrowserControls controls;
    std::unique_ptr<QtWebView> view = std::make_unique<QtWebView>();
    std::unique_ptr<BrowserSession> session;

    explicit Window(const BrowserEnvironment& env) {
        session = std::make_unique<BrowserSession>(controls, env);
        session->attach(view.get());
        session->showFresh();
        session->capture().setQuietTimeout(3000);
        view->widget()->resize(800, 600);
        view->widget()->show();
    }
    ~Window() { session.reset(); }
    qsizetype mark = 0; // the status log as it stood when the last navigation started
    void go(const QString& url) {
        mark = controls.navLog.size();
        controls.address = url;
        session->navigation().cyNavigateClick();
    }
    // The page completed since the last navigation started (its frames may report after it).
    bool loaded(const QString& url) {
        return QTest::qWaitFor([&] { return controls.navLog.indexOf(url, mark) >= 0; }, 20000);
    }
    void run(const QString& script) { view->page()->runJavaScript(script, QWebEngineScript::MainWorld); }
    QStringList capture(bool allFrames) {
        QSignalSpy done(&session->capture(), &LinkCapture::finished);
        allFrames ? session->cyAllPageCaptureClick() : session->cyPageCaptureClick();
        return done.wait(20000) ? session->list().texts() : QStringList{QStringLiteral("(no answer)")};
    }
};

} // namespace

class TestWebEngine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void relativeLinksGiveRowsInPageOrderAndUniqueItems();
    void frameSetWithNestedFrames();
    void inlineFrame();
    void inlineFrameFromAnotherOrigin();
    void targetLinkAndWindowOpenMakeNewWindows();
    void mailLinkReachesTheShell();
    void closedPortGivesTheErrorStatus();
    void hostileFrameCannotForgeAnswers();
    void overlappingCapturesLoseNoFrames();
    void framesInShadowRoots();
    void addressBarNavigationsAddNoHistory();
    void statusShowsTheLastFrameReported();

private:
    Window& window();

    LocalHttpServer server;
    LocalHttpServer other; // another port: another origin
    FakeShell shell;
    ScriptedDialogs dialogs;
    ThreadSafeResolver resolver;
    FakeConnectivity connectivity;
    std::unique_ptr<HistoryTable> history;
    std::unique_ptr<BrowserHistoryWriter> writer;
    BrowserEnvironment env;
    std::vector<std::unique_ptr<Window>> windows;
};

Window& TestWebEngine::window() {
    if (windows.empty())
        windows.push_back(std::make_unique<Window>(env));
    return *windows.front();
}

void TestWebEngine::initTestCase() {
    QVERIFY(server.isListening());
    QVERIFY(other.isListening());
    resolver.answers = {{"127.0.0.1", "127.0.0.1"}};
    history = std::make_unique<HistoryTable>(
        HistorySources{nullptr, &connectivity, [] { return false; }, {}, {}, {}});
    writer = std::make_unique<BrowserHistoryWriter>(*history, resolver);
    env.dialogs = &dialogs;
    env.shell = &shell;
    env.history = writer.get();
    env.searchHost = QStringLiteral("search.example");
    env.newWindow = [this](BrowserSession&) -> WebView* {
        windows.push_back(std::make_unique<Window>(env));
        return windows.back()->view.get();
    };

    server.on("/links.html", html("<html><body><a href='b.html'>B</a> <a href='a.html'>A</a> "
                                  "<a href='b.html'>B again</a></body></html>"));
    server.on("/a.html", html("<html><body>A</body></html>"));
    server.on("/b.html", html("<html><body>B</body></html>"));
    server.on("/frames.html", html("<html><frameset cols='50%,50%'><frame src='left.html'>"
                                   "<frame src='nested.html'></frameset></html>"));
    server.on("/nested.html", html("<html><frameset rows='50%,50%'><frame src='inner.html'>"
                                   "<frame src='inner2.html'></frameset></html>"));
    server.on("/left.html",
              html("<html><body><a href='l1.html'>L1</a><a href='l2.html'>L2</a></body></html>"));
    server.on("/inner.html", html("<html><body><a href='i1.html'>I1</a></body></html>"));
    server.on("/inner2.html", html("<html><body><a href='i2.html'>I2</a></body></html>"));
    server.on("/iframe.html", html("<html><body><a href='p.html'>P</a><iframe src='inner.html'></iframe>"
                                   "<a href='q.html'>Q</a></body></html>"));
    server.on("/foreign.html", html("<html><body><a href='p.html'>P</a><iframe src='" +
                                    other.urlBytes("/other.html").replace("127.0.0.1", "localhost") +
                                    "'></iframe></body></html>"));
    other.on("/other.html", html("<html><body><a href='o.html'>O</a></body></html>"));
    // Two frames of another origin side by side; the first tries everything it can to answer for the
    // second and reports to its own server whether it ever saw a request.
    const QByteArray otherHost = other.urlBytes("/").replace("127.0.0.1", "localhost");
    server.on("/hostile.html", html("<html><body><a href='p.html'>P</a><iframe src='" + otherHost +
                                    "hostile.html'></iframe><iframe src='" + otherHost +
                                    "victim.html'></iframe></body></html>"));
    other.on("/hostile.html", html(R"(<html><body><a href='h.html'>H</a><script>
var forged = JSON.stringify({read: true, frameset: false, links: ['http://forged.test/index2', 'javascript:alert(1)'], frames: []});
var busy = false;
function attempt(d) {
  if (busy) return;
  busy = true;
  var words = [];
  if (d && typeof d === 'object') for (var k in d) words.push(String(d[k]));
  words.push('x');
  words.forEach(function (w) {
    console.log('clipvane-harvest ' + w + ' ' + forged);
    console.log('clipvane-harvest ' + w + ' 2 ' + forged);
    console.log('clipvane-harvest ' + w + ' ' + w + ' ' + forged);
  });
  try { parent.frames[1].postMessage(d || {clipvaneHarvest: 1, ticket: 'made-up'}, '*'); } catch (x) {}
  try { window.dispatchEvent(new MessageEvent('message', {data: d || {clipvaneHarvest: 1, ticket: 'made-up'}, source: parent})); } catch (x) {}
  busy = false;
}
window.addEventListener('message', function (e) { fetch('/saw'); attempt(e.data); }, true);
window.onmessage = function (e) { fetch('/saw'); };
setInterval(function () { attempt(null); }, 20);
</script></body></html>)"));
    other.on("/victim.html", html("<html><body><a href='v.html'>V</a></body></html>"));
    other.on("/saw", html("seen"));
    server.on("/shadow.html", html(R"(<html><body><a href='p.html'>P</a><div id='host'></div>
<a href='q.html'>Q</a><script>
var root = document.getElementById('host').attachShadow({mode: 'open'});
root.innerHTML = "<a href='s.html'>S</a><iframe src='inner.html'></iframe>";
</script></body></html>)"));
    server.on("/windows.html",
              html("<html><body><a id='t' href='b.html' target='somewhere'>new</a>"
                   "<a id='m' href='mailto:someone@example.org' style='position:absolute;left:0;top:0;"
                   "width:300px;height:200px;display:block'>mail</a></body></html>"));
}

void TestWebEngine::cleanup() {
    windows.clear();
    history->ResetHistoryTable();
    shell.mailed.clear();
}

void TestWebEngine::relativeLinksGiveRowsInPageOrderAndUniqueItems() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/links.html"));
    w.go(page);
    QVERIFY(w.loaded(page));
    QCOMPARE(w.capture(false), QStringList({server.url("/a.html"), server.url("/b.html")}));
    QTRY_COMPARE(history->rowCount() - 2, 3);
    QCOMPARE(history->cell(1, 2), server.url("/b.html"));
    QCOMPARE(history->cell(2, 2), server.url("/a.html"));
    QCOMPARE(history->cell(3, 2), server.url("/b.html"));
    QCOMPARE(history->cell(1, 6), QStringLiteral("127.0.0.1"));
    // The address bar asked for a fresh copy.
    QCOMPARE(server.requestsFor("/links.html").first().header("Cache-Control"), QByteArray("no-cache"));
}

void TestWebEngine::frameSetWithNestedFrames() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/frames.html"));
    w.go(page);
    QVERIFY(w.loaded(page));
    QTRY_COMPARE(server.requestsFor("/inner2.html").size(), 1);
    QVERIFY(w.capture(false).isEmpty());
    QCOMPARE(w.capture(true), QStringList({server.url("/i1.html"), server.url("/i2.html"),
                                           server.url("/l1.html"), server.url("/l2.html")}));
    QTRY_COMPARE(history->rowCount() - 2, 4);
    // Depth first: the left frame, then the nested frame set's two frames.
    QCOMPARE(history->cell(1, 2), server.url("/l1.html"));
    QCOMPARE(history->cell(3, 2), server.url("/i1.html"));
    QCOMPARE(history->cell(4, 2), server.url("/i2.html"));
}

void TestWebEngine::inlineFrame() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/iframe.html"));
    w.go(page);
    QVERIFY(w.loaded(page));
    QCOMPARE(w.capture(false), QStringList({server.url("/p.html"), server.url("/q.html")}));
    QTRY_COMPARE(history->rowCount() - 2, 2);
    w.session->list().clear();
    history->ResetHistoryTable();
    w.capture(true);
    QTRY_COMPARE(history->rowCount() - 2, 3);
    QCOMPARE(history->cell(1, 2), server.url("/p.html"));
    QCOMPARE(history->cell(2, 2), server.url("/q.html"));
    QCOMPARE(history->cell(3, 2), server.url("/i1.html"));
}

void TestWebEngine::inlineFrameFromAnotherOrigin() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/foreign.html"));
    w.go(page);
    QVERIFY(w.loaded(page));
    QTRY_COMPARE(other.requestsFor("/other.html").size(), 1);
    const QString foreignLink = other.url("/o.html").replace("127.0.0.1", "localhost");
    QCOMPARE(w.capture(true), QStringList({server.url("/p.html"), foreignLink}));
    QCOMPARE(w.controls.status, QString());
    QTRY_COMPARE(history->rowCount() - 2, 2);
    QCOMPARE(history->cell(2, 2), foreignLink);
}

void TestWebEngine::targetLinkAndWindowOpenMakeNewWindows() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/windows.html"));
    w.go(page);
    QVERIFY(w.loaded(page));
    w.run(QStringLiteral("document.getElementById('t').click()"));
    QTRY_COMPARE_WITH_TIMEOUT(windows.size(), std::size_t(2), 20000);
    QVERIFY(windows[1]->loaded(server.url("/b.html")));
    w.run(QStringLiteral("window.open('a.html', 'another')"));
    QTRY_COMPARE_WITH_TIMEOUT(windows.size(), std::size_t(3), 20000);
    QVERIFY(windows[2]->loaded(server.url("/a.html")));
    // The first window still shows its page; each window has its own list.
    QCOMPARE(w.controls.navStatus, page);
    QCOMPARE(windows[1]->capture(false), QStringList());
}

void TestWebEngine::mailLinkReachesTheShell() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/windows.html"));
    w.go(page);
    QVERIFY(w.loaded(page));
    // A mail link needs the user's own click: the engine launches nothing for a script.
    QTRY_VERIFY(w.view->widget()->focusProxy());
    QTest::qWait(300);
    QTest::mouseClick(w.view->widget()->focusProxy(), Qt::LeftButton, {}, QPoint(60, 60));
    QTRY_COMPARE_WITH_TIMEOUT(shell.mailed.size(), 1, 20000);
    QTest::qWait(500); // what the engine reports after the link changes nothing
    QCOMPARE(shell.mailed.first(), QStringLiteral("mailto:someone@example.org"));
    QCOMPARE(w.controls.address, page);
    QCOMPARE(w.controls.navStatus, page);
    QVERIFY(!w.controls.isEnabled(BrowserButton::Stop));
}

void TestWebEngine::closedPortGivesTheErrorStatus() {
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
    probe.close();
    Window& w = window();
    w.go(url);
    QVERIFY(w.loaded(QStringLiteral("Error while navigating to: ") + url));
    QVERIFY(w.controls.isEnabled(BrowserButton::PageCapture));
    QVERIFY(!w.controls.isEnabled(BrowserButton::Stop));
}

void TestWebEngine::hostileFrameCannotForgeAnswers() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/hostile.html"));
    w.go(page);
    QVERIFY(w.loaded(page));
    QTRY_VERIFY(!other.requestsFor("/victim.html").isEmpty());
    QTest::qWait(300); // the hostile frame's script runs
    const QString otherBase = other.url("/").replace("127.0.0.1", "localhost");
    const QStringList expected{server.url("/p.html"), otherBase + "h.html", otherBase + "v.html"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(w.capture(true), expected);
        QCOMPARE(w.controls.status, QString());
    }
    QTRY_COMPARE(history->rowCount() - 2, 9);
    QStringList rows;
    for (int r = 1; r <= 9; ++r)
        rows << history->cell(r, 2);
    QVERIFY2(!rows.join(' ').contains("forged") && !rows.join(' ').contains("javascript:"),
             qPrintable(rows.join(' ')));
    QCOMPARE(rows.mid(0, 3),
             QStringList({server.url("/p.html"), otherBase + "h.html", otherBase + "v.html"}));
    // The page's own scripts never saw a request.
    QTest::qWait(200);
    QCOMPARE(other.requestsFor("/saw").size(), 0);
    QVERIFY(dialogs.shown.isEmpty());
}

void TestWebEngine::overlappingCapturesLoseNoFrames() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/foreign.html"));
    const qsizetype before = other.requestsFor("/other.html").size();
    w.go(page);
    QVERIFY(w.loaded(page));
    QTRY_COMPARE(other.requestsFor("/other.html").size(), before + 1);
    QSignalSpy done(&w.session->capture(), &LinkCapture::finished);
    for (int i = 0; i < 3; ++i) {
        w.session->cyAllPageCaptureClick();
        QTest::qWait(5);
    }
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 3, 20000);
    for (const auto& d : done) {
        QCOMPARE(d[0].toInt(), 2);
        QCOMPARE(d[1].toInt(), 0);
    }
    QCOMPARE(w.controls.status, QString());
    QTRY_COMPARE(history->rowCount() - 2, 6);
}

void TestWebEngine::framesInShadowRoots() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/shadow.html"));
    const qsizetype before = server.requestsFor("/inner.html").size();
    w.go(page);
    QVERIFY(w.loaded(page));
    QTRY_COMPARE(server.requestsFor("/inner.html").size(), before + 1);
    w.capture(true);
    QTRY_COMPARE(history->rowCount() - 2, 4);
    QStringList rows;
    for (int r = 1; r <= 4; ++r)
        rows << history->cell(r, 2);
    // Tree order, the shadow root's content where its host stands, the frame's links after the page's.
    QCOMPARE(rows, QStringList({server.url("/p.html"), server.url("/s.html"), server.url("/q.html"),
                                server.url("/i1.html")}));
    QCOMPARE(w.controls.status, QString());
}

void TestWebEngine::addressBarNavigationsAddNoHistory() {
    Window& w = window();
    const QString first = server.url(QStringLiteral("/links.html"));
    w.go(first);
    QVERIFY(w.loaded(first));
    const QString second = server.url(QStringLiteral("/a.html"));
    w.go(second);
    QVERIFY(w.loaded(second));
    QCOMPARE(server.requestsFor("/a.html").last().header("Cache-Control"), QByteArray("no-cache"));
    w.go(first);
    QVERIFY(w.loaded(first));
    QTest::qWait(300);
    QVERIFY(!w.controls.isEnabled(BrowserButton::NavBack));
    // A link the page follows adds to the history as usual.
    w.run(QStringLiteral("document.links[0].click()"));
    QVERIFY(w.loaded(server.url("/b.html")));
    QTRY_VERIFY(w.controls.isEnabled(BrowserButton::NavBack));
}

void TestWebEngine::statusShowsTheLastFrameReported() {
    Window& w = window();
    const QString page = server.url(QStringLiteral("/frames.html"));
    w.go(page);
    QVERIFY(w.loaded(page));
    const QStringList frames{server.url("/left.html"), server.url("/nested.html"), server.url("/inner.html"),
                             server.url("/inner2.html")};
    QTRY_VERIFY(frames.contains(w.controls.navStatus));
    QTest::qWait(300);
    QVERIFY2(frames.contains(w.controls.navStatus), qPrintable(w.controls.navStatus));
    QVERIFY(frames.contains(w.controls.address));
}

QTEST_MAIN(TestWebEngine)
#include "tst_webengine.moc"
