// The real start of a chosen program: a small script stands for the browser and records its arguments.
#include "Doubles.h"
#include "TempAppFolder.h"
#include "platform/linux/DesktopShell.h"
#include "prefs/UrlLauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

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
    void theAddressIsOneUnchangedArgument_data();
    void theAddressIsOneUnchangedArgument();
    void failedStartsAreDetected_data();
    void failedStartsAreDetected();
};

void TestDesktopShell::theAddressIsOneUnchangedArgument_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("argument");
    QTest::newRow("spaces") << "http://a.example/a b  c"
                            << "http://a.example/a b  c";
    QTest::newRow("quotes") << "http://a.example/?q=\"x\"&r='y'"
                            << "http://a.example/?q=\"x\"&r='y'";
    QTest::newRow("shell syntax") << "https://a.example/;touch pwned;$(touch pwned)`touch pwned`|cat>x"
                                  << "https://a.example/;touch pwned;$(touch pwned)`touch pwned`|cat>x";
    QTest::newRow("glob and tilde") << "http://a.example/* ~ ?"
                                    << "http://a.example/* ~ ?";
    QTest::newRow("an option on its own") << "--remote-debugging-port=9222"
                                          << "http://--remote-debugging-port=9222";
    QTest::newRow("not latin") << "http://пример.example/ü"
                               << "http://пример.example/ü";
}

void TestDesktopShell::theAddressIsOneUnchangedArgument() {
    QFETCH(QString, text);
    QFETCH(QString, argument);
    QTemporaryDir dir;
    const QString record = dir.filePath("arguments");
    // Writes the number of arguments, then each one ended by a NUL byte; renamed into place when complete.
    const QString browser = writeFile(
        dir.filePath("browser"),
        "#!/bin/sh\ncd \"$(dirname \"$0\")\"\n{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '%s\\0' "
        "\"$a\"; done; } > arguments.part\nmv arguments.part arguments\n",
        true);
    DesktopShell shell;
    ScriptedDialogs dialogs;
    QVERIFY(!OpenUrlInChosenBrowser(browser, text, shell, dialogs));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
    QCOMPARE(readAll(record), "1\n" + argument.toUtf8() + '\0');
    QVERIFY(!QFile::exists(dir.filePath("pwned")));
}

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
