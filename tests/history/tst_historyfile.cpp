#include "HistoryTestUtil.h"
#include "TempAppFolder.h"
#include "history/HistoryFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace clipvane;
using namespace clipvane::test;

Q_DECLARE_METATYPE(clipvane::LoadMode)

namespace {

QString u(const char16_t* s) {
    return QString::fromUtf16(s);
}

QByteArray utf16(const QString& text, bool littleEndian) {
    QByteArray out = littleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
    for (QChar c : text) {
        const char lo = char(c.unicode() & 0xFF);
        const char hi = char(c.unicode() >> 8);
        out.append(littleEndian ? lo : hi);
        out.append(littleEndian ? hi : lo);
    }
    return out;
}

} // namespace

class TstHistoryFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString& name = QStringLiteral("h.csv")) const {
        return QDir(m_dir.path()).filePath(name);
    }

private slots:
    // How one cell is written: quoted only for codes 1 to 32, the double quote and the comma.
    void writeCell_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "http://a.example/x?y=1"
                               << "http://a.example/x?y=1";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("comma") << "a,b"
                               << "\"a,b\"";
        QTest::newRow("quote") << "say \"hi\""
                               << "\"say \"\"hi\"\"\"";
        QTest::newRow("only a quote") << "\""
                                      << "\"\"\"\"";
        QTest::newRow("space") << "a b"
                               << "\"a b\"";
        QTest::newRow("tab") << "a\tb"
                             << "\"a\tb\"";
        QTest::newRow("code 1") << QString("a") + QChar(1) + "b" << QString("\"a") + QChar(1) + "b\"";
        QTest::newRow("NUL is not quoted") << QString("a") + QChar(0) + "b" << QString("a") + QChar(0) + "b";
        QTest::newRow("DEL and Latin-1 are not quoted") << u(u"\x7F\u00E9\u00FF") << u(u"\x7F\u00E9\u00FF");
        QTest::newRow("above 255 is not quoted")
            << u(u"\u20AC\u4E2D\U0001F600") << u(u"\u20AC\u4E2D\U0001F600");
        QTest::newRow("line break") << "a\r\nb"
                                    << "\"a\r\nb\"";
    }
    void writeCell() {
        QFETCH(QString, cell);
        QFETCH(QString, written);
        HistoryEntry e;
        e.cells[3] = cell;
        QCOMPARE(historyRowLine(e), ",,," + written + ",,,");
    }

    void freshTableFile() {
        TableRig r;
        const QString p = path();
        QVERIFY(WriteHistoryFile(r.table, p).ok);
        QCOMPARE(readAll(p),
                 QByteArray("\"Date of entry\",\"Time of entry\",URL,Origin,Validate,Domain,IP\r\n"
                            ",,,,,,\r\n"));
    }

    // Awkward cells come back as they were, in a file of the encoding that holds them.
    void roundTrip_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QByteArray>("startsWith");
        QTest::newRow("comma quote space") << "a, \"b\" c" << QByteArray("\"Date");
        QTest::newRow("tab and controls")
            << QString("\ta") + QChar(1) + QChar(31) + "b " << QByteArray("\"Date");
        QTest::newRow("leading and trailing spaces") << "  x  " << QByteArray("\"Date");
        QTest::newRow("quotes only") << "\"\"\"" << QByteArray("\"Date");
        QTest::newRow("Windows-1252 letters") << u(u"caf\u00E9 \u20AC \u2019") << QByteArray("\"Date");
        QTest::newRow("outside Windows-1252")
            << u(u"\u4E2D\u6587 \U0001F600 \u0100") << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("1252 bytes that look like UTF-8") << u(u"\u00C3\u00A9") << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("NUL") << QString("a") + QChar(0) + "b" << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("DEL") << QString("a\x7F b") << QByteArray("\"Date");
    }
    void roundTrip() {
        QFETCH(QString, cell);
        QFETCH(QByteArray, startsWith);
        TableRig r;
        r.set({kHeaderCompact, "|" + cell + "|" + cell, "d|t||x||" + cell, ""});
        const QStringList before = r.rows();
        const QString p = path();
        QVERIFY(WriteHistoryFile(r.table, p).ok);
        QVERIFY(readAll(p).startsWith(startsWith));

        TableRig back;
        const HistoryLoadResult loaded = LoadHistoryFile(back.table, p, LoadMode::Replace);
        QVERIFY(loaded.ok);
        QCOMPARE(loaded.lines, 4);
        QCOMPARE(back.rows(), before);
        QCOMPARE(back.table.rowCount(), 4);
        QVERIFY(back.table.entry(3).isBlank());
    }

    // Records, not lines: a quoted cell keeps its line breaks, whichever they are.
    void lineBreakInACellStaysInItsRow() {
        TableRig r;
        r.set({kHeaderCompact, "a|b\nc|d", "x\r\ny|\r|\n\n", ""});
        QVERIFY(WriteHistoryFile(r.table, path()).ok);
        const HistoryFileContent read = ReadHistoryFile(path());
        QVERIFY(read.ok);
        QCOMPARE(read.rows.size(), 4);
        QCOMPARE(compactOf(read.rows[1].unpacked()), QString("a|b\nc|d"));
        QCOMPARE(compactOf(read.rows[2].unpacked()), QString("x\r\ny|\r|\n\n"));
        // A quote that no other one closes still ends with its line, as it always did.
        QVERIFY(writeAll(path(), "H\r\n\"a,b\r\nc,d\r\n"));
        const HistoryFileContent open = ReadHistoryFile(path());
        QCOMPARE(open.rows.size(), 3);
        QCOMPARE(compactOf(open.rows[1].unpacked()), QString("a,b"));
        QCOMPARE(compactOf(open.rows[2].unpacked()), QString("c|d"));
    }

    // The lenient reader, line by line.
    void parseLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("cells");
        QTest::newRow("seven fields") << "a,b,c,d,e,f,g"
                                      << "a|b|c|d|e|f|g";
        QTest::newRow("fewer fields") << "a,b"
                                      << "a|b";
        QTest::newRow("more fields") << "1,2,3,4,5,6,7,8,9"
                                     << "1|2|3|4|5|6|7";
        QTest::newRow("empty line") << ""
                                    << "";
        QTest::newRow("spaces only") << " \t "
                                     << "";
        QTest::newRow("six commas") << ",,,,,,"
                                    << "";
        QTest::newRow("leading empty field") << ",a"
                                             << "|a";
        QTest::newRow("ends in a comma: an empty last field") << "a,b,"
                                                              << "a|b";
        QTest::newRow("comma then space at the end") << "a, "
                                                     << "a";
        QTest::newRow("leading blanks skipped") << "   a,\t b"
                                                << "a|b";
        QTest::newRow("space ends an unquoted field") << "a b,c"
                                                      << "a|b|c";
        QTest::newRow("control character ends a field") << QString("a") + QChar(1) + "b"
                                                        << "a|b";
        QTest::newRow("quoted with comma and space") << "\"a, b\",c"
                                                     << "a, b|c";
        QTest::newRow("doubled quotes") << "\"say \"\"hi\"\"\",x"
                                        << "say \"hi\"|x";
        QTest::newRow("empty quoted") << "\"\",x"
                                      << "|x";
        QTest::newRow("unbalanced quote runs to the end") << "\"abc,def"
                                                          << "abc,def";
        QTest::newRow("unbalanced after a doubled quote") << "\"a\"\"b"
                                                          << "a\"b";
        QTest::newRow("quote inside an unquoted field") << "ab\"cd,e"
                                                        << "ab\"cd|e";
        QTest::newRow("text after the closing quote") << "\"ab\"cd,e"
                                                      << "ab|cd|e";
        QTest::newRow("blank after the closing quote") << "\"ab\" ,e"
                                                       << "ab|e";
        QTest::newRow("NUL is an ordinary character")
            << QString("a") + QChar(0) + "b,c" << QString("a") + QChar(0) + "b|c";
        QTest::newRow("outside Windows-1252") << u(u"\u4E2D,\U0001F600") << u(u"\u4E2D|\U0001F600");
    }
    void parseLine() {
        QFETCH(QString, line);
        QFETCH(QString, cells);
        QCOMPARE(compactOf(parseHistoryLine(line)), cells);
    }

    void parseHugeLines() {
        QString manyColumns;
        for (int i = 0; i < 5000; ++i)
            manyColumns += QString("c%1,").arg(i);
        QCOMPARE(compactOf(parseHistoryLine(manyColumns)), QString("c0|c1|c2|c3|c4|c5|c6"));

        const QString big(3 * 1024 * 1024, u'x');
        HistoryEntry e = parseHistoryLine(big + ",y");
        QCOMPARE(e.cells[0].size(), big.size());
        QCOMPARE(e.cells[1], QString("y"));
        e = parseHistoryLine("\"" + big);
        QCOMPARE(e.cells[0].size(), big.size());
    }

    // Files of any of the encodings the system reads, and every kind of line end.
    void readEncodingsAndLineEnds_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("rows");
        const QString text = u(u"H\r\na,\u00E9\u4E2D\r\n,,,,,,\r\n");
        const QStringList rows{"H", u(u"a|\u00E9\u4E2D"), ""};
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << rows;
        QTest::newRow("UTF-8 without mark") << text.toUtf8() << rows;
        QTest::newRow("UTF-16 LE") << utf16(text, true) << rows;
        QTest::newRow("UTF-16 BE") << utf16(text, false) << rows;
        QTest::newRow("Windows-1252")
            << QByteArray("H\r\na,\xE9\x80\r\n") << QStringList{"H", u(u"a|\u00E9\u20AC")};
        QTest::newRow("LF, CR and CR LF") << QByteArray("a\nb\rc\r\nd") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("empty lines") << QByteArray("a\n\n\nb\n") << QStringList{"a", "", "", "b"};
        QTest::newRow("mark and nothing else") << QByteArray("\xEF\xBB\xBF") << QStringList{};
        QTest::newRow("UTF-16 mark and nothing else") << QByteArray("\xFF\xFE") << QStringList{};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("NUL after a mark") << QByteArray("\xEF\xBB\xBF"
                                                        "a\0b",
                                                        6)
                                          << QStringList{QString("a") + QChar(0) + "b"};
    }
    void readEncodingsAndLineEnds() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, rows);
        QVERIFY(writeAll(path(), bytes));
        const HistoryFileContent read = ReadHistoryFile(path());
        QVERIFY(read.ok);
        QVERIFY(!read.notText);
        QStringList got;
        for (const PackedEntry& e : read.rows)
            got.append(compactOf(e.unpacked()));
        QCOMPARE(got, rows);
    }

    // The file's first cell decides how its first bytes look: whatever it holds, it reads back.
    void firstCellRoundTrips_data() {
        QTest::addColumn<QString>("cell");
        QTest::newRow("like a UTF-16 LE mark") << u(u"\u00FF\u00FEhttp://a.test/");
        QTest::newRow("like a UTF-16 BE mark") << u(u"\u00FE\u00FFx");
        QTest::newRow("like a UTF-8 mark") << u(u"\u00EF\u00BB\u00BFabc");
        QTest::newRow("the mark's character") << QChar(0xFEFF) + QString("abc");
    }
    void firstCellRoundTrips() {
        QFETCH(QString, cell);
        TableRig r;
        r.set({cell + "|b", "c|d", ""});
        const QStringList before = r.rows();
        QVERIFY(WriteHistoryFile(r.table, path()).ok);
        TableRig back;
        QVERIFY(LoadHistoryFile(back.table, path(), LoadMode::Replace).ok);
        QCOMPARE(back.rows(), before);
    }

    // Files that cannot be loaded change nothing: a clear error, the table as it was.
    void filesThatAreNotLoaded_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("notText");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << "missing" << false << ENOENT;
        QTest::newRow("a folder") << "folder" << false << EISDIR;
        QTest::newRow("NUL bytes without a mark") << "nul" << true << 0;
        QTest::newRow("not a text file") << "binary" << true << 0;
        QTest::newRow("pipe without a writer") << "fifo" << false << EINVAL;
        QTest::newRow("endless device") << "/dev/zero" << false << EINVAL;
        QTest::newRow("larger than 1 GiB") << "huge" << false << EFBIG;
    }
    void filesThatAreNotLoaded() {
        QFETCH(QString, kind);
        QFETCH(bool, notText);
        QFETCH(int, error);
        const QString p = kind.startsWith(u'/') ? kind : path(kind);
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(p).constData(), 0600), 0);
        } else if (kind == "huge") {
            QFile huge(p);
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxReadSize + 1)); // sparse
        } else if (kind == "folder")
            QVERIFY(QDir().mkpath(p));
        else if (kind == "nul")
            QVERIFY(writeAll(p, QByteArray("H\r\na,b\0c\r\n", 11)));
        else if (kind == "binary")
            QVERIFY(writeAll(p, QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\x01\0", 20)));
        for (LoadMode mode : {LoadMode::Replace, LoadMode::Append, LoadMode::ReplaceKeepRows}) {
            TableRig r;
            r.set({"Head", "a|b", "c|d", ""});
            const HistoryLoadResult result = LoadHistoryFile(r.table, p, mode);
            QVERIFY(!result.ok);
            QCOMPARE(result.notText, notText);
            if (error != 0)
                QCOMPARE(result.error.code, error);
            QCOMPARE(r.rows(), (QStringList{"Head", "a|b", "c|d", ""}));
        }
    }

    // Replace and append, with the edge cases of the file's line count and the table's last row.
    void loads_data() {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<LoadMode>("mode");
        QTest::addColumn<QStringList>("expected");
        const QStringList full{"Head", "a", "b", ""};
        QTest::newRow("replace") << full << QByteArray("H2\r\nx\r\ny\r\n,,,,,,\r\n") << LoadMode::Replace
                                 << QStringList{"H2", "x", "y", ""};
        QTest::newRow("replace, no line: header kept, one blank row")
            << full << QByteArray() << LoadMode::Replace << QStringList{"Head", ""};
        QTest::newRow("replace, one line: it is the header")
            << full << QByteArray("H2") << LoadMode::Replace << QStringList{"H2", ""};
        QTest::newRow("replace, an entry as first line becomes the header")
            << full << QByteArray("x,1\r\ny,2") << LoadMode::Replace << QStringList{"x|1", "y|2"};
        QTest::newRow("append into the blank row")
            << full << QByteArray("H2\r\nx\r\ny\r\n,,,,,,\r\n") << LoadMode::Append
            << QStringList{"Head", "a", "b", "x", "y", ""};
        QTest::newRow("append without a blank row at the file's end")
            << full << QByteArray("H2\r\nx") << LoadMode::Append << QStringList{"Head", "a", "b", "x"};
        QTest::newRow("append, header only") << full << QByteArray("H2\r\n") << LoadMode::Append << full;
        QTest::newRow("append, empty file") << full << QByteArray() << LoadMode::Append << full;
        QTest::newRow("append keeps a last row that holds text")
            << QStringList{"Head", "a", "|typed"} << QByteArray("H2\r\nx\r\n,,,,,,") << LoadMode::Append
            << QStringList{"Head", "a", "|typed", "x", ""};
        QTest::newRow("replace keeping entries: the file's rows first")
            << full << QByteArray("H2\r\nx\r\n,,,,,,\r\n") << LoadMode::ReplaceKeepRows
            << QStringList{"H2", "x", "a", "b"};
        QTest::newRow("replace keeping entries of an empty table")
            << QStringList{"Head", ""} << QByteArray("H2\r\nx\r\n,,,,,,\r\n") << LoadMode::ReplaceKeepRows
            << QStringList{"H2", "x", ""};
    }
    void loads() {
        QFETCH(QStringList, table);
        QFETCH(QByteArray, file);
        QFETCH(LoadMode, mode);
        QFETCH(QStringList, expected);
        QVERIFY(writeAll(path(), file));
        TableRig r;
        r.set(table);
        QVERIFY(LoadHistoryFile(r.table, path(), mode).ok);
        QCOMPARE(r.rows(), expected);
    }

    // A capture that arrives while the file is read keeps its row, behind the loaded rows.
    void captureDuringALoad_data() {
        QTest::addColumn<LoadMode>("mode");
        QTest::addColumn<QStringList>("urls");
        QTest::newRow("replace") << LoadMode::Replace << QStringList{"", "x", "http://new.example/"};
        QTest::newRow("append") << LoadMode::Append << QStringList{"", "a", "http://new.example/", "x"};
        QTest::newRow("start-up") << LoadMode::ReplaceKeepRows
                                  << QStringList{"", "x", "a", "http://new.example/"};
    }
    void captureDuringALoad() {
        QFETCH(LoadMode, mode);
        QFETCH(QStringList, urls);
        QVERIFY(writeAll(path(), "H2\r\n,,x\r\n,,,,,,\r\n"));
        TableRig r;
        r.set({"Head", "||a", ""});
        bool captured = false;
        std::function<void()> duringLoad = [&] {
            if (!captured) {
                captured = true;
                r.table.AddHistoryEntry("http://new.example/");
            }
        };
        QVERIFY(LoadHistoryFile(r.table, path(), mode, duringLoad).ok);
        QVERIFY(captured);
        r.table.EnsureBlankLastRow();
        QStringList got;
        for (int row = 0; row < r.table.rowCount() - 1; ++row)
            got.append(r.table.cell(row, 2));
        QCOMPARE(got, urls);
        QVERIFY(r.table.entry(r.table.rowCount() - 1).isBlank());
        const int row = int(urls.indexOf("http://new.example/"));
        QCOMPARE(r.table.cell(row, 3), QString("Clipboard"));
        QCOMPARE(r.table.cell(row, 6), QString("No Internet"));
    }

    // A save writes the table as it was when it started; a capture during it goes to the next save.
    void captureDuringASave() {
        TableRig r;
        r.set({kHeaderCompact, "d|t|http://a.example/", ""});
        bool captured = false;
        std::function<void()> duringSave = [&] {
            if (!captured) {
                captured = true;
                r.table.AddHistoryEntry("http://new.example/");
            }
        };
        QVERIFY(WriteHistoryFile(r.table, path(), duringSave).ok);
        QVERIFY(captured);
        QCOMPARE(readAll(path()),
                 QByteArray("\"Date of entry\",\"Time of entry\",URL,Origin,Validate,Domain,IP\r\n"
                            "d,t,http://a.example/,,,,\r\n,,,,,,\r\n"));
        QCOMPARE(r.table.rowCount(), 4);
    }

    // A failed save reports the real error and leaves the previous file as it was.
    void failedSaveKeepsThePreviousFile() {
        TableRig r;
        const QString folder = path("target-is-a-folder");
        QVERIFY(QDir().mkpath(folder));
        const WriteResult w = WriteHistoryFile(r.table, folder);
        QVERIFY(!w.ok);
        QCOMPARE(w.error.code, EISDIR);

        const QString file = path("plain");
        QVERIFY(writeAll(file, "previous"));
        const WriteResult inside = WriteHistoryFile(r.table, file + "/h.csv");
        QVERIFY(!inside.ok);
        QCOMPARE(inside.error.code, ENOTDIR);
        QCOMPARE(readAll(file), QByteArray("previous"));
    }
};

QTEST_GUILESS_MAIN(TstHistoryFile)
#include "tst_historyfile.moc"
