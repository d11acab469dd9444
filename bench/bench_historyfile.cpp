// The Capture History at 100,000 rows, with its window shown over the table: save, load (replace),
// duplicate removal, sort, a search that finds nothing, and the window's own sizing.
// Run headless: QT_QPA_PLATFORM=offscreen bench_historyfile
#include "BenchUtil.h"
#include "FindControl.h"
#include "core/Dialogs.h"
#include "history/HistoryFile.h"
#include "history/HistoryTable.h"
#include "history/HistoryTools.h"
#include "platform/Services.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;
using clipvane::test::ctl;

namespace {

constexpr int kRows = 100'000;

// Answers every question as the user who wants the command to go on.
struct GoOnDialogs final : Dialogs {
    Answer message(MessageKind, const QString&, Buttons buttons) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    FileDialogResult openFile(const FileDialogRequest&) override { return {}; }
    FileDialogResult saveFile(const FileDialogRequest&) override { return {}; }
};

QList<HistoryEntry> makeRows(int count, double duplicateShare) {
    QRandomGenerator rng(42);
    QList<HistoryEntry> rows;
    rows.reserve(count);
    const QString date = QStringLiteral("09/03/2024");
    for (int i = 0; i < count; ++i) {
        if (!rows.isEmpty() && rng.generateDouble() < duplicateShare) {
            rows.append(rows[int(rng.bounded(qsizetype(rows.size())))]);
            continue;
        }
        HistoryEntry e;
        const QString url = bench::randomUrl(rng);
        e.cells = {date,
                   QStringLiteral("%1:%2:%3")
                       .arg(rng.bounded(24), 2, 10, QChar(u'0'))
                       .arg(rng.bounded(60), 2, 10, QChar(u'0'))
                       .arg(rng.bounded(60), 2, 10, QChar(u'0')),
                   url,
                   QStringLiteral("Clipboard"),
                   rng.bounded(2) ? QStringLiteral("Yes") : QStringLiteral("No"),
                   url.section(u'/', 2, 2).section(u'?', 0, 0),
                   QStringLiteral("192.0.2.%1").arg(rng.bounded(256))};
        rows.append(e);
    }
    return rows;
}

void fill(HistoryTable& table, const QList<HistoryEntry>& rows) {
    table.ResetHistoryTable();
    table.insertEntries(1, rows);
}

template <typename F> double timeMs(F&& f) {
    const auto t0 = bench::Clock::now();
    f();
    return bench::msSince(t0);
}

// The best of a few runs: the machine is shared, the best run is the operation's own cost.
template <typename Prepare, typename F> double bestOf(int runs, Prepare&& prepare, F&& f) {
    double best = 1e12;
    for (int i = 0; i < runs; ++i) {
        prepare();
        best = std::min(best, timeMs(f));
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    GoOnDialogs dialogs;
    Services services;
    services.dialogs = &dialogs;
    services.platform.paths = AppPaths(QDir(dir.path()).filePath(QStringLiteral("Clipvane")), QString());

    HistorySources sources;
    sources.yield = [] { QCoreApplication::processEvents(); };
    HistoryTable table(sources);
    CaptureHistoryWindow window(services, table, false);

    const QList<HistoryEntry> rows = makeRows(kRows, 0.0);
    const QList<HistoryEntry> withDuplicates = makeRows(kRows, 0.3);
    const auto yield = [] { QCoreApplication::processEvents(); };
    std::printf("Capture History, %d entry rows, window shown over the table\n", kRows);

    fill(table, rows);
    const double shown = timeMs([&] {
        window.show();
        bench::require(QTest::qWaitForWindowExposed(&window, 5000), "the window was shown");
    });
    bench::report("show the window (AutoSize of every column)", shown, "ms", 1000);
    bench::report("AutoSize",
                  bestOf(
                      3, [] {}, [&] { window.AutoSize(); }),
                  "ms", 500);

    // Long texts are measured as drawn (cut), and the URL column stops at its maximum.
    {
        HistoryEntry huge = rows.first();
        huge.cells[2] = QStringLiteral("http://") + QString(2 << 20, u'a');
        HistoryEntry long150k = rows.first();
        long150k.cells[2] = QStringLiteral("http://") + QString(150'000, u'b');
        table.insertEntries(1, {huge, long150k});
        bench::report("AutoSize with a 2 MB cell and one of 150,000 characters",
                      bestOf(
                          3, [] {}, [&] { window.AutoSize(); }),
                      "ms", 500);
        bench::require(ctl<HistoryGrid>(window, "SGHistory")->columnWidth(2) == kMaxColumnWidth,
                       "the URL column sized to its maximum by the long cells");
        fill(table, rows);
    }

    const QString path =
        table.rowCount() > 0 ? QDir(dir.path()).filePath(QStringLiteral("Capture History.csv")) : QString();
    bench::report("save (WriteHistoryFile, atomic)",
                  bestOf(
                      3, [] {}, [&] { WriteHistoryFile(table, path, yield); }),
                  "ms", 500);
    std::printf("  file size %.1f MiB\n", double(QFileInfo(path).size()) / 1048576.0);
    bench::require(QFileInfo(path).size() > kRows * 20, "the history file was written");

    bench::report("load, replace (LoadHistoryFile)",
                  bestOf(
                      3, [&] { fill(table, rows.mid(0, 10)); },
                      [&] {
                          LoadHistoryFile(table, path, LoadMode::Replace, yield);
                          table.EnsureBlankLastRow();
                      }),
                  "ms", 500);
    bench::require(table.rowCount() == kRows + 2, "every row loaded");

    int removed = 0;
    bench::report(
        "duplicate removal, 30% duplicates",
        bestOf(
            3, [&] { fill(table, withDuplicates); }, [&] { removed = RemoveDuplicateRecords(table); }),
        "ms", 300);
    std::printf("  removed %d rows\n", removed);
    bench::require(removed > 0, "duplicates removed");
    bench::report("duplicate removal, none",
                  bestOf(
                      3, [&] { fill(table, rows); }, [&] { removed = RemoveDuplicateRecords(table); }),
                  "ms", 300);

    bench::report("sort by URL",
                  bestOf(
                      3, [&] { fill(table, rows); }, [&] { SortHistory(table, 2); }),
                  "ms", 1000);
    bench::report("sort by date (one date: the whole row decides)",
                  bestOf(
                      3, [&] { fill(table, rows); }, [&] { SortHistory(table, 0); }),
                  "ms", 1000);

    fill(table, rows);
    HistorySearch search(table, dialogs);
    HistorySearch::Hooks hooks;
    hooks.yield = yield;
    HistorySearch::Result result;
    bench::report("search that finds nothing (700,000 cells)",
                  bestOf(
                      3, [] {}, [&] { result = search.run(QStringLiteral("no such text"), hooks); }),
                  "ms", 1000);
    bench::require(result.exact + result.partial == 0, "the search looked at every cell and found nothing");

    bench::report("resident memory", bench::rssMiB(), "MiB", 400);
    return bench::exitCode();
}
