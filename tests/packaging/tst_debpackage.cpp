// The Debian package built by CPack from this build: control fields and file list.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray output(const QString& program, const QStringList& args, int* exitCode,
                  const QString& folder = {}) {
    QProcess p;
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, args);
    if (!p.waitForFinished(300000)) {
        *exitCode = -1;
        return p.readAllStandardError();
    }
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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
                             "/usr/share/applications/" + id + ".desktop",
                             "/usr/share/metainfo/" + id + ".metainfo.xml",
                             "/usr/share/icons/hicolor/scalable/apps/" + id + ".svg"};
        for (const QString& s : QStringLiteral(CLIPVANE_ICON_SIZES).split(u' '))
            expected << QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/").arg(s) + id + ".png";
        if (QFileInfo::exists(QStringLiteral(CLIPVANE_SOURCE_DIR "/LICENSE")))
            expected << QStringLiteral("/usr/share/doc/clipvane/copyright");
        files.sort();
        expected.sort();
        QCOMPARE(files, expected);
    }
};

QTEST_GUILESS_MAIN(TstDebPackage)
#include "tst_debpackage.moc"
