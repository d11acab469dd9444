#include "Doubles.h"
#include "core/CapturedList.h"
#include "core/CheckListModel.h"
#include "lists/ListCommands.h"

#include <QSignalSpy>
#include <QTest>

using namespace clipvane;
using clipvane::test::ScriptedDialogs;

class TstCheckList : public QObject {
    Q_OBJECT
private slots:
    void deleteTicked_data() {
        QTest::addColumn<QList<bool>>("ticks");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("modified");
        const QList<bool> none{false, false, false, false, false};
        QTest::newRow("two of five") << QList<bool>{false, true, false, true, false}
                                     << QStringList{"a", "c", "e"} << "Modified" << true;
        QTest::newRow("all") << QList<bool>{true, true, true, true, true} << QStringList{} << "New" << false;
        QTest::newRow("none ticked") << none << QStringList{"a", "b", "c", "d", "e"} << "New" << false;
    }
    void deleteTicked() {
        QFETCH(QList<bool>, ticks);
        QFETCH(QStringList, remaining);
        QFETCH(QString, status);
        QFETCH(bool, modified);
        CapturedList captured;
        CheckListModel& list = captured.model;
        list.appendTexts({"a", "b", "c", "d", "e"});
        for (int i = 0; i < ticks.size(); ++i)
            list.setTicked(i, ticks[i]);
        captured.modified = !modified;
        QCOMPARE(deleteTickedEntries(captured), status);
        QCOMPARE(list.texts(), remaining);
        QCOMPARE(captured.modified, modified);
        QCOMPARE(list.tickedCount(), 0);
    }

    void selectionFollowsItsEntry() {
        CheckListModel list;
        list.appendTexts({"a", "b", "c"});
        list.setSelected(2);
        list.setTicked(0, true);
        list.deleteTicked();
        QCOMPARE(list.selected(), 1);
        QCOMPARE(list.textAt(list.selected()), QString("c"));
        list.setTicked(1, true);
        list.deleteTicked();
        QCOMPARE(list.selected(), -1);
    }

    void newList_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("saved list: no question") << false << QList<Answer>{} << true;
        QTest::newRow("unsaved, yes") << true << QList<Answer>{Answer::Yes} << true;
        QTest::newRow("unsaved, no") << true << QList<Answer>{Answer::No} << false;
        QTest::newRow("unsaved, closed") << true << QList<Answer>{Answer::Closed} << false;
    }
    void newList() {
        QFETCH(bool, modified);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, emptied);
        CapturedList captured;
        CheckListModel& list = captured.model;
        list.appendTexts({"a", "b"});
        captured.modified = modified;
        ScriptedDialogs dialogs;
        for (Answer a : answers)
            dialogs.answer(a);
        QCOMPARE(clipvane::newList(captured, dialogs), emptied);
        QCOMPARE(list.isEmpty(), emptied);
        QCOMPARE(captured.modified, emptied ? false : modified);
        QCOMPARE(dialogs.shown.size(), answers.size());
        if (!answers.isEmpty()) {
            QCOMPARE(dialogs.shown[0].text, QString::fromLatin1(kNewListQuestion));
            QCOMPARE(dialogs.shown[0].kind, MessageKind::Information);
            QCOMPARE(dialogs.shown[0].buttons, Buttons::YesNo);
        }
    }

    void userTickThroughTheModel() {
        CheckListModel list;
        list.appendTexts({"a", "b"});
        QSignalSpy spy(&list, &CheckListModel::tickedByUser);
        QVERIFY(list.setData(list.index(1), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(spy.count(), 1);
        QVERIFY(list.isTicked(1));
        QCOMPARE(list.tickedCount(), 1);
        QCOMPARE(list.data(list.index(1), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    void longTextsAreCutForDisplayOnly() {
        CheckListModel list;
        const QString huge(3 * 1024 * 1024, QChar('x'));
        list.append(huge);
        QCOMPARE(list.textAt(0).size(), huge.size());
        QVERIFY(list.data(list.index(0), Qt::DisplayRole).toString().size() <=
                CheckListModel::kDisplayLimit + 1);
    }
};

QTEST_GUILESS_MAIN(TstCheckList)
#include "tst_checklist.moc"
