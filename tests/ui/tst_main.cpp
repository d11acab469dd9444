#include "AppFixture.h"
#include "prefs/UrlLauncher.h"
#include "ui/About/AboutBox.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/FixedDriveInfo/DriveInfoWindow.h"
#include "ui/Main/Main.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"
#include "ui/WebUpdate/UpdateWindow.h"
#include "ui/widgets/Hints.h"
#include "validation/CheckEngine.h"

#include "ui/widgets/CheckListView.h"
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace clipvane;
using namespace clipvane::test;

class TstMain : public QObject {
    Q_OBJECT
private slots:
    // A platform service that cannot work (the HTTP module missing) is told in the status bar and an
    // error box.
    void platformProblemReported() {
        AppFixture app;
        app.startShown();
        app.dialogs.answer(Answer::Ok);
        app.app().reportPlatformProblem("No HTTP module", "The HTTP module could not be loaded");
        QCOMPARE(app.main().statusPanelText(4), QString("No HTTP module"));
        QCOMPARE(app.dialogs.shown.size(), 1);
        QCOMPARE(app.dialogs.shown[0].kind, MessageKind::Error);
        QCOMPARE(app.dialogs.shown[0].text, QString("The HTTP module could not be loaded"));
    }

    void windowsExistWithTheirCaptions() {
        AppFixture app;
        app.startShown();
        ClipvaneApp& a = app.app();
        const QList<QPair<QWidget*, QString>> windows{
            {a.form1(), "Clipvane"},
            {a.reportWindow(), "Validation of URL report"},
            {a.aboutBox(), "About"},
            {a.browserChoiceWindow(), "Set Clipvane default internet browser"},
            {a.driveInfoWindow(), "All drive information"},
            {a.browserWindow(), "Clipvane integrated browser"},
            {a.captureHistoryWindow(), "Capture History"},
            {a.updateWindow(), "Clipvane Web Update"},
        };
        for (const auto& [w, caption] : windows) {
            QVERIFY(w);
            QCOMPARE(w->windowTitle(), caption);
            QCOMPARE(w->isVisible(), w == a.form1());
        }
        // Controls are found by their names.
        for (const char* name : {"PageControl1", "TabSheet1", "TabSheetOptions", "Panel1", "Memo1",
                                 "CheckListBoxURL", "HintPanel", "SBMain", "cyNewList", "cyDeleteChecked",
                                 "cyNavigateURL", "CBMonClipboard", "CBBTheme", "Button1"})
            QVERIFY2(a.form1()->findChild<QObject*>(name), name);
        QCOMPARE(a.form1()->statusPanelText(0), QString("URL list status:"));
        QCOMPARE(a.form1()->statusPanelText(2), QString("Clipboard monitored:"));
        QCOMPARE(a.form1()->statusPanelText(5), QString("IP:"));
    }

    void commandsShowTheOtherWindows() {
        AppFixture app;
        app.startShown();
        TForm1& f = app.main();
        f.cyShowCaptureHistory->click();
        QVERIFY(app.app().captureHistoryWindow()->isVisible());
        f.cyAdvSpeedButton8->click();
        QVERIFY(app.app().aboutBox()->isVisible());
        f.cyAdvSpeedButton5->click();
        QVERIFY(app.app().browserChoiceWindow()->isVisible());
        QVERIFY(f.isVisible()); // not modal
    }

