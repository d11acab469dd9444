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
};

QTEST_GUILESS_MAIN(TstDisplayPlatform)
#include "tst_displayplatform.moc"
