// The validation report window, driven from the main window's validate button through the application.
#include "AppFixture.h"
#include "FindControl.h"
#include "browser/BrowserSession.h"
#include "core/CapturedList.h"
#include "core/CheckListModel.h"
#include "ui/Main/MainWindow.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "validation/BatchValidation.h"
#include "validation/ValidationReport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace clipvane;
using namespace clipvane::test;

class TestReportWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> f;

    ValidationReportWindow& report() const { return *f->app().reportWindow(); }

    // The main list a, b, c, d with b and d ticked; c fails its check.
    void validateFromTheMainWindow(bool deleteMode = false) {
        CheckListModel& list = f->main().list();
        list.replaceTexts({"a.example", "b.example", "c.example", "d.example"});
        for (const char* n : {"b.example", "c.example", "d.example"})
            f->http.statuses.insert(QStringLiteral("http://") + QLatin1String(n), 200);
        f->http.statuses.insert(QStringLiteral("http://c.example"), 404);
        for (int row : {1, 2, 3}) // ticked as the user does it, so the validate button follows
            list.setData(list.index(row), Qt::Checked, Qt::CheckStateRole);
        f->main().findChild<QCheckBox*>(QStringLiteral("CBDeleteInvalidURL"))->setChecked(deleteMode);
        f->connectivity.connected = true;
        auto* button = f->main().findChild<QToolButton*>(QStringLiteral("cyValidateCheckedURL"));
        QVERIFY(button->isEnabled());
        button->click();
        QTRY_VERIFY(f->app().batchValidator()->runsInProgress() == 0);
    }

