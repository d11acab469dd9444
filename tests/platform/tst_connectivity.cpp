#include "platform/linux/LinuxConnectivity.h"

#include <QProcess>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <sched.h>

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

// One line of /proc/net/ipv6_route.
QByteArray route6(const QByteArray& destination, const QByteArray& prefix, const QByteArray& flags,
                  const QByteArray& device) {
    return destination + ' ' + prefix + " 00000000000000000000000000000000 00 " +
           "00000000000000000000000000000000 00000400 00000001 00000000 " + flags + "      " + device + '\n';
}

const QByteArray kAny6(32, '0');

} // namespace

class TestConnectivity : public QObject {
    Q_OBJECT
private slots:
    void defaultRoute_data();
    void defaultRoute();
    void defaultIPv6Route_data();
    void defaultIPv6Route();
    void followsRealChanges_data();
    void followsRealChanges();
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

void TestConnectivity::defaultIPv6Route_data() {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("connected");
    const QByteArray link = route6("fe800000000000000000000000000000", "40", "00000001", "eth0");
    // What every namespace has: the kernel's unreachable default on lo.
    const QByteArray unreachable = route6(kAny6, "00", "00200200", "lo");
    QTest::newRow("default route, interface up") << link + route6(kAny6, "00", "00000003", "eth0") << true;
    QTest::newRow("default route, interface down") << route6(kAny6, "00", "00000001", "wlan0") << false;
    QTest::newRow("only the kernel's unreachable default") << link + unreachable << false;
    QTest::newRow("default route not up") << route6(kAny6, "00", "00000000", "eth0") << false;
    QTest::newRow("reject route through an interface that is up")
        << route6(kAny6, "00", "00000201", "eth0") << false;
    QTest::newRow("a prefix, not the default") << route6(kAny6, "08", "00000001", "eth0") << false;
    QTest::newRow("no final break, after junk")
        << "junk\n\x01 00\n" + unreachable + route6(kAny6, "00", "zz", "eth0") +
               route6(kAny6, "00", "00000001", "eth0").chopped(1)
        << true;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestConnectivity::defaultIPv6Route() {
    QFETCH(QByteArray, table);
    QFETCH(bool, connected);
    QCOMPARE(
        LinuxConnectivity::hasDefaultIPv6Route(table, [](const QString& iface) { return iface == "eth0"; }),
        connected);
}

namespace {

bool ip(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("ip"), args);
    return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

// The real answer follows a default route that comes and goes, in a network namespace of the test's
// own (this process moves into a fresh one for each case).
void TestConnectivity::followsRealChanges_data() {
    QTest::addColumn<bool>("routeAtStart");
    QTest::addColumn<bool>("ipv6");
    QTest::newRow("started without a route, given one") << false << false;
    QTest::newRow("started with a route, losing it") << true << false;
    // An IPv6-only network: no IPv4 route at all.
    QTest::newRow("IPv6 only, given a route") << false << true;
    QTest::newRow("IPv6 only, losing the route") << true << true;
}

void TestConnectivity::followsRealChanges() {
    QFETCH(bool, routeAtStart);
    QFETCH(bool, ipv6);
    if (::unshare(CLONE_NEWNET) != 0)
        QSKIP(qPrintable(QStringLiteral("no network namespace of our own (needs root): ") +
                         QString::fromLocal8Bit(std::strerror(errno))));
    QVERIFY(ip({"link", "set", "lo", "up"}));
    QString device = QStringLiteral("lo");
    if (ipv6) {
        // IPv6 turns routes through lo into reject routes: a pair of virtual Ethernet ends stands in.
        if (!ip({"link", "add", "cv0", "type", "veth", "peer", "name", "cv1"}))
            QSKIP("no virtual Ethernet pair in this kernel");
        QVERIFY(ip({"link", "set", "cv0", "up"}));
        QVERIFY(ip({"link", "set", "cv1", "up"}));
        device = QStringLiteral("cv0");
    }
    const QString family = ipv6 ? QStringLiteral("-6") : QStringLiteral("-4");
    const QStringList add{family, "route", "add", "default", "dev", device};
    const QStringList del{family, "route", "del", "default", "dev", device};
    if (routeAtStart)
        QVERIFY(ip(add));
    LinuxConnectivity connectivity;
    QTRY_COMPARE_WITH_TIMEOUT(connectivity.isInternetConnected(), routeAtStart, 2000); // a link comes up
    for (int change = 0; change < 2; ++change) {
        const bool nowConnected = (change == 0) != routeAtStart;
        QVERIFY(ip(nowConnected ? add : del));
        QTRY_COMPARE_WITH_TIMEOUT(connectivity.isInternetConnected(), nowConnected, 2000);
        QTest::qWait(1200); // and it stays so
        QCOMPARE(connectivity.isInternetConnected(), nowConnected);
    }
}

QTEST_GUILESS_MAIN(TestConnectivity)
#include "tst_connectivity.moc"
