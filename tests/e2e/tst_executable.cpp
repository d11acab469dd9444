// The real executable starts and shows its main window.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TstExecutable : public QObject {
    Q_OBJECT
private slots:
    void mainWindowIsShown() {
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is not installed");
        // A copy in a temporary folder: that folder is its application folder.
        QTemporaryDir dir;
        const QString exe = dir.filePath("Clipvane");
        QVERIFY(QFile::copy(CLIPVANE_EXECUTABLE, exe));
        QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);
        QFile list(dir.filePath("Clipvane.list"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("http://from-the-default-list.example/\r\n");
        list.close();

        QProcess app;
        app.setProgram(exe);
        // The public-address request goes to a closed local port, never to the Internet.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("CLIPVANE_PUBLIC_IP_URL", "http://127.0.0.1:9/json");
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.start();
        QVERIFY(app.waitForStarted());

        QProcess search;
        search.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^Clipvane$"});
        QVERIFY(search.waitForFinished(20000));
        const QByteArray window = search.readAllStandardOutput().trimmed();
        QVERIFY2(!window.isEmpty(), "no visible window titled Clipvane");
        QCOMPARE(app.state(), QProcess::Running);

        // Still running a moment later: start-up ended in the message loop, not in an error.
        QTest::qWait(500);
        QCOMPARE(app.state(), QProcess::Running);
        app.terminate();
        QVERIFY(app.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TstExecutable)
#include "tst_executable.moc"
