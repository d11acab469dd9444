#include "Doubles.h"
#include "core/CheckListModel.h"
#include "core/Options.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"
#include "validation/UrlListRecipient.h"
#include "validation/ValidationReport.h"

#include <QSignalSpy>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

// A test list standing in for either recipient.
struct TestRecipient final : UrlListRecipient {
    CheckListModel list;
    int changes = 0;
    CheckListModel& recipientList() override { return list; }
    void markRecipientChanged() override { ++changes; }
};

void tick(CheckListModel& list, const QStringList& texts) {
    for (int row = 0; row < list.count(); ++row)
        if (texts.contains(list.textAt(row)))
            list.setTicked(row, true);
}

} // namespace

class TestValidationReport : public QObject {
    Q_OBJECT

    FakeConnectivity connectivity;
    FakeHttpClient http;
    ScriptedDialogs dialogs;
    Options options;
    std::unique_ptr<UrlChecker> urlChecker;
    std::unique_ptr<CheckEngine> engine;
    std::unique_ptr<ValidationReport> report;
    TestRecipient capture, browser;

private slots:
    void init() {
        connectivity.connected = true;
        http = {};
        dialogs.shown.clear();
        options.setValidateClipboardUrl(false);
        urlChecker = std::make_unique<UrlChecker>(connectivity, http, options);
        capture.list.clear();
        capture.changes = 0;
        browser.list.clear();
        browser.changes = 0;
        engine = std::make_unique<CheckEngine>(connectivity, http, *urlChecker);
        report = std::make_unique<ValidationReport>(dialogs, *engine);
        report->setRecipient(0, &capture);
        report->setRecipient(1, &browser);
    }
    void cleanup() { QVERIFY(dialogs.allAnswersUsed()); }

    void syncCommands_data() {
        QTest::addColumn<int>("recipient");
        QTest::addColumn<int>(
            "command"); // 0 overwrite all, 1 overwrite ticked, 2 append all, 3 append ticked
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("message");
        // The valid list reads a, B, c with a and c ticked; the recipient reads b, d with d ticked.
        const QStringList all = {"a", "B", "c"}, allAppended = {"a", "b", "c", "d"};
        QTest::newRow("capture, overwrite all")
            << 0 << 0 << all << "URL captured list is overwritten with the content of the valid URL list";
        QTest::newRow("capture, overwrite ticked")
            << 0 << 1 << QStringList({"a", "c"})
            << "URL captured list is overwritten with ticked item of the valid URL list";
        QTest::newRow("capture, append all")
            << 0 << 2 << allAppended << "Content of the valid URL list appended to the URL list";
        QTest::newRow("capture, append ticked")
            << 0 << 3 << allAppended << "Ticked item of the valid URL list appended to the URL list";
        QTest::newRow("browser, overwrite all")
            << 1 << 0 << all << "URL browser list is overwritten with the content of the valid URL list";
        QTest::newRow("browser, overwrite ticked")
            << 1 << 1 << QStringList({"a", "c"})
            << "URL browser list is overwritten with ticked item of the valid URL list";
        QTest::newRow("browser, append all")
            << 1 << 2 << allAppended << "Content of the valid URL list appended to the URL browser list";
        QTest::newRow("browser, append ticked")
            << 1 << 3 << allAppended << "Ticked item of the valid URL list appended to the URL browser list";
    }
    void syncCommands() {
        QFETCH(int, recipient);
        QFETCH(int, command);
        QFETCH(QStringList, expected);
        QFETCH(QString, message);
        report->setResults({"a", "B", "c"}, {});
        tick(report->valid(), {"a", "c"});
        TestRecipient& target = recipient == 0 ? capture : browser;
        TestRecipient& bystander = recipient == 0 ? browser : capture;
        target.list.replaceTexts({"b", "d"});
        target.list.setTicked(1, true);
        report->setSyncIndex(recipient);
        dialogs.answer(Answer::Ok);
        switch (command) {
        case 0:
            report->syncOverwriteAll();
            break;
        case 1:
            report->syncOverwriteTicked();
            break;
        case 2:
            report->syncAppendAll();
            break;
        default:
            report->syncAppendTicked();
            break;
        }
        QCOMPARE(target.list.texts(), expected); // the recipient's own copy of a duplicate stays
        QCOMPARE(target.list.tickedCount(), 0);
        QCOMPARE(target.changes, 1);
        QCOMPARE(bystander.changes, 0);
        QCOMPARE(dialogs.shown.last().text, message);
        QCOMPARE(dialogs.shown.last().kind, MessageKind::Information);
        QCOMPARE(report->valid().texts(), QStringList({"a", "B", "c"})); // the report's lists stay
    }

    void emptyValidList() {
        capture.list.replaceTexts({"x", "y"});
        dialogs.answer(Answer::Ok);
        report->syncOverwriteTicked(); // nothing to write: the recipient stays, the message comes
        QCOMPARE(capture.list.texts(), QStringList({"x", "y"}));
        QCOMPARE(capture.changes, 0);
        QCOMPARE(dialogs.shown.size(), 1);
        dialogs.answer(Answer::Ok);
        report->syncOverwriteAll(); // overwriting with all empties the recipient
        QVERIFY(capture.list.isEmpty());
        QCOMPARE(capture.changes, 1);
    }

