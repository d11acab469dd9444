#include "AppFixture.h"
#include "FindControl.h"
#include "LocalHttpServer.h"
#include "WindowFixture.h"
#include "platform/linux/CurlHttpClient.h"
#include "ui/About/AboutBox.h"
#include "ui/WebUpdate/UpdateWindow.h"
#include "ui/widgets/Hints.h"
#include "update/BuildInfo.h"
#include "update/WebUpdater.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace clipvane;
using namespace clipvane::test;
using namespace std::chrono_literals;

namespace {

const QByteArray kPagePath = "/Quorbel/Cvn.html";

QByteArray pageWith(const QString& version) {
    return "<p>***version***</p>\r\n<p>" + version.toUtf8() + "</p>\r\n";
}

void start(WindowFixture<UpdateWindow>& f) {
    f.make();
}
UpdateWindow& updateWindowOf(WindowFixture<UpdateWindow>& f) {
    return f.window();
}
void start(AppFixture& f) {
    f.start();
}
UpdateWindow& updateWindowOf(AppFixture& f) {
    return *f.app().updateWindow();
}

// The update window on doubles, its HTTP through the real client to the local server; the whole
// application on them where a test comes through another window.
template <typename Fixture> struct RigOn {
    LocalHttpServer server;
    CurlHttpClient http{HttpTimeouts{2000ms, 1000ms, 3000ms}};
    Fixture app;
    RigOn() {
        ExternalAddresses a = ExternalAddresses::fromEnvironment();
        a.website = server.url(QString());
        app.addresses = a;
        app.useHttp(&http);
        app.connectivity.connected = true;
        app.resolver.answers[app.machine.host] = QStringLiteral("192.0.2.44");
        start(app);
    }
    UpdateWindow& w() { return updateWindowOf(app); }
    QString labels() {
        return ctl<QLabel>(w(), "Label7")->text() + QLatin1Char('|') + ctl<QLabel>(w(), "Label8")->text();
    }
    bool idle() {
        return QTest::qWaitFor([&] { return !w().updater().isBusy(); }, 8000);
    }
    // What the window system sends as the window loses and regains the front.
    void deactivate() {
        QEvent e(QEvent::WindowDeactivate);
        QApplication::sendEvent(&w(), &e);
    }
    void activate() {
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(&w(), &e);
    }
};
using Rig = RigOn<WindowFixture<UpdateWindow>>;
using AppRig = RigOn<AppFixture>;

} // namespace

class TstWebUpdate : public QObject {
    Q_OBJECT
private slots:
    void creation() {
        Rig r;
        UpdateWindow& w = r.w();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.windowTitle(), QStringLiteral("Clipvane Web Update"));
        QCOMPARE(w.size(), QSize(501, 296));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(ctl<QLabel>(w, "Label5")->text(), buildEdition().bits);
        QCOMPARE(ctl<QLabel>(w, "Label6")->text(), localVersion());
        QCOMPARE(r.labels(), QStringLiteral("Unknown|Unknown"));
        QCOMPARE(ctl<QLabel>(w, "HintPanel")->text(),
                 QStringLiteral("Here appears all the hints. Hover over a list, button, "
                                "... to display a hint about it"));
        QCOMPARE(r.server.connectionsAccepted(), 0);

