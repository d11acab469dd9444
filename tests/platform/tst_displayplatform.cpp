#include "platform/DisplayPlatform.h"

#include <QTest>

using namespace clipvane;

class TstDisplayPlatform : public QObject {
    Q_OBJECT

private slots:
    void choice_data() {
        QTest::addColumn<QString>("qtPlatform");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("xAnswers");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("saysSo");
        QTest::addColumn<bool>("probed");

        QTest::newRow("X11 session: Qt's own choice") << ""
                                                      << ""
                                                      << ":0" << true << "" << false << false;
        QTest::newRow("Wayland with XWayland: X11") << ""
                                                    << "wayland-0"
                                                    << ":0" << true << "xcb" << true << true;
        QTest::newRow("Wayland, DISPLAY set, no X server: Wayland")
            << ""
            << "wayland-0"
            << ":0" << false << "wayland" << false << true;
        QTest::newRow("Wayland without DISPLAY: Wayland, nothing probed")
            << ""
            << "wayland-0"
            << "" << true << "wayland" << false << false;
        QTest::newRow("the user's choice holds") << "wayland"
                                                 << "wayland-0"
                                                 << ":0" << true << "" << false << false;
        QTest::newRow("the user's choice holds (offscreen)") << "offscreen"
                                                             << ""
                                                             << "" << false << "" << false << false;
    }
    void choice() {
        QFETCH(QString, qtPlatform);
        QFETCH(QString, wayland);
        QFETCH(QString, display);
        QFETCH(bool, xAnswers);
        int probes = 0;
        const DisplayChoice c = chooseDisplayPlatform({qtPlatform, wayland, display}, [&] {
            ++probes;
            return xAnswers;
        });
        QTEST(c.platform, "platform");
        QTEST(!c.terminalNote.isEmpty(), "saysSo");
        QTEST(probes == 1, "probed");
        if (!c.terminalNote.isEmpty())
            QVERIFY(c.terminalNote.contains(QLatin1String("QT_QPA_PLATFORM=wayland")));
    }

    void statusNoteOnlyOnWayland() {
        QVERIFY(clipboardFocusNote(QStringLiteral("wayland")).contains(QLatin1String("focus")));
        QVERIFY(!clipboardFocusNote(QStringLiteral("wayland-egl")).isEmpty());
        QVERIFY(clipboardFocusNote(QStringLiteral("xcb")).isEmpty());
        QVERIFY(clipboardFocusNote(QStringLiteral("offscreen")).isEmpty());
    }

    // A refused grab leaves the key with its holder, so the note never promises the key still acts; it
    // does not claim to know who holds it.
    void trayShortcutNotes_data() {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<bool>("ungrabbable");
        QTest::addColumn<bool>("xwayland");
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("all held on X11") << QStringList() << false << false << QStringList();
        QTest::newRow("one taken")
            << QStringList{"Ctrl+Alt+V"} << false << false
            << QStringList{"Ctrl+Alt+V is in use elsewhere on this desktop and not available."};
        QTest::newRow("several taken, named in full")
            << QStringList{"Ctrl+Alt+V", "Ctrl+Alt+H"} << false << false
            << QStringList{"In use elsewhere, not available: Ctrl+Alt+V, Ctrl+Alt+H."};
        QTest::newRow("XWayland")
            << QStringList() << false << true
            << QStringList{"On Wayland the tray shortcuts act only while an X11 window, such as Clipvane's, "
                           "has the focus."};
        QTest::newRow("no grabs on this desktop")
            << QStringList() << true << true
            << QStringList{"The tray shortcuts act only while the Clipvane window is shown and one of its "
                           "windows is active."};
        QTest::newRow("taken on XWayland: two notes")
            << QStringList{"Ctrl+Alt+I"} << false << true
            << QStringList{"Ctrl+Alt+I is in use elsewhere on this desktop and not available.",
                           "On Wayland the tray shortcuts act only while an X11 window, such as Clipvane's, "
                           "has the focus."};
    }

    void trayShortcutNotes() {
        QFETCH(QStringList, taken);
        QFETCH(bool, ungrabbable);
        QFETCH(bool, xwayland);
        QTEST(clipvane::trayShortcutNotes(taken, ungrabbable, xwayland), "notes");
        for (const QString& note : clipvane::trayShortcutNotes(taken, ungrabbable, xwayland))
            QVERIFY(!note.contains(QLatin1String("another program"), Qt::CaseInsensitive));
    }

    // When the desktop was asked to bind the shortcuts: bound, they act everywhere and only the ones it left
    // out are named; otherwise its answer comes before the limit the key grabs still have, and a refusal
    // that changes nothing (grabs acting everywhere) is not worth a note.
    void desktopAnswerNotes_data() {
        using Desktop = GlobalShortcuts::DesktopAnswer;
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<bool>("ungrabbable");
        QTest::addColumn<bool>("xwayland");
        QTest::addColumn<Desktop>("desktop");
        QTest::addColumn<QStringList>("notes");
        const QString onXWayland = QStringLiteral(
            "On Wayland the tray shortcuts act only while an X11 window, such as Clipvane's, has the focus.");
        const QString inWindows = QStringLiteral("The tray shortcuts act only while the Clipvane window is "
                                                 "shown and one of its windows is active.");
        QTest::newRow("bound, all") << QStringList() << false << true << Desktop::Bound << QStringList();
        QTest::newRow("bound but one")
            << QStringList{"Ctrl+Alt+V"} << false << true << Desktop::Bound
            << QStringList{
                   "The desktop did not bind Ctrl+Alt+V: it acts only while a Clipvane window is active."};
        QTest::newRow("bound but two")
            << QStringList{"Ctrl+Alt+V", "Ctrl+Alt+H"} << true << false << Desktop::Bound
            << QStringList{"Not bound, only in Clipvane's windows: Ctrl+Alt+V, Ctrl+Alt+H."};
        QTest::newRow("refused on XWayland")
            << QStringList() << false << true << Desktop::Refused
            << QStringList{"The desktop refused desktop-wide shortcuts for Clipvane.", onXWayland};
        QTest::newRow("declined on Wayland")
            << QStringList() << true << false << Desktop::Declined
            << QStringList{"Desktop-wide shortcuts for Clipvane were declined.", inWindows};
        QTest::newRow("silent, one key taken on XWayland")
            << QStringList{"Ctrl+Alt+I"} << false << true << Desktop::Silent
            << QStringList{"Ctrl+Alt+I is in use elsewhere on this desktop and not available.",
                           "The desktop did not answer the request for desktop-wide shortcuts.", onXWayland};
        QTest::newRow("refused, grabs everywhere")
            << QStringList() << false << false << Desktop::Refused << QStringList();
    }

    void desktopAnswerNotes() {
        QFETCH(QStringList, taken);
        QFETCH(bool, ungrabbable);
        QFETCH(bool, xwayland);
        QFETCH(GlobalShortcuts::DesktopAnswer, desktop);
        QTEST(clipvane::trayShortcutNotes(taken, ungrabbable, xwayland, desktop), "notes");
    }
};

QTEST_GUILESS_MAIN(TstDisplayPlatform)
#include "tst_displayplatform.moc"
