// The tray menu's shortcuts bound through the desktop portal: a fake portal on a private session bus.
#include "AppFixture.h"
#include "FindControl.h"
#include "platform/DisplayPlatform.h"
#include "platform/linux/PortalGlobalShortcuts.h"
#include "platform/linux/XcbGlobalShortcuts.h"
#include "ui/Main/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <optional>

using namespace clipvane;
using clipvane::test::AppFixture;
using clipvane::test::ctl;
using Grab = GlobalShortcuts::Grab;
using Desktop = GlobalShortcuts::DesktopAnswer;

enum class Mode {
    Binds,
    LeavesOneOut,   // binds all but ValidateClipboardURL
    NoInterface,    // a portal without GlobalShortcuts
    SessionFails,   // the session's Response is an error
    BindErrorReply, // BindShortcuts answers with an error
    UserDeclines,   // the binding's Response is "cancelled"
    NeverAnswers,   // the session's Response never comes
};
Q_DECLARE_METATYPE(Mode)

// The fake's own marshalling of a(sa{sv}), written apart from the client's.
struct BusShortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(BusShortcut)

QDBusArgument& operator<<(QDBusArgument& a, const BusShortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, BusShortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

const QStringList kTrayNames{"RestoreClipvane1", "MonClipboard",    "ValidateClipboardURL",
                             "Showcapture",      "Capturehistory1", "Alldriveinformation1"};

// The portal, answering messages by hand on a connection of its own.
class FakePortal : public QDBusVirtualObject {
public:
    FakePortal(const QString& address, Mode mode)
        : m_mode(mode), m_name(QStringLiteral("fake-portal-%1").arg(++s_count)),
          m_bus(QDBusConnection::connectToBus(address, m_name)) {
        m_bus.registerVirtualObject(kPath, this, QDBusConnection::SubPath);
        m_bus.interface()->registerService(kService);
    }
    ~FakePortal() override {
        m_bus.unregisterObject(kPath, QDBusConnection::UnregisterTree);
        m_bus.interface()->unregisterService(kService);
        QDBusConnection::disconnectFromBus(m_name);
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override {
        const QList<QVariant> args = m.arguments();
        if (m.member() == QLatin1String("Get")) {
            if (m_mode == Mode::NoInterface || args.value(0).toString() != kInterface)
                c.send(m.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such interface")));
            else
                c.send(m.createReply(QVariant::fromValue(QDBusVariant(uint(1)))));
            return true;
        }
        if (m.member() == QLatin1String("Close")) {
            closed << m.path();
            c.send(m.createReply());
            return true;
        }
        if (m.interface() != kInterface)
            return false;
        calls << m.member();
        QString sender = m.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const auto pathFor = [&](const char* kind, const QVariant& token) {
            return QStringLiteral("%1/%2/%3/%4").arg(kPath, QLatin1String(kind), sender, token.toString());
        };
        if (m.member() == QLatin1String("CreateSession")) {
            const auto options = qdbus_cast<QVariantMap>(args.value(0));
            const QString request = pathFor("request", options.value("handle_token"));
            session = pathFor("session", options.value("session_handle_token"));
            c.send(m.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            if (m_mode == Mode::SessionFails)
                respond(request, 2, {});
            else if (m_mode != Mode::NeverAnswers)
                respond(request, 0, {{"session_handle", session}});
            return true;
        }
        if (m.member() == QLatin1String("BindShortcuts")) {
            boundSession = args.value(0).value<QDBusObjectPath>().path();
            QList<BusShortcut> shortcuts = qdbus_cast<QList<BusShortcut>>(args.value(1));
            for (const BusShortcut& s : shortcuts) {
                ids << s.id;
                descriptions << s.properties.value("description").toString();
                triggers << s.properties.value("preferred_trigger").toString();
            }
            if (m_mode == Mode::BindErrorReply) {
                c.send(m.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.Failed"),
                                          QStringLiteral("Not now")));
                return true;
            }
            const QString request =
                pathFor("request", qdbus_cast<QVariantMap>(args.value(3)).value("handle_token"));
            c.send(m.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            if (m_mode == Mode::UserDeclines) {
                respond(request, 1, {});
                return true;
            }
            if (m_mode == Mode::LeavesOneOut)
                shortcuts.removeIf([](const BusShortcut& s) { return s.id == "ValidateClipboardURL"; });
            respond(request, 0, {{"shortcuts", QVariant::fromValue(shortcuts)}});
            return true;
        }
        return false;
    }

    // A press of a bound shortcut, as the desktop reports it.
    void activate(const QString& id, const QString& inSession = {}) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Activated"));
        const QString in = !inSession.isEmpty() ? inSession
                           : !session.isEmpty() ? session
                                                : kPath + QStringLiteral("/session/none");
        signal << QVariant::fromValue(QDBusObjectPath(in)) << id << quint64(1000) << QVariantMap();
        m_bus.send(signal);
    }

    QStringList calls; // GlobalShortcuts methods, in order
    QString session;   // the handle CreateSession made
    QString boundSession;
    QStringList ids, descriptions, triggers;
    QStringList closed; // sessions closed

private:
    void respond(const QString& request, uint code, const QVariantMap& results) {
        QDBusMessage signal =
            QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"), "Response");
        signal << code << results;
        m_bus.send(signal);
    }

    static inline int s_count = 0;
    Mode m_mode;
    QString m_name;
    QDBusConnection m_bus;
};

// X11 grabs as on XWayland: held, but for one key another program has.
class RecordingShortcuts : public GlobalShortcuts {
public:
    Grab grab(int id, const QKeySequence&, const QString&, const QString&) override {
        grabbed << id;
        return id == 2 ? Grab::Refused : Grab::Held;
    }
    void releaseAll() override { ++releases; }
    QList<int> grabbed;
    int releases = 0;
};

} // namespace

class TstPortalShortcuts : public QObject {
    Q_OBJECT

    QTemporaryDir m_busDir;
    QProcess m_daemon;
    QString m_address;

    static void grabTray(GlobalShortcuts& keys) {
        for (int id = 0; id < kTrayNames.size(); ++id)
            QCOMPARE(keys.grab(id, QKeySequence(QStringLiteral("Ctrl+Alt+%1").arg(QChar('A' + id))),
                               kTrayNames[id], kTrayNames[id]),
                     Grab::Pending);
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        QVERIFY2(!QDBusConnection(QStringLiteral("qt_default_session_bus")).isConnected(),
                 "the session bus was opened before the private one started");
        qDBusRegisterMetaType<BusShortcut>();
        qDBusRegisterMetaType<QList<BusShortcut>>();
        // A bus of its own without service activation: a portal installed on this machine never starts.
        QFile config(m_busDir.filePath("bus.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                    "<auth>EXTERNAL</auth><policy context=\"default\">"
                                    "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                         .arg(m_busDir.path())
                         .toUtf8());
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {"--config-file=" + config.fileName(), "--print-address", "--nofork"});
        QVERIFY(m_daemon.waitForStarted());
        QVERIFY(m_daemon.waitForReadyRead(10000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void cleanupTestCase() {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    void triggerText_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("letter, lower case") << QKeySequence("Ctrl+Alt+C") << "CTRL+ALT+c";
        QTest::newRow("modifiers in order") << QKeySequence("Meta+Shift+F5") << "SHIFT+LOGO+F5";
        QTest::newRow("named key") << QKeySequence("Ctrl+Space") << "CTRL+space";
        QTest::newRow("digit") << QKeySequence("Alt+7") << "ALT+7";
        QTest::newRow("no name here: the desktop asks") << QKeySequence("Ctrl+,") << "";
        QTest::newRow("none") << QKeySequence() << "";
    }

    void triggerText() {
        QFETCH(QKeySequence, keys);
        QTEST(PortalGlobalShortcuts::triggerText(keys), "trigger");
    }

    // The tray's six are bound by name with their texts and keys; a press the desktop reports acts
    // while the window is hidden, and closing ends the portal's session.
    void boundShortcutsActFromAnywhere() {
        FakePortal portal(m_address, Mode::Binds);
        {
            XcbGlobalShortcuts x11; // offscreen: no grabs at all, as on a Wayland desktop
            PortalGlobalShortcuts keys(&x11);
            QSignalSpy settled(&keys, &GlobalShortcuts::settled);
            AppFixture fx;
            fx.globalShortcuts = &keys;
            fx.startShown();
            MainWindow& f = fx.main();
            QTRY_COMPARE(settled.size(), 1);
            QCOMPARE(settled.at(0).at(1).value<Desktop>(), Desktop::Bound);
            QCOMPARE(portal.calls, (QStringList{"CreateSession", "BindShortcuts"}));
            QCOMPARE(portal.boundSession, portal.session);
            QCOMPARE(portal.ids, kTrayNames);
            QCOMPARE(portal.triggers, (QStringList{"CTRL+ALT+r", "CTRL+ALT+c", "CTRL+ALT+v", "CTRL+ALT+s",
                                                   "CTRL+ALT+h", "CTRL+ALT+i"}));
            QCOMPARE(portal.descriptions.value(1), QStringLiteral("Monitor Clipboard URL"));
            QCOMPARE(portal.descriptions.value(5), QStringLiteral("All drive information"));
            // They act everywhere: nothing to say, neither before the answer nor after.
            QTest::qWait(50);
            QVERIFY(ctl<QStatusBar>(f, "SBMain")->currentMessage().isEmpty());
            // Had the desktop bound none, the note naming all six would still fit the smallest window.
            const QString longest = trayShortcutNotes({"Ctrl+Alt+R", "Ctrl+Alt+C", "Ctrl+Alt+V", "Ctrl+Alt+S",
                                                       "Ctrl+Alt+H", "Ctrl+Alt+I"},
                                                      false, false, Desktop::Bound)
                                        .first();
            QVERIFY2(ctl<QStatusBar>(f, "SBMain")->fontMetrics().horizontalAdvance(longest) <
                         f.minimumWidth() - 20,
                     qPrintable(longest));

            f.hide();
            QVERIFY(ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
            portal.activate("MonClipboard");
            QTRY_VERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
            // Another session's press and a name that is not ours do nothing; signals arrive in order, so
            // once the last one has acted the others were handled.
            portal.activate("MonClipboard", portal.session + "x");
            portal.activate("Exit1");
            portal.activate("RestoreClipvane1");
            QTRY_VERIFY(f.isVisible());
            QVERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        }
        QTRY_COMPARE(portal.closed, QStringList{portal.session});
    }

    // Whatever the desktop answers, start-up does not wait for it, the shortcuts stay the windows' own
    // where it does not bind them, and the status bar says why once, when the answer is in.
    void unboundShortcuts_data() {
        QTest::addColumn<bool>("portalRuns");
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<Desktop>("answer");
        QTest::addColumn<QString>("firstNote");
        const QString onlyInWindows = QStringLiteral("The tray shortcuts act only while the Clipvane window "
                                                     "is shown and one of its windows is active.");
        QTest::newRow("no portal") << false << Mode::Binds << Desktop::NotAsked << onlyInWindows;
        QTest::newRow("portal without the interface")
            << true << Mode::NoInterface << Desktop::NotAsked << onlyInWindows;
        QTest::newRow("session refused") << true << Mode::SessionFails << Desktop::Refused
                                         << "The desktop refused desktop-wide shortcuts for Clipvane.";
        QTest::newRow("binding fails") << true << Mode::BindErrorReply << Desktop::Refused
                                       << "The desktop refused desktop-wide shortcuts for Clipvane.";
        QTest::newRow("the user declines") << true << Mode::UserDeclines << Desktop::Declined
                                           << "Desktop-wide shortcuts for Clipvane were declined.";
        QTest::newRow("never answers")
            << true << Mode::NeverAnswers << Desktop::Silent
            << "The desktop did not answer the request for desktop-wide shortcuts.";
    }

    void unboundShortcuts() {
        QFETCH(bool, portalRuns);
        QFETCH(Mode, mode);
        QFETCH(QString, firstNote);
        std::optional<FakePortal> portal;
        if (portalRuns)
            portal.emplace(m_address, mode);
        XcbGlobalShortcuts x11;
        PortalGlobalShortcuts keys(&x11);
        keys.setTimeouts(400, 400);
        QSignalSpy settled(&keys, &GlobalShortcuts::settled);
        AppFixture fx;
        fx.globalShortcuts = &keys;
        fx.startShown();
        MainWindow& f = fx.main();
        // Shown before the desktop has said anything, with no note that might not hold.
        QVERIFY(f.isVisible());
        QVERIFY(settled.isEmpty());
        QVERIFY(ctl<QStatusBar>(f, "SBMain")->currentMessage().isEmpty());
        QSignalSpy messages(ctl<QStatusBar>(f, "SBMain"), &QStatusBar::messageChanged);

        QTRY_COMPARE(settled.size(), 1);
        QTEST(settled.at(0).at(1).value<Desktop>(), "answer");
        QCOMPARE(ctl<QStatusBar>(f, "SBMain")->currentMessage(), firstNote);
        QTest::qWait(100);
        QCOMPARE(std::count_if(messages.cbegin(), messages.cend(),
                               [&](const QList<QVariant>& m) { return m.at(0).toString() == firstNote; }),
                 1);
        // The window's own shortcut still acts.
        QVERIFY(ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        ctl<QAction>(f, "MonClipboard")->trigger();
        QVERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        if (portal) {
            // A session made and then left is closed; a press reported anyway does nothing.
            QCOMPARE(portal->closed,
                     portal->calls.contains("BindShortcuts") ? QStringList{portal->session} : QStringList());
            portal->activate("MonClipboard");
            QTest::qWait(100);
            QVERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        }
    }

    // On XWayland the X11 grabs act at once; the portal's binding replaces them, so no press acts twice, and
    // where it binds nothing they stay, with their own results.
    void x11GrabsStandIn_data() {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<int>("releases");
        QTest::addColumn<QList<Grab>>("results");
        const QList<Grab> x11{Grab::Held, Grab::Held, Grab::Refused, Grab::Held, Grab::Held, Grab::Held};
        QTest::newRow("bound") << Mode::Binds << 1 << QList<Grab>(6, Grab::Held);
        QTest::newRow("bound but one")
            << Mode::LeavesOneOut << 1
            << QList<Grab>{Grab::Held, Grab::Held, Grab::Refused, Grab::Held, Grab::Held, Grab::Held};
        QTest::newRow("declined") << Mode::UserDeclines << 0 << x11;
        QTest::newRow("no interface") << Mode::NoInterface << 0 << x11;
    }

    void x11GrabsStandIn() {
        QFETCH(Mode, mode);
        QFETCH(QList<Grab>, results);
        FakePortal portal(m_address, mode);
        RecordingShortcuts x11;
        PortalGlobalShortcuts keys(&x11);
        QSignalSpy settled(&keys, &GlobalShortcuts::settled);
        QSignalSpy activated(&keys, &GlobalShortcuts::activated);
        grabTray(keys);
        QCOMPARE(x11.grabbed, (QList<int>{0, 1, 2, 3, 4, 5}));
        emit x11.activated(3); // a press before the portal has answered
        QCOMPARE(activated.size(), 1);
        QTRY_COMPARE(settled.size(), 1);
        QTEST(x11.releases, "releases");
        const auto got = settled.at(0).at(0).value<GlobalShortcuts::Results>();
        QCOMPARE(got.values(), results);
        QCOMPARE(got.keys(), (QList<int>{0, 1, 2, 3, 4, 5}));
        // Later grabs: the portal binds once a session, the X11 path takes them where it is in charge.
        QCOMPARE(keys.grab(9, QKeySequence("Ctrl+Alt+Z"), "Later", "Later"),
                 x11.releases ? Grab::Unsupported : Grab::Held);
    }
};

QTEST_MAIN(TstPortalShortcuts)
#include "tst_portalshortcuts.moc"