        const QList<std::tuple<QToolButton*, int, const char*>> buttons{
            {ctl<QToolButton>(w, "cyCheckUpdate"), 8, "Check on line for update..."},
            {ctl<QToolButton>(w, "cyDownloadUpdate"), 72,
             "Download the latest version of the software with the system default browser"},
            {ctl<QToolButton>(w, "cyCheckLog"), 136,
             "View the web update log with the system default browser"},
            {ctl<QToolButton>(w, "cyClose"), 442, "Close Clipvane Web Update dialog window"}};
        for (const auto& [button, left, hint] : buttons) {
            QCOMPARE(button->x(), left);
            QCOMPARE(button->size(), QSize(48, 48));
            QVERIFY(!button->icon().isNull());
            QCOMPARE(longHintAt(button), QString::fromLatin1(hint));
        }
        QCOMPARE(longHintAt(ctl<QGroupBox>(w, "GroupBox1")),
                 QStringLiteral("This frame groups the update information"));
        QCOMPARE(longHintAt(ctl<QLabel>(w, "Label7")),
                 QStringLiteral("Show the current on line version of Clipvane"));
        for (QLabel* l : {ctl<QLabel>(w, "Label5"), ctl<QLabel>(w, "Label6"), ctl<QLabel>(w, "Label7"),
                          ctl<QLabel>(w, "Label8")})
            QCOMPARE(l->textFormat(), Qt::PlainText);
    }

    // Every activation checks; the page's text is shown as plain text.
    void activationChecks() {
        Rig r;
        r.server.on(kPagePath, ScriptedReply::withStatus(200, pageWith(localVersion())));
        r.w().show();
        r.activate();
        QCOMPARE(r.labels(), QStringLiteral("Checking...|Checking..."));
        QVERIFY(r.idle());
        QCOMPARE(r.labels(), localVersion() + QStringLiteral("|Up to date"));

        r.server.on(kPagePath, ScriptedReply::withStatus(200, pageWith(QStringLiteral("<b>9</b>"))));
        r.deactivate();
        r.activate();
        QVERIFY(r.idle());
        QCOMPARE(r.labels(), QStringLiteral("<b>9</b|Out of date"));
        QCOMPARE(r.server.requestsFor(kPagePath).size(), 2);
    }

    // Offline: the warning with the address line, the labels stay "Unknown"; coming back from that
    // box is no activation that checks again, a later one is.
    void offlineWarningDoesNotComeBack() {
        Rig r;
        r.app.connectivity.connected = false;
        r.w().show();
        r.app.dialogs.answer(Answer::Cancel);
        r.app.dialogs.onMessage = [&](const ScriptedDialogs::Shown&) { r.deactivate(); };
        r.activate();
        QVERIFY(r.idle());
        QCOMPARE(r.app.dialogs.shown.size(), 1);
        QCOMPARE(r.app.dialogs.shown[0].text,
                 QStringLiteral("No Internet connection found. Please, connect to "
                                "the Internet before attemping an update.\n"
                                "LAN IP Address: 192.0.2.44"));
        r.activate(); // the box closed and gave the activation back
        QVERIFY(r.idle());
        QCOMPARE(r.app.dialogs.shown.size(), 1);
        QCOMPARE(r.labels(), QStringLiteral("Unknown|Unknown"));

        r.app.dialogs.onMessage = nullptr;
        r.deactivate(); // the user went to another window, and comes back
        r.app.dialogs.answer(Answer::Cancel);
        r.activate();
        QVERIFY(r.idle());
        QCOMPARE(r.app.dialogs.shown.size(), 2);
        QCOMPARE(r.server.connectionsAccepted(), 0);
    }

    void buttons() {
        Rig r;
        r.server.on(kPagePath, ScriptedReply::withStatus(200, pageWith(QStringLiteral("9.9.9.9"))));
        ctl<QToolButton>(r.w(), "cyDownloadUpdate")->click();
        QVERIFY(r.idle());
        const QString site = r.server.url(QStringLiteral("/Quorbel/"));
        // The Linux package's page, not the edition's Windows archive.
        QCOMPARE(r.app.shell.opened, QList<QUrl>{QUrl(site + QStringLiteral("Clipvane_Linux.html"))});
        ctl<QToolButton>(r.w(), "cyCheckLog")->click();
        QCOMPARE(r.app.shell.opened.last(), QUrl(site + QStringLiteral("Clipvane_Update.html")));
        ctl<QToolButton>(r.w(), "cyCheckUpdate")->click();
        QCOMPARE(ctl<QLabel>(r.w(), "Label8")->text(), QStringLiteral("Checking..."));
        QVERIFY(r.idle());

        r.w().show();
        ctl<QToolButton>(r.w(), "cyClose")->click();
        QVERIFY(!r.w().isVisible());
    }

    // From the About box, while offline: the update window shows and brings its warning.
    void updateFromTheAboutBox() {
        AppRig r;
        r.app.connectivity.connected = false;
        r.app.dialogs.answer(Answer::Cancel);
        r.app.app().aboutBox()->show();
        ctl<QToolButton>(r.app.app().aboutBox(), "cyAdvSpeedButton2")->click();
        QVERIFY(r.w().isVisible());
        QVERIFY(QTest::qWaitFor([&] { return r.app.dialogs.shown.size() == 1; }, 8000));
        QVERIFY(r.app.dialogs.shown[0].text.endsWith(QStringLiteral("\nLAN IP Address: 192.0.2.44")));
        QVERIFY(r.idle());
    }
};

QTEST_MAIN(TstWebUpdate)
#include "tst_webupdate.moc"
