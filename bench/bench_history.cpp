// AddHistoryEntry into a table of 100,000 rows (resolver stubbed), and the Linux connection test.
#include "BenchUtil.h"
#include "history/HistoryTable.h"
#include "platform/Connectivity.h"
#include "platform/HostResolver.h"
#include "platform/linux/LinuxConnectivity.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace clipvane;

namespace {

struct StubResolver final : HostResolver {
    QString resolveIPv4(const QString&) override { return QStringLiteral("192.0.2.1"); }
};

struct StubConnectivity final : Connectivity {
    bool isInternetConnected() override { return true; }
};

struct Figures {
    double median;
    double p90;
    double max;
    double mean;
};

Figures figures(std::vector<qint64> ns) {
    std::sort(ns.begin(), ns.end());
    double sum = 0;
    for (qint64 v : ns)
        sum += double(v);
    auto at = [&](double q) { return double(ns[std::size_t(q * double(ns.size() - 1))]) / 1000.0; };
    return {at(0.5), at(0.9), double(ns.back()) / 1000.0, sum / double(ns.size()) / 1000.0};
}

void print(const char* what, const Figures& f, const char* target) {
    std::printf("%-44s median %8.2f us  p90 %8.2f us  max %9.2f us  mean %8.2f us  (target: %s)\n", what,
                f.median, f.p90, f.max, f.mean, target);
}

QString urlFor(int i) {
    return QStringLiteral("https://www.host%1.example/some/path?q=%1#frag").arg(i);
}

void benchAddHistoryEntry() {
    constexpr int kRows = 100'000;
    constexpr int kSamples = 5'000;
    StubResolver resolver;
    StubConnectivity connectivity;
    HistorySources sources;
    sources.resolver = &resolver;
    sources.connectivity = &connectivity;
    sources.validateClipboardUrl = [] { return true; };
    sources.yield = [] { QCoreApplication::processEvents(); }; // as in the application
    HistoryTable table(sources);

    QElapsedTimer fill;
    fill.start();
    int i = 0;
    while (table.rowCount() < kRows)
        table.AddHistoryEntry(urlFor(i++));
    std::printf("filled %d rows with AddHistoryEntry in %.1f ms\n", table.rowCount(),
                double(fill.nsecsElapsed()) / 1e6);

    std::vector<qint64> ns;
    ns.reserve(kSamples);
    QElapsedTimer t;
    for (int k = 0; k < kSamples; ++k) {
        const QString url = urlFor(i++);
        t.start();
        table.AddHistoryEntry(url);
        ns.push_back(t.nsecsElapsed());
    }
    bench::require(table.rowCount() >= kRows + kSamples, "every entry added a row");
    print("AddHistoryEntry, table of 100,000+ rows", figures(std::move(ns)), "median < 50 us");
}

void benchIsInternetConnected(const char* what) {
    constexpr int kCalls = 10'000;
    LinuxConnectivity connectivity;
    std::printf("connection test through the default route of /proc/net/route; answer now: %s\n",
                connectivity.isInternetConnected() ? "connected" : "not connected");
    std::vector<qint64> ns;
    ns.reserve(kCalls);
    QElapsedTimer t;
    for (int k = 0; k < kCalls; ++k) {
        t.start();
        const bool connected = connectivity.isInternetConnected();
        ns.push_back(t.nsecsElapsed());
        Q_UNUSED(connected);
    }
    print(what, figures(std::move(ns)), "< 1000 us per call");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchAddHistoryEntry();
    // The fallback first: without plugin folders no Qt back-end loads (a desktop without one).
    const QStringList pluginFolders = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    benchIsInternetConnected("IsInternetConnected (Linux, fallback)");
    QCoreApplication::setLibraryPaths(pluginFolders);
    benchIsInternetConnected("IsInternetConnected (Linux, Qt back-end)");
    return bench::exitCode();
}
