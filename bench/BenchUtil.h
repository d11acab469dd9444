#pragma once
// Small helpers for the benchmarks: timing, percentiles, resident memory.
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

inline double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p / 100.0 * double(v.size())));
    return v[i];
}

// Resident set size of this process in MiB.
inline double rssMiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

inline QString randomUrl(QRandomGenerator& rng) {
    static const char* const hosts[] = {"example.com", "Example.org", "news.site.example", "shop.example.net",
                                        "docs.example.io"};
    QString path;
    const int n = int(rng.bounded(6, 30));
    for (int i = 0; i < n; ++i)
        path += QChar(char('a' + rng.bounded(26)));
    return QStringLiteral("https://%1/%2?id=%3")
        .arg(QString::fromLatin1(hosts[rng.bounded(5)]), path)
        .arg(rng.generate());
}

// Benchmarks fail when the work they time did not happen: a figure of work that never ran is worse than none.
inline int& failures() {
    static int n = 0;
    return n;
}
inline void require(bool done, const char* what) {
    if (!done) {
        std::printf("WORK NOT DONE: %s\n", what);
        ++failures();
    }
}
inline int exitCode() {
    return failures() == 0 ? 0 : 1;
}

inline void report(const char* what, double value, const char* unit, double target) {
    std::printf("%-60s %10.3f %-3s (target %s %g %s)\n", what, value, unit,
                value <= target ? "met:" : "MISSED:", target, unit);
}

} // namespace bench
