// Start-up of the real application wiring, from process start to the main window shown, and the
// resident memory then; and the resident memory of the real executable, started in an empty folder, three
// seconds after its window shows. Run it on a real X server (xvfb-run) without network (unshare -n). It
// also starts again, as root, where a default route exists but the DNS server never answers.
#include "BenchUtil.h"
#include "app/Application.h"
#include "app/LinuxPlatform.h"
#include "platform/Connectivity.h"
#include "sysinfo/AddressWatch.h"
#include "ui/Main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Milliseconds since this process started, from /proc (the kernel's clock-tick resolution).
static double msSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray s = stat.readAll();
    const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    const double up = uptime.readAll().split(' ').first().toDouble();
    return (up - startTicks / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}

// Resident set size of another process in MiB, -1 when it cannot be read.
static double rssMiBOf(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

// The real executable, copied into an empty folder as a user would run it: its memory three seconds after
// its main window shows. Answers false when it could not be measured.
static bool measureExecutable() {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        std::printf("xdotool is not installed: the real executable cannot be watched\n");
        return false;
    }
    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("Clipvane"));
    if (!QFile::copy(QString::fromUtf8(CLIPVANE_EXECUTABLE), exe)) {
        std::printf("cannot copy %s\n", CLIPVANE_EXECUTABLE);
        return false;
    }
    QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);
    QProcess app;
    app.setProgram(exe);
    app.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CLIPVANE_PUBLIC_IP_URL"), QStringLiteral("http://127.0.0.1:9/json"));
    app.setProcessEnvironment(env);
    app.start();
    if (!app.waitForStarted()) {
        std::printf("the executable did not start\n");
        return false;
    }
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--pid"), QString::number(app.processId()), QStringLiteral("--name"),
                  QStringLiteral("^Clipvane$")});
    const bool shown = search.waitForFinished(20000) && !search.readAllStandardOutput().trimmed().isEmpty();
    double rss = -1;
    if (shown) {
        QTest::qWait(3000);
        rss = rssMiBOf(app.processId());
    }
    app.terminate();
    if (!app.waitForFinished(10000))
        app.kill();
    if (!shown || rss < 0) {
        std::printf("the executable's main window did not show\n");
        return false;
    }
    bench::report("resident memory of the executable, 3 s after its window shows", rss, "MiB", 40);
    return true;
}

// Inside scripts/with-silent-dns: start-up with a default route and a DNS server that never answers, the
// public-address request asking that server.
static int silentDnsStartUp(int argc, char* argv[]) {
    const int dns = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bench::require(::bind(dns, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0,
                   "a silent DNS server on 127.0.0.1:53");
    qputenv("CLIPVANE_PUBLIC_IP_URL", "http://echo.silent-dns.example/json");
    QApplication app(argc, argv);
    clipvane::initApplicationIdentity();
    clipvane::LinuxPlatform platform;
    clipvane::Services services = platform.services();
    QTemporaryDir folder;
    services.platform.paths = clipvane::AppPaths(folder.filePath(QStringLiteral("Clipvane")), QString());
    bench::require(services.platform.connectivity->isInternetConnected(), "a default route");
    clipvane::ClipvaneApp clipvane(services);
    clipvane.createWindows();
    clipvane.showMainWindow();
    bench::require(QTest::qWaitForWindowExposed(clipvane.mainWindow(), 30000), "the main window was shown");
    const double shown = msSinceProcessStart();
    bench::require(clipvane.mainWindow()->addressWatch().requestPending(),
                   "the address request waits for the DNS");
    bench::report("main window shown with a DNS server that never answers", shown, "ms", 400);
    ::close(dns);
    return bench::exitCode();
}

// Runs this benchmark again inside scripts/with-silent-dns; its figure is printed by that run.
static bool measureSilentDns(const char* self) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QStringLiteral(CLIPVANE_SOURCE_DIR "/scripts/with-silent-dns"),
                {QString::fromLocal8Bit(self), QStringLiteral("--silent-dns")});
    if (!child.waitForFinished(60000)) {
        child.kill();
        return false;
    }
    if (child.exitCode() == 77)
        std::printf("no network namespace could be made for the silent DNS server (needs root)\n");
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

int main(int argc, char* argv[]) {
    if (argc > 1 && qstrcmp(argv[argc - 1], "--silent-dns") == 0)
        return silentDnsStartUp(argc - 1, argv);
    QApplication app(argc, argv);
    clipvane::initApplicationIdentity();
    clipvane::LinuxPlatform platform;
    clipvane::ClipvaneApp clipvane(platform.services());
    clipvane.createWindows();
    clipvane.showMainWindow();
    bench::require(QTest::qWaitForWindowExposed(clipvane.mainWindow(), 5000), "the main window was shown");
    const double shown = msSinceProcessStart();
    QTest::qWait(200);
    bench::report("start-up to main window shown", shown, "ms", 400);
    bench::report("resident memory after start-up (in this process)", bench::rssMiB(), "MiB", 40);
    bench::require(measureExecutable(), "the real executable's memory measured");
    bench::require(measureSilentDns(argv[0]), "start-up measured with a DNS server that never answers");
    return bench::exitCode();
}
