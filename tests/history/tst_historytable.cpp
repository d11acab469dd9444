#include "Doubles.h"
#include "history/HistoryTable.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <QTimer>

using namespace clipvane;
using namespace clipvane::test;

namespace {

const QDateTime kClock(QDate(2024, 3, 9), QTime(7, 5, 3));

// A table on doubles, with a fixed clock and a yield that can run other work in the middle of an entry.
struct Rig {
    FakeResolver resolver;
    FakeConnectivity connectivity;
    bool validate = false;
    int yields = 0;
    std::function<void(int)> onYield;
    HistoryTable table{sources()};

    HistorySources sources() {
        HistorySources s;
        s.resolver = &resolver;
        s.connectivity = &connectivity;
        s.validateClipboardUrl = [this] { return validate; };
        s.yield = [this] {
            ++yields;
            if (onYield)
                onYield(yields);
        };
        s.now = [] { return kClock; };
        return s;
    }
    QStringList row(int r) const {
        const HistoryEntry e = table.entry(r);
        return QStringList(e.cells.begin(), e.cells.end());
    }
    bool endsWithOneBlankRow() const {
        const int n = table.rowCount();
        return n >= 2 && table.entry(n - 1).isBlank() && !table.entry(n - 2).isBlank();
    }
};

const QStringList kBlank(kHistoryColumns);

QStringList cells(const QString& url, const QString& origin, const QString& validate, const QString& domain,
                  const QString& ip) {
    return {"09/03/2024", "07:05:03", url, origin, validate, domain, ip};
}

} // namespace

class TstHistoryTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Dates and times follow the locale; this one is fixed so that the texts can be compared.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }

    // Column 6 of a clipboard entry, and what the resolver was asked for it.
    void addressColumn_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QStringList>("asked");
        const QStringList none;
        QTest::newRow("LOCALHOST") << "http://LOCALHOST/" << false << "127.0.0.1" << none;
        QTest::newRow("LocalHost") << "http://LocalHost:80/" << true << "127.0.0.1" << none;
        QTest::newRow("dotted IPv4") << "http://10.0.0.1/" << false << "10.0.0.1" << none;
        QTest::newRow("dotted IPv4 zeros") << "http://010.1.2.255/" << true << "010.1.2.255" << none;
        QTest::newRow("found") << "http://known.example/" << false << "93.184.216.34"
                               << QStringList{"known.example"};
        QTest::newRow("user and port never asked")
            << "http://me:pw@known.example:81/" << true << "93.184.216.34" << QStringList{"known.example"};
        QTest::newRow("not found, connected")
            << "http://gone.example/" << true << "Unresolved." << QStringList{"gone.example"};
        QTest::newRow("not found, offline")
            << "http://gone.example/" << false << "No Internet" << QStringList{"gone.example"};
        QTest::newRow("octet over 255 is a name")
            << "http://256.1.1.1/" << true << "Unresolved." << QStringList{"256.1.1.1"};
        QTest::newRow("no host asks with the empty name")
            << "no-scheme" << true << "Unresolved." << QStringList{""};
        QTest::newRow("outside ASCII in ASCII form")
            << "http://bücher.example/" << true << "192.0.2.5" << QStringList{"xn--bcher-kva.example"};
        QTest::newRow("trailing dot")
            << "http://known.example./" << true << "Unresolved." << QStringList{"known.example."};
        QTest::newRow("IPv6 literal") << "http://[::1]/" << true << "Unresolved." << none;
        QTest::newRow("space") << "http://a b.example/" << true << "Unresolved." << none;
        QTest::newRow("# before ?") << "http://a#b?c" << false << "No Internet" << none;
        QTest::newRow("backslash in host") << "http://a#b\\c?d" << true << "Unresolved." << none;
        QTest::newRow("control character") << "http://a\tb.example/" << true << "Unresolved." << none;
        QTest::newRow("empty label") << "http://a..example/" << true << "Unresolved." << none;
        QTest::newRow("label of 64") << "http://" + QString(64, 'a') + ".example/" << true << "Unresolved."
                                     << none;
        QTest::newRow("host of thousands")
            << "http://" + QString(5000, 'a') + ".example/" << true << "Unresolved." << none;
        QTest::newRow("unclosed bracket") << "http://[::1/" << true << "Unresolved." << none;
    }
    void addressColumn() {
        QFETCH(QString, url);
        QFETCH(bool, connected);
        QFETCH(QString, ip);
        QFETCH(QStringList, asked);
        Rig r;
        r.connectivity.connected = connected;
        r.resolver.answers["known.example"] = "93.184.216.34";
        r.resolver.answers["xn--bcher-kva.example"] = "192.0.2.5";
        r.table.AddHistoryEntry(url);
        QCOMPARE(r.table.cell(1, 6), ip);
        QCOMPARE(r.resolver.asked, asked);
        // The connection is asked only after a failed resolution.
        QCOMPARE(r.connectivity.calls, ip == "No Internet" || ip == "Unresolved." ? 1 : 0);
    }

    // With look-ups off the GUI thread the row is whole at once and its IP comes with the answer.
    void addressColumnLater_data() { addressColumn_data(); }
    void addressColumnLater() {
        QFETCH(QString, url);
        QFETCH(bool, connected);
        QFETCH(QString, ip);
        QFETCH(QStringList, asked);
        Rig r;
        r.resolver.answers["known.example"] = "93.184.216.34";
        r.resolver.answers["xn--bcher-kva.example"] = "192.0.2.5";
        r.connectivity.connected = connected;
        QList<std::pair<QString, std::function<void(const QString&)>>> pending;
        HistorySources s = r.sources();
        s.resolveLater = [&](const QString& host, std::function<void(const QString&)> done) {
            pending.append({host, std::move(done)});
        };
        HistoryTable table(std::move(s));
        table.AddHistoryEntry(url);
        const QString placeholder = connected ? "Unresolved." : "No Internet";
        const bool local = ip == "127.0.0.1" || ip == url.mid(7).section('/', 0, 0);
        const HistoryEntry before = table.entry(1);
        QCOMPARE(before.cells[6], local ? ip : placeholder);
        QStringList lookedUp;
        for (auto& [host, done] : pending) {
            lookedUp.append(host);
            done(r.resolver.resolveIPv4(host));
        }
        QCOMPARE(lookedUp, asked);
        const QString expected = ip == "Unresolved." || ip == "No Internet" ? placeholder : ip;
        QCOMPARE(table.entry(1).cells[6], expected);
    }

    // An answer that comes after the row went, or after the user typed into the cell, changes nothing.
    void lateAnswerKeepsWhatChanged() {
        Rig r;
        r.connectivity.connected = true;
        QList<std::function<void(const QString&)>> pending;
        HistorySources s = r.sources();
        s.resolveLater = [&](const QString&, std::function<void(const QString&)> done) {
            pending.append(std::move(done));
        };
        HistoryTable table(std::move(s));
        table.AddHistoryEntry("http://a.example/");
        table.AddHistoryEntry("http://b.example/");
        table.AddHistoryEntry("http://c.example/");
        QCOMPARE(pending.size(), 3);
        table.setData(table.index(2, 6), QStringLiteral("typed"));
        table.removeRowSet({1});
        for (auto& done : pending)
            done(QStringLiteral("192.0.2.9"));
        QCOMPARE(table.entry(1).cells[2], QStringLiteral("http://b.example/"));
        QCOMPARE(table.entry(1).cells[6], QStringLiteral("typed"));
        QCOMPARE(table.entry(2).cells[6], QStringLiteral("192.0.2.9"));
    }

    void clipboardEntry_data() {
        QTest::addColumn<bool>("validate");
        QTest::addColumn<QString>("text");
        QTest::newRow("validation on") << true << "Yes";
        QTest::newRow("validation off") << false << "No";
    }
    void clipboardEntry() {
        QFETCH(bool, validate);
        QFETCH(QString, text);
        Rig r;
        r.validate = validate;
        r.resolver.answers["www.example.com"] = "192.0.2.1";
        r.resolver.answers["example.com"] = "198.51.100.1";
        QCOMPARE(r.table.rowCount(), 2);
        QVERIFY(!r.table.hasEntries());
        r.table.AddHistoryEntry("https://www.example.com/a?b#c");
        QCOMPARE(r.table.rowCount(), 3);
        QVERIFY(r.table.hasEntries());
        QCOMPARE(r.row(0), QStringList({"Date of entry", "Time of entry", "URL", "Origin", "Validate",
                                        "Domain", "IP"}));
        // The resolver is asked for the host; the domain only shows in the Domain column.
        QCOMPARE(r.row(1),
                 cells("https://www.example.com/a?b#c", "Clipboard", text, "example.com", "192.0.2.1"));
        QCOMPARE(r.row(2), kBlank);
        QCOMPARE(r.yields, 1);
    }

    void browserEntry_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("with a domain")
            << "http://www.example.com/"
            << cells("http://www.example.com/", "Browser", "Yes", "example.com", "192.0.2.1")
            << QStringList{"www.example.com"};
        QTest::newRow("no ://") << "page.html" << cells("page.html", "Browser", "N/A", "N/A", "N/A")
                                << QStringList();
        QTest::newRow("host www alone")
            << "http://www/" << cells("http://www/", "Browser", "N/A", "N/A", "N/A") << QStringList();
        QTest::newRow("unresolved") << "http://gone.example/"
                                    << cells("http://gone.example/", "Browser", "Yes", "gone.example",
                                             "No Internet")
                                    << QStringList{"gone.example"};
    }
    void browserEntry() {
        QFETCH(QString, url);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, asked);
        Rig r;
        r.validate = true;
        r.resolver.answers["www.example.com"] = "192.0.2.1";
        r.table.AddBrowserHistoryEntry(url);
        QCOMPARE(r.row(1), expected);
        QCOMPARE(r.resolver.asked, asked);
        QCOMPARE(r.table.rowCount(), 3);
    }

    void tableOperations() {
        Rig r;
        QAbstractItemModelTester tester(&r.table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const char* url : {"http://a.example/", "http://b.example/", "http://c.example/"})
            r.table.AddHistoryEntry(QString::fromLatin1(url));
        QCOMPARE(r.table.rowCount(), 5);

        // Only entry rows can be deleted; the rows behind move up.
        QVERIFY(!r.table.DeleteHistoryRow(0));
        QVERIFY(!r.table.DeleteHistoryRow(4));
        QVERIFY(!r.table.DeleteHistoryRow(9));
        QVERIFY(r.table.DeleteHistoryRow(2));
        QCOMPARE(r.table.rowCount(), 4);
        QCOMPARE(r.table.cell(1, 2), QString("http://a.example/"));
        QCOMPARE(r.table.cell(2, 2), QString("http://c.example/"));

        // Only the first cell of the last row counts.
        r.table.setCell(3, 2, "typed");
        r.table.EnsureBlankLastRow();
        QCOMPARE(r.table.rowCount(), 4);
        r.table.setCell(3, 0, "typed");
        r.table.EnsureBlankLastRow();
        QCOMPARE(r.table.rowCount(), 5);
        QCOMPARE(r.row(4), kBlank);

        // Rows gained are blank; beyond the table there is nothing, and nothing can be written.
        r.table.setRowCount(7);
        QCOMPARE(r.row(6), kBlank);
        QCOMPARE(r.table.cell(7, 0), QString());
        QVERIFY(!r.table.setCell(7, 0, "x"));
        QVERIFY(!r.table.setCell(1, 7, "x"));
        r.table.setRowCount(2);
        QCOMPARE(r.table.cell(1, 2), QString("http://a.example/"));
        r.table.setRowCount(0); // the header row stays
        QCOMPARE(r.table.rowCount(), 1);

        r.table.ResetHistoryTable();
        QCOMPARE(r.table.rowCount(), 2);
        QCOMPARE(r.table.entry(0), HistoryTable::headerTexts());
        QCOMPARE(r.row(1), kBlank);
        QCOMPARE(r.table.headerData(2, Qt::Horizontal).toString(), QString("URL"));
        QVERIFY(!(r.table.flags(r.table.index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(r.table.setData(r.table.index(1, 2), "edited"));
        QCOMPARE(r.table.cell(1, 2), QString("edited"));
    }

    // The last row is not always blank (rows dragged, text typed into it): the entry never writes over it.
    void entryNeverOverwritesALastRowWithText() {
        Rig r;
        r.table.setCell(1, 2, "typed by the user");
        r.table.AddHistoryEntry("http://a.example/");
        QCOMPARE(r.table.rowCount(), 4);
        QCOMPARE(r.table.cell(1, 2), QString("typed by the user"));
        QCOMPARE(r.table.cell(2, 2), QString("http://a.example/"));
        QVERIFY(r.endsWithOneBlankRow());
    }

    // Entries started while another one yields: each gets its own row with all seven cells, oldest first,
    // and the table ends with one blank row.
    void nestedEntries_data() {
        QTest::addColumn<int>("depth");
        QTest::newRow("one inside") << 1;
        QTest::newRow("three deep") << 3;
    }
    void nestedEntries() {
        QFETCH(int, depth);
        Rig r;
        QAbstractItemModelTester tester(&r.table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int i = 0; i <= depth; ++i)
            r.resolver.answers[QString("h%1.example").arg(i)] = QString("192.0.2.%1").arg(i);
        int started = 0;
        r.onYield = [&](int) {
            if (started < depth) {
                ++started;
                r.table.AddHistoryEntry(QString("http://h%1.example/").arg(started));
            }
        };
        r.table.AddHistoryEntry("http://h0.example/");
        QCOMPARE(r.table.rowCount(), depth + 3);
        for (int i = 0; i <= depth; ++i)
            QCOMPARE(r.row(i + 1), cells(QString("http://h%1.example/").arg(i), "Clipboard", "No",
                                         QString("h%1.example").arg(i), QString("192.0.2.%1").arg(i)));
        QVERIFY(r.endsWithOneBlankRow());
    }

    // The claimed row is found by identity after the yield, wherever it went.
    void rowMovesOrGoesWhileAnEntryYields_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("urls");
        QTest::newRow("an older row deleted") << "delete" << QStringList{"http://new.example/"};
        QTest::newRow("the claimed row deleted by the user")
            << "delete-claimed" << QStringList{"http://old.example/"};
        QTest::newRow("table reset") << "reset" << QStringList();
    }
    void rowMovesOrGoesWhileAnEntryYields() {
        QFETCH(QString, change);
        QFETCH(QStringList, urls);
        Rig r;
        r.resolver.answers["new.example"] = "192.0.2.9";
        r.table.AddHistoryEntry("http://old.example/");
        r.onYield = [&](int n) {
            if (n != 2)
                return;
            if (change == "delete")
                r.table.DeleteHistoryRow(1);
            else if (change == "delete-claimed")
                r.table.DeleteHistoryRow(2);
            else
                r.table.ResetHistoryTable();
        };
        r.table.AddHistoryEntry("http://new.example/");
        QCOMPARE(r.table.rowCount(), urls.size() + 2);
        for (int i = 0; i < urls.size(); ++i)
            QCOMPARE(r.table.cell(i + 1, 2), urls[i]);
        if (change == "delete")
            QCOMPARE(r.row(1), cells("http://new.example/", "Clipboard", "No", "new.example", "192.0.2.9"));
        QVERIFY(r.endsWithOneBlankRow());
    }
};

QTEST_MAIN(TstHistoryTable)
#include "tst_historytable.moc"
