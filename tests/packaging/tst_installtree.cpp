// `cmake --install` into a temporary DESTDIR: the tree a package or a user's prefix gets, checked with the
// desktop's own validators, and the installed executable run from it, read-only, as an installed copy runs.
#include "LocalHttpServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using clipvane::test::LocalHttpServer;
using clipvane::test::ScriptedReply;

namespace {

const QString appId = QStringLiteral(CLIPVANE_APP_ID);

struct Run {
    int exitCode = -1;
    QByteArray output;
};

Run run(const QString& program, const QStringList& args, const QProcessEnvironment& env = {}) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return {-1, "did not finish: " + p.readAll()};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll()};
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstInstallTree : public QObject {
    Q_OBJECT

    QTemporaryDir m_destdir;
    QString m_prefix; // the tree under DESTDIR

    QString installed(const QString& relative) const { return QDir(m_prefix).filePath(relative); }

private slots:
    void initTestCase() {
        QVERIFY(m_destdir.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), m_destdir.path());
        const Run install = run(QStringLiteral("cmake"),
                                {QStringLiteral("--install"), QStringLiteral(CLIPVANE_BUILD_DIR),
                                 QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                env);
        QVERIFY2(install.exitCode == 0, install.output.constData());
        m_prefix = m_destdir.path() + QStringLiteral("/usr");
    }

    void layout() {
        const QFileInfo exe(installed(QStringLiteral(CLIPVANE_BIN_INSTALL_DIR "/Clipvane")));
        QVERIFY(exe.isFile() && exe.isExecutable());
        QVERIFY(QFileInfo(installed(QStringLiteral(CLIPVANE_MODULE_INSTALL_DIR "/libclipvane_http.so")))
                    .isFile());
        QVERIFY(QFileInfo::exists(installed("share/applications/" + appId + ".desktop")));
        QVERIFY(QFileInfo::exists(installed("share/metainfo/" + appId + ".metainfo.xml")));
        QVERIFY(QFileInfo::exists(installed("share/icons/hicolor/scalable/apps/" + appId + ".svg")));
        // The licence goes with every installed copy once the project has one.
        QCOMPARE(QFileInfo::exists(installed(QStringLiteral("share/doc/clipvane/copyright"))),
                 QFileInfo::exists(QStringLiteral(CLIPVANE_SOURCE_DIR "/LICENSE")));
        // Nothing else lands beside the executable: the modules have their private folder.
        QCOMPARE(QDir(exe.absolutePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Clipvane")});
    }

    void menuEntry() {
        if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
            QFAIL("desktop-file-validate is missing (desktop-file-utils): run scripts/dev test");
        const QString path = installed("share/applications/" + appId + ".desktop");
        const Run check = run(QStringLiteral("desktop-file-validate"), {path});
        QVERIFY2(check.exitCode == 0 && !check.output.contains("error"), check.output.constData());
        const QByteArray entry = readAll(path);
        // The icon and the quoting of the options page's desktop shortcut.
        QVERIFY(entry.contains("\nIcon=" + appId.toUtf8() + "\n"));
        QVERIFY2(entry.contains("\nExec=\"Clipvane\"\n"), entry.constData());
        QVERIFY(entry.contains("\nStartupWMClass=Clipvane\n"));
    }

    void softwareCentreMetadata() {
        if (QStandardPaths::findExecutable(QStringLiteral("appstreamcli")).isEmpty())
            QFAIL("appstreamcli is missing (appstream): run scripts/dev test");
        const QString path = installed("share/metainfo/" + appId + ".metainfo.xml");
        const Run check = run(QStringLiteral("appstreamcli"),
                              {QStringLiteral("validate"), QStringLiteral("--no-net"), path});
        QVERIFY2(check.exitCode == 0, check.output.constData());
        const QByteArray xml = readAll(path);
        QVERIFY(xml.contains("<id>" + appId.toUtf8() + "</id>"));
        QVERIFY(xml.contains("<release version=\"" CLIPVANE_VERSION "\""));
        // More than one paragraph: software centres show the first as a teaser.
        QVERIFY(xml.count("<p>") >= 2);
        // Screenshots would have to be on the web; there are none there, so none are named.
        QVERIFY(!xml.contains("<screenshot"));
        QVERIFY(xml.contains("<content_rating type=\"oars-1.1\""));
        QVERIFY(xml.contains("<launchable type=\"desktop-id\">" + appId.toUtf8() + ".desktop</launchable>"));
    }

    void iconSizes() {
        for (const QString& s : QStringLiteral(CLIPVANE_ICON_SIZES).split(u' ')) {
            const int size = s.toInt();
            const QString path =
                installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size) + appId + ".png");
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), QSize(size, size));
            // Drawn, not blank: the middle of the icon is opaque.
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
            // Small sizes come from the drawing made for them: the full one runs together there.
            QSvgRenderer drawing(QStringLiteral(CLIPVANE_SOURCE_DIR "/resources/icons/") +
                                 (size <= 24 ? "clipvane-small.svg" : "clipvane.svg"));
            QImage expected(size, size, QImage::Format_ARGB32_Premultiplied);
            expected.fill(Qt::transparent);
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::Antialiasing);
            drawing.render(&painter, QRectF(0, 0, size, size));
            painter.end();
            QVERIFY2(image.convertToFormat(QImage::Format_ARGB32) ==
                         expected.convertToFormat(QImage::Format_ARGB32),
                     qPrintable(path));
        }
    }

    // The installed copy started from the read-only tree: it captures a copied address, loads its HTTP module
    // from the tree and keeps its files in the per-user data folder.
    void runsFromReadOnlyTree() {
        for (const char* tool : {"xclip", "xdotool"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
        if (::geteuid() == 0 &&
            run(QStringLiteral("unshare"), {QStringLiteral("-m"), QStringLiteral("true")}).exitCode != 0)
            QSKIP("running as root without mount namespaces: the tree cannot be made read-only");

        LocalHttpServer server;
        QVERIFY(server.isListening());
        server.on("/json", ScriptedReply::withStatus(200, R"({"ip":"192.0.2.7"})"));
        server.on("/copied-page", ScriptedReply::withStatus(200, "<html></html>"));
        const QString copied = server.url(QStringLiteral("/copied-page"));

        QTemporaryDir data;
        QTemporaryDir config;
        // The history is written at exit when the user asked for it.
        const QString appData = data.filePath(QStringLiteral("Clipvane"));
        QVERIFY(QDir().mkpath(appData));
        QFile ini(QDir(appData).filePath(QStringLiteral("Clipvane.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Captured History]\r\nSave on exiting the software=1\r\n");
        ini.close();

        const QString exe = installed(QStringLiteral(CLIPVANE_BIN_INSTALL_DIR "/Clipvane"));
        QProcess app;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        env.insert(QStringLiteral("CLIPVANE_PUBLIC_IP_URL"), server.url(QStringLiteral("/json")));
        env.remove(QStringLiteral("LD_LIBRARY_PATH"));
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        const bool asRoot = ::geteuid() == 0;
        if (asRoot) {
            // Root writes through permissions: a read-only bind mount of the tree, in a mount namespace of
            // its own.
            app.start(
                QStringLiteral("unshare"),
                {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral(
                     "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" \"$0\" && exec \"$1\""),
                 m_destdir.path(), exe});
        } else {
            QVERIFY(
                run(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a-w"), m_destdir.path()})
                    .exitCode == 0);
            app.start(exe, {});
        }
        auto cleanup = qScopeGuard([&] {
            if (app.state() != QProcess::NotRunning) {
                app.kill();
                app.waitForFinished();
            }
            if (!asRoot)
                run(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), m_destdir.path()});
        });
        QVERIFY(app.waitForStarted());

        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                      QStringLiteral("--name"), QStringLiteral("^Clipvane$")});
        QVERIFY(search.waitForFinished(30000));
        QVERIFY2(!search.readAllStandardOutput().trimmed().isEmpty(), "no visible window titled Clipvane");

        QProcess copier;
        copier.start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                               QStringLiteral("clipboard"), QStringLiteral("-i")});
        QVERIFY(copier.waitForStarted());
        copier.write(copied.toUtf8());
        copier.closeWriteChannel();
        auto stopCopier = qScopeGuard([&] {
            copier.kill();
            copier.waitForFinished();
        });

        // The copied address was checked online, through the module in the tree.
        QTRY_VERIFY_WITH_TIMEOUT(!server.requestsFor("/copied-page").isEmpty(), 20000);
        const QByteArray maps = readAll(QStringLiteral("/proc/%1/maps").arg(app.processId()));
        QVERIFY2(maps.contains(QFile::encodeName(
                     installed(QStringLiteral(CLIPVANE_MODULE_INSTALL_DIR "/libclipvane_http.so")))),
                 "the HTTP module was not loaded from the installed tree");
        QVERIFY(!maps.contains(CLIPVANE_BUILD_DIR));

        // Ended as the desktop ends a session: the usual close steps run and write the history.
        QTest::qWait(500);
        app.terminate();
        QVERIFY(app.waitForFinished(20000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        const QByteArray history = readAll(QDir(appData).filePath(QStringLiteral("Capture History.csv")));
        QVERIFY2(history.contains(copied.toUtf8()), history.constData());
        QVERIFY(QDir(installed(QStringLiteral(CLIPVANE_BIN_INSTALL_DIR))).entryList(QDir::Files) ==
                QStringList{QStringLiteral("Clipvane")});
    }
};

QTEST_GUILESS_MAIN(TstInstallTree)
#include "tst_installtree.moc"
