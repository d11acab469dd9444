#include "platform/linux/LazyHttpClient.h"

#include <QTcpServer>
#include <QTest>

using namespace clipvane;

class TstLazyHttp : public QObject {
    Q_OBJECT
private slots:
    void loadsTheModuleOnFirstUse() {
        LazyHttpClient http({QStringLiteral("/nonexistent"), QStringLiteral(CLIPVANE_MODULE_DIR)});
        QVERIFY(!http.isLoaded());
        // A port nobody listens on: the request fails, but only after the module answered it.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        const HttpStatusResult r = http.fetchStatus({QStringLiteral("http://127.0.0.1:%1/").arg(port), "a", {}, 20});
        QVERIFY(http.isLoaded());
        QVERIFY(!r.ok);
    }

    void withoutTheModuleEveryRequestFails() {
        LazyHttpClient http({QStringLiteral("/nonexistent")});
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("HTTP module could not be loaded"));
        QVERIFY(!http.fetchStatus({QStringLiteral("http://127.0.0.1:1/"), "a", {}, 20}).ok);
        QVERIFY(!http.get({QStringLiteral("http://127.0.0.1:1/"), 10, false}).ok); // warned once only
        QVERIFY(!http.isLoaded());
    }
};

QTEST_GUILESS_MAIN(TstLazyHttp)
#include "tst_lazyhttp.moc"
