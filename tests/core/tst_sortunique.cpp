#include "core/CheckListModel.h"
#include "core/SortUnique.h"

#include <QRandomGenerator>
#include <QTest>

using namespace clipvane;

class TstSortUnique : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void sortsAndKeepsFirstOfEquals_data() {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("case variants, first survives")
            << QStringList{"b", "A", "a", "B"} << QStringList{"A", "b"};
        QTest::newRow("empty") << QStringList{} << QStringList{};
        QTest::newRow("one") << QStringList{"x"} << QStringList{"x"};
        QTest::newRow("empty entries collapse") << QStringList{"", "a", ""} << QStringList{"", "a"};
        QTest::newRow("upper-case copy of a kept url")
            << QStringList{"http://example.com/a", "HTTP://EXAMPLE.COM/A"}
            << QStringList{"http://example.com/a"};
        QTest::newRow("locale order, not code units")
            << QStringList{"b", "Z", "a", "\u00e9"} << QStringList{"a", "b", "\u00e9", "Z"};
    }
    void sortsAndKeepsFirstOfEquals() {
        QFETCH(QStringList, input);
        QFETCH(QStringList, expected);
        CheckListModel list;
        list.appendTexts(input);
        SortUnique(list);
        QCOMPARE(list.texts(), expected);
        QCOMPARE(sortUniqueTexts(input), expected);
    }

    void clearsTicksAndSelection() {
        CheckListModel list;
        list.appendTexts({"c", "a", "b"});
        list.setAllTicked(true);
        list.setSelected(1);
        SortUnique(list);
        QCOMPARE(list.tickedCount(), 0);
        for (int i = 0; i < list.count(); ++i)
            QVERIFY(!list.isTicked(i));
        QCOMPARE(list.selected(), -1);

        // Already sorted: still unticked and unselected afterwards.
        list.setTicked(0, true);
        list.setSelected(2);
        SortUnique(list);
        QCOMPARE(list.tickedCount(), 0);
        QCOMPARE(list.selected(), -1);
    }

    // The capture appends one entry to a sorted list and sorts again; that path must give exactly
    // what a sort from scratch gives, whatever was appended since the last sort.
    void appendThenSortEqualsSortFromScratch() {
        QRandomGenerator rng(42);
        const QStringList alphabet{"a", "B", "b", "c", "http://x", "HTTP://X", "\u00e9", "E", "zz", ""};
        auto word = [&] {
            QString w;
            const int n = int(rng.bounded(3)) + 1;
            for (int i = 0; i < n; ++i)
                w += alphabet[int(rng.bounded(alphabet.size()))];
            return w;
        };
        CheckListModel list;
        QStringList reference;
        for (int round = 0; round < 400; ++round) {
            const int appended = int(rng.bounded(4)) + 1; // nested captures append several before a sort
            for (int i = 0; i < appended; ++i) {
                const QString w = word();
                list.append(w);
                reference.append(w);
            }
            if (rng.bounded(5) == 0)
                list.setTicked(int(rng.bounded(list.count())), true);
            SortUnique(list);
            reference = sortUniqueTexts(reference);
            QCOMPARE(list.texts(), reference);
            QCOMPARE(list.tickedCount(), 0);
        }
    }

    void identitiesSurviveTheSort() {
        CheckListModel list;
        const quint64 b = list.append("b");
        const quint64 a = list.append("a");
        list.append("A");
        SortUnique(list);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.rowOfId(a), 0);
        QCOMPARE(list.rowOfId(b), 1);
    }
};

QTEST_GUILESS_MAIN(TstSortUnique)
#include "tst_sortunique.moc"
