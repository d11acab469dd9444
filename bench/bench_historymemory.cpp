// Memory of the Capture History file at 100,000 rows (about 11 MiB): the reader's peak while it loads the
// file into the table, and what the loaded table keeps, each against the file's size. The list reader's
// peak is shown beside them. Counted at the allocator (HeapMeter), so the figures are the program's own.
#include "BenchUtil.h"
#include "HeapMeter.h"
#include "core/ListFile.h"
#include "history/HistoryFile.h"
#include "history/HistoryTable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace clipvane;

namespace {

constexpr int kRows = 100'000;
constexpr double kTargetRatio = 4.0;

QList<PackedEntry> makeRows(int count) {
    QRandomGenerator rng(42);
    QList<PackedEntry> rows;
    rows.reserve(count + 2);
    rows.append(HistoryTable::headerTexts());
    const QString date = QStringLiteral("09/03/2024");
    for (int i = 0; i < count; ++i) {
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
                   url.section(u'/', 2, 2),
                   QStringLiteral("192.0.2.%1").arg(rng.bounded(256))};
        rows.append(e);
    }
    rows.append(PackedEntry{});
    return rows;
}

double mib(std::size_t bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("Capture History.csv"));
    const QString list = dir.filePath(QStringLiteral("urls.list"));
    {
        const QList<PackedEntry> rows = makeRows(kRows);
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly) || f.write(encodeHistoryFile(rows)) <= 0)
            return 1;
        QStringList urls;
        for (const PackedEntry& r : rows)
            urls.append(r.cell(2).toString());
        if (!WriteListFile(list, urls, TextEncoding::Ansi).ok)
            return 1;
    }
    const double csvSize = double(QFileInfo(csv).size());

    HistoryTable table({});
    const std::size_t base = bench::HeapMeter::inUse();
    bench::HeapMeter::resetPeak();
    const HistoryLoadResult loaded = LoadHistoryFile(table, csv, LoadMode::Replace);
    const std::size_t peak = bench::HeapMeter::peak() - base;
    const std::size_t kept = bench::HeapMeter::inUse() - base;
    if (!loaded.ok || table.rowCount() != kRows + 2) {
        std::fprintf(stderr, "the history file was not loaded (%d rows)\n", table.rowCount());
        return 1;
    }
    std::printf("history file: %d rows, %.1f MiB\n", kRows, csvSize / (1024.0 * 1024.0));
    std::printf("  reader peak %.1f MiB, loaded table %.1f MiB\n", mib(peak), mib(kept));
    bench::report("history reader peak / file size", double(peak) / csvSize, "x", kTargetRatio);
    bench::report("loaded table / file size", double(kept) / csvSize, "x", kTargetRatio);
    table.ResetHistoryTable();

    const double listSize = double(QFileInfo(list).size());
    const std::size_t listBase = bench::HeapMeter::inUse();
    bench::HeapMeter::resetPeak();
    const ListFileContent read = ReadListFile(list);
    const std::size_t listPeak = bench::HeapMeter::peak() - listBase;
    if (!read.ok || read.lines.size() != kRows + 2)
        return 1;
    std::printf("list file: %lld lines, %.1f MiB; reader peak %.2f x its size (no target)\n",
                static_cast<long long>(read.lines.size()), listSize / (1024.0 * 1024.0),
                double(listPeak) / listSize);

    const bool met = double(peak) / csvSize <= kTargetRatio && double(kept) / csvSize <= kTargetRatio;
    return met ? 0 : 2;
}
