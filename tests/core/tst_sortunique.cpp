#include "core/CheckListModel.h"
#include "core/SortUnique.h"

#include <QRandomGenerator>
#include <QTest>

using namespace clipvane;

class TstSortUnique : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Every order test runs under a real locale and under C (LANG=C.UTF-8 on servers and in containers).
    static void addLocaleColumn() { QTest::addColumn<QLocale>("locale"); }
    static QList<std::pair<const char*, QLocale>> locales() {
        return {{"en_US", QLocale(QLocale::English, QLocale::UnitedStates)}, {"C", QLocale::c()}};
    }

    void sortsAndKeepsFirstOfEquals_data() {
        addLocaleColumn();
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("expected");
        for (const auto& [name, locale] : locales()) {
            const auto row = [&](const char* what) -> QTestData& {
                return QTest::addRow("%s, %s", name, what) << locale;
            };
            row("case variants, first survives") << QStringList{"b", "A", "a", "B"} << QStringList{"A", "b"};
            row("empty") << QStringList{} << QStringList{};
            row("one") << QStringList{"x"} << QStringList{"x"};
            row("empty entries collapse") << QStringList{"", "a", ""} << QStringList{"", "a"};
            row("upper-case copy of a kept url")
                << QStringList{"http://example.com/a", "HTTP://EXAMPLE.COM/A"}
                << QStringList{"http://example.com/a"};
            row("letter case ignored in the order")
                << QStringList{"http://c", "HTTP://D", "http://b", "HTTP://A"}
                << QStringList{"HTTP://A", "http://b", "http://c", "HTTP://D"};
        }
        QTest::newRow("en_US, locale order, not code units")
            << locales()[0].second << QStringList{"b", "Z", "a", "\u00e9"}
            << QStringList{"a", "b", "\u00e9", "Z"};
        QTest::newRow("C, code point order of the folded text")
            << QLocale::c() << QStringList{"b", "Z", "a", "\u00e9", "_"}
            << QStringList{"_", "a", "b", "Z", "\u00e9"};
    }
    void sortsAndKeepsFirstOfEquals() {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, input);
        QFETCH(QStringList, expected);
        QLocale::setDefault(locale);
        CheckListModel list;
        list.appendTexts(input);
        SortUnique(list);
        QCOMPARE(list.texts(), expected);
        QCOMPARE(sortUniqueTexts(input), expected);
        // One at a time, as captures add them: the insert path gives the same list.
        CheckListModel captured;
        for (const QString& text : input) {
            captured.append(text);
            SortUnique(captured);
        }
        QCOMPARE(captured.texts(), expected);
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
    void appendThenSortEqualsSortFromScratch_data() {
        addLocaleColumn();
        for (const auto& [name, locale] : locales())
            QTest::newRow(name) << locale;
    }
    void appendThenSortEqualsSortFromScratch() {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        QRandomGenerator rng(42);
        const QStringList alphabet{"a",
                                   "B",
                                   "b",
                                   "c",
                                   "http://x",
                                   "HTTP://X",
                                   "\u00e9",
                                   "\u00c9",
                                   "E",
                                   "zz",
                                   "_",
                                   "",
                                   QString::fromUtf16(u"\U0001F600"),
                                   QString::fromUtf16(u"\uFFFD"),
                                   QString(QChar(0)) + "q"};
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
            // Nested captures append several before a sort; a file appends many.
            const int appended = rng.bounded(8) == 0 ? int(rng.bounded(17, 120)) : int(rng.bounded(4)) + 1;
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
