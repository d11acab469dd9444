// The integrated browser on the real engine: the first showing of its window, a capture of a page of
// 5,000 links over 50 host names with a resolver that answers each lookup after 20 ms, and captures of
// 50,000 distinct links over 500 host names with the Capture History window hidden and shown. Run it on a
// real X server (xvfb-run); the pages are local files, so no network is needed.
#include "BenchUtil.h"
#include "FindControl.h"
#include "app/Application.h"
#include "app/LinuxPlatform.h"
#include "browser/BrowserSession.h"
#include "history/HistoryTable.h"
#include "platform/HostResolver.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

using clipvane::test::ctl;

namespace {

class SlowResolver final : public clipvane::HostResolver {
public:
    QString resolveIPv4(const QString&) override {
        QThread::msleep(20);
        return QStringLiteral("192.0.2.1");
    }
};

// The longest time the event loop went without running a 5 ms timer.
class StallMeter {
public:
    StallMeter() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, double(m_clock.restart())); });
    }
    void start() {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    double stop() {
        m_timer.stop();
        return std::max(m_longest, double(m_clock.elapsed()));
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_longest = 0;
};

// A page of `links` distinct links spread over `hosts` host names, written to `path`; its file address.
QString linkPage(const QString& path, int links, int hosts) {
    QByteArray page = "<html><body>";
    for (int i = 0; i < links; ++i)
        page += QStringLiteral("<a href='http://host%1.example/page%2.html'>%2</a>\n")
                    .arg(i % hosts)
                    .arg(i)
                    .toUtf8();
    page += "</body></html>";
    QFile out(path);
    bench::require(out.open(QIODevice::WriteOnly) && out.write(page) == page.size(),
                   "the page of links written");
    return QUrl::fromLocalFile(path).toString();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    clipvane::initApplicationIdentity();
    clipvane::LinuxPlatform platform;
    SlowResolver resolver;
    clipvane::Services services = platform.services();
    services.platform.resolver = &resolver;
    clipvane::ClipvaneApp clipvane(services);
    clipvane.createWindows();
    clipvane.showMainWindow();
    if (!QTest::qWaitForWindowExposed(clipvane.mainWindow(), 5000))
        std::printf("the main window was not exposed\n");
    QTest::qWait(300);
    const double before = bench::rssMiB();

    clipvane::BrowserWindow& nav = *clipvane.browserWindow();
    const auto t0 = bench::Clock::now();
    nav.show();
    const bool exposed = QTest::qWaitForWindowExposed(&nav, 5000) &&
                         ctl<QLineEdit>(nav, "Edit1")->isEnabled() &&
                         ctl<QLineEdit>(nav, "Edit1")->isVisible();
    const double firstShowing = bench::msSince(t0);
    QTest::qWait(500);
    bench::report("first showing of the browser window", firstShowing, "ms", 1500);
    std::printf("resident memory before / after the first showing: %.1f / %.1f MiB\n", before,
                bench::rssMiB());

    QTemporaryDir dir;
    const int links = 5000;
    const QString url = linkPage(dir.filePath(QStringLiteral("links.html")), links, 50);
    nav.session().navigateTo(url);
    const bool loaded = QTest::qWaitFor([&] { return ctl<QLabel>(nav, "SBNavText")->text() == url; }, 20000);

    clipvane::HistoryTable& history = *clipvane.history();
    StallMeter stalls;
    const auto t1 = bench::Clock::now();
    stalls.start();
    QTest::mouseClick(ctl<QToolButton>(nav, "cyPageCapture"), Qt::LeftButton);
    const bool done = QTest::qWaitFor(
        [&] { return nav.session().list().count() == links && history.rowCount() - 2 == links; }, 30000);
    const double captureMs = bench::msSince(t1);
    const double stall = stalls.stop();
    bench::report("capture of 5,000 links over 50 hosts (20 ms lookups)", captureMs, "ms", 2000);
    bench::report("longest stall of the GUI thread during the capture", stall, "ms", 100);
    const bool rowsRight = history.cell(1, 6) == QStringLiteral("192.0.2.1") &&
                           history.cell(links, 2) == QStringLiteral("http://host49.example/page4999.html");
    bench::require(exposed && loaded && done && rowsRight, "capture of 5,000 links");

    // 50,000 distinct links over 500 hosts: the end of the capture, then the same with the Capture History
    // window open.
    const int many = 50000;
    const QString bigUrl = linkPage(dir.filePath(QStringLiteral("many.html")), many, 500);
    nav.session().navigateTo(bigUrl);
    const bool bigLoaded =
        QTest::qWaitFor([&] { return ctl<QLabel>(nav, "SBNavText")->text() == bigUrl; }, 60000);
    bench::require(bigLoaded, "the page of 50,000 links loaded");
    for (const bool historyShown : {false, true}) {
        nav.session().commands().Clearlist1Click();
        history.ResetHistoryTable();
        if (historyShown) {
            clipvane.captureHistoryWindow()->show();
            bench::require(QTest::qWaitForWindowExposed(clipvane.captureHistoryWindow(), 5000),
                           "Capture History shown");
        }
        QTest::qWait(300);
        StallMeter meter;
        const auto t = bench::Clock::now();
        meter.start();
        QTest::mouseClick(ctl<QToolButton>(nav, "cyAllPageCapture"), Qt::LeftButton);
        const bool shown = QTest::qWaitFor([&] { return nav.session().list().count() == many; }, 30000);
        const double shownMs = bench::msSince(t);
        const bool written = QTest::qWaitFor([&] { return history.rowCount() - 2 == many; }, 60000);
        const double writtenMs = bench::msSince(t);
        const double longest = meter.stop();
        const bool inOrder =
            written && history.cell(many, 2) == QStringLiteral("http://host499.example/page49999.html");
        if (!historyShown) {
            bench::report("50,000 links over 500 hosts: rows shown in the list", shownMs, "ms", 1000);
            bench::report("50,000 links: largest GUI stall until the history is written", longest, "ms", 100);
        } else {
            bench::report("50,000 links, Capture History open: all rows written", writtenMs, "ms", 3000);
            bench::report("50,000 links, Capture History open: largest GUI stall", longest, "ms", 100);
        }
        bench::require(shown && written && inOrder, "capture of 50,000 links");
    }
    return bench::exitCode();
}
