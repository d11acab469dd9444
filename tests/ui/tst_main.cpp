#include "AppFixture.h"
#include "FindControl.h"
#include "MainWindowRig.h"
#include "prefs/UrlLauncher.h"
#include "ui/About/AboutBox.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/FixedDriveInfo/DriveInfoWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"
#include "ui/WebUpdate/UpdateWindow.h"
#include "ui/widgets/Hints.h"
#include "validation/CheckEngine.h"

#include "core/CapturedList.h"
#include "core/Options.h"
#include "lists/MainListSession.h"
#include "ui/widgets/CheckListView.h"
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
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
            {a.mainWindow(), "Clipvane"},
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
            QCOMPARE(w->isVisible(), w == a.mainWindow());
        }
        // Controls are found by their names.
        for (const char* name : {"PageControl1", "TabSheet1", "TabSheetOptions", "Panel1", "Memo1",
                                 "CheckListBoxURL", "HintPanel", "SBMain", "cyNewList", "cyDeleteChecked",
                                 "cyNavigateURL", "CBMonClipboard", "CBBTheme", "Button1"})
            QVERIFY2(a.mainWindow()->findChild<QObject*>(name), name);
        QCOMPARE(a.mainWindow()->statusPanelText(0), QString("URL list status:"));
        QCOMPARE(a.mainWindow()->statusPanelText(2), QString("Clipboard monitored:"));
        QCOMPARE(a.mainWindow()->statusPanelText(5), QString("IP:"));
    }

    void commandsShowTheOtherWindows() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QToolButton>(f, "cyShowCaptureHistory")->click();
        QVERIFY(app.app().captureHistoryWindow()->isVisible());
        ctl<QToolButton>(f, "cyAdvSpeedButton8")->click();
        QVERIFY(app.app().aboutBox()->isVisible());
        ctl<QToolButton>(f, "cyAdvSpeedButton5")->click();
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
        MainWindow& f = app.main();
        QCOMPARE(app.main().listSession().currentListPath(), app.folder.file("Clipvane.list"));
        QCOMPARE(f.list().texts(), entries);
        QCOMPARE(f.statusPanelText(1), status);
        QCOMPARE(ctl<QToolButton>(f, "cyReloadList")->isEnabled(), reloadEnabled);
        QCOMPARE(f.memoText(), QString("No previous valid URL in memory to display"));
        QVERIFY(app.app().capture()); // capturing from now on
        QVERIFY(!app.captured().modified);
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
        MainWindowRig rig(app);
        MainWindow& f = rig.window;
        f.FormCreate();
        QVERIFY(f.list().isEmpty());
        QCOMPARE(f.statusPanelText(1), QString());
        QVERIFY(app.clipboard.joined);
        rig.startCapture(app.clipboard);
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
        MainWindow& f = app.main();
        ctl<QRadioButton>(f, QStringLiteral("RGURLList%1").arg(mode))->setChecked(true);
        f.list().append(entry);
        f.CheckListBoxURLDblClick(); // nothing selected: nothing happens
        QVERIFY(app.shell.opened.isEmpty());
        ctl<CheckListView>(f, "CheckListBoxURL")->setCurrentIndex(f.list().index(0));
        QCOMPARE(f.list().selected(), 0);
        QVERIFY(ctl<QToolButton>(f, "cyNavigateURL")->isEnabled());
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
        MainWindow& f = app.main();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(ctl<QToolButton>(f, "cyNewList"), &enter);
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->text(), QString("Create a new URL list"));
        // The list's viewport has no hint of its own: the list's hint shows.
        QApplication::sendEvent(ctl<CheckListView>(f, "CheckListBoxURL")->viewport(), &enter);
        QVERIFY(ctl<QLabel>(f, "HintPanel")->text().startsWith("Captured URL list."));
        QVERIFY(ctl<QToolButton>(f, "cyNewList")->toolTip().isEmpty());
    }

    void minimiseToTrayAndRestore() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(true);
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
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(true);
        f.minimiseApplication();
        QVERIFY(f.isVisible()); // never hidden without an icon to bring it back
        QVERIFY(!app.tray.visible);
    }

    void closeWithExitToTrayMinimisesInstead() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(true);
        ctl<QAction>(f, "ExitToTray")->setChecked(true);
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
        MainWindow& f = app.main();
        app.clipboard.copy("a.example");
        QVERIFY(app.captured().modified);
        app.dialogs.answer(answer);
        f.cyAdvSpeedButton1Click();
        QCOMPARE(app.dialogs.shown[0].text,
                 QString("The URL list has not been saved yet. Save this list and exit?"));
        QCOMPARE(app.dialogs.shown[0].buttons, Buttons::YesNoAbort);
        const bool closed = !f.isVisible();
        QCOMPARE(closed, closes || answer == Answer::No);
        QCOMPARE(app.main().listSession().optionsSavedOnExit(), closed);
        QCOMPARE(app.folder.read("Clipvane.list"), written);
    }

    void exitAbortsWhenTheListCannotBeWritten() {
        AppFixture app;
        app.startShown();
        app.acceptOffline();
        MainWindow& f = app.main();
        app.clipboard.copy("a.example");
        QDir(app.folder.path()).mkdir("Clipvane.list");
        app.dialogs.answer(Answer::Yes);
        app.dialogs.answer(Answer::Ok);
        f.cyAdvSpeedButton1Click();
        QCOMPARE(app.dialogs.shown.last().text,
                 QString("The URL list has not been saved. Exiting software aborted."));
        QVERIFY(f.isVisible());
        QVERIFY(app.captured().modified);
    }

    void trayExitKeepsTheExitToTrayChoice() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QAction>(f, "ExitToTray")->trigger();
        QVERIFY(app.options().exitToTrayChoice());
        ctl<QAction>(f, "Exit1")->trigger();
        QVERIFY(!ctl<QAction>(f, "ExitToTray")->isChecked());
        QVERIFY(app.options().exitToTrayChoice());
        QVERIFY(!f.isVisible());
    }

    void newListAsksOnlyWhenUnsaved() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        MainWindow& f = app.main();
        app.clipboard.copy("a.example");
        app.dialogs.answer(Answer::No);
        ctl<QToolButton>(f, "cyNewList")->click();
        QCOMPARE(f.list().count(), 1);
        app.dialogs.answer(Answer::Yes);
        ctl<QToolButton>(f, "cyNewList")->click();
        QVERIFY(f.list().isEmpty());
        QCOMPARE(f.statusPanelText(1), QString("New"));
        ctl<QToolButton>(f, "cyNewList")->click(); // saved state: no question
        QCOMPARE(app.dialogs.shown.size(), 2);
    }

    void tickUntickRefreshTheCommands() {
        AppFixture app;
        app.start();
        MainWindow& f = app.main();
        f.list().appendTexts({"a", "b"});
        ctl<QToolButton>(f, "cyAdvSpeedButton2")->click();
        QCOMPARE(f.list().tickedCount(), 2);
        QVERIFY(ctl<QToolButton>(f, "cyDeleteChecked")->isEnabled());
        QVERIFY(ctl<QToolButton>(f, "cyValidateCheckedURL")->isEnabled());
        ctl<QToolButton>(f, "cyAdvSpeedButton3")->click();
        QCOMPARE(f.list().tickedCount(), 0);
        QVERIFY(!ctl<QToolButton>(f, "cyDeleteChecked")->isEnabled());
        QVERIFY(!ctl<QToolButton>(f, "cyValidateCheckedURL")->isEnabled());
        // A tick by the user through the view refreshes too.
        f.list().setData(f.list().index(1), Qt::Checked, Qt::CheckStateRole);
        QVERIFY(ctl<QToolButton>(f, "cyDeleteChecked")->isEnabled());
    }
};

QTEST_MAIN(TstMain)
#include "tst_main.moc"