    void noRecipientDoesNothing() {
        report->setResults({"a"}, {});
        report->setSyncIndex(-1);
        report->syncOverwriteAll();
        report->syncAppendAll();
        report->setSyncIndex(1);
        report->setRecipient(1, nullptr); // no browser window list yet
        report->syncOverwriteAll();
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(capture.changes + browser.changes, 0);
    }

    void returnInvalidKeepsOneCopy() {
        report->setResults({"b", "a"}, {"a", "c", "z"});
        tick(report->invalid(), {"a", "c"});
        report->returnInvalid();
        QCOMPARE(report->valid().texts(), QStringList({"a", "b", "c"}));
        QCOMPARE(report->invalid().texts(), QStringList({"a", "c", "z"}));
        QCOMPARE(report->invalid().tickedCount(), 2);
    }

    void checkAgainAddsTheNormalisedForm_data() {
        QTest::addColumn<bool>("online");
        QTest::newRow("online") << true;
        QTest::newRow("offline, option unticked") << false;
    }
    void checkAgainAddsTheNormalisedForm() {
        QFETCH(bool, online);
        connectivity.connected = online;
        http.statuses.insert(QStringLiteral("http://Example.org/x"), 200);
        report->setResults({"zz"}, {"Example.org/x"});
        report->invalid().setSelected(0); // CLBInvalidClick fills the edit box
        QCOMPARE(report->editText(), QStringLiteral("Example.org/x"));
        QVERIFY(report->buttons().checkAgain);
        QSignalSpy done(report.get(), &ValidationReport::checkedAgain);
        report->checkAgain();
        QVERIFY(!report->buttons().checkAgain); // one check at a time
        QVERIFY(done.wait(2000));
        QCOMPARE(report->valid().texts(), QStringList({"http://Example.org/x", "zz"}));
        QCOMPARE(report->invalid().texts(), QStringList({"Example.org/x"}));
        QVERIFY(report->buttons().appendAll);
        QVERIFY(!report->buttons().appendChecked);
        QVERIFY(report->buttons().checkAgain);
    }

    void checkAgainInvalidWarns() {
        report->setEditText(QStringLiteral("nowhere"));
        dialogs.answer(Answer::Ok);
        QSignalSpy done(report.get(), &ValidationReport::checkedAgain);
        report->checkAgain();
        QVERIFY(done.wait(2000));
        QCOMPARE(dialogs.shown.last().text, QStringLiteral("nowhere is invalid."));
        QCOMPARE(dialogs.shown.last().kind, MessageKind::Warning);
        QVERIFY(report->valid().isEmpty());
        QVERIFY(!report->buttons().appendAll);
    }

    void enableRules() {
        report->setResults({"a", "b"}, {"x", "y"});
        const ReportButtons start = report->buttons();
        QVERIFY(!start.syncChecked && !start.appendChecked && !start.deleteValid && !start.deleteInvalid &&
                !start.returnInvalid);
        report->tickAllValid(true);
        QVERIFY(report->buttons().syncChecked && report->buttons().appendChecked &&
                report->buttons().deleteValid);
        report->tickAllInvalid(true);
        QVERIFY(report->buttons().deleteInvalid && report->buttons().returnInvalid);
        report->deleteTickedValid(); // disables only its own button
        QVERIFY(report->valid().isEmpty());
        QVERIFY(!report->buttons().deleteValid);
        QVERIFY(report->buttons().syncChecked && report->buttons().appendChecked);
        report->tickAllInvalid(false);
        QVERIFY(!report->buttons().deleteInvalid && !report->buttons().returnInvalid);
        report->invalid().setTicked(1, true);
        report->invalidTicksChanged();
        QVERIFY(report->buttons().deleteInvalid && report->buttons().returnInvalid);
        // New results come unticked: nothing that acts on ticked items stays enabled from before.
        report->tickAllValid(true);
        report->setResults({"n"}, {});
        QVERIFY(!report->buttons().syncChecked && !report->buttons().deleteInvalid);
        report->tickAllInvalid(true); // an empty list
        QVERIFY(!report->buttons().deleteInvalid);
    }

    // Check again is enabled exactly while the box holds text, whatever tick changes come between.
    void checkAgainFollowsTheBox() {
        report->setResults({"a"}, {"x", "y"});
        report->setEditText(QStringLiteral("typed.example"));
        QVERIFY(report->buttons().checkAgain);
        report->invalid().setTicked(0, true);
        report->invalidTicksChanged();
        report->tickAllValid(true);
        report->tickAllInvalid(false);
        QVERIFY(report->buttons().checkAgain);

        report->invalid().setSelected(1);
        report->setEditText(QString()); // emptied by hand with an entry still selected
        QVERIFY(!report->buttons().checkAgain);
        report->invalidTicksChanged();
        QVERIFY(!report->buttons().checkAgain);
        report->setEditText(QStringLiteral("y2"));
        QVERIFY(report->buttons().checkAgain);
    }
};

QTEST_GUILESS_MAIN(TestValidationReport)
#include "tst_validationreport.moc"
