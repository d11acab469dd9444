// Batch validation of ticked URLs over many host names (127.0.0.1 … 127.0.0.<n>), each answered by a
// local server after 50 ms: 1,000 URLs over 20 hosts, then 10,000 over 200. From the validate button to the
// report shown, with the GUI thread's largest stall and the memory above idle, against a run of CheckUrl one
// URL after another. The server keeps connections alive, as real HTTP/1.1 servers do, and the 1,000-URL
// target applies to that; the same run against a server that closes every connection is printed beside it.
#include "AppFixture.h"
#include "BenchHttpServer.h"
#include "BenchUtil.h"
#include "core/CheckListModel.h"
#include "core/Options.h"
#include "platform/linux/CurlHttpClient.h"
#include "ui/Main/MainWindow.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "validation/UrlCheck.h"
#include "validation/ValidationReport.h"

#include <QApplication>
#include <QSet>
#include <QTimer>
#include <QToolButton>

using namespace clipvane;
using namespace std::chrono_literals;

namespace {

constexpr int kSequential = 100;

struct Scenario {
    int hosts;
    int paths;       // per host
    double targetMs; // 0: a figure for comparison, without a target
    bool closeEach;  // the server ends every connection after its answer
    const char* title;
};

bool failed(const char* why) {
    std::printf("FAILED: %s\n", why);
    return false;
}

// Every tenth path is missing, so that both report lists fill. A server that keeps the connection answers
// without a body (a body the check does not read ends its connection); a closing one sends a small page.
void script(bench::BenchHttpServer& server, int paths, bool closeEach) {
    server.setCloseEachConnection(closeEach);
    for (int p = 0; p < paths; ++p)
        server.on("/page" + QByteArray::number(p),
                  {p % 10 == 9 ? 404 : 200, closeEach ? QByteArray("page") : QByteArray(), 50ms});
}

// Every path was asked for once on every host, and nothing else was asked.
bool eachAskedOnce(const bench::BenchHttpServer& server, int hosts, int paths) {
    const QHash<QByteArray, int> byTarget = server.requestsByTarget();
    if (byTarget.size() != paths)
        return false;
    for (int p = 0; p < paths; ++p)
        if (byTarget.value("/page" + QByteArray::number(p)) != hosts)
            return false;
    return true;
}

bool run(const Scenario& scenario) {
    const int hosts = scenario.hosts;
    const int paths = scenario.paths;
    bench::BenchHttpServer server(hosts);
    script(server, paths, scenario.closeEach);
    if (!server.start())
        return failed("the local server does not listen on every loopback address asked for");
    QStringList urls;
    QSet<QString> expectValid;
    for (int p = 0; p < paths; ++p)
        for (int h = 1; h <= hosts; ++h) {
            urls.append(server.urlOn(h, QStringLiteral("/page%1").arg(p)));
            if (p % 10 != 9)
                expectValid.insert(urls.last());
        }
    // The sequential sample spreads over every path, valid and invalid alike.
    QStringList sample;
    for (int i = 0; i < urls.size(); i += int(urls.size()) / kSequential)
        sample.append(urls[i]);

    CurlHttpClient http;
    test::AppFixture app;
    app.useHttp(&http);
    app.connectivity.connected = true;
    app.startShown();
    MainWindow& main = app.main();
    main.list().appendTexts(urls);
    main.findChild<QToolButton*>(QStringLiteral("cyAdvSpeedButton2"))->click(); // tick all
    auto* validate = main.findChild<QToolButton*>(QStringLiteral("cyValidateCheckedURL"));
    if (!validate->isEnabled())
        return failed("the validate button is not enabled after ticking every URL");
    const auto settle = bench::Clock::now();
    while (bench::msSince(settle) < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const double idle = bench::rssMiB();

    auto t0 = bench::Clock::now();
    // The GUI thread's stalls: the largest gap between ticks of a 10 ms timer; memory sampled alongside.
    double largestGap = 0, peak = idle;
    auto lastTick = bench::Clock::now();
    QTimer ticker;
    ticker.setInterval(10);
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (qEnvironmentVariableIsSet("BENCH_TRACE") && bench::msSince(lastTick) > 25)
            std::printf("gap %.1f ms at %.1f ms, report visible %d\n", bench::msSince(lastTick),
                        bench::msSince(t0), int(app.app().reportWindow()->isVisible()));
        largestGap = std::max(largestGap, bench::msSince(lastTick));
        lastTick = bench::Clock::now();
        peak = std::max(peak, bench::rssMiB());
    });
    ticker.start();
    // The same measure with nothing to do, for the machine's own noise.
    lastTick = bench::Clock::now();
    const auto idleStart = bench::Clock::now();
    while (bench::msSince(idleStart) < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double idleGap = largestGap;
    largestGap = 0;
    lastTick = bench::Clock::now();

    ValidationReportWindow& report = *app.app().reportWindow();
    t0 = bench::Clock::now();
    validate->click();
    while (!report.isVisible() && bench::msSince(t0) < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double runMs = bench::msSince(t0);
    QCoreApplication::processEvents();
    ticker.stop();
    peak = std::max(peak, bench::rssMiB());

    const QStringList valid = app.app().report()->valid().texts();
    const QStringList invalid = app.app().report()->invalid().texts();
    if (!report.isVisible())
        return failed("the report window was not shown within a minute");
    if (valid.size() + invalid.size() != urls.size() ||
        QSet<QString>(valid.begin(), valid.end()) != expectValid)
        return failed("the report does not hold every URL with its verdict");
    if (server.requestCount() != urls.size() || !eachAskedOnce(server, hosts, paths))
        return failed("the server did not get one request per URL");
    const int atOnce = server.maxConcurrent();
    if (atOnce > 128)
        return failed("more than 128 checks ran at once");
    int mostOnOneHost = 0;
    for (int h = 1; h <= hosts; ++h) {
        const int n = server.maxConcurrentFor(QByteArray("127.0.0.") + QByteArray::number(h));
        if (n > 6)
            return failed("more than 6 checks ran at once on one host name");
        if (n < 1)
            return failed("the server counted no check on a host name");
        mostOnOneHost = std::max(mostOnOneHost, n);
    }
    const int connections = server.connectionsAccepted();
    const double firstAt = std::chrono::duration<double, std::milli>(server.firstRequestAt() - t0).count();
    const double lastAt = std::chrono::duration<double, std::milli>(server.lastAnswerAt() - t0).count();

    // The same checks one after another, for a hundred of the URLs: the same verdicts as the batch's.
    UrlChecker checker(app.connectivity, http, app.options());
    const auto s0 = bench::Clock::now();
    const QSet<QString> batchValid(valid.begin(), valid.end());
    bool same = true;
    for (const QString& url : sample)
        same = checker.CheckUrl(url) == batchValid.contains(url) && same;
    const double sequentialMs = bench::msSince(s0);
    if (!same)
        return failed("one check after another gave other verdicts than the batch");

    std::printf("%d URLs over %d host names, %d valid, %d invalid; %d connections, at most %d checks at once "
                "(%d on one host)\n",
                int(urls.size()), hosts, int(valid.size()), int(invalid.size()), connections, atOnce,
                mostOnOneHost);
    std::printf("the server's first request %.1f ms after the click, its last answer at %.1f ms\n", firstAt,
                lastAt);
    if (scenario.targetMs > 0)
        bench::report(scenario.title, runMs, "ms", scenario.targetMs);
    else
        std::printf("%-60s %10.3f ms  (for comparison, no target)\n", scenario.title, runMs);
    bench::report("largest gap between 10 ms timer ticks during the run", largestGap, "ms", 50);
    std::printf("%-60s %10.3f ms\n", "largest gap between ticks while idle, for comparison", idleGap);
    bench::report("memory above idle during the run", peak - idle, "MiB", 30);
    std::printf("%-60s %10.3f ms\n", "CheckUrl one after another, 100 of the URLs", sequentialMs);
    std::printf("%-60s %10.1f x\n", "speed-up per URL over one after another",
                sequentialMs * double(urls.size()) / kSequential / runMs);
    std::printf("idle memory %.1f MiB, peak %.1f MiB\n", idle, peak);
    return true;
}

} // namespace

namespace {
bool runCommandLine(); // the command line's block, at the end
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication qapp(argc, argv);
    std::printf(
        "The local servers keep connections alive, as real HTTP/1.1 servers do, and the targets apply "
        "to them;\nthe 1,000 URLs against a server that closes every connection are timed for "
        "comparison only.\n\n");
    const Scenario scenarios[] = {
        {20, 50, 600, false, "1,000 URLs over 20 hosts, kept alive, button to report"},
        {20, 50, 0, true, "1,000 URLs over 20 hosts, each connection closed"},
        {200, 50, 5000, false, "10,000 URLs over 200 hosts, kept alive, button to report"},
        {200, 50, 5000, true, "10,000 URLs over 200 hosts, each closed, button to report"},
    };
    bool ok = true;
    for (const Scenario& s : scenarios) {
        ok = run(s) && ok;
        std::printf("\n");
    }
    ok = runCommandLine() && ok;
    return ok ? 0 : 1;
}

// ---- The command line: Clipvane --check as a process, from its start to its exit --------------------------
// The same answers (50 ms, every tenth path missing) over 1,000 URLs on 20 host names, then 10,000 URLs on
// 200 host names, with the peak resident memory of the process (as /usr/bin/time reports it).

#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct CommandLineRun {
    int status = -1;
    double ms = 0;
    double peakMiB = 0;
    QByteArray out;
};

