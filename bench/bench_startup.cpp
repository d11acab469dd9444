// Start-up of the real application wiring, from process start to the main window shown, and the
// resident memory then; and the resident memory of the real executable, started in an empty folder, three
// seconds after its window shows. Run it on a real X server (xvfb-run) without network (unshare -n).
#include "BenchUtil.h"
#include "app/Application.h"
#include "app/LinuxPlatform.h"
#include "ui/Main/Main.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
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

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    clipvane::initApplicationIdentity();
    clipvane::LinuxPlatform platform;
    clipvane::ClipvaneApp clipvane(platform.services());
    clipvane.createWindows();
    clipvane.showMainWindow();
    bench::require(QTest::qWaitForWindowExposed(clipvane.form1(), 5000), "the main window was shown");
    const double shown = msSinceProcessStart();
    QTest::qWait(200);
    bench::report("start-up to main window shown", shown, "ms", 400);
    bench::report("resident memory after start-up (in this process)", bench::rssMiB(), "MiB", 40);
    bench::require(measureExecutable(), "the real executable's memory measured");
    return bench::exitCode();
}
