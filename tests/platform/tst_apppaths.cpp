// Where a copy keeps its files: beside a portable copy, in the per-user folders for an installed one,
// and the one-time move of what an earlier version left elsewhere.
#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;

namespace {

void touch(const QString& path, const QByteArray& bytes = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TstAppPaths : public QObject {
    Q_OBJECT
private slots:
    void installedTreeUsesTheUserFolders_data() {
        QTest::addColumn<QString>("exe");          // relative to the temporary folder
        QTest::addColumn<QString>("moduleFolder"); // made beside it; empty: none
        QTest::addColumn<bool>("installed");
        QTest::newRow("PREFIX/bin with PREFIX/lib/clipvane") << "usr/bin/Clipvane"
                                                             << "usr/lib/clipvane" << true;
        QTest::newRow("PREFIX/bin with PREFIX/lib/<arch>/clipvane")
            << "opt/x/bin/Clipvane"
            << "opt/x/lib/x86_64-linux-gnu/clipvane" << true;
        QTest::newRow("PREFIX/bin with PREFIX/lib64/clipvane") << "p/bin/Clipvane"
                                                               << "p/lib64/clipvane" << true;
        QTest::newRow("portable: a folder of its own") << "tools/Clipvane"
                                                       << "" << false;
        QTest::newRow("portable: bin without the module folder") << "stick/bin/Clipvane"
                                                                 << "stick/lib/other" << false;
        QTest::newRow("portable: module folder not beside a bin") << "apps/Clipvane"
                                                                  << "lib/clipvane" << false;
    }
    void installedTreeUsesTheUserFolders() {
        QFETCH(QString, exe);
        QFETCH(QString, moduleFolder);
        QFETCH(bool, installed);
        QTemporaryDir root;
        const QString exePath = root.filePath(exe);
        touch(exePath);
        if (!moduleFolder.isEmpty())
            QVERIFY(QDir().mkpath(root.filePath(moduleFolder)));
        const AppPaths paths(exePath, root.filePath("home/.local/share/Clipvane"),
                             root.filePath("home/.config/Clipvane"));
        QCOMPARE(paths.isInstalledCopy(), installed);
        const QString exeFolder = QFileInfo(exePath).absolutePath();
        QCOMPARE(paths.iniPath(), installed ? root.filePath("home/.config/Clipvane/Clipvane.ini")
                                            : exeFolder + "/Clipvane.ini");
        QCOMPARE(paths.defaultListPath(), installed
                                              ? root.filePath("home/.local/share/Clipvane/Clipvane.list")
                                              : exeFolder + "/Clipvane.list");
        QCOMPARE(paths.historyPath(), installed
                                          ? root.filePath("home/.local/share/Clipvane/Capture History.csv")
                                          : exeFolder + "/Capture History.csv");
        if (installed)
            QVERIFY(QFileInfo(root.filePath("home/.config/Clipvane")).isDir());
    }

    // Root can write /usr/bin: a system program folder is an installed place all the same.
    void systemProgramFolderIsInstalled() {
        const AppPaths paths("/usr/bin/Clipvane", "/nonexistent/data", "/nonexistent/config");
        QVERIFY(paths.isInstalledCopy());
    }

    // The preference file an installed copy kept in the user data folder, and what a copy run as root left
    // beside the executable, move once to the new places; a file already there is never overwritten.
    void oldFilesMoveOnce() {
        QTemporaryDir root;
        const QString exe = root.filePath("usr/bin/Clipvane");
        touch(exe);
        QVERIFY(QDir().mkpath(root.filePath("usr/lib/clipvane")));
        const QString data = root.filePath("data/Clipvane");
        const QString config = root.filePath("config/Clipvane");
        touch(data + "/Clipvane.ini", "old ini");
        touch(root.filePath("usr/bin/Capture History.csv"), "root's history");
        touch(root.filePath("usr/bin/Clipvane.list"), "root's list");
        touch(data + "/Clipvane.list", "the user's list");
        const AppPaths paths(exe, data, config);
        const QStringList moved = paths.adoptOldFiles();
        QCOMPARE(moved.size(), 2);
        auto read = [](const QString& p) {
            QFile f(p);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QCOMPARE(read(config + "/Clipvane.ini"), QByteArray("old ini"));
        QVERIFY(!QFile::exists(data + "/Clipvane.ini"));
        QCOMPARE(read(data + "/Capture History.csv"), QByteArray("root's history"));
        QVERIFY(!QFile::exists(root.filePath("usr/bin/Capture History.csv")));
        // Both lists kept: the one in the new place stays, the old one is left where it was.
        QCOMPARE(read(data + "/Clipvane.list"), QByteArray("the user's list"));
        QCOMPARE(read(root.filePath("usr/bin/Clipvane.list")), QByteArray("root's list"));
        QVERIFY(paths.adoptOldFiles().isEmpty());
    }

    void portableCopyMovesNothing() {
        QTemporaryDir root;
        const QString exe = root.filePath("Clipvane");
        touch(exe);
        touch(root.filePath("data/Clipvane.ini"), "user's ini");
        const AppPaths paths(exe, root.filePath("data"), root.filePath("config"));
        QVERIFY(paths.adoptOldFiles().isEmpty());
        QVERIFY(QFile::exists(root.filePath("data/Clipvane.ini")));
        QCOMPARE(paths.iniPath(), root.filePath("Clipvane.ini"));
    }
};

QTEST_GUILESS_MAIN(TstAppPaths)
#include "tst_apppaths.moc"
