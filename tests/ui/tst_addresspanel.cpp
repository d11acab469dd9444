#include "FindControl.h"
#include "MainWindowRig.h"
#include "core/ExternalAddresses.h"

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

using namespace clipvane;
using namespace clipvane::test;

namespace {

HttpGetResult reply(int status, const QByteArray& body, bool ok = true) {
    return {ok, status, body};
}

} // namespace

// The main window alone over the doubles: its public address panel and timers follow the address watch.
class TstAddressPanel : public QObject {
    Q_OBJECT
private slots:
    // The main window: panel 6 and the timers follow the watch, on the real timers.
    void statusBarFollowsTheConnection() {
        AppFixture app;
        const QString service = ExternalAddresses::fromEnvironment().publicIpService;
        app.connectivity.connected = true;
        app.http.replies[service] = reply(200, "{\"ip\":\"203.0.113.7\"}");
        MainWindowRig rig(app);
        MainWindow& f = rig.window;
        f.FormCreate();
        QCOMPARE(f.statusPanelText(5), QString("IP:"));
        QTRY_COMPARE(f.statusPanelText(6), QString("203.0.113.7"));
        QVERIFY(ctl<QTimer>(f, "Timer2")->isActive());
        QVERIFY(!ctl<QTimer>(f, "Timer1")->isActive());

        app.connectivity.connected = false;
        app.http.replies.remove(service);
        QTRY_COMPARE_WITH_TIMEOUT(f.statusPanelText(6), QString("Disconnected"), 3000);
        QVERIFY(ctl<QTimer>(f, "Timer1")->isActive());

        app.connectivity.connected = true;
        app.http.replies[service] = reply(200, "{\"ip\":\"198.51.100.4\"}");
        QTRY_COMPARE_WITH_TIMEOUT(f.statusPanelText(6), QString("198.51.100.4"), 4000);
        QTRY_VERIFY_WITH_TIMEOUT(!ctl<QTimer>(f, "Timer1")->isActive(), 3000);
        QVERIFY(ctl<QTimer>(f, "Timer2")->isActive());
    }

    // An echo service answering markup: no address, so the panel says so, as plain text.
    void panelShowsTheAnswerAsText() {
        AppFixture app;
        app.connectivity.connected = true;
        app.http.replies[ExternalAddresses::fromEnvironment().publicIpService] =
            reply(200, "{\"ip\":\"<b>1.2.3.4</b>\"}");
        MainWindowRig rig(app);
        rig.window.FormCreate();
        auto* panel = ctl<QStatusBar>(rig.window, "SBMain")->findChild<QLabel*>("SBMainPanel6");
        QVERIFY(panel);
        // The address now arrives from a worker thread, after the window is up.
        QTRY_COMPARE(panel->text(), QString("N/A"));
        QCOMPARE(panel->textFormat(), Qt::PlainText);
    }
};

QTEST_MAIN(TstAddressPanel)
#include "tst_addresspanel.moc"
