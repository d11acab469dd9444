// The main window's list file commands, its validation panel, file drops and the exit flow's list write.
#include "AppFixture.h"
#include "FindControl.h"
#include "core/CapturedList.h"
#include "core/Options.h"
#include "lists/MainListSession.h"
#include "ui/Main/MainWindow.h"
#include "ui/widgets/BlinkLabel.h"
#include "ui/widgets/ValidationPanel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

using namespace clipvane;
using namespace clipvane::test;

Q_DECLARE_METATYPE(clipvane::Answer)

namespace {

// Drops the files on the window as the desktop does; answers whether the window took the drag.
bool dropFiles(MainWindow& f, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    mime.setUrls(urls);
    const QPointF at(f.width() / 2.0, f.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &drop);
    QCoreApplication::processEvents(); // the files are read once the drop has ended
    return drop.isAccepted();
}

} // namespace

class TstMainListFiles : public QObject {
    Q_OBJECT
private slots:
    void dialogsArePresetAtStartUp() {
        AppFixture app;
        app.start();
        MainWindow& f = app.main();
        app.dialogs.answerFile({});
        ctl<QToolButton>(f, "cySaveListAs")->click();
        app.dialogs.answerFile({});
        ctl<QToolButton>(f, "cyLoadList")->click();
        QCOMPARE(app.dialogs.fileShown.size(), 2);
        for (const auto& shown : app.dialogs.fileShown) {
            QCOMPARE(shown.request.initialName, QString("Clipvane.list"));
            QCOMPARE(shown.request.initialFolder, app.folder.path());
            QCOMPARE(shown.request.defaultExtension, QString("list"));
        }
        QVERIFY(app.dialogs.fileShown[0].save);
        QCOMPARE(app.dialogs.fileShown[0].request.initialFilter, 5);
        QVERIFY(!app.dialogs.fileShown[1].save);
    }

    // Save, then a capture, then reload: the questions and the status texts of the window.
    void saveAndReloadThroughTheButtons() {
        AppFixture app;
        app.start();
        app.acceptOffline();
        MainWindow& f = app.main();
        QVERIFY(!ctl<QToolButton>(f, "cyReloadList")->isEnabled());
        app.clipboard.copy("a.example");
        ctl<QToolButton>(f, "cySaveList")->click();
        QCOMPARE(app.folder.read("Clipvane.list"), QByteArray("a.example\r\n"));
        QCOMPARE(f.statusPanelText(1), QString("Save"));
        QVERIFY(!app.captured().modified);
        QVERIFY(ctl<QToolButton>(f, "cyReloadList")->isEnabled());

        app.clipboard.copy("b.example");
        f.list().setTicked(0, true);
        f.CheckListBoxURLClickCheck();
        QVERIFY(ctl<QToolButton>(f, "cyDeleteChecked")->isEnabled());
        app.dialogs.answer(Answer::No);
        ctl<QToolButton>(f, "cyReloadList")->click();
        QCOMPARE(f.list().texts(), QStringList{"a.example"});
        QCOMPARE(f.statusPanelText(1), QString("Open"));
        QVERIFY(!ctl<QToolButton>(f, "cyDeleteChecked")->isEnabled()); // refreshed

        app.folder.write("other.list", "c.example\r\nA.EXAMPLE\r\n");
        app.dialogs.answer(Answer::Yes);
        app.dialogs.answerFile({true, app.folder.file("other.list"), 4});
        ctl<QToolButton>(f, "cyLoadList")->click();
        QCOMPARE(f.list().texts(), QStringList({"a.example", "c.example"}));
        QCOMPARE(f.statusPanelText(1), QString("Append"));
        QVERIFY(app.captured().modified);
        QVERIFY(app.dialogs.allAnswersUsed());
    }

