#include "HistoryTestUtil.h"
#include "history/HistoryPrint.h"
#include "history/HistoryTools.h"

#include <QAbstractItemModelTester>
#include <QFontDatabase>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

QString u(const char16_t* s) {
    return QString::fromUtf16(s);
}

const QString kExact = QString::fromLatin1(kExactMatchQuestion);
const QString kPartial = QString::fromLatin1(kPartialMatchQuestion);

// The duplicate removal as first described: every entry compared with every later one.
QStringList quadraticRemoval(QStringList rows, int& removed) {
    auto joined = [](const QString& compact) { return rowOf(compact).cells; };
    auto same = [&](const QString& a, const QString& b) {
        QString x, y;
        for (const QString& c : joined(a))
            x += c;
        for (const QString& c : joined(b))
            y += c;
        return x == y;
    };
    removed = 0;
    for (int i = 1; i < rows.size() - 1; ++i) {
        for (int j = i + 1; j < rows.size() - 1;) {
            if (same(rows[i], rows[j])) {
                rows.removeAt(j);
                ++removed;
            } else {
                ++j;
            }
        }
    }
    return rows;
}

} // namespace

class TstHistoryTools : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void foldsOnlyAsciiLetters_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        QTest::newRow("mixed case") << "http://Example.COM/"
                                    << "exAMPLE.com" << true;
        QTest::newRow("accent, same case") << u(u"caf\u00E9") << u(u"F\u00E9") << true;
        QTest::newRow("accent, other case") << u(u"CAF\u00C9") << u(u"f\u00E9") << false;
        QTest::newRow("longer than the cell") << "ab"
                                              << "abc" << false;
        QTest::newRow("at the end") << "xxab"
                                    << "AB" << true;
        QTest::newRow("overlapping start") << "aab"
                                           << "ab" << true;
    }
    void foldsOnlyAsciiLetters() {
        QFETCH(QString, cell);
        QFETCH(QString, text);
        QFETCH(bool, found);
        QCOMPARE(containsFoldingAsciiLetters(cell, text), found);
    }

    void totalsText() {
        QCOMPARE(
            searchTotalsText(false, 2, 13),
            QString("The search is over. \r\nTotal exact match found:  2\r\nTotal partial match found:13"));
        QCOMPARE(searchTotalsText(true, 0, 1), QString("The search was canceled and is over. \r\nTotal exact "
                                                       "match found:  0\r\nTotal partial match found:1"));
    }

    // The questions asked, the answers given, what the search counted and how it ended.
    void search_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("questions"); // "E r c" or "P r c" (row, column), then the totals
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("exact");
        QTest::addColumn<int>("partial");
        const QStringList rows{"Date|Time|URL", "1|x|http://A.example/", "2|http://a.example/|y", ""};
        QTest::newRow("exact counts once, not also as partial")
            << rows << "http://a.example/" << QList<Answer>{Answer::Yes, Answer::Yes, Answer::Ok}
            << QStringList{"P 1 2", "E 2 1", "T"} << int(HistorySearch::Outcome::Finished) << 1 << 1;
        QTest::newRow("partial in any case of a to z")
            << rows << "EXAMPLE" << QList<Answer>{Answer::Yes, Answer::Yes, Answer::Ok}
            << QStringList{"P 1 2", "P 2 1", "T"} << int(HistorySearch::Outcome::Finished) << 0 << 2;
        QTest::newRow("nothing found") << rows << "zzz" << QList<Answer>{Answer::Ok} << QStringList{"T"}
                                       << int(HistorySearch::Outcome::Finished) << 0 << 0;
        QTest::newRow("No at a partial match stops without totals")
            << rows << "example" << QList<Answer>{Answer::No} << QStringList{"P 1 2"}
            << int(HistorySearch::Outcome::Stopped) << 0 << 1;
        QTest::newRow("closing a partial question stops too")
            << rows << "example" << QList<Answer>{Answer::Closed} << QStringList{"P 1 2"}
            << int(HistorySearch::Outcome::Stopped) << 0 << 1;
        QTest::newRow("No at an exact match stops")
            << rows << "x" << QList<Answer>{Answer::No} << QStringList{"E 1 1"}
            << int(HistorySearch::Outcome::Stopped) << 1 << 0;
        QTest::newRow("closing an exact question goes on")
            << rows << "x" << QList<Answer>{Answer::Closed, Answer::Yes, Answer::Yes, Answer::Ok}
            << QStringList{"E 1 1", "P 1 2", "P 2 1", "T"} << int(HistorySearch::Outcome::Finished) << 1 << 2;
        QTest::newRow("the header row is not searched")
            << rows << "Date" << QList<Answer>{Answer::Ok} << QStringList{"T"}
            << int(HistorySearch::Outcome::Finished) << 0 << 0;
    }
    void search() {
        QFETCH(QStringList, rows);
        QFETCH(QString, text);
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, questions);
        QFETCH(int, outcome);
        QFETCH(int, exact);
        QFETCH(int, partial);
        TableRig r;
        r.set(rows);
        ScriptedDialogs dialogs;
        for (Answer a : answers)
            dialogs.answer(a);
        HistorySearch search(r.table, dialogs);
        QStringList asked;
        QPair<int, int> selected{-1, -1};
        dialogs.onMessage = [&](const ScriptedDialogs::Shown& s) {
            if (s.text == kExact || s.text == kPartial) {
                QCOMPARE(s.kind, MessageKind::Information);
                QCOMPARE(s.buttons, Buttons::YesNo);
                asked.append(QString("%1 %2 %3")
                                 .arg(s.text == kExact ? "E" : "P")
                                 .arg(selected.first)
                                 .arg(selected.second));
            } else {
                QCOMPARE(s.text, searchTotalsText(false, exact, partial));
                QCOMPARE(s.buttons, Buttons::Ok);
                asked.append("T");
            }
        };
        HistorySearch::Hooks hooks;
        hooks.select = [&](int row, int column) { selected = {row, column}; };
        const HistorySearch::Result result = search.run(text, hooks);
        QCOMPARE(asked, questions);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(result.exact, exact);
        QCOMPARE(result.partial, partial);
        QVERIFY(dialogs.allAnswersUsed());
        QVERIFY(!search.isRunning());
    }

    // Cancelled at a match: the counts so far, no further cell, the cancelled totals.
    void cancelStopsAtTheEndOfTheCell() {
        TableRig r;
        r.set({"H", "a1|a2|a3", "a4", ""});
        ScriptedDialogs dialogs;
        dialogs.answer(Answer::Yes);
        dialogs.answer(Answer::Ok);
        HistorySearch search(r.table, dialogs);
        HistorySearch::Hooks hooks;
        int selections = 0;
        hooks.select = [&](int, int) {
            ++selections;
            search.cancel();
        };
        const HistorySearch::Result result = search.run("A", hooks);
        QCOMPARE(int(result.outcome), int(HistorySearch::Outcome::Cancelled));
        QCOMPARE(selections, 1);
        QCOMPARE(result.partial, 1);
        QCOMPARE(dialogs.texts().last(), searchTotalsText(true, 0, 1));
    }

    // Rows added while the search runs are not examined; rows moved are found again; rows gone are skipped;
    // a second search while one runs does nothing.
    void searchHoldsItsRowsByIdentity() {
        TableRig r;
        r.set({"H", "m1", "other", "m2", "m3", ""});
        ScriptedDialogs dialogs;
        for (int i = 0; i < 3; ++i)
            dialogs.answer(Answer::Yes);
        dialogs.answer(Answer::Ok);
        HistorySearch search(r.table, dialogs);
        QStringList found;
        HistorySearch::Hooks hooks;
        hooks.select = [&](int row, int column) {
            found.append(r.table.cell(row, column));
            if (found.size() == 1) {
                r.table.AddHistoryEntry("m-new");            // into the blank row of the start: examined
                r.table.AddHistoryEntry("m-newer");          // a row made after the start: not examined
                r.table.DeleteHistoryRow(4);                 // m3 goes
                r.table.moveEntry(3, 1);                     // m2 moves above m1
                QCOMPARE(search.run("m", hooks).partial, 0); // already running: nothing
            }
        };
        const HistorySearch::Result result = search.run("m", hooks);
        QCOMPARE(found, (QStringList{"m1", "m2", "m-new"}));
        QCOMPARE(result.partial, 3);
        QCOMPARE(dialogs.texts().size(), 4);
    }

    void sort_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("by URL, letter case ignored")
            << QStringList{"H", "1|t|b.example", "2|t|A.example", "3|t|a.example", ""} << 2
            << QStringList{"H", "2|t|A.example", "3|t|a.example", "1|t|b.example", ""};
        QTest::newRow("ties broken by the whole row")
            << QStringList{"H", "b|x", "a|x", "c|w", ""} << 1 << QStringList{"H", "c|w", "a|x", "b|x", ""};
        QTest::newRow("@ in cells: rows move whole")
            << QStringList{"H", "y|a", "x|a@b", ""} << 1 << QStringList{"H", "x|a@b", "y|a", ""};
        QTest::newRow("dates sort as text") << QStringList{"H", "10/03/2024", "09/04/2024", ""} << 0
                                            << QStringList{"H", "09/04/2024", "10/03/2024", ""};
        QTest::newRow("one entry") << QStringList{"H", "z", ""} << 0 << QStringList{"H", "z", ""};
        QTest::newRow("empty") << QStringList{"H", ""} << 0 << QStringList{"H", ""};
        QTest::newRow("a last row with text stays last")
            << QStringList{"H", "b", "a", "z|typed"} << 0 << QStringList{"H", "a", "b", "z|typed"};
        QTest::newRow("column out of range")
            << QStringList{"H", "b", "a", ""} << 7 << QStringList{"H", "b", "a", ""};
    }
    void sort() {
        QFETCH(QStringList, rows);
        QFETCH(int, column);
        QFETCH(QStringList, sorted);
        TableRig r;
        r.set(rows);
        QAbstractItemModelTester tester(&r.table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const quint64 idOfFirst = r.table.idAt(1);
        SortHistory(r.table, column);
        QCOMPARE(r.rows(), sorted);
        // Ids move with their rows.
        QCOMPARE(r.table.cell(r.table.rowOfId(idOfFirst), 0), rowOf(rows[1]).cells[0]);
    }

    void removeDuplicates_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<int>("removed");
        QTest::newRow("none") << QStringList{"H", "a", "b", ""} << QStringList{"H", "a", "b", ""} << 0;
        QTest::newRow("letter case counts")
            << QStringList{"H", "a|X", "a|x", ""} << QStringList{"H", "a|X", "a|x", ""} << 0;
        QTest::newRow("three equal leave one")
            << QStringList{"H", "a|1", "b", "a|1", "a|1", ""} << QStringList{"H", "a|1", "b", ""} << 2;
        QTest::newRow("cells joined without separator")
            << QStringList{"H", "ab|c", "a|bc", ""} << QStringList{"H", "ab|c", ""} << 1;
        QTest::newRow("blank entries are entries")
            << QStringList{"H", "|", "a", "|", ""} << QStringList{"H", "", "a", ""} << 1;
        QTest::newRow("the last row is not an entry")
            << QStringList{"H", "a", "a"} << QStringList{"H", "a", "a"} << 0;
        QTest::newRow("the header is not an entry")
            << QStringList{"a", "a", ""} << QStringList{"a", "a", ""} << 0;
    }
    void removeDuplicates() {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, kept);
        QFETCH(int, removed);
        TableRig r;
        r.set(rows);
        QCOMPARE(RemoveDuplicateRecords(r.table), removed);
        QCOMPARE(r.rows(), kept);
    }

    // The one-pass removal gives exactly what the pairwise walk gives, scattered or in runs.
    void removeDuplicatesLikeThePairwiseWalk() {
        QRandomGenerator rng(5);
        for (int round = 0; round < 40; ++round) {
            QStringList rows{"H"};
            const int n = int(rng.bounded(1, round < 20 ? 30 : 400));
            for (int i = 0; i < n; ++i)
                rows.append(QString("%1|%2").arg(rng.bounded(4)).arg(rng.bounded(round % 2 ? 3 : 40)));
            rows.append("");
            int expectedRemoved = 0;
            const QStringList expected = quadraticRemoval(rows, expectedRemoved);
            TableRig r;
            r.set(rows);
            QAbstractItemModelTester tester(&r.table, QAbstractItemModelTester::FailureReportingMode::QtTest);
            QCOMPARE(RemoveDuplicateRecords(r.table), expectedRemoved);
            QCOMPARE(r.rows(), expected);
            // Ids still find their rows after the removal.
            for (int row = 0; row < r.table.rowCount(); ++row)
                QCOMPARE(r.table.rowOfId(r.table.idAt(row), 0), row);
        }
    }

    void urlLines() {
        TableRig r;
        r.set({"H", "d|t|u1", "d|t|", "d|t|u3", ""});
        QCOMPARE(historyUrlLines(r.table), (QStringList{"u1", "", "u3"}));
        r.set({"H", ""});
        QCOMPARE(historyUrlLines(r.table), QStringList());
    }

    // Widths follow the widest text of each column, within 20..200 plus 20; the URL column fits its widest
    // text whole as the font lays it out (kerning included), plus the padding.
    void autoSize() {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(13);
        const QFontMetricsF fmf(font);
        const auto laidOut = [&](const QString& t) { return int(std::ceil(fmf.horizontalAdvance(t))); };
        const QFontMetrics fm(font);
        GridMetrics grid;
        grid.font = font;
        auto near = [](int got, int expected) { return qAbs(got - expected) <= 2 + expected / 100; };
        TableRig r;
        const QString longUrl = "http://" + QString(300, u'w') + ".example/Te/AV/";
        const QString wide = u(u"\u4E2D\u6587\u4E2D\u6587"); // drawn by another font: measured whole
        r.set({"Date|T", "a|Time of entry here|" + longUrl + "||" + wide, "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
               ""});
        const std::array<int, kHistoryColumns> w = autoSizeWidths(r.table, grid);
        QCOMPARE(w[0], 200 + 20);
        QVERIFY(near(w[1], fm.horizontalAdvance("Time of entry here") + 20));
        QCOMPARE(w[2], laidOut(longUrl) + 7);
        QCOMPARE(w[3], 20 + 20);
        QCOMPARE(w[4], std::max(20, laidOut(wide)) + 20);
        QCOMPARE(autoSizeColWidth(r.table, 0, grid), laidOut("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW") + 7);

        QRandomGenerator rng(3);
        for (int i = 0; i < 300; ++i) {
            QStringList rows{"H"};
            for (int k = int(rng.bounded(1, 6)); k > 0; --k) {
                QString s;
                for (int n = int(rng.bounded(1, 80)); n > 0; --n)
                    s += QChar(char16_t(rng.bounded(0x20, 0x100)));
                s.replace(u'|', u'/');
                rows.append("d|t|" + s);
            }
            rows.append("");
            r.set(rows);
            int widest = 0;
            for (int row = 0; row < r.table.rowCount(); ++row)
                widest = std::max(widest, laidOut(r.table.cell(row, 2)));
            QCOMPARE(autoSizeColWidth(r.table, 2, grid), widest + 7);
        }
    }

    // The header, the room the grid draws around its text, and long texts.
    void autoSizeLimits_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("headerWidth");
        QTest::addColumn<int>("padding");
        QTest::addColumn<int>("expected"); // -1: the text's width plus the padding
        QTest::newRow("empty table: the header's width") << QString() << 48 << 7 << 48;
        QTest::newRow("a text wider than its header") << QString("http://127.0.0.1:8080/a") << 48 << 7 << -1;
        QTest::newRow("the grid's own padding") << QString("http://127.0.0.1:8080/a") << 0 << 11 << -1;
        QTest::newRow("150,000 characters")
            << "http://" + QString(150'000, u'a') << 48 << 7 << kMaxColumnWidth;
        QTest::newRow("2 MB of one character") << QString(1 << 20, u'x') << 48 << 7 << kMaxColumnWidth;
        QTest::newRow("2 MB of other script")
            << QString(1 << 20, QChar(0x4E2D)) << 48 << 7 << kMaxColumnWidth;
    }
    void autoSizeLimits() {
        QFETCH(QString, url);
        QFETCH(int, headerWidth);
        QFETCH(int, padding);
        QFETCH(int, expected);
        GridMetrics grid;
        grid.font = QFont(QStringLiteral("DejaVu Sans"));
        grid.font.setPixelSize(13);
        grid.cellPadding = padding;
        grid.headerWidths.fill(headerWidth);
        TableRig r;
        r.set({"H", ""});
        if (!url.isNull()) {
            r.set({"H", "d|t|x", ""});
            r.table.setCell(1, 2, url);
        }
        if (expected < 0)
            expected = int(std::ceil(QFontMetricsF(grid.font).horizontalAdvance(url))) + padding;
        QCOMPARE(autoSizeColWidth(r.table, 2, grid), expected);
        QCOMPARE(autoSizeWidths(r.table, grid)[2], expected);
    }

    void printTitle() {
        QCOMPARE(historyPrintTitle(QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3))),
                 QString("Clipvane - Captured History database. 09/03/2024 07:05:03"));
    }

    // What the printout draws: title, six columns from the time on, five times the screen widths, each
    // cell clipped to its box, rows below the page left out.
    void printout() {
        TableRig r;
        QStringList rows{kHeaderCompact};
        for (int i = 1; i <= 60; ++i)
            rows.append(QString("d%1|t%1|u%1|o|v|dom|ip").arg(i));
        rows.append("");
        r.set(rows);
        RecordingPrinting printer;
        printer.pageSize = QSize(4000, 300 + 150 * 40); // room for rows 1 to 39
        const std::array<int, kHistoryColumns> widths{100, 80, 300, 60, 50, 90, 70};
        QString error;
        QVERIFY(printer.printOnDefaultPrinter(
            "job", [&](QPainter& p) { drawHistoryPrintout(p, r.table, "Title text", widths); }, error));
        QCOMPARE(printer.jobs.size(), 1);
        const QList<DrawnText>& texts = printer.jobs[0].texts;

        const DrawnText& title = texts.first();
        QCOMPARE(title.text, QString("Title text"));
        QCOMPARE(title.font.family(), QString("Times New Roman"));
        QCOMPARE(title.font.pointSize(), 12);
        QVERIFY(title.font.bold());
        QVERIFY(title.font.underline());
        QCOMPARE(title.pen, QColor(Qt::black));
        QCOMPARE(title.topLeft.x(), 0.0);
        QVERIFY(qAbs(title.topLeft.y() - 100) < 1);
        QVERIFY(title.clip.isNull());

        QHash<QString, DrawnText> byText;
        for (const DrawnText& t : texts.mid(1))
            byText.insert(t.text, t);
        QVERIFY(!byText.contains("Date of entry"));
        QVERIFY(!byText.contains("d1"));
        QCOMPARE(texts.size() - 1, 6 * (1 + 39)); // the header row and rows 1 to 39

        const int left[] = {0, 0, 400, 1900, 2200, 2450, 2900};
        for (int c = 1; c < kHistoryColumns; ++c) {
            const DrawnText& header = byText.value(HistoryTable::headerTexts().cells[std::size_t(c)]);
            QCOMPARE(header.topLeft.x(), qreal(left[c] + 50));
            QVERIFY(qAbs(header.topLeft.y() - 350) < 1);
            QCOMPARE(header.clip, QRect(left[c], 300, 5 * widths[std::size_t(c)] - 30, 150));
            QVERIFY(header.font.bold());
            QCOMPARE(header.font.pointSize(), 7);
        }
        const DrawnText& row3 = byText.value("u3");
        QCOMPARE(row3.topLeft.x(), qreal(400 + 50));
        QVERIFY(qAbs(row3.topLeft.y() - (350 + 150 * 3)) < 1);
        QCOMPARE(row3.clip, QRect(400, 300 + 150 * 3, 5 * 300 - 30, 150));
        QVERIFY(!row3.font.bold());
        QCOMPARE(row3.font.pointSize(), 7);
        QVERIFY(byText.contains("t39"));
        QVERIFY(!byText.contains("t40"));
    }
};

QTEST_MAIN(TstHistoryTools)
#include "tst_historytools.moc"
