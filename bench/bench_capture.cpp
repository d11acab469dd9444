// Capture latency into large lists, SortUnique from scratch, and the GUI's stalls while a check waits.
#include "AppFixture.h"
#include "BenchUtil.h"
#include "FindControl.h"
#include "LocalHttpServer.h"
#include "capture/CapturePipeline.h"
#include "core/CheckListModel.h"
#include "core/SortUnique.h"
#include "platform/linux/CurlHttpClient.h"
#include "ui/Main/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTimer>

using clipvane::test::ctl;

using namespace clipvane;

static void captureInto(int size, double target) {
    test::AppFixture app;
    if (qEnvironmentVariableIsSet("NOSHOW"))
        app.start();
    else
        app.startShown();
    MainWindow& f = app.main();
    QRandomGenerator rng(size);
    QStringList texts;
    texts.reserve(size);
    for (int i = 0; i < size; ++i)
        texts.append(bench::randomUrl(rng));
    f.list().appendTexts(texts);
    SortUnique(f.list());
    // Offline, copies are accepted when "Validate Clipboard URL" is off: every copy is a real capture.
    ctl<QCheckBox>(f, "CBValidateClipboardURL")->setChecked(false);
    QCoreApplication::processEvents();
    const int before = f.list().count();

    std::vector<double> samples;
    for (int i = 0; i < 300; ++i) {
        const QString url = bench::randomUrl(rng);
        const auto t0 = bench::Clock::now();
        app.clipboard.copy(url); // notification -> sorted, de-duplicated list
        samples.push_back(bench::msSince(t0));
    }
    bench::require(f.list().count() == before + int(samples.size()), "every copy captured into the list");
    const QString what = QStringLiteral("capture into %1 entries, p95").arg(size);
    bench::report(qPrintable(what), bench::percentile(samples, 95), "ms", target);
    std::printf("%-60s %10.3f ms\n", qPrintable(QStringLiteral("capture into %1 entries, median").arg(size)),
                bench::percentile(samples, 50));
}

static void sortFromScratch() {
    QRandomGenerator rng(7);
    QStringList texts;
    for (int i = 0; i < 100000; ++i)
        texts.append(bench::randomUrl(rng));
    std::vector<double> samples;
    for (int run = 0; run < 5; ++run) {
        CheckListModel list;
        list.appendTexts(texts);
        const auto t0 = bench::Clock::now();
        SortUnique(list);
        samples.push_back(bench::msSince(t0));
        bench::require(list.count() > 99000, "SortUnique kept the entries");
    }
    bench::report("SortUnique of 100,000 random URLs, median of 5", bench::percentile(samples, 50), "ms",
                  300);
}

// The longest time the event loop of the shown main window goes without running while a capture's check
// waits for a server that accepts and never answers.
static void stallWhileCheckWaits() {
    test::LocalHttpServer server;
    bench::require(server.isListening(), "a local server on 127.0.0.1");
    server.on("/silent", test::ScriptedReply::neverAnswer());
    CurlHttpClient http;
    test::AppFixture app;
    app.useHttp(&http);
    app.connectivity.connected = true;
    app.startShown();
    app.clipboard.afterCopy = nullptr; // the copy returns at once; the check goes on meanwhile
    QCoreApplication::processEvents();

    double worst = 0;
    auto last = bench::Clock::now();
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        worst = std::max(worst, bench::msSince(last));
        last = bench::Clock::now();
    });
    timer.start();
    last = bench::Clock::now();
    for (int i = 0; i < 5; ++i) {
        app.clipboard.copy(server.url(QStringLiteral("/silent")));
        QTest::qWait(400);
    }
    worst = std::max(worst, bench::msSince(last));
    const CapturePipeline* capture = app.app().capture();
    bench::require(capture && capture->pending() == 5, "the capture checks waited for the silent server");
    bench::report("largest GUI stall while a capture check waits for a silent server", worst, "ms", 50);
}

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication qapp(argc, argv);
    stallWhileCheckWaits();
    sortFromScratch();
    captureInto(100000, 16);
    captureInto(1000000, 50);
    return bench::exitCode();
}