private slots:
    void init() {
        f = std::make_unique<AppFixture>();
        f->startShown();
    }
    void cleanup() {
        QVERIFY(f->dialogs.allAnswersUsed());
        f.reset();
    }

    void controlsAsBuilt() {
        ValidationReportWindow& w = report();
        QCOMPARE(w.windowTitle(), QStringLiteral("Validation of URL report"));
        QVERIFY(w.minimumWidth() >= 637 && w.minimumHeight() >= 534);
        QVERIFY(w.isHidden());
        QCOMPARE(ctl<QGroupBox>(w, "RGSync")->title(), QStringLiteral("Sync URL List"));
        QCOMPARE(ctl<QRadioButton>(w, "RGSync0")->text(), QStringLiteral("URL Capture"));
        QCOMPARE(ctl<QRadioButton>(w, "RGSync1")->text(), QStringLiteral("Browser list"));
        QVERIFY(ctl<QRadioButton>(w, "RGSync0")->isChecked());
        QCOMPARE(ctl<QGroupBox>(w, "GroupBox1")->title(), QStringLiteral("Valid URL list"));
        QCOMPARE(ctl<QGroupBox>(w, "GroupBox2")->title(), QStringLiteral("Invalid URL list"));
        for (QToolButton* b :
             {ctl<QToolButton>(w, "cyDeleteValidChecked"), ctl<QToolButton>(w, "cyDeleteInvalidChecked"),
              ctl<QToolButton>(w, "cyReturnInvalid"), ctl<QToolButton>(w, "cySyncCheckedURLList"),
              ctl<QToolButton>(w, "cySyncURLListAppendChecked"), ctl<QToolButton>(w, "cyEditURL")})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(ctl<QToolButton>(w, "cySyncURLList")->isEnabled() &&
                ctl<QToolButton>(w, "cySyncURLListAppend")->isEnabled());
        QCOMPARE(hintOf(ctl<QToolButton>(w, "cySyncURLListAppend")),
                 QStringLiteral("|Append the Valid list to the URL captured list.  No duplicate."));
        QCOMPARE(hintOf(ctl<QToolButton>(w, "cyEditURL")),
                 QStringLiteral("Validate URL. Result is send to the Valid URL list if the "
                                "URL of validation is successful"));
        QCOMPARE(ctl<QToolButton>(w, "cyEditURL")->toolTip(), hintOf(ctl<QToolButton>(w, "cyEditURL")));
        QVERIFY(w.findChild<QLabel*>(QStringLiteral("HintPanel")));
        QVERIFY(ctl<QLineEdit>(w, "EditURL")->text().isEmpty());
        for (QToolButton* b : w.findChildren<QToolButton*>())
            QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
    }

    void validateShowsTheReport() {
        ctl<QRadioButton>(report(), "RGSync1")->click();
        validateFromTheMainWindow();
        ValidationReportWindow& w = report();
        QTRY_VERIFY(w.isVisible());
        QCOMPARE(f->app().report()->valid().texts(), QStringList({"d.example", "b.example"}));
        QCOMPARE(f->app().report()->invalid().texts(), QStringList({"c.example"}));
        // Selecting the invalid entry shows why it failed in the status panel, as plain text.
        ctl<CheckListView>(w, "CLBInvalid")->setCurrentIndex(f->app().report()->invalid().index(0));
        QCOMPARE(ctl<QLabel>(w, "HintPanel")->text(), QStringLiteral("404"));
        QCOMPARE(ctl<QLabel>(w, "HintPanel")->textFormat(), Qt::PlainText);
        QVERIFY(ctl<QRadioButton>(w, "RGSync0")->isChecked());
        QCOMPARE(f->main().statusPanelText(4), QString());
        QVERIFY(f->main().findChild<QWidget*>(QStringLiteral("Panel1"))->isEnabled());
        QVERIFY(!f->captured().modified);
    }

    // Delete mode changes the list: it is marked modified, so that the exit question protects it.
    void deleteModeShowsNoReport() {
        validateFromTheMainWindow(true);
        QCOMPARE(f->main().list().texts(), QStringList({"a.example", "b.example", "d.example"}));
        QVERIFY(report().isHidden());
        QVERIFY(f->captured().modified);
        QCOMPARE(f->main().statusPanelText(1), QStringLiteral("Modified"));
    }

    // In the browser window the count panel follows the entries delete mode took out.
    void deleteModeRefreshesTheBrowserCount() {
        BrowserWindow& nav = *f->app().browserWindow();
        CheckListModel& list = nav.session().list();
        list.replaceTexts({"a.example", "b.example", "c.example", "d.example"});
        nav.session().commands().refreshCount();
        QCOMPARE(ctl<QLabel>(nav, "SBMainPanel1")->text(), QStringLiteral("4"));
        for (const char* n : {"a.example", "b.example", "c.example", "d.example"})
            f->http.statuses.insert(QStringLiteral("http://") + QLatin1String(n), 404);
        f->http.statuses.insert(QStringLiteral("http://a.example"), 200);
        f->http.statuses.insert(QStringLiteral("http://d.example"), 200);
        list.setAllTicked(true);
        f->main().findChild<QCheckBox*>(QStringLiteral("CBDeleteInvalidURL"))->setChecked(true);
        f->connectivity.connected = true;
        nav.session().cyValidateURLClick();
        QTRY_VERIFY(f->app().batchValidator()->runsInProgress() == 0);
        QCOMPARE(list.texts(), QStringList({"a.example", "d.example"}));
        QCOMPARE(ctl<QLabel>(nav, "SBMainPanel1")->text(), QStringLiteral("2"));
        QVERIFY(!f->captured().modified); // the main list was not touched
    }

    // The browser window validates its own ticked items, and "Browser list" writes the valid ones back there.
    void browserListValidatesAndTakesTheSync() {
        CheckListModel& list = f->app().browserWindow()->session().list();
        list.replaceTexts({"a.example", "b.example", "c.example"});
        f->http.statuses.insert(QStringLiteral("http://a.example"), 200);
        f->http.statuses.insert(QStringLiteral("http://b.example"), 404);
        for (int row : {0, 1})
            list.setData(list.index(row), Qt::Checked, Qt::CheckStateRole);
        f->connectivity.connected = true;
        f->app().browserWindow()->session().cyValidateURLClick();
        QTRY_VERIFY(f->app().batchValidator()->runsInProgress() == 0);
        QTRY_VERIFY(report().isVisible());
        QCOMPARE(f->app().report()->valid().texts(), QStringList({"a.example"}));
        QCOMPARE(f->app().report()->invalid().texts(), QStringList({"b.example"}));
        QCOMPARE(f->main().list().count(), 0);

        ctl<QRadioButton>(report(), "RGSync1")->click();
        f->dialogs.answer(Answer::Ok);
        ctl<QToolButton>(report(), "cySyncURLList")->click();
        QCOMPARE(list.texts(), QStringList({"a.example"}));
        QVERIFY(!f->captured().modified);
    }

    void syncMarksTheCapturedListModified() {
        validateFromTheMainWindow();
        f->dialogs.answer(Answer::Ok);
        ctl<QToolButton>(report(), "cySyncURLList")->click();
        QCOMPARE(f->main().list().texts(), QStringList({"b.example", "d.example"}));
        QVERIFY(f->captured().modified);
        QCOMPARE(f->main().statusPanelText(1), QStringLiteral("Modified"));
    }

    // The report window is made when it is first wanted: a mode chosen before then shows in its hint, and
    // its first validation fills it.
    void madeWhenFirstWantedWithTheCurrentMode() {
        auto* modes = f->main().findChild<QGroupBox*>(QStringLiteral("RGURLList"));
        modes->findChild<QRadioButton*>(QStringLiteral("RGURLList1"))->click();
        validateFromTheMainWindow();
        QTRY_VERIFY(report().isVisible());
        QCOMPARE(hintOf(ctl<CheckListView>(report(), "CLBValid")),
                 QStringLiteral(
                     "|Valid URL list. Double click an item to display the URL in full via message dialog"));
        QCOMPARE(f->app().report()->valid().texts(), QStringList({"d.example", "b.example"}));
    }

    void doubleClickByMode() {
        validateFromTheMainWindow();
        CheckListModel& valid = f->app().report()->valid();
        valid.setSelected(0);
        auto* modes = f->main().findChild<QGroupBox*>(QStringLiteral("RGURLList"));
        modes->findChild<QRadioButton*>(QStringLiteral("RGURLList0"))->click();
        QCOMPARE(hintOf(ctl<CheckListView>(report(), "CLBValid")).left(61),
                 QStringLiteral("|Valid URL list. Double click an item to navigate to this URL"));
        report().CLBValidDblClick();
        QCOMPARE(f->shell.opened.size(), 1);
        QCOMPARE(f->shell.opened.last().toString(), QStringLiteral("http://d.example"));
        // No handler for web addresses: the failed launch is ignored, no error box.
        f->shell.succeed = false;
        const qsizetype boxes = f->dialogs.shown.size();
        report().CLBValidDblClick();
        QCOMPARE(f->shell.opened.size(), 2);
        QCOMPARE(f->dialogs.shown.size(), boxes);
        f->shell.succeed = true;

        f->connectivity.connected = false;
        f->dialogs.answer(Answer::No);
        report().CLBValidDblClick();
        QCOMPARE(f->dialogs.shown.last().text, QStringLiteral("Internet is not connected. Proceed anyway?"));
        QCOMPARE(f->shell.opened.size(), 2);

        modes->findChild<QRadioButton*>(QStringLiteral("RGURLList1"))->click();
        QCOMPARE(hintOf(ctl<CheckListView>(report(), "CLBValid")),
                 QStringLiteral(
                     "|Valid URL list. Double click an item to display the URL in full via message dialog"));
        f->dialogs.answer(Answer::Ok);
        report().CLBValidDblClick();
        QCOMPARE(f->dialogs.shown.last().text, QStringLiteral("d.example"));
        QCOMPARE(f->dialogs.shown.last().kind, MessageKind::Plain);
    }

    void editBoxAndCheckAgain() {
        validateFromTheMainWindow();
        ValidationReportWindow& w = report();
        f->app().report()->invalid().setSelected(0);
        QCOMPARE(ctl<QLineEdit>(w, "EditURL")->text(), QStringLiteral("c.example"));
        QVERIFY(ctl<QToolButton>(w, "cyEditURL")->isEnabled());
        QTest::keyClicks(ctl<QLineEdit>(w, "EditURL"), QStringLiteral(".fixed"));
        f->http.statuses.insert(QStringLiteral("http://c.example.fixed"), 302);
        ctl<QToolButton>(w, "cyEditURL")->click();
        QTRY_COMPARE(f->app().report()->valid().texts(),
                     QStringList({"b.example", "d.example", "http://c.example.fixed"}));
        QTRY_VERIFY(ctl<QToolButton>(w, "cyEditURL")->isEnabled());
        ctl<QLineEdit>(w, "EditURL")->selectAll();
        QTest::keyClick(ctl<QLineEdit>(w, "EditURL"), Qt::Key_Backspace); // an empty box cannot be checked
        QVERIFY(!ctl<QToolButton>(w, "cyEditURL")->isEnabled());
    }

    // The scroll range follows the widest entry as the lists change, as the font changes, and on resize.
    void columnFollowsTheWidestEntry() {
        ValidationReportWindow& w = report();
        w.show();
        ValidationReport& r = *f->app().report();
        const QString longer = QStringLiteral("http://long.example/") + QString(300, QLatin1Char('p'));
        const QString longest = longer + QStringLiteral("/and/more/still");
        // The text's width plus the margin, give or take the rounding of a sum of advances.
        auto near = [&](int column, const QString& text) {
            const int range = QFontMetrics(ctl<CheckListView>(w, "CLBValid")->font())
                                  .horizontalAdvance(text + QLatin1Char('x')) +
                              25;
            return qAbs(column - range) <= 2;
        };
        r.setResults({"a.example", longer, "b.example"}, {});
        QVERIFY(near(ctl<CheckListView>(w, "CLBValid")->columnWidth(0), longer));
        r.valid().append(longest);
        QVERIFY(near(ctl<CheckListView>(w, "CLBValid")->columnWidth(0), longest));
        r.valid().append(longest); // two of the widest: one going leaves the width
        r.valid().removeRowAt(r.valid().count() - 1);
        QVERIFY(near(ctl<CheckListView>(w, "CLBValid")->columnWidth(0), longest));
        r.valid().removeRowAt(r.valid().count() - 1);
        QVERIFY(near(ctl<CheckListView>(w, "CLBValid")->columnWidth(0), longer));
        r.valid().setTicked(1, true);
        r.deleteTickedValid(); // only short entries left: the column fills the view
        QCOMPARE(ctl<CheckListView>(w, "CLBValid")->columnWidth(0),
                 ctl<CheckListView>(w, "CLBValid")->viewport()->width());

        r.setResults({longer}, {});
        QFont bigger = ctl<CheckListView>(w, "CLBValid")->font();
        bigger.setPointSize(bigger.pointSize() * 2);
        ctl<CheckListView>(w, "CLBValid")->setFont(bigger);
        w.HorScrollBar();
        QVERIFY(near(ctl<CheckListView>(w, "CLBValid")->columnWidth(0), longer));
        w.resize(w.width() + 200, w.height());
        QVERIFY(near(ctl<CheckListView>(w, "CLBValid")->columnWidth(0), longer));
        const QString accented = longer + QStringLiteral("/ÜÜÜÜÜÜÜÜÜÜÜÜÜÜÜÜ");
        r.valid().append(accented);
        QVERIFY(near(ctl<CheckListView>(w, "CLBValid")->columnWidth(0), accented));
    }

    // An address typed into the box stays checkable through tick changes in either list.
    void typedAddressStaysCheckable() {
        validateFromTheMainWindow();
        ValidationReportWindow& w = report();
        QTest::keyClicks(ctl<QLineEdit>(w, "EditURL"), QStringLiteral("typed.example"));
        QVERIFY(ctl<QToolButton>(w, "cyEditURL")->isEnabled());
        for (QToolButton* b :
             {ctl<QToolButton>(w, "cyAdvSpeedButton1"), ctl<QToolButton>(w, "cyAdvSpeedButton4"),
              ctl<QToolButton>(w, "cyAdvSpeedButton2")}) {
            b->click();
            QVERIFY2(ctl<QToolButton>(w, "cyEditURL")->isEnabled(), qPrintable(b->objectName()));
        }
    }
};

QTEST_MAIN(TestReportWindow)
#include "tst_reportwindow.moc"
