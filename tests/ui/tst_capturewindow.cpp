#include "AppFixture.h"
#include "FindControl.h"
#include "core/CapturedList.h"
#include "core/Options.h"
#include "history/HistoryTable.h"
#include "ui/Main/MainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace clipvane;
using namespace clipvane::test;

// The capture through the whole application: the main window shows what the pipeline decides.
class TstCaptureWindow : public QObject {
    Q_OBJECT
private slots:
    // What the clipboard holds while the windows are made is not captured: the root connects the clipboard
    // to the capture once the main window's creation steps are done.
    void suppressedDuringStartUp() {
        AppFixture app;
        app.folder.write("Clipvane.ini", "[On line]\r\nValidate Clipboard URL=0\r\n");
        app.clipboard.copy("http://before.example/");
        app.start();
        QVERIFY(app.clipboard.joined);
        QVERIFY(app.main().list().isEmpty());
        QCOMPARE(app.main().memoText(), QString(kNoPreviousValidUrl));
        app.clipboard.copy("http://after.example/");
        QCOMPARE(app.main().list().texts(), QStringList{"http://after.example/"});
    }

    // The same, through the whole application: the inner copy arrives as a queued event.
    void captureInsideACaptureInTheApplication() {
        AppFixture app;
        app.connectivity.connected = true;
        app.http.statuses["http://outer.example/"] = 200;
        app.http.statuses["http://inner.example/"] = 200;
        app.http.onRequest = [&](const QString& url) {
            if (url == "http://outer.example/")
                QTimer::singleShot(0, &app.clipboard, [&] { app.clipboard.copy("http://inner.example/"); });
        };
        app.start();
        app.clipboard.copy("http://outer.example/");
        QCOMPARE(app.main().list().texts(), (QStringList{"http://inner.example/", "http://outer.example/"}));
        QCOMPARE(app.captured().lastValidUrl, QString("http://inner.example/"));
    }

    void switchesStayInStep() {
        AppFixture app;
        app.start();
        MainWindow& f = app.main();
        QCOMPARE(f.statusPanelText(3), QString("Yes"));
        ctl<QCheckBox>(f, "CBMonClipboard")->setChecked(false);
        QVERIFY(!ctl<QAction>(f, "MonClipboard")->isChecked());
        QCOMPARE(f.statusPanelText(3), QString("No"));
        app.clipboard.copy("http://x.example/");
        QVERIFY(f.list().isEmpty());
        ctl<QAction>(f, "MonClipboard")->trigger();
        QVERIFY(ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        QCOMPARE(f.statusPanelText(3), QString("Yes"));

        // Ticked by default; the menu item and the check box follow each other.
        QVERIFY(app.options().validateClipboardUrl());
        QVERIFY(ctl<QAction>(f, "ValidateClipboardURL")->isChecked());
        ctl<QAction>(f, "ValidateClipboardURL")->trigger();
        QVERIFY(!ctl<QCheckBox>(f, "CBValidateClipboardURL")->isChecked());
        QVERIFY(!app.options().validateClipboardUrl());
        ctl<QCheckBox>(f, "CBValidateClipboardURL")->setChecked(true);
        QVERIFY(ctl<QAction>(f, "ValidateClipboardURL")->isChecked());
        QVERIFY(app.options().validateClipboardUrl());
    }

    void balloonOnlyWhileInTheTray() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        app.clipboard.copy("http://one.example/");
        QVERIFY(app.tray.balloons.isEmpty());
        app.tray.visible = true;
        app.clipboard.copy("http://two.example/");
        QCOMPARE(app.tray.balloons.size(), 1);
        QCOMPARE(app.tray.balloons[0], qMakePair(QString("Captured URL"), QString("http://two.example/")));
        ctl<QAction>(app.main(), "Showcapture")->trigger(); // off
        app.clipboard.copy("http://three.example/");
        QCOMPARE(app.tray.balloons.size(), 1);
    }

    void captureClearsTicksButNotTheCommands() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        MainWindow& f = app.main();
        app.clipboard.copy("http://a.example/");
        ctl<QToolButton>(f, "cyAdvSpeedButton2")->click(); // tick all
        QVERIFY(ctl<QToolButton>(f, "cyDeleteChecked")->isEnabled());
        app.clipboard.copy("http://b.example/");
        QCOMPARE(f.list().tickedCount(), 0);
        QVERIFY(ctl<QToolButton>(f, "cyDeleteChecked")->isEnabled()); // until the next refresh
        ctl<QToolButton>(f, "cyDeleteChecked")->click();
        QCOMPARE(f.list().count(), 2);
        QCOMPARE(f.statusPanelText(1), QString("New"));
        QVERIFY(!app.captured().modified);
    }

    void memoShowsTheWholeCopyUntilTheNextCapture() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        app.clipboard.copy("http://a.example/\nsecond line");
        QCOMPARE(app.main().memoText(), QString("http://a.example/\nsecond line"));
        QCOMPARE(ctl<QPlainTextEdit>(app.main(), "Memo1")->toPlainText(),
                 QString("http://a.example/\nsecond line"));
    }

    // Through the whole application: a copy arrives while the first capture's entry lets messages run.
    void captureInsideACaptureGetsItsOwnRow() {
        AppFixture app;
        app.connectivity.connected = true;
        app.http.statuses["http://www.outer.example/"] = 200;
        app.http.statuses["http://inner.example/x"] = 200;
        app.resolver.answers["www.outer.example"] = "192.0.2.10";
        app.resolver.answers["inner.example"] = "192.0.2.20";
        bool queued = false;
        app.http.onRequest = [&](const QString& url) {
            if (url == "http://www.outer.example/" && !queued) {
                queued = true;
                QTimer::singleShot(0, &app.clipboard, [&] { app.clipboard.copy("http://inner.example/x"); });
            }
        };
        app.start();
        const int before = app.app().history()->rowCount();
        QCOMPARE(before, 2);
        app.clipboard.copy("http://www.outer.example/");
        QVERIFY(queued);
        HistoryTable& t = *app.app().history();
        QCOMPARE(t.rowCount(), 4);
        // Each row is whole at once; its host's address comes from the look-up pool when it is answered.
        QTRY_COMPARE(t.entry(1).cells[6], QString("192.0.2.10"));
        QTRY_COMPARE(t.entry(2).cells[6], QString("192.0.2.20"));
        const HistoryEntry outer = t.entry(1);
        const HistoryEntry inner = t.entry(2);
        QCOMPARE(outer.cells[2], QString("http://www.outer.example/"));
        QCOMPARE(outer.cells[3], QString("Clipboard"));
        QCOMPARE(outer.cells[5], QString("outer.example"));
        QCOMPARE(outer.cells[6], QString("192.0.2.10"));
        QCOMPARE(inner.cells[2], QString("http://inner.example/x"));
        QCOMPARE(inner.cells[5], QString("inner.example"));
        QCOMPARE(inner.cells[6], QString("192.0.2.20"));
        for (const HistoryEntry& e : {outer, inner})
            for (const QString& c : e.cells)
                QVERIFY(!c.isEmpty());
        QVERIFY(t.entry(3).isBlank());
        QCOMPARE(app.main().list().texts(),
                 (QStringList{"http://inner.example/x", "http://www.outer.example/"}));
    }
};

QTEST_MAIN(TstCaptureWindow)
#include "tst_capturewindow.moc"
