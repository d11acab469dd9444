#include "TempAppFolder.h"
#include "platform/linux/XdgDesktopShortcut.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace clipvane;
using clipvane::test::TempAppFolder;

class TstDesktopShortcut : public QObject {
    Q_OBJECT

private slots:
    void createdOnceAndExecutable();
    void pathsThatCouldSplitTheCommand();
    void noDesktopFolder();
    void xdgDesktopFolder_data();
    void xdgDesktopFolder();
};

void TstDesktopShortcut::createdOnceAndExecutable() {
    TempAppFolder desktop;
    XdgDesktopShortcut shortcut(desktop.path());
    const ShortcutRequest request{QStringLiteral("Clipvane"), QStringLiteral("Description ..."),
                                  QStringLiteral("/opt/clipvane/Clipvane"), QStringLiteral("/opt/clipvane/")};
    QCOMPARE(shortcut.create(request), DesktopShortcut::Result::Created);
    const QString path = desktop.file(QStringLiteral("Clipvane.desktop"));
    QCOMPARE(desktop.read(QStringLiteral("Clipvane.desktop")), QByteArray("[Desktop Entry]\n"
                                                                          "Type=Application\n"
                                                                          "Version=1.0\n"
                                                                          "Name=Clipvane\n"
                                                                          "Comment=Description ...\n"
                                                                          "Exec=\"/opt/clipvane/Clipvane\"\n"
                                                                          "TryExec=/opt/clipvane/Clipvane\n"
                                                                          "Path=/opt/clipvane/\n"
                                                                          "Icon=example.quorbel.Clipvane\n"
                                                                          "Terminal=false\n"
                                                                          "Categories=Utility;\n"));
    QVERIFY(QFile::permissions(path) & QFile::ExeOwner);
    QVERIFY(QFile::permissions(path) & QFile::ExeOther);

    // A second request never replaces what is there, whatever it holds.
    desktop.write(QStringLiteral("Clipvane.desktop"), "mine");
    QCOMPARE(shortcut.create(request), DesktopShortcut::Result::AlreadyThere);
    QCOMPARE(desktop.read(QStringLiteral("Clipvane.desktop")), QByteArray("mine"));
    QCOMPARE(QDir(desktop.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TstDesktopShortcut::pathsThatCouldSplitTheCommand() {
    const ShortcutRequest request{QStringLiteral("Clip vane"), QStringLiteral(" lead"),
                                  QStringLiteral("/home/a b/$HOME/\"q\"/100%/back\\slash/`x`/Clipvane"),
                                  QStringLiteral("/home/a b/")};
    const QString entry = QString::fromUtf8(XdgDesktopShortcut::desktopEntry(request));
    // Quoted as one argument; the characters a shell-like reading would act on are escaped, "%" doubled,
    // and the backslashes of that quoting escaped again as the string rules of the entry require.
    QVERIFY2(entry.contains(QStringLiteral("Exec=\"/home/a b/\\\\$HOME/\\\\\"q\\\\\"/100%%/back\\\\\\\\slash/"
                                           "\\\\`x\\\\`/Clipvane\"\n")),
             qPrintable(entry));
    QVERIFY(entry.contains(QStringLiteral("Comment=\\slead\n")));
    QVERIFY(entry.contains(QStringLiteral("Name=Clip vane\n")));
}

void TstDesktopShortcut::noDesktopFolder() {
    TempAppFolder folder;
    XdgDesktopShortcut missing(folder.file(QStringLiteral("Desktop")));
    const ShortcutRequest request{QStringLiteral("Clipvane"), QStringLiteral("Description ..."),
                                  QStringLiteral("/x/Clipvane"), QStringLiteral("/x/")};
    QCOMPARE(missing.create(request), DesktopShortcut::Result::NoDesktopFolder);
    QVERIFY(!QFile::exists(folder.file(QStringLiteral("Desktop"))));
}

void TstDesktopShortcut::xdgDesktopFolder_data() {
    QTest::addColumn<QByteArray>("userDirs");
    QTest::addColumn<QString>("folder");
    const QString home = QStringLiteral("/home/ann");
    QTest::newRow("no file") << QByteArray() << home + "/Desktop";
    QTest::newRow("as written by xdg-user-dirs-update") << QByteArray("# written by xdg-user-dirs-update\n"
                                                                      "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                                                                      "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n")
                                                        << home + "/Bureau";
    QTest::newRow("absolute, UTF-8, escaped quote")
        << QByteArray("XDG_DESKTOP_DIR=\"/data/Schreibtisch \\\"\xc3\xa4\\\"\"\n")
        << QStringLiteral("/data/Schreibtisch \"\u00e4\"");
    QTest::newRow("the last line wins")
        << QByteArray("XDG_DESKTOP_DIR=\"$HOME/One\"\nXDG_DESKTOP_DIR=\"$HOME/Two\"\n") << home + "/Two";
    QTest::newRow("relative or unquoted lines are not valid")
        << QByteArray("XDG_DESKTOP_DIR=\"Desk\"\nXDG_DESKTOP_DIR=$HOME/Desk\n#XDG_DESKTOP_DIR=\"/x\"\n")
        << home + "/Desktop";
    QTest::newRow("home itself turns it off") << QByteArray("XDG_DESKTOP_DIR=\"$HOME/\"\n") << QString();
    QTest::newRow("$HOMEX is not $HOME") << QByteArray("XDG_DESKTOP_DIR=\"$HOMEX/d\"\n") << home + "/Desktop";
}

void TstDesktopShortcut::xdgDesktopFolder() {
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, folder);
    QCOMPARE(XdgDesktopShortcut::xdgDesktopFolder(userDirs, QStringLiteral("/home/ann")), folder);
}

QTEST_GUILESS_MAIN(TstDesktopShortcut)
#include "tst_desktopshortcut.moc"