    // A default list in UTF-8 with its mark, read at start-up and saved again, keeps its mark.
    void defaultListKeepsItsMark() {
        AppFixture app;
        app.folder.write("Clipvane.list", "\xEF\xBB\xBFhttp://caf\xC3\xA9.example\r\n");
        app.start();
        app.acceptOffline();
        app.clipboard.copy("http://b.example");
        ctl<QToolButton>(app.main(), "cySaveList")->click();
        QCOMPARE(app.folder.read("Clipvane.list"),
                 QByteArray("\xEF\xBB\xBFhttp://b.example\r\nhttp://caf\xC3\xA9.example\r\n"));
    }

    // "Validate URL list when saving": the panel blinks, the count goes down and the options tab is disabled
    // while the checks run; a capture arriving in the middle is kept and not checked by the walk.
    void validationPanelWhileSaving() {
        AppFixture app;
        app.connectivity.connected = true;
        app.start();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBOValidateURL")->setChecked(true);
        f.list().appendTexts({"http://a.example", "http://b.example", "http://c.example"});
        app.http.statuses = {{"http://a.example", 200},
                             {"http://b.example", 404},
                             {"http://c.example", 200},
                             {"http://0.example", 200}};
        app.captured().modified = true;

        struct Seen {
            bool panel, blinking, tabEnabled;
            QString count, url;
        };
        QList<Seen> seen;
        bool captured = false;
        app.http.onRequest = [&](const QString& url) {
            if (url == "http://0.example")
                return; // the capture's own check
            seen.append({!ctl<ValidationPanel>(f, "PanelValidate")->isHidden(),
                         ctl<BlinkLabel>(f, "LabelPleaseWait")->isAnimating(),
                         ctl<QWidget>(f, "TabSheetOptions")->isEnabled(),
                         ctl<QLabel>(f, "LabelURLCount")->text(),
                         ctl<QLabel>(f, "LabelURLInValidation")->text()});
            if (!captured) {
                captured = true;
                app.clipboard.copy("http://0.example");
            }
        };
        ctl<QToolButton>(f, "cySaveList")->click();
        QCOMPARE(seen.size(), 3);
        for (const Seen& s : seen) {
            QVERIFY(s.panel);
            QVERIFY(s.blinking);
            QVERIFY(!s.tabEnabled);
        }
        // The checks run together on the check engine, so an answer can come while the walk still shows an
        // earlier entry; the labels' own sequence is tested with the validation step.
        for (const Seen& s : seen)
            QVERIFY(QStringList({"2", "1", "0"}).contains(s.count));
        QVERIFY(ctl<ValidationPanel>(f, "PanelValidate")->isHidden());
        QVERIFY(!ctl<BlinkLabel>(f, "LabelPleaseWait")->isAnimating());
        QVERIFY(ctl<QWidget>(f, "TabSheetOptions")->isEnabled());
        QCOMPARE(ctl<QProgressBar>(f, "PBValid")->maximum(), 3);
        QVERIFY(!app.main().listSession().saveCancelled());
        QCOMPARE(app.folder.read("Clipvane.list"),
                 QByteArray("http://0.example\r\nhttp://a.example\r\nhttp://c.example\r\n"));
        QCOMPARE(f.statusPanelText(1), QString("Save"));
    }

    void cancelledValidationSavesNothing() {
        AppFixture app;
        app.start();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBOValidateChecked")->setChecked(true);
        f.list().append("http://a.example");
        app.connectivity.connected = true;
        app.dialogs.answer(Answer::Ok);
        ctl<QToolButton>(f, "cySaveList")->click();
        QVERIFY(app.main().listSession().saveCancelled());
        QCOMPARE(app.folder.read("Clipvane.list"), QByteArray());
        QVERIFY(!QFile::exists(app.folder.file("Clipvane.list")));
    }

