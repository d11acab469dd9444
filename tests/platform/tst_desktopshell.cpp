// Starting a program for real: how each kind of failure is told apart.
#include "platform/linux/DesktopShell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;

namespace {

QString writeFile(const QString& path, const QByteArray& bytes, bool executable) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
    f.close();
    f.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                : QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

} // namespace

class TestDesktopShell : public QObject {
    Q_OBJECT
private slots:
    void failedStartsAreDetected_data();
    void failedStartsAreDetected();
};

void TestDesktopShell::failedStartsAreDetected_data() {
    QTest::addColumn<QString>("file"); // in the temporary folder
    QTest::addColumn<int>("error");
    QTest::newRow("missing") << "gone" << ENOENT;
    QTest::newRow("a folder") << "folder" << EISDIR;
    QTest::newRow("not executable") << "text" << EACCES;
    QTest::newRow("not a program the system can run") << "garbage" << ENOEXEC;
    QTest::newRow("a bare name, never looked up in PATH") << "sh" << ENOENT;
}

void TestDesktopShell::failedStartsAreDetected() {
    QFETCH(QString, file);
    QFETCH(int, error);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    writeFile(dir.filePath("text"), "#!/bin/sh\n", false);
    writeFile(dir.filePath("garbage"),
              QByteArray("\x7f"
                         "ELF\x01\x02garbage",
                         12),
              true);
    const QString program = file == "sh" ? file : dir.filePath(file);
    DesktopShell shell;
    const std::optional<OsError> failed = shell.startDetached(program, {"http://a.example/"});
    QVERIFY(failed);
    QCOMPARE(failed->code, error);
    QCOMPARE(failed->description, OsError::fromErrno(error).description);
}

QTEST_GUILESS_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
