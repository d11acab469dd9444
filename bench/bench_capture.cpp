// Capture latency into large lists, and SortUnique from scratch.
#include "AppFixture.h"
#include "BenchUtil.h"
#include "core/CheckListModel.h"
#include "core/SortUnique.h"
#include "ui/Main/Main.h"

#include <QApplication>
#include <QCheckBox>

using namespace clipvane;

static void captureInto(int size, double target) {
    test::AppFixture app;
    if (qEnvironmentVariableIsSet("NOSHOW"))
        app.start();
    else
        app.startShown();
    TForm1& f = app.main();
    QRandomGenerator rng(size);
    QStringList texts;
    texts.reserve(size);
    for (int i = 0; i < size; ++i)
        texts.append(bench::randomUrl(rng));
    f.list().appendTexts(texts);
    SortUnique(f.list());
    // Offline, copies are accepted when "Validate Clipboard URL" is off: every copy is a real capture.
    f.CBValidateClipboardURL->setChecked(false);
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

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication qapp(argc, argv);
    sortFromScratch();
    captureInto(100000, 16);
    captureInto(1000000, 50);
    return bench::exitCode();
}
