#include "platform/linux/LinuxConnectivity.h"

#include <QTest>

using namespace clipvane;

namespace {

const QByteArray kHeader =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT"
    "                                                       \n";

// One line as the kernel writes it.
QByteArray route(const QByteArray& iface, const QByteArray& destination, const QByteArray& flags,
                 const QByteArray& mask) {
    return iface + '\t' + destination + "\t010200C0\t" + flags + "\t0\t0\t100\t" + mask +
           "\t0\t0\t0                                                                               \n";
}

} // namespace

class TestConnectivity : public QObject {
    Q_OBJECT
private slots:
    void defaultRoute_data();
    void defaultRoute();
};

void TestConnectivity::defaultRoute_data() {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("upInterfaces");
    QTest::addColumn<bool>("connected");

    const QByteArray local = route("eth0", "000200C0", "0001", "00FFFFFF");
    const QByteArray viaEth0 = route("eth0", "00000000", "0003", "00000000");
    const QStringList eth0Up{"eth0"};

    QTest::newRow("default route, interface up") << kHeader + viaEth0 + local << eth0Up << true;
    QTest::newRow("default route last, no final break")
        << kHeader + local + viaEth0.chopped(1) << eth0Up << true;
    QTest::newRow("default route without gateway (point to point)")
        << kHeader + route("ppp0", "00000000", "0001", "00000000") << QStringList{"ppp0"} << true;
    QTest::newRow("default route, interface down") << kHeader + viaEth0 + local << QStringList() << false;
    QTest::newRow("default route not up")
        << kHeader + route("eth0", "00000000", "0002", "00000000") + local << eth0Up << false;
    QTest::newRow("no default route") << kHeader + local << eth0Up << false;
    QTest::newRow("zero destination with a mask")
        << kHeader + route("eth0", "00000000", "0003", "00FFFFFF") << eth0Up << false;
    QTest::newRow("second default route is the live one")
        << kHeader + viaEth0 + route("wlan0", "00000000", "0003", "00000000") << QStringList{"wlan0"} << true;
    QTest::newRow("malformed lines skipped")
        << kHeader + "garbage\n\n\t\t\neth0 00000000\n" + route("eth0", "00000000", "zz", "00000000") +
               route("eth0", "00000000", "0003", "not-hex") + viaEth0
        << eth0Up << true;
    QTest::newRow("malformed lines only") << kHeader + "eth0 00000000 0003\n\x01\x02\x03\n"
                                          << eth0Up << false;
    QTest::newRow("header only") << kHeader << eth0Up << false;
    QTest::newRow("empty") << QByteArray() << eth0Up << false;
}

void TestConnectivity::defaultRoute() {
    QFETCH(QByteArray, table);
    QFETCH(QStringList, upInterfaces);
    QFETCH(bool, connected);
    QStringList asked;
    const bool result = LinuxConnectivity::hasDefaultRoute(table, [&](const QString& iface) {
        asked.append(iface);
        return upInterfaces.contains(iface);
    });
    QCOMPARE(result, connected);
    // Only interfaces that carry a default route in this table are looked at.
    for (const QString& iface : asked) {
        bool carriesDefault = false;
        for (const QByteArray& line : table.split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 2 && fields[0] == iface.toLatin1() && fields[1] == "00000000")
                carriesDefault = true;
        }
        QVERIFY2(carriesDefault, qPrintable(iface));
    }
}

QTEST_GUILESS_MAIN(TestConnectivity)
#include "tst_connectivity.moc"
