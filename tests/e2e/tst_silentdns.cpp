// Start-up with a default route and a DNS server that never answers (run by scripts/with-silent-dns):
// the main window shows at once and the public address waits off the GUI thread.
#include "app/Application.h"
#include "app/LinuxPlatform.h"
#include "platform/Connectivity.h"
#include "sysinfo/AddressWatch.h"
#include "ui/Main/MainWindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace clipvane;

class TstSilentDns : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QFile conf("/etc/resolv.conf");
        if (!conf.open(QIODevice::ReadOnly) || conf.readAll().trimmed() != "nameserver 127.0.0.1")
            QSKIP("not inside scripts/with-silent-dns");
        // The DNS server: a socket on port 53 that takes the questions and never answers.
        m_dns = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(53);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QCOMPARE(::bind(m_dns, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        // A name to resolve, never the Internet.
        qputenv("CLIPVANE_PUBLIC_IP_URL", "http://echo.silent-dns.example/json");
    }
    void cleanupTestCase() {
        if (m_dns >= 0)
            ::close(m_dns);
    }

    void mainWindowShowsWhileTheAddressWaits() {
        LinuxPlatform platform;
        Services services = platform.services();
        QTemporaryDir folder;
        services.platform.paths = AppPaths(folder.filePath("Clipvane"), QString());
        QVERIFY(services.platform.connectivity->isInternetConnected());
        ClipvaneApp app(services);
        QElapsedTimer clock;
        clock.start();
        app.createWindows();
        app.showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(app.mainWindow(), 5000));
        const qint64 shown = clock.elapsed();
        // The resolver holds the request for many seconds; the window did not wait for it.
        QVERIFY2(shown < 3000, qPrintable(QString("the window took %1 ms").arg(shown)));
        QVERIFY(app.mainWindow()->addressWatch().requestPending());
        QCOMPARE(app.mainWindow()->statusPanelText(6), QString());
        // And the window keeps answering while the request waits.
        QElapsedTimer idle;
        idle.start();
        QTest::qWait(500);
        QVERIFY(idle.elapsed() < 1500);
        QVERIFY(app.mainWindow()->addressWatch().requestPending());
    }

private:
    int m_dns = -1;
};

QTEST_MAIN(TstSilentDns)
#include "tst_silentdns.moc"