    void drops_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("after");
        QTest::newRow(".htm of three lines") << QByteArray("x\r\ny\r\nz") << QStringList{"b", "a"};
        QTest::newRow(".htm of four lines")
            << QByteArray("z\r\ny\r\nx\r\nw\r\n") << QStringList{"a", "b", "w", "x", "y", "z"};
    }
    void drops() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, after);
        AppFixture app;
        app.start();
        MainWindow& f = app.main();
        f.list().appendTexts({"b", "a"});
        app.folder.write("page.htm", file);
        QVERIFY(dropFiles(f, {app.folder.file("page.htm")}));
        if (after == QStringList{"b", "a"})
            QCOMPARE(f.list().texts(), QStringList({"a", "b"})); // nothing appended, still sorted
        else
            QCOMPARE(f.list().texts(), after);
        QCOMPARE(f.statusPanelText(1), QString("New"));
        QVERIFY(!app.captured().modified);
    }

    void dropOfSomethingElseIsRefused() {
        AppFixture app;
        app.start();
        MainWindow& f = app.main();
        QMimeData mime;
        mime.setText("http://x.example");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &enter);
        QVERIFY(!enter.isAccepted());
    }

    // ---- Exit flows

    void exitButton_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<int>("optionsWrites");
        QTest::addColumn<bool>("closed");
        QTest::newRow("yes writes the list and the options once each")
            << true << Answer::Yes << QByteArray("a.example\r\n") << 1 << true;
        QTest::newRow("no writes the options once") << true << Answer::No << QByteArray() << 1 << true;
        QTest::newRow("abort changes nothing") << true << Answer::Abort << QByteArray() << 0 << false;
        QTest::newRow("box closed changes nothing") << true << Answer::Closed << QByteArray() << 0 << false;
        QTest::newRow("saved list: no question, the close writes the options")
            << false << Answer::Ok << QByteArray() << 1 << true;
    }
    void exitButton() {
        QFETCH(bool, modified);
        QFETCH(Answer, answer);
        QFETCH(QByteArray, list);
        QFETCH(int, optionsWrites);
        QFETCH(bool, closed);
        AppFixture app;
        app.startShown();
        app.acceptOffline();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBSave")->setChecked(true);
        QSignalSpy options(&f, &MainWindow::optionsFileWritten);
        app.clipboard.copy("a.example");
        app.captured().modified = modified;
        const QString status = f.statusPanelText(1);
        if (answer != Answer::Ok)
            app.dialogs.answer(answer);
        ctl<QToolButton>(f, "cyAdvSpeedButton1")->click();
        QVERIFY(app.dialogs.allAnswersUsed());
        QCOMPARE(app.folder.read("Clipvane.list"), list);
        QCOMPARE(options.count(), optionsWrites);
        QCOMPARE(!f.isVisible(), closed);
        QCOMPARE(app.captured().modified, modified);
        QCOMPARE(f.statusPanelText(1), status);
    }

    // The tray's Exit asks nothing; the options written at the close keep the exit-to-tray choice.
    void trayExitKeepsTheExitToTrayChoice() {
        AppFixture app;
        app.startShown();
        app.acceptOffline();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBSave")->setChecked(true);
        app.clipboard.copy("a.example"); // unsaved
        ctl<QAction>(f, "ExitToTray")->trigger();
        QList<bool> choiceWhenWritten;
        connect(&f, &MainWindow::optionsFileWritten,
                [&] { choiceWhenWritten.append(app.options().exitToTrayChoice()); });
        ctl<QAction>(f, "Exit1")->trigger();
        QCOMPARE(choiceWhenWritten, QList<bool>{true});
        QVERIFY(!f.isVisible());
        QVERIFY(app.dialogs.shown.isEmpty()); // no question about the list, no box for the options
        QCOMPARE(ctl<QStatusBar>(f, "SBMain")->currentMessage(), QString("Preferences are saved."));
        QCOMPARE(app.folder.read("Clipvane.list"), QByteArray());
    }
};

QTEST_MAIN(TstMainListFiles)
#include "tst_mainlistfiles.moc"