// Through /usr/bin/time: a process spawned from this one would inherit this one's peak (the kernel keeps the
// high-water mark of the memory an exec replaces), while time's own, forked from a small process, is tiny.
CommandLineRun runCheckProcess(const QString& listPath, const QString& outPath, const QString& peakPath) {
    CommandLineRun r;
    const QByteArray time = QByteArrayLiteral("/usr/bin/time");
    const QByteArray exe = QByteArrayLiteral(CLIPVANE_EXECUTABLE);
    const QByteArray list = QFile::encodeName(listPath);
    const QByteArray out = QFile::encodeName(outPath);
    const QByteArray peak = QFile::encodeName(peakPath);
    char format[] = "-f";
    char maxRss[] = "%M";
    char to[] = "-o";
    char check[] = "--check";
    char* argv[] = {const_cast<char*>(time.constData()),
                    format,
                    maxRss,
                    to,
                    const_cast<char*>(peak.constData()),
                    const_cast<char*>(exe.constData()),
                    check,
                    const_cast<char*>(list.constData()),
                    nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto t0 = bench::Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, time.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return r;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return r;
    r.ms = bench::msSince(t0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    QFile p(peakPath);
    if (p.open(QIODevice::ReadOnly))
        r.peakMiB = p.readAll().trimmed().split('\n').last().toDouble() / 1024.0; // KiB
    QFile f(outPath);
    if (f.open(QIODevice::ReadOnly))
        r.out = f.readAll();
    return r;
}

// One measured run of hosts x paths URLs; false when the work did not happen.
bool commandLineOver(int hosts, int paths, const char* timeWhat, double timeTarget, const char* memoryWhat,
                     double memoryTarget) {
    // As it was first measured: every connection closed after its answer.
    bench::BenchHttpServer server(hosts);
    script(server, paths, true);
    if (!server.start())
        return failed("the local server does not listen on every loopback address");
    int expectInvalid = 0;
    for (int p = 0; p < paths; ++p)
        expectInvalid += p % 10 == 9 ? hosts : 0;
    QTemporaryDir dir;
    QByteArray list;
    for (int p = 0; p < paths; ++p)
        for (int h = 1; h <= hosts; ++h)
            list += server.urlOn(h, QStringLiteral("/page%1").arg(p)).toUtf8() + "\r\n";
    QFile listFile(dir.filePath(QStringLiteral("urls.list")));
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(list) != list.size())
        return failed("the URL list could not be written");
    listFile.close();

    if (!QFileInfo(QStringLiteral("/usr/bin/time")).isExecutable())
        return failed("/usr/bin/time is not installed (apt install time)");
    const CommandLineRun r = runCheckProcess(listFile.fileName(), dir.filePath(QStringLiteral("out.txt")),
                                             dir.filePath(QStringLiteral("peak.txt")));
    const int total = hosts * paths;
    const int lines = int(r.out.count('\n'));
    const int invalid = int(r.out.count("invalid\t"));
    bench::require(r.status == 1, "the check did not end with status 1 (some invalid)");
    bench::require(r.peakMiB > 0, "the peak memory of the process was not measured");
    bench::require(lines == total && invalid == expectInvalid, "the output does not hold every verdict");
    bench::require(server.requestCount() == total && eachAskedOnce(server, hosts, paths),
                   "the server did not get one request per URL");
    std::printf("%d URLs over %d host names: status %d, %d lines, %d invalid, at most %d answered at once\n",
                total, hosts, r.status, lines, invalid, server.maxConcurrent());
    bench::report(timeWhat, r.ms, "ms", timeTarget);
    if (memoryWhat)
        bench::report(memoryWhat, r.peakMiB, "MiB", memoryTarget);
    else
        std::printf("%-60s %10.3f MiB\n", "peak memory of the process", r.peakMiB);
    return true;
}

bool runCommandLine() {
    const bool small =
        commandLineOver(20, 50, "Clipvane --check, 1,000 URLs, process start to exit", 800, nullptr, 0);
    const bool large = commandLineOver(200, 50, "Clipvane --check, 10,000 URLs on 200 hosts, start to exit",
                                       5000, "Clipvane --check, 10,000 URLs, peak memory of the process", 60);
    return small && large && bench::exitCode() == 0;
}

} // namespace
