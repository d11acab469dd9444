// Start-up of the real application wiring, from process start to the main window shown, and the
// resident memory then. Run it on a real X server (xvfb-run) without network.
#include "BenchUtil.h"
#include "app/Application.h"
#include "app/LinuxPlatform.h"
#include "ui/Main/Main.h"

#include <QApplication>
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
    bench::report("resident memory after start-up", bench::rssMiB(), "MiB", 40);
    return bench::exitCode();
}
