// The tray menu's shortcuts act for the whole desktop: pressed through the X server while the main
// window is hidden, as it is in the tray.
#include "AppFixture.h"
#include "FindControl.h"
#include "platform/DisplayPlatform.h"
#include "platform/linux/XcbGlobalShortcuts.h"
#include "ui/Main/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

using clipvane::test::ctl;

using namespace clipvane;
using clipvane::test::AppFixture;

class TstGlobalShortcuts : public QObject {
    Q_OBJECT

    static void press(const char* keys) {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(keys)});
        QVERIFY(xdotool.waitForFinished(10000));
        QCOMPARE(xdotool.exitCode(), 0);
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    void captureSwitchesOffWhileHidden() {
        XcbGlobalShortcuts keys;
        AppFixture fx;
        fx.globalShortcuts = &keys;
        fx.startShown();
        MainWindow& f = fx.main();
        QVERIFY(ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        QVERIFY(ctl<QStatusBar>(f, "SBMain")->currentMessage().isEmpty()); // every grab held: nothing to say
        f.hide();
        QTRY_VERIFY(!f.isVisible());

        press("ctrl+alt+c");
        QTRY_VERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        QVERIFY(!ctl<QAction>(f, "MonClipboard")->isChecked());
        QVERIFY(!f.isVisible());
        press("ctrl+alt+c");
        QTRY_VERIFY(ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());

        // Restore brings the window back from hiding.
        press("ctrl+alt+r");
        QTRY_VERIFY(f.isVisible());
        // Shown and active, one press still toggles once (the grab, not the window shortcut as well).
        press("ctrl+alt+c");
        QTRY_VERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        QTest::qWait(200);
        QVERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
    }

    // A key held down repeats, as presses alone (detectable auto-repeat) or as release and press pairs with
    // one time stamp; each press acts once, whatever order the keys come up in.
    void heldKeyActsOnce() {
        XcbGlobalShortcuts keys;
        QCOMPARE(keys.grab(7, QKeySequence(QStringLiteral("Ctrl+Alt+C")), {}, {}),
                 GlobalShortcuts::Grab::Held);
        QSignalSpy spy(&keys, &GlobalShortcuts::activated);
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* c = x11->connection();
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 0x63 /* c */);
        QVERIFY(codes);
        const xcb_keycode_t code = codes[0];
        std::free(codes);
        xcb_key_symbols_free(symbols);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        auto send = [&](uint8_t type, uint32_t time, uint16_t state) {
            xcb_key_press_event_t e{};
            e.response_type = type;
            e.detail = code;
            e.time = time;
            e.root = root;
            e.event = root;
            e.state = state;
            return keys.nativeEventFilter("xcb_generic_event_t", &e, nullptr);
        };
        const auto ctrlAlt = uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
        QVERIFY(send(XCB_KEY_PRESS, 100, ctrlAlt));
        QVERIFY(send(XCB_KEY_PRESS, 130, ctrlAlt)); // detectable repeat
        QVERIFY(send(XCB_KEY_RELEASE, 160, ctrlAlt));
        QVERIFY(send(XCB_KEY_PRESS, 160, ctrlAlt)); // classic repeat
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 7);
        QVERIFY(send(XCB_KEY_RELEASE, 200, 0));                      // Ctrl and Alt were let go first
        QVERIFY(send(XCB_KEY_PRESS, 400, ctrlAlt | XCB_MOD_MASK_2)); // with Num Lock on
        QCOMPARE(spy.size(), 2);
        QVERIFY(!send(XCB_KEY_PRESS, 500, XCB_MOD_MASK_CONTROL)); // Ctrl+C alone is not ours
        QCOMPARE(spy.size(), 2);
    }

    void keyHeldByAnotherProgram() {
        // Another client holds Ctrl+Alt+V (Alt on Mod1, as on this server).
        xcb_connection_t* other = xcb_connect(nullptr, nullptr);
        QVERIFY(other && !xcb_connection_has_error(other));
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(other);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 0x76 /* v */);
        QVERIFY(codes && codes[0] != XCB_NO_SYMBOL);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
        const auto mods = uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
        QVERIFY(!xcb_request_check(other, xcb_grab_key_checked(other, 0, root, mods, codes[0],
                                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));

        {
            XcbGlobalShortcuts keys;
            AppFixture fx;
            fx.globalShortcuts = &keys;
            fx.startShown();
            MainWindow& f = fx.main();
            // The holder gets the presses, so the note says the key is not available, never that it acts.
            QCOMPARE(ctl<QStatusBar>(f, "SBMain")->currentMessage(),
                     QStringLiteral("Ctrl+Alt+V is in use elsewhere on this desktop and not available."));
            const bool validating = ctl<QCheckBox>(f, "CBValidateClipboardURL")->isChecked();
            press("ctrl+alt+v");
            QTest::qWait(200);
            QCOMPARE(ctl<QCheckBox>(f, "CBValidateClipboardURL")->isChecked(), validating);
            // With all six taken the note still fits the window at its smallest.
            f.resize(f.minimumSize());
            const QStringList all{"Ctrl+Alt+R", "Ctrl+Alt+C", "Ctrl+Alt+V",
                                  "Ctrl+Alt+S", "Ctrl+Alt+H", "Ctrl+Alt+I"};
            const QString longest = trayShortcutNotes(all, false, false).first();
            QVERIFY2(ctl<QStatusBar>(f, "SBMain")->fontMetrics().horizontalAdvance(longest) <
                         f.minimumWidth() - 20,
                     qPrintable(longest));
            // The other keys act from anywhere.
            f.hide();
            press("ctrl+alt+c");
            QTRY_VERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        }
        std::free(codes);
        xcb_key_symbols_free(symbols);
        xcb_disconnect(other);
    }
};

QTEST_MAIN(TstGlobalShortcuts)
#include "tst_globalshortcuts.moc"
