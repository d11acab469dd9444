// The integrated browser on the real engine: the first showing of its window, and a capture of a page of
// 5,000 links over 50 host names with a resolver that answers each lookup after 20 ms. Run it on a real X
// server (xvfb-run); the page is a local file, so no network is needed.
#include "BenchUtil.h"
#include "app/Application.h"
#include "app/LinuxPlatform.h"
#include "browser/BrowserSession.h"
#include "history/HistoryTable.h"
#include "platform/HostResolver.h"
#include "ui/Main/Main.h"
#include "ui/WebMonitor.h"

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
    if (!QTest::qWaitForWindowExposed(clipvane.form1(), 5000))
        std::printf("the main window was not exposed\n");
    QTest::qWait(300);
    const double before = bench::rssMiB();

    clipvane::TFormNav& nav = *clipvane.formNav();
    const auto t0 = bench::Clock::now();
    nav.show();
    const bool exposed =
        QTest::qWaitForWindowExposed(&nav, 5000) && nav.Edit1->isEnabled() && nav.Edit1->isVisible();
    const double firstShowing = bench::msSince(t0);
    QTest::qWait(500);
    bench::report("first showing of the browser window", firstShowing, "ms", 1500);
    std::printf("resident memory before / after the first showing: %.1f / %.1f MiB\n", before,
                bench::rssMiB());

    QTemporaryDir dir;
    const int links = 5000;
    QByteArray page = "<html><body>";
    for (int i = 0; i < links; ++i)
        page += QStringLiteral("<a href='http://host%1.example/page%2.html'>%2</a>\n")
                    .arg(i % 50)
                    .arg(i)
                    .toUtf8();
    page += "</body></html>";
    const QString file = dir.filePath(QStringLiteral("links.html"));
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(page);
    out.close();
    const QString url = QUrl::fromLocalFile(file).toString();
    nav.session().navigateTo(url);
    const bool loaded = QTest::qWaitFor([&] { return nav.SBNavText->text() == url; }, 20000);

    clipvane::HistoryTable& history = *clipvane.history();
    StallMeter stalls;
    const auto t1 = bench::Clock::now();
    stalls.start();
    QTest::mouseClick(nav.cyPageCapture, Qt::LeftButton);
    const bool done = QTest::qWaitFor(
        [&] { return nav.session().list().count() == links && history.rowCount() - 2 == links; }, 30000);
    const double captureMs = bench::msSince(t1);
    const double stall = stalls.stop();
    bench::report("capture of 5,000 links over 50 hosts (20 ms lookups)", captureMs, "ms", 2000);
    bench::report("longest stall of the GUI thread during the capture", stall, "ms", 100);
    const bool rowsRight = history.cell(1, 6) == QStringLiteral("192.0.2.1") &&
                           history.cell(links, 2) == QStringLiteral("http://host49.example/page4999.html");
    if (!exposed || !loaded || !done || !rowsRight) {
        std::printf("the work did not happen: exposed %d, loaded %d, captured %d, rows in order %d\n",
                    exposed, loaded, done, rowsRight);
        return 1;
    }
    return 0;
}