    void startUpWithTheDefaultList_data() {
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("reloadEnabled");
        QTest::newRow("lines kept in file order")
            << QByteArray("b\r\na\r\nb\r\n") << QStringList{"b", "a", "b"} << "Open" << true;
        QTest::newRow("no file") << QByteArray() << QStringList{} << "New" << false;
        QTest::newRow("UTF-16 with mark")
            << QByteArray("\xFF\xFEx\0\n\0", 6) << QStringList{"x"} << "Open" << true;
    }
    void startUpWithTheDefaultList() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        QFETCH(QString, status);
        QFETCH(bool, reloadEnabled);
        AppFixture app;
        if (!file.isNull())
            app.folder.write("Clipvane.list", file);
        app.start();
        TForm1& f = app.main();
        QCOMPARE(app.session().CurrentListPath, app.folder.file("Clipvane.list"));
        QCOMPARE(f.list().texts(), entries);
        QCOMPARE(f.statusPanelText(1), status);
        QCOMPARE(f.cyReloadList->isEnabled(), reloadEnabled);
        QCOMPARE(f.memoText(), QString("No previous valid URL in memory to display"));
        QVERIFY(!app.session().CaptureSuppressed);
        QVERIFY(!app.session().ListModified);
        QVERIFY(app.clipboard.joined);
        QCOMPARE(f.statusPanelText(6), QString("Disconnected"));
    }

    void unreadableDefaultListIsReported() {
        AppFixture app;
        QDir(app.folder.path()).mkdir("Clipvane.list"); // a folder where the list should be
        app.dialogs.answer(Answer::Ok);
        app.start();
        QCOMPARE(app.main().statusPanelText(1), QString("Error"));
        QVERIFY(app.main().list().isEmpty());
        QCOMPARE(app.dialogs.shown.size(), 1);
        QCOMPARE(app.dialogs.shown[0].kind, MessageKind::Error);
        QVERIFY2(app.dialogs.shown[0].text.startsWith("OS Error Code: 21"),
                 qPrintable(app.dialogs.shown[0].text));
    }

    void withoutTheDefaultListOptionTheListStatusStaysEmpty() {
        AppFixture app;
        app.folder.write("Clipvane.list", "a\r\n");
        app.folder.write("Clipvane.ini",
                         "[On line]\r\nValidate Clipboard URL=0\r\n[Startup]\r\nLoad default URL list=0\r\n");
        SessionState session;
        CheckEngine engine(app.connectivity, app.http, session);
        TForm1 f(app.services(), session);
        f.setCheckEngine(&engine);
        f.FormCreate();
        QVERIFY(f.list().isEmpty());
        QCOMPARE(f.statusPanelText(1), QString());
        QVERIFY(app.clipboard.joined);
        app.clipboard.afterCopy = [&] { settleCaptures(f.capture()); };
        app.clipboard.copy("http://x.example/");
        QCOMPARE(f.list().count(), 1);
    }

    void doubleClick_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("opened"); // empty: nothing opened
        QTest::addColumn<QString>("messageText");
        QTest::newRow("launch") << 0 << "example.com/a b"
                                << "http://example.com/a%20b"
                                << "";
        QTest::newRow("launch https") << 0 << "HTTPS://example.com/"
                                      << "https://example.com/"
                                      << "";
        QTest::newRow("launch refuses a file")
            << 0 << "file:///etc/passwd?http://x"
            << "" << QString(kNotAWebAddress) + "file:///etc/passwd?http://x";
        QTest::newRow("show") << 1 << "http://example.com/"
                              << ""
                              << "http://example.com/";
    }
    void doubleClick() {
        QFETCH(int, mode);
        QFETCH(QString, entry);
        QFETCH(QString, opened);
        QFETCH(QString, messageText);
        AppFixture app;
        app.connectivity.connected = true; // offline, the launch asks first (tested with the launcher)
        app.start();
        TForm1& f = app.main();
        f.RGURLListGroup->button(mode)->setChecked(true);
        f.list().append(entry);
        f.CheckListBoxURLDblClick(); // nothing selected: nothing happens
        QVERIFY(app.shell.opened.isEmpty());
        f.CheckListBoxURL->setCurrentIndex(f.list().index(0));
        QCOMPARE(f.list().selected(), 0);
        QVERIFY(f.cyNavigateURL->isEnabled());
        if (!messageText.isEmpty())
            app.dialogs.answer(Answer::Ok);
        f.CheckListBoxURLDblClick();
        QCOMPARE(app.shell.opened.size(), opened.isEmpty() ? 0 : 1);
        if (!opened.isEmpty())
            QCOMPARE(app.shell.opened[0].toString(QUrl::FullyEncoded), opened);
        QCOMPARE(app.dialogs.texts(), messageText.isEmpty() ? QStringList{} : QStringList{messageText});
        QVERIFY(app.shell.started.isEmpty());
    }

    void errorReportCarriesTheRealError() {
        AppFixture app;
        app.start();
        app.dialogs.answer(Answer::Ok);
        app.main().RaiseLastError(OsError::fromErrno(EACCES));
        QCOMPARE(app.dialogs.shown.last().text,
                 QString("OS Error Code: 13. ") + QString::fromLocal8Bit(strerror(EACCES)));
        QCOMPARE(app.dialogs.shown.last().buttons, Buttons::Ok);
    }

    void hintPanelShowsTheNearestHint() {
        AppFixture app;
        app.startShown();
        TForm1& f = app.main();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(f.cyNewList, &enter);
        QCOMPARE(f.HintPanel->text(), QString("Create a new URL list"));
        // The list's viewport has no hint of its own: the list's hint shows.
        QApplication::sendEvent(f.CheckListBoxURL->viewport(), &enter);
        QVERIFY(f.HintPanel->text().startsWith("Captured URL list."));
        QVERIFY(f.cyNewList->toolTip().isEmpty());
    }

    void minimiseToTrayAndRestore() {
        AppFixture app;
        app.startShown();
        TForm1& f = app.main();
        f.CBMinimize->setChecked(true);
        f.minimiseApplication();
        QVERIFY(!f.isVisible());
        QVERIFY(app.tray.visible);
        QCOMPARE(app.tray.balloons.last().first, QString("Restoring Clipvane window"));
        app.tray.doubleClick();
        QVERIFY(f.isVisible());
        QVERIFY(!app.tray.visible);
        QVERIFY(!f.isMinimized());
    }

    void minimiseWithoutATrayGoesToTheTaskBar() {
        AppFixture app;
        app.tray.available = false;
        app.startShown();
        TForm1& f = app.main();
        f.CBMinimize->setChecked(true);
        f.minimiseApplication();
        QVERIFY(f.isVisible()); // never hidden without an icon to bring it back
        QVERIFY(!app.tray.visible);
    }

    void closeWithExitToTrayMinimisesInstead() {
        AppFixture app;
        app.startShown();
        TForm1& f = app.main();
        f.CBMinimize->setChecked(true);
        f.ExitToTray->setChecked(true);
        QVERIFY(!f.close());
        QVERIFY(app.tray.visible);
    }

    void exitButtonWithAnUnsavedList_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("yes writes the default list") << Answer::Yes << true << QByteArray("a.example\r\n");
        QTest::newRow("no") << Answer::No << false << QByteArray();
        QTest::newRow("abort") << Answer::Abort << false << QByteArray();
        QTest::newRow("closed") << Answer::Closed << false << QByteArray();
    }
    void exitButtonWithAnUnsavedList() {
        QFETCH(Answer, answer);
        QFETCH(bool, closes);
        QFETCH(QByteArray, written);
        AppFixture app;
        app.startShown();
        app.acceptOffline();
        TForm1& f = app.main();
        app.clipboard.copy("a.example");
        QVERIFY(app.session().ListModified);
        app.dialogs.answer(answer);
        f.cyAdvSpeedButton1Click();
        QCOMPARE(app.dialogs.shown[0].text,
                 QString("The URL list has not been saved yet. Save this list and exit?"));
        QCOMPARE(app.dialogs.shown[0].buttons, Buttons::YesNoAbort);
        const bool closed = !f.isVisible();
        QCOMPARE(closed, closes || answer == Answer::No);
        QCOMPARE(app.session().OptionsSavedOnExit, closed);
        QCOMPARE(app.folder.read("Clipvane.list"), written);
    }

    void exitAbortsWhenTheListCannotBeWritten() {
        AppFixture app;
        app.startShown();
        app.acceptOffline();
        TForm1& f = app.main();
        app.clipboard.copy("a.example");
        QDir(app.folder.path()).mkdir("Clipvane.list");
        app.dialogs.answer(Answer::Yes);
        app.dialogs.answer(Answer::Ok);
        f.cyAdvSpeedButton1Click();
        QCOMPARE(app.dialogs.shown.last().text,
                 QString("The URL list has not been saved. Exiting software aborted."));
        QVERIFY(f.isVisible());
        QVERIFY(app.session().ListModified);
    }

    void trayExitKeepsTheExitToTrayChoice() {
        AppFixture app;
        app.startShown();
        TForm1& f = app.main();
        f.ExitToTray->trigger();
        QVERIFY(app.session().ExitToTraySetting);
        f.Exit1->trigger();
        QVERIFY(!f.ExitToTray->isChecked());
        QVERIFY(app.session().ExitToTraySetting);
        QVERIFY(!f.isVisible());
    }

    void newListAsksOnlyWhenUnsaved() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        TForm1& f = app.main();
        app.clipboard.copy("a.example");
        app.dialogs.answer(Answer::No);
        f.cyNewList->click();
        QCOMPARE(f.list().count(), 1);
        app.dialogs.answer(Answer::Yes);
        f.cyNewList->click();
        QVERIFY(f.list().isEmpty());
        QCOMPARE(f.statusPanelText(1), QString("New"));
        f.cyNewList->click(); // saved state: no question
        QCOMPARE(app.dialogs.shown.size(), 2);
    }

    void tickUntickRefreshTheCommands() {
        AppFixture app;
        app.start();
        TForm1& f = app.main();
        f.list().appendTexts({"a", "b"});
        f.cyAdvSpeedButton2->click();
        QCOMPARE(f.list().tickedCount(), 2);
        QVERIFY(f.cyDeleteChecked->isEnabled());
        QVERIFY(f.cyValidateCheckedURL->isEnabled());
        f.cyAdvSpeedButton3->click();
        QCOMPARE(f.list().tickedCount(), 0);
        QVERIFY(!f.cyDeleteChecked->isEnabled());
        QVERIFY(!f.cyValidateCheckedURL->isEnabled());
        // A tick by the user through the view refreshes too.
        f.list().setData(f.list().index(1), Qt::Checked, Qt::CheckStateRole);
        QVERIFY(f.cyDeleteChecked->isEnabled());
    }
};

QTEST_MAIN(TstMain)
#include "tst_main.moc"
