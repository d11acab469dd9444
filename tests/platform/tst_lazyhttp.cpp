#include "platform/linux/LazyHttpClient.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;

namespace {

// A port nobody listens on: a request fails, but only after the module (when loaded) answered it.
QString deadUrl() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return QStringLiteral("http://127.0.0.1:1/");
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

const QString kModule = QStringLiteral(CLIPVANE_MODULE_DIR "/libclipvane_http.so");

} // namespace

class TstLazyHttp : public QObject {
    Q_OBJECT
private slots:
    // The module is found relative to the executable in a build tree and in an installed tree alike;
    // when it cannot be loaded, every request fails and the handler hears of it once.
    void findsTheModule_data() {
        QTest::addColumn<QString>("moduleAt"); // relative to the temporary root; empty: nowhere
        QTest::addColumn<bool>("broken");      // a file that is no library
        QTest::addColumn<bool>("buildFolder"); // the build folder compiled in
        QTest::addColumn<bool>("loaded");
        QTest::newRow("beside the executable") << "bin" << false << false << true;
        QTest::newRow("installed tree") << "lib/clipvane" << false << false << true;
        QTest::newRow("build folder compiled in") << "" << false << true << true;
        QTest::newRow("missing") << "" << false << false << false;
        QTest::newRow("not a library") << "bin" << true << false << false;
    }
    void findsTheModule() {
        QFETCH(QString, moduleAt);
        QFETCH(bool, broken);
        QFETCH(bool, buildFolder);
        QFETCH(bool, loaded);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin"));
        if (!moduleAt.isEmpty()) {
            QVERIFY(QDir(root.path()).mkpath(moduleAt));
            const QString target = root.filePath(moduleAt + "/libclipvane_http.so");
            if (broken) {
                QFile f(target);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write("not a library");
            } else {
                QVERIFY(QFile::copy(kModule, target));
            }
        }
        QList<QPair<QString, QString>> told;
        LazyHttpClient http(LazyHttpClient::moduleFolders(root.filePath("bin"), "../lib/clipvane",
                                                          buildFolder ? CLIPVANE_MODULE_DIR : QString()),
                            [&](const QString& status, const QString& report) {
                                told.append({status, report});
                            });
        if (!loaded)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression("HTTP module libclipvane_http could not be"));
        QVERIFY(!http.fetchStatus({deadUrl(), "a", {}, 20}).ok);
        QVERIFY(!http.get({deadUrl(), 10, false}).ok);
        QCOMPARE(http.isLoaded(), loaded);
        QCOMPARE(told.size(), loaded ? 0 : 1);
        if (!loaded) {
            QCOMPARE(told[0].first, QString(kHttpModuleMissingStatus));
            QVERIFY(told[0].second.contains(QDir::cleanPath(root.filePath("lib/clipvane"))));
            QCOMPARE(
                told[0].second.contains("\r\nCannot load library " + root.filePath("bin/libclipvane_http")),
                broken);
        }
    }

    // Time-outs given before the first request make the module's client: a silent server ends the
    // request within them, not the defaults' 15 s.
    void timeoutsReachTheModule() {
        QTcpServer silent; // accepted by the kernel, never answered
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        LazyHttpClient http(QStringList{QFileInfo(kModule).absolutePath()});
        HttpTimeouts t;
        t.connect = std::chrono::milliseconds(500);
        t.idle = std::chrono::milliseconds(500);
        t.total = std::chrono::milliseconds(500);
        http.setTimeouts(t);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(
            !http.fetchStatus({QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort()), "a", {}, 20})
                 .ok);
        QVERIFY(http.isLoaded());
        QVERIFY2(clock.elapsed() < 5000, "the request waited out the default time-outs");
    }
};

QTEST_GUILESS_MAIN(TstLazyHttp)
#include "tst_lazyhttp.moc"
