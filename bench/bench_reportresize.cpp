// Resizing the validation report window with 100,000 entries in each of its lists: the time of one resize
// (the resize event, the columns sized, the window laid out and painted), against the same resizes with
// empty lists (the machine's and the toolkit's own share), and filling the lists once.
#include "AppFixture.h"
#include "BenchUtil.h"
#include "FindControl.h"
#include "core/CheckListModel.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "ui/widgets/CheckListView.h"
#include "validation/ValidationReport.h"

#include <QApplication>

using namespace clipvane;
using clipvane::test::ctl;

namespace {

constexpr int kEntries = 100'000; // in each list
constexpr int kResizes = 40;

std::vector<double> resizes(ValidationReportWindow& window) {
    std::vector<double> times;
    for (int i = 0; i < kResizes; ++i) {
        const auto t0 = bench::Clock::now();
        window.resize(700 + (i % 2 ? 240 : 0) + i, 560 + (i % 3) * 30);
        QCoreApplication::processEvents();
        window.repaint();
        times.push_back(bench::msSince(t0));
    }
    return times;
}

int run() {
    test::AppFixture app;
    app.startShown();
    ValidationReportWindow& window = *app.app().reportWindow();
    window.show();
    QCoreApplication::processEvents();
    const std::vector<double> empty = resizes(window);

    QRandomGenerator rng(7);
    QStringList valid, invalid;
    for (int i = 0; i < kEntries; ++i) {
        valid.append(bench::randomUrl(rng));
        invalid.append(bench::randomUrl(rng));
    }
    // One entry far wider than the rest, so that the columns must scroll.
    invalid[kEntries / 2] += QString(400, QLatin1Char('w'));
    const auto fill = bench::Clock::now();
    app.app().report()->setResults(valid, invalid);
    QCoreApplication::processEvents();
    const double fillMs = bench::msSince(fill);
    bench::require(app.app().report()->valid().count() == kEntries &&
                       app.app().report()->invalid().count() == kEntries,
                   "the report lists hold the entries");
    const int widest = ctl<CheckListView>(window, "CLBInvalid")->columnWidth(0);
    bench::require(widest > ctl<CheckListView>(window, "CLBInvalid")->viewport()->width(),
                   "the invalid list's column is its widest entry");

    const std::vector<double> full = resizes(window);
    bench::require(ctl<CheckListView>(window, "CLBInvalid")->columnWidth(0) == widest,
                   "the columns keep their width through the resizes");
    bench::require(window.width() >= 700 + kResizes - 1, "the window was resized");

    std::printf("%d + %d entries, %d resizes each\n", kEntries, kEntries, kResizes);
    bench::report("resize with 100,000 entries in each list, median", bench::percentile(full, 50), "ms", 16);
    std::printf("%-60s %10.3f ms\n", "resize with 100,000 entries in each list, 90th percentile",
                bench::percentile(full, 90));
    std::printf("%-60s %10.3f ms\n", "resize with empty lists, median, for comparison",
                bench::percentile(empty, 50));
    std::printf("%-60s %10.3f ms\n", "resize with empty lists, 90th percentile",
                bench::percentile(empty, 90));
    std::printf("%-60s %10.3f ms\n", "filling both lists once (measures every entry)", fillMs);
    return bench::exitCode();
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication qapp(argc, argv);
    return run();
}
