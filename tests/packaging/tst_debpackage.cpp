// The Debian package built by CPack from this build: control fields, file list, manual page, changelog and
// what lintian says of it.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray output(const QString& program, const QStringList& args, int* exitCode, const QString& folder = {},
                  QByteArray* errors = nullptr) {
    QProcess p;
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(300000)) {
        *exitCode = -1;
        return p.readAllStandardError();
    }
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (errors) {
        *errors = p.readAllStandardError();
        return p.readAllStandardOutput();
    }
    return p.readAllStandardOutput() + p.readAllStandardError();
}

QByteArray field(const QByteArray& control, const QByteArray& name) {
    for (const QByteArray& line : control.split('\n'))
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2).trimmed();
    return {};
}

} // namespace

class TstDebPackage : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_deb;
    QString m_unpacked; // the package's files, extracted

    QByteArray gunzip(const QString& path) {
        int code = 0;
        const QByteArray text = output(QStringLiteral("gzip"), {QStringLiteral("-dc"), path}, &code);
        return code == 0 ? text : QByteArray();
    }

private slots:
    void initTestCase() {
        for (const char* tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QFAIL(qPrintable(
                    QStringLiteral("%1 is missing: run scripts/dev test").arg(QLatin1String(tool))));
        // Built in a folder of the test's own: a package the user made in the build folder stays as it is.
        int code = 0;
        const QByteArray log =
            output(QStringLiteral("cpack"),
                   {QStringLiteral("--config"), QStringLiteral(CLIPVANE_BUILD_DIR "/CPackConfig.cmake"),
                    QStringLiteral("-B"), m_work.path()},
                   &code, m_work.path());
        QVERIFY2(code == 0, log.constData());
        const QStringList debs = QDir(m_work.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = QDir(m_work.path()).filePath(debs.first());
        m_unpacked = m_work.filePath(QStringLiteral("unpacked"));
        const QByteArray unpack =
            output(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, m_unpacked}, &code);
        QVERIFY2(code == 0, unpack.constData());
    }

    void controlFields() {
        int code = 0;
        const QByteArray arch =
            output(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}, &code).trimmed();
        QCOMPARE(QFileInfo(m_deb).fileName(),
                 QStringLiteral("clipvane_" CLIPVANE_VERSION "_") + QString::fromLatin1(arch) + ".deb");
        const QByteArray control =
            output(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), m_deb}, &code);
        QCOMPARE(code, 0);
        QCOMPARE(field(control, "Package"), QByteArray("clipvane"));
        QCOMPARE(field(control, "Version"), QByteArray(CLIPVANE_VERSION));
        QCOMPARE(field(control, "Section"), QByteArray("utils"));
        QCOMPARE(field(control, "Architecture"), arch);
        QCOMPARE(field(control, "Maintainer"), QByteArray("Quorbel <author@quorbel.example>"));
        // Computed from the binaries: versioned entries for the C library, Qt and libcurl (only the HTTP
        // module links it), besides the platform plugins Qt loads at run time.
        const QByteArray depends = field(control, "Depends");
        for (const char* want :
             {"libc6 (>= ", "libqt6core6", "libqt6widgets6", "libcurl4", "libxcb1", "qt6-qpa-plugins"})
            QVERIFY2(depends.contains(want), depends.constData());
        QVERIFY(!field(control, "Description").isEmpty());
        // Debian's limit on the lines of the description.
        const QByteArray all = control.mid(control.indexOf("\nDescription: ") + 1);
        for (const QByteArray& line : all.split('\n'))
            QVERIFY2(line.size() <= 80, line.constData());
        QVERIFY(all.count("\n ") >= 3); // an extended description below the summary
    }

    // The modules live in a private folder, so nothing needs ldconfig: the package has no maintainer scripts.
    void noMaintainerScripts() {
        int code = 0;
        const QByteArray info = output(QStringLiteral("dpkg-deb"), {QStringLiteral("--info"), m_deb}, &code);
        QCOMPARE(code, 0);
        for (const char* script : {"postinst", "postrm", "preinst", "prerm", "triggers"})
            QVERIFY2(!info.contains(script), info.constData());
    }

    void manualPage() {
        const QString page = m_unpacked + QStringLiteral("/usr/share/man/man1/Clipvane.1.gz");
        QVERIFY(QFileInfo(page).isFile());
        // Rendered as man would, and as lintian checks it: no warnings from the formatter.
        int code = 0;
        QByteArray warnings;
        output(QStringLiteral("man"),
               {QStringLiteral("--warnings"), QStringLiteral("-E"), QStringLiteral("UTF-8"),
                QStringLiteral("-l"), QStringLiteral("-Tutf8"), QStringLiteral("-Z"), page},
               &code, {}, &warnings);
        QCOMPARE(code, 0);
        QVERIFY2(warnings.isEmpty(), warnings.constData());
        const QByteArray text =
            output(QStringLiteral("man"), {QStringLiteral("-l"), page}, &code, {}, &warnings);
        QCOMPARE(code, 0);
        QVERIFY2(warnings.isEmpty(), warnings.constData());
        // The sections a user looks for, the command line and the version of this build.
        for (const char* want : {"NAME", "SYNOPSIS", "OPTIONS", "SHORTCUTS", "FILES", "ENVIRONMENT",
                                 "EXIT STATUS", "EXAMPLES", "--check", "--per-host", "Ctrl+Alt+R",
                                 "Clipvane.ini", "CLIPVANE_WEBSITE_URL", "Clipvane " CLIPVANE_VERSION})
            QVERIFY2(text.contains(want), want);
    }

    // Debian-native style: the package's version heads it, signed by the maintainer.
    void changelog() {
        const QByteArray text = gunzip(m_unpacked + QStringLiteral("/usr/share/doc/clipvane/changelog.gz"));
        QVERIFY(text.startsWith("clipvane (" CLIPVANE_VERSION ") "));
        QVERIFY(text.contains("\n -- Quorbel <author@quorbel.example>  "));
    }

    // What Debian's own checker says, pedantic tags included: no error and no warning.
    void lintian() {
        if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
            QFAIL("lintian is missing: run scripts/dev test");
        int code = 0;
        const QByteArray report =
            output(QStringLiteral("lintian"),
                   {QStringLiteral("--pedantic"), QStringLiteral("--no-tag-display-limit"), m_deb}, &code);
        QByteArrayList faults;
        for (const QByteArray& line : report.split('\n'))
            if (line.startsWith("E: ") || line.startsWith("W: "))
                faults << line;
        QVERIFY2(faults.isEmpty(), faults.join('\n').constData());
    }

    void fileList() {
        int code = 0;
        const QByteArray listing =
            output(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), m_deb}, &code);
        QCOMPARE(code, 0);
        QStringList files;
        for (const QByteArray& line : listing.split('\n')) {
            const qsizetype at = line.indexOf(" ./");
            if (at >= 0 && !line.startsWith('d'))
                files << QString::fromUtf8(line.mid(at + 2));
        }
        const QString id = QStringLiteral(CLIPVANE_APP_ID);
        QStringList expected{QStringLiteral("/usr/" CLIPVANE_BIN_INSTALL_DIR "/Clipvane"),
                             QStringLiteral("/usr/" CLIPVANE_MODULE_INSTALL_DIR "/libclipvane_http.so"),
                             QStringLiteral("/usr/" CLIPVANE_MODULE_INSTALL_DIR "/libclipvane_webengine.so"),
                             "/usr/share/applications/" + id + ".desktop",
                             "/usr/share/metainfo/" + id + ".metainfo.xml",
                             "/usr/share/icons/hicolor/scalable/apps/" + id + ".svg"};
        for (const QString& s : QStringLiteral(CLIPVANE_ICON_SIZES).split(u' '))
            expected << QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/").arg(s) + id + ".png";
        expected << QStringLiteral("/usr/share/man/man1/Clipvane.1.gz")
                 << QStringLiteral("/usr/share/doc/clipvane/changelog.gz");
        if (QFileInfo::exists(QStringLiteral(CLIPVANE_SOURCE_DIR "/LICENSE")))
            expected << QStringLiteral("/usr/share/doc/clipvane/copyright");
        files.sort();
        expected.sort();
        QCOMPARE(files, expected);
    }
};

QTEST_GUILESS_MAIN(TstDebPackage)
#include "tst_debpackage.moc"
