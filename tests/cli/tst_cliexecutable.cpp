// The real executable on the command line: no display, no window, no file of the GUI, and its exit statuses.
#include "LocalHttpServer.h"
#include "TempAppFolder.h"
#include "platform/linux/LinuxConnectivity.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

struct Ran {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

class TestCliExecutable : public QObject {
    Q_OBJECT

    QTemporaryDir dir; // the copy's own folder: the application folder of a portable copy
    QString exe;
    QString home;
    LocalHttpServer server;

    // Runs the copy with no display at all, in an empty home and working folder.
    Ran run(const QStringList& args, const QByteArray& input = {}, const QStringList& prefix = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(home);
        if (prefix.isEmpty())
            p.start(exe, args);
        else
            p.start(prefix.first(), prefix.mid(1) + QStringList{exe} + args);
        if (!p.waitForStarted(10000))
            return {};
        p.write(input);
        p.closeWriteChannel();
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                p.readAllStandardError()};
    }

    // Everything under the folder but the paths named.
    static QStringList filesUnder(const QString& folder, const QStringList& except = {}) {
        QStringList found;
        for (QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            if (!except.contains(path))
                found.append(path);
        }
        return found;
    }

    static bool online() { return LinuxConnectivity().isInternetConnected(); }

private slots:
    void initTestCase() {
        exe = dir.filePath(QStringLiteral("Clipvane"));
        QVERIFY(QFile::copy(QStringLiteral(CLIPVANE_EXECUTABLE), exe));
        QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("home")));
        home = dir.filePath(QStringLiteral("home"));
        server.on("/ok", ScriptedReply::withStatus(200));
        server.on("/gone", ScriptedReply::withStatus(410));
        server.on("/silent", ScriptedReply::neverAnswer());
    }

    void cleanup() {
        // Nothing the GUI keeps (options, list, history) nor anything else was written.
        QCOMPARE(filesUnder(dir.path(), {exe, home}), QStringList{});
    }

    void helpAndVersionWithoutDisplay() {
        const Ran help = run({QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.startsWith("Usage: Clipvane"));
        QVERIFY2(help.err.isEmpty(), help.err.constData());
        const Ran version = run({QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith("Clipvane " CLIPVANE_VERSION " ("));
        QVERIFY2(version.err.isEmpty(), version.err.constData());
    }

    void exitStatuses_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("errHas");
        const QString ok = server.url(QStringLiteral("/ok"));
        const QString gone = server.url(QStringLiteral("/gone"));
        QTest::newRow("all valid") << QStringList{"--check", ok} << 0 << ("valid\t" + ok + "\n").toUtf8()
                                   << QByteArray("1 valid, 0 invalid");
        QTest::newRow("one invalid")
            << QStringList{"--check", "--format=csv", ok, gone} << 1
            << ("address,verdict,reason\r\n" + ok + ",valid,\r\n" + gone + ",invalid,410 Gone\r\n").toUtf8()
            << QByteArray("1 valid, 1 invalid");
        QTest::newRow("usage error") << QStringList{"--check", "--per-host", "9", ok} << 2 << QByteArray()
                                     << QByteArray("--per-host");
        QTest::newRow("a folder for a file")
            << QStringList{"--check", ok, "/"} << 2 << QByteArray() << QByteArray("cannot read /");
        QTest::newRow("a missing list") << QStringList{"--check", "nothere.list"} << 2 << QByteArray()
                                        << QByteArray("cannot read nothere.list");
        QTest::newRow("a silent server within --timeout")
            << QStringList{"--check", "--timeout", "1", server.url(QStringLiteral("/silent"))} << 1
            << ("invalid\t" + server.url(QStringLiteral("/silent")) + "\ttime-out after 1 s\n").toUtf8()
            << QByteArray("1 invalid");
    }

    void exitStatuses() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, errHas);
        if (status < 2 && !online())
            QSKIP("this machine has no default route: --check would rightly stop with status 3");
        QElapsedTimer clock;
        clock.start();
        const Ran r = run(args);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, out);
        QVERIFY2(r.err.contains(errHas), r.err.constData());
        QVERIFY2(clock.elapsed() < 10000, "a check outlived its time-out");
    }

    void standardInput() {
        if (!online())
            QSKIP("this machine has no default route");
        const QByteArray list =
            (server.url(QStringLiteral("/ok")) + "\r\n" + server.url(QStringLiteral("/gone")) + "\r\n")
                .toUtf8();
        const Ran r =
            run({QStringLiteral("--check"), QStringLiteral("--invalid-only"), QStringLiteral("-")}, list);
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, ("invalid\t" + server.url(QStringLiteral("/gone")) + "\t410 Gone\n").toUtf8());
    }

    void noConnection() {
        if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
            QSKIP("unshare is not installed");
        QProcess probe;
        probe.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("true")});
        if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
            QSKIP("no network namespace can be made here");
        const Ran r = run({QStringLiteral("--check"), server.url(QStringLiteral("/ok"))}, {},
                          {QStringLiteral("unshare"), QStringLiteral("-n")});
        QCOMPARE(r.status, 3);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains("no Internet connection"), r.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliExecutable)
#include "tst_cliexecutable.moc"
