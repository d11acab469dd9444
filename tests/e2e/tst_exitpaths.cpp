// The real executable, in a child process: how it ends on signals and how a second launch hands over.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

const QByteArray kHeader = "\"Date of entry\",\"Time of entry\",URL,Origin,Validate,Domain,IP\r\n";
const QByteArray kEarlierRow =
    "1/2/24,10:00:00,http://earlier.example/,Clipboard,No,earlier.example,1.2.3.4\r\n";

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A portable copy in a folder of its own, with both exit saves ticked and the history not loaded at start.
struct PortableCopy {
    QTemporaryDir dir;
    QString exe = dir.filePath("Clipvane");

    PortableCopy() {
        QFile::copy(CLIPVANE_EXECUTABLE, exe);
        QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);
        writeFile(dir.filePath("Clipvane.ini"),
                  "[Options settings]\r\nSave options on exiting the software=1\r\n"
                  "[Captured History]\r\nSave on exiting the software=1\r\n"
                  "Load at startup=0\r\n");
        writeFile(dir.filePath("Capture History.csv"), kHeader + kEarlierRow + ",,,,,,\r\n");
    }
    QString file(const QString& name) const { return dir.filePath(name); }

    void start(QProcess& p) const {
        p.setProgram(exe);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // Never the Internet: the public-address request goes to a closed local port.
        env.insert("CLIPVANE_PUBLIC_IP_URL", "http://127.0.0.1:9/json");
        env.insert("XDG_RUNTIME_DIR", dir.path());
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("XDG_DATA_HOME", dir.filePath("data"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        p.start();
    }
};

// The process handles its end signals once its session is up: read from its caught-signal mask.
bool catchesEndSignals(qint64 pid) {
    const QByteArray status = readFile(QStringLiteral("/proc/%1/status").arg(pid));
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith("SigCgt:")) {
            const quint64 mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
            const quint64 want = (1ull << (SIGTERM - 1)) | (1ull << (SIGHUP - 1)) | (1ull << (SIGINT - 1));
            return (mask & want) == want;
        }
    return false;
}

bool waitUntilUp(const QProcess& p) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        if (p.state() != QProcess::Running)
            return false;
        if (catchesEndSignals(p.processId()))
            return true;
        QTest::qWait(50);
    }
    return false;
}

} // namespace

class TstExitPaths : public QObject {
    Q_OBJECT
private slots:
    // Every end signal ends the process within 5 s through the exit saves: the options written, and the
    // history saved without losing the rows of earlier sessions. Nothing waits for a person.
    void signalEndsWithTheSaves_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP (terminal closed)") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void signalEndsWithTheSaves() {
        QFETCH(int, signal);
        PortableCopy copy;
        QProcess app;
        copy.start(app);
        QVERIFY(app.waitForStarted());
        QVERIFY(waitUntilUp(app));
        ::kill(pid_t(app.processId()), signal);
        QVERIFY2(app.waitForFinished(5000), "still running 5 s after the signal");
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        QVERIFY(app.readAllStandardError().contains("Preferences are saved."));
        // The options were written (the writer adds the window placement).
        QVERIFY(readFile(copy.file("Clipvane.ini")).contains("[Placement]"));
        QVERIFY(readFile(copy.file("Capture History.csv")).startsWith(kHeader + kEarlierRow));
    }

    // A second launch for the same folder asks the first to show its window and ends with status 0; the
    // first goes on.
    void secondLaunchHandsOver() {
        PortableCopy copy;
        QProcess first;
        copy.start(first);
        QVERIFY(first.waitForStarted());
        QVERIFY(waitUntilUp(first));
        QProcess second;
        copy.start(second);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTest::qWait(200);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
        QCOMPARE(first.exitCode(), 0);

        // Once the first has ended, a launch is the first again.
        QProcess third;
        copy.start(third);
        QVERIFY(third.waitForStarted());
        QVERIFY(waitUntilUp(third));
        third.terminate();
        QVERIFY(third.waitForFinished(5000));
    }
};

QTEST_GUILESS_MAIN(TstExitPaths)
#include "tst_exitpaths.moc"
