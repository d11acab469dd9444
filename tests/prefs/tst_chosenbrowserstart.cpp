// The real start of a chosen program: a small script stands for the browser and records its arguments.
#include "Doubles.h"
#include "TempAppFolder.h"
#include "platform/linux/DesktopShell.h"
#include "prefs/UrlLauncher.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

class TestChosenBrowserStart : public QObject {
    Q_OBJECT
private slots:
    void theAddressIsOneUnchangedArgument_data();
    void theAddressIsOneUnchangedArgument();
};

void TestChosenBrowserStart::theAddressIsOneUnchangedArgument_data() {
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

void TestChosenBrowserStart::theAddressIsOneUnchangedArgument() {
    QFETCH(QString, text);
    QFETCH(QString, argument);
    QTemporaryDir dir;
    const QString record = dir.filePath("arguments");
    // Writes the number of arguments, then each one ended by a NUL byte; renamed into place when complete.
    const QString browser = dir.filePath("browser");
    QVERIFY(writeAll(browser,
                     "#!/bin/sh\ncd \"$(dirname \"$0\")\"\n{ printf '%s\\n' \"$#\"; for a in \"$@\"; do "
                     "printf '%s\\0' \"$a\"; done; } > arguments.part\nmv arguments.part arguments\n"));
    QVERIFY(QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    DesktopShell shell;
    ScriptedDialogs dialogs;
    QVERIFY(!OpenUrlInChosenBrowser(browser, text, shell, dialogs));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
    QCOMPARE(readAll(record), "1\n" + argument.toUtf8() + '\0');
    QVERIFY(!QFile::exists(dir.filePath("pwned")));
}

QTEST_GUILESS_MAIN(TestChosenBrowserStart)
#include "tst_chosenbrowserstart.moc"
