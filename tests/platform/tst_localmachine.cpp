#include "platform/linux/DesktopShell.h"
#include "platform/linux/LinuxLocalMachine.h"

#include <QTest>
#include <limits>
#include <unistd.h>

using namespace clipvane;

class TstLocalMachine : public QObject {
    Q_OBJECT
private slots:
    void statm_data() {
        QTest::addColumn<QByteArray>("statm");
        QTest::addColumn<qint64>("bytes"); // -1: unreadable
        QTest::newRow("usual") << QByteArray("12345 3000 800 10 0 900 0\n") << qint64(3000 * 4096);
        QTest::newRow("no resident field") << QByteArray("12345\n") << qint64(-1);
        QTest::newRow("not a number") << QByteArray("12345 x 800\n") << qint64(-1);
        QTest::newRow("negative") << QByteArray("12345 -3 800\n") << qint64(-1);
        QTest::newRow("empty") << QByteArray() << qint64(-1);
        QTest::newRow("would overflow") << QByteArray("1 18446744073709551615 1\n") << qint64(-1);
    }
    void statm() {
        QFETCH(QByteArray, statm);
        QFETCH(qint64, bytes);
        const std::optional<quint64> got = residentBytesFromStatm(statm, 4096);
        QCOMPARE(got.has_value(), bytes >= 0);
        if (got)
            QCOMPARE(qint64(*got), bytes);
    }

    void thisProcess() {
        LinuxLocalMachine machine;
        const std::optional<quint64> rss = machine.residentSetBytes();
        QVERIFY(rss.has_value());
        QVERIFY(*rss > 1024 * 1024); // a Qt process holds more than a megabyte
        QVERIFY(*rss % quint64(::sysconf(_SC_PAGESIZE)) == 0);
        char name[256] = {};
        QCOMPARE(::gethostname(name, sizeof name - 1), 0);
        QCOMPARE(machine.hostName(), QString::fromLocal8Bit(name));
    }

    // Only mail addresses go to the mail handler, only web addresses to the browser; refused ones never
    // reach the desktop.
    void shellRefusesOtherSchemes_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("web address") << "http://www.example.org/";
        QTest::newRow("local file") << "file:///etc/passwd";
        QTest::newRow("program") << "/usr/bin/xterm";
        QTest::newRow("mailto with a blank") << "mailto:a b@example.org";
        QTest::newRow("mailto in the middle") << "x-mailto:a@example.org";
        QTest::newRow("empty") << "";
    }
    void shellRefusesOtherSchemes() {
        QFETCH(QString, address);
        DesktopShell shell;
        QVERIFY(!shell.openMailTo(address));
    }
    void shellOpensOnlyWebAddresses() {
        DesktopShell shell;
        QVERIFY(!shell.openUrl(QUrl(QStringLiteral("mailto:a@example.org"))));
        QVERIFY(!shell.openUrl(QUrl(QStringLiteral("file:///etc/passwd"))));
    }
};

QTEST_GUILESS_MAIN(TstLocalMachine)
#include "tst_localmachine.moc"
