#include "Doubles.h"
#include "core/CheckListModel.h"
#include "lists/ListFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace clipvane;
using clipvane::test::ScriptedDialogs;

Q_DECLARE_METATYPE(clipvane::Answer)
Q_DECLARE_METATYPE(clipvane::TextEncoding)

namespace {

class FakeWindow final : public ListFileWindow {
public:
    bool validateBeforeSave() override {
        ++validations;
        return goOn;
    }
    void RaiseLastError(const OsError& error) override { errors.append(error.code); }
    void setListStatus(const QString& s) override { status = s; }
    void setReloadEnabled(bool enabled) override { reloadEnabled = enabled; }
    void refreshListCommands() override { ++refreshes; }

    bool goOn = true;
    int validations = 0;
    QList<int> errors;
    QString status = QStringLiteral("(none)");
    bool reloadEnabled = false;
    int refreshes = 0;
};

// The main window's list files over a temporary application folder.
struct Fixture {
    QTemporaryDir dir;
    CheckListModel list;
    ScriptedDialogs dialogs;
    FakeWindow window;
    bool modified = false;
    QString title;
    QString defaultPath{dir.filePath("Clipvane.list")};
    MainListFiles files{list, dialogs, window, modified, title, defaultPath};

    Fixture() {
        files.presetDialogs();
        files.stampClock = [] {
            return CreationStamp{QStringLiteral("02/01/2024"), QStringLiteral("10:11:12")};
        };
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
    void choose(const QString& name, int filter = 5) { dialogs.answerFile({true, path(name), filter}); }
    // A character device of our own that fails every write with ENOSPC, as a full disk does.
    QString fullDevice(const QString& name) const {
        const QString p = path(name);
        if (::mknod(QFile::encodeName(p).constData(), S_IFCHR | 0666, makedev(1, 7)) == 0)
            return p;
        return QStringLiteral("/dev/full");
    }
};

} // namespace

class TstListFiles : public QObject {
    Q_OBJECT
private slots:
    // ---- Formats

    void htmlPages_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QByteArray>("page");
        const QByteArray head = "<!DOCTYPE html>\r\n<html>\r\n<body>\r\n<h1>links.old</h1>\r\n"
                                "<h5>Creation stamp: 02/01/2024 10:11:12</h5>\r\n";
        QTest::newRow("links") << 2
                               << head +
                                      "<p><a href=\"http://a.example/?q=&quot;x&quot;\">http://a.example/?q="
                                      "&quot;x&quot;</a></p>\r\n"
                                      "<p>B&lt;b&gt; &amp; &#39;c&#39;</p>\r\n</body>\r\n</html>";
        QTest::newRow("paragraphs") << 3
                                    << head + "<p>http://a.example/?q=&quot;x&quot;</p>\r\n"
                                              "<p>B&lt;b&gt; &amp; &#39;c&#39;</p>\r\n</body>\r\n</html>";
    }
    // Nine lines joined by CR LF, no final break; every entry escaped in the address and in the text.
    void htmlPages() {
        QFETCH(int, filter);
        QFETCH(QByteArray, page);
        Fixture f;
        f.list.appendTexts({"http://a.example/?q=\"x\"", "B<b> & 'c'"});
        f.choose("links.old.html", filter);
        f.files.saveAs();
        const QByteArray written = f.read("links.old.html");
        QCOMPARE(written, page);
        QCOMPARE(written.split('\n').size(), 9);
        QVERIFY(!written.endsWith('\n'));
        QCOMPARE(f.title, QString("links.old"));
        QCOMPARE(f.window.validations, 1);
        QVERIFY(!f.window.reloadEnabled); // a page is not a list
        QCOMPARE(f.window.status, QString("(none)"));
    }

    // A link page makes live links of web addresses only; anything else is escaped text on its line.
    void htmlLinksOfWebAddressesOnly_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("line");
        const auto link = [](const char* e) { return QString("<p><a href=\"%1\">%1</a></p>").arg(e); };
        QTest::newRow("http") << "http://a.example/" << link("http://a.example/");
        QTest::newRow("https, capitals") << "HTTPS://A.example/x" << link("HTTPS://A.example/x");
        QTest::newRow("ftp") << "ftp://files.example/f" << link("ftp://files.example/f");
        QTest::newRow("javascript") << "javascript:alert(1)"
                                    << "<p>javascript:alert(1)</p>";
        QTest::newRow("data") << "data:text/html,<b>x</b>"
                              << "<p>data:text/html,&lt;b&gt;x&lt;/b&gt;</p>";
        QTest::newRow("file") << "file:///etc/hostname"
                              << "<p>file:///etc/hostname</p>";
        QTest::newRow("vbscript, capitals") << "VBScript:msgbox"
                                            << "<p>VBScript:msgbox</p>";
        QTest::newRow("web address later in the text") << "file:///x?http://y"
                                                       << "<p>file:///x?http://y</p>";
        QTest::newRow("no scheme: a relative link would open a local file") << "a.example"
                                                                            << "<p>a.example</p>";
        QTest::newRow("rich text")
            << "<a href='file:///etc/hostname'>click me</a>"
            << "<p>&lt;a href=&#39;file:///etc/hostname&#39;&gt;click me&lt;/a&gt;</p>";
        QTest::newRow("leading blank") << " http://a.example/"
                                       << "<p> http://a.example/</p>";
    }
    void htmlLinksOfWebAddressesOnly() {
        QFETCH(QString, entry);
        QFETCH(QString, line);
        const QStringList page = splitLines(buildHtmlPage({entry}, ListFormat::HtmlLink, "t", {"d", "t"}));
        QCOMPARE(page.size(), 8);
        QCOMPARE(page[5], line);
    }

    void htmlDetails() {
        // A title and entries that would break the markup, and an entry holding a line break: read back,
        // the page still has one line per entry.
        const QString page =
            buildHtmlPage({"a\r\nb", ""}, ListFormat::HtmlText, htmlTitleFor("/x/<t>.y.html"), {"d", "t"});
        QCOMPARE(splitLines(page), QStringList({"<!DOCTYPE html>", "<html>", "<body>", "<h1>&lt;t&gt;.y</h1>",
                                                "<h5>Creation stamp: d t</h5>", "<p>a&#13;&#10;b</p>",
                                                "<p></p>", "</body>", "</html>"}));
        QCOMPARE(htmlTitleFor("/folder.d/noext"), QString("noext"));
        QCOMPARE(htmlTitleFor("/f/.list"), QString(""));
        QCOMPARE(buildHtmlPage({}, ListFormat::HtmlLink, "t", {"d", "t"}).count(QStringLiteral("\r\n")), 6);
        const CreationStamp now = creationStampNow();
        QVERIFY(!now.date.isEmpty() && !now.time.isEmpty());
    }

    void filterDecidesFormat_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("starts");
        QTest::addColumn<bool>("reloadEnabled");
        QTest::newRow("1 any file") << 1 << "out.html" << QByteArray("a\r\nhttp://b\r\n") << true;
        QTest::newRow("2 HTML") << 2 << "out.txt" << QByteArray("<!DOCTYPE html>\r\n") << false;
        QTest::newRow("3 HTML plain text") << 3 << "out.list" << QByteArray("<!DOCTYPE html>\r\n") << false;
        QTest::newRow("4 text to a .html name") << 4 << "out.html" << QByteArray("a\r\nhttp://b\r\n") << true;
        QTest::newRow("5 URL list") << 5 << "out" << QByteArray("a\r\nhttp://b\r\n") << true;
    }
    void filterDecidesFormat() {
        QFETCH(int, filter);
        QFETCH(QString, name);
        QFETCH(QByteArray, starts);
        QFETCH(bool, reloadEnabled);
        Fixture f;
        f.write("Clipvane.list", "");
        f.list.appendTexts({"a", "http://b"});
        f.choose(name, filter);
        f.files.saveAs();
        QVERIFY(f.read(name).startsWith(starts));
        QCOMPARE(f.read(name).contains("<p>a</p>"), filter == 2 || filter == 3);
        QCOMPARE(f.read(name).contains("<a href"), filter == 2);
        QCOMPARE(f.window.reloadEnabled, reloadEnabled);
        QVERIFY(!f.modified);
        QCOMPARE(f.read("Clipvane.list"), QByteArray()); // never becomes the default list
    }

    void plainSaveAsEnablesReloadOnlyWhenTheDefaultListExists() {
        Fixture f;
        f.list.append("a");
        f.choose("elsewhere.list");
        f.files.saveAs();
        QVERIFY(!f.window.reloadEnabled);
    }

    void saveAsStopsWhenValidationOrDialogCancels() {
        Fixture f;
        f.list.append("a");
        f.window.goOn = false;
        f.files.saveAs(); // no dialog: the scripted dialogs would fail the test
        QVERIFY(f.dialogs.fileShown.isEmpty());
        f.window.goOn = true;
        f.dialogs.answerFile({});
        f.files.saveAs();
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList());
    }

    // ---- Dialogs

    void dialogsStartWithTheDefaultList() {
        Fixture f;
        QCOMPARE(f.files.saveDialog.filters,
                 QString("Any file (*.*)|*.*|HTML (*.html)|*.html|HTML - URL are plain text (*.HTML)|*.html|"
                         "Text file (*.txt)|*.txt|URL list (*.list)|*.list"));
        QCOMPARE(f.files.saveDialog.initialFilter, 5);
        QCOMPARE(f.files.saveDialog.initialName, QString("Clipvane.list"));
        QCOMPARE(f.files.saveDialog.initialFolder, f.dir.path());
        QCOMPARE(f.files.saveDialog.defaultExtension, QString("list"));
        QVERIFY(f.files.saveDialog.confirmOverwrite);
        QCOMPARE(f.files.openDialog.filters, QString("Any file (*.*)|*.*|HTML file (*.html)|*.html|Text file "
                                                     "(*.txt)|*.txt|URL list (*.list)|*.list"));
        QCOMPARE(f.files.openDialog.initialName, QString("Clipvane.list"));
        QCOMPARE(f.files.openDialog.initialFolder, f.dir.path());
        QCOMPARE(parseFilters(f.files.openDialog.filters).size(), 4);

        // The next showing starts where the user confirmed the last one.
        QVERIFY(QDir(f.dir.path()).mkdir("sub"));
        f.list.append("a");
        f.choose("sub/out.txt", 4);
        f.files.saveAs();
        QCOMPARE(f.dialogs.fileShown.last().request.initialFilter, 5);
        QCOMPARE(f.files.saveDialog.initialFolder, f.path("sub"));
        QCOMPARE(f.files.saveDialog.initialName, QString("out.txt"));
        QCOMPARE(f.files.saveDialog.initialFilter, 4);

        const FileDialogRequest browserSave = browserSaveListAsDialog(f.dir.path());
        QCOMPARE(browserSave.initialName, QString("Web List"));
        QCOMPARE(browserSave.filters, f.files.saveDialog.filters);
        QCOMPARE(browserSave.initialFilter, 5);
        QCOMPARE(browserOpenListDialog(f.dir.path()).filters,
                 QString("Any file (*.*)|*.*|Text file (*.txt)|*.txt|URL list (*.list)|*.list"));
    }

    // ---- Encodings

    void encodingsRoundTrip_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        const QByteArray utf8 = "\xEF\xBB\xBF"
                                "http://caf\xC3\xA9.example\r\nhttp://a.example\r\n";
        QTest::newRow("UTF-8 with mark keeps its mark") << utf8 << utf8;
        const QByteArray le("\xFF\xFE"
                            "a\0\r\0\n\0",
                            8);
        QTest::newRow("UTF-16 LE") << le << le;
        const QByteArray be("\xFE\xFF\0a\0\r\0\n", 8);
        QTest::newRow("UTF-16 BE") << be << be;
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9\r\n") << QByteArray("caf\xE9\r\n");
        QTest::newRow("mark-less UTF-8 is written in the code page")
            << QByteArray("caf\xC3\xA9\n") << QByteArray("caf\xE9\r\n");
    }
    // Read at start-up or by open, saved again: the remembered encoding and its mark come back.
    void encodingsRoundTrip() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        Fixture f;
        f.write("in.list", file);
        f.choose("in.list");
        f.files.open(); // empty list: replaced without a question
        f.files.save();
        QCOMPARE(f.read("Clipvane.list"), saved);
        f.choose("again.list", 1);
        f.files.saveAs();
        QCOMPARE(f.read("again.list"), saved);
    }

    // Appending reads through the page buffer: the list keeps its own encoding, the page takes the file's.
    void appendedFilesSetThePageEncodingOnly() {
        Fixture f;
        f.write("marked.list", QByteArray("\xFF\xFE"
                                          "b\0\r\0\n\0",
                                          8));
        f.list.append("a");
        f.dialogs.answer(Answer::Yes);
        f.choose("marked.list");
        f.files.open();
        QCOMPARE(f.files.listEncoding(), TextEncoding::Ansi);
        QCOMPARE(f.files.pageEncoding(), TextEncoding::Utf16LE);
        f.choose("page.html", 3);
        f.files.saveAs();
        QVERIFY(f.read("page.html").startsWith(QByteArray("\xFF\xFE<\0!\0", 6)));
        f.choose("plain.list");
        f.files.saveAs();
        QCOMPARE(f.read("plain.list"), QByteArray("a\r\nb\r\n"));
    }

    // ---- Open

    void open_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<Answer>("answer"); // Ok: no question expected
        QTest::addColumn<bool>("confirm");  // the open dialog
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("modified");
        const QStringList some{"c", "A"};
        const QString none = "(none)";
        QTest::newRow("empty list, replaced in file order")
            << QStringList{} << Answer::Ok << true << QStringList{"b", "a", "b"} << "Open" << false;
        QTest::newRow("empty list, dialog cancelled")
            << QStringList{} << Answer::Ok << false << QStringList{} << none << true;
        QTest::newRow("yes appends without duplicates")
            << some << Answer::Yes << true << QStringList{"A", "b", "c"} << "Append" << true;
        QTest::newRow("yes, dialog cancelled: nothing changes")
            << some << Answer::Yes << false << some << none << true;
        QTest::newRow("no overwrites")
            << some << Answer::No << true << QStringList{"b", "a", "b"} << "Open" << false;
        QTest::newRow("no, dialog cancelled") << some << Answer::No << false << some << none << true;
        QTest::newRow("abort") << some << Answer::Abort << false << some << none << true;
        QTest::newRow("box closed") << some << Answer::Closed << false << some << none << true;
    }
    void open() {
        QFETCH(QStringList, before);
        QFETCH(Answer, answer);
        QFETCH(bool, confirm);
        QFETCH(QStringList, after);
        QFETCH(QString, status);
        QFETCH(bool, modified);
        Fixture f;
        f.write("saved.list", "b\r\na\r\nb");
        f.list.appendTexts(before);
        f.modified = true;
        if (!f.list.isEmpty())
            f.list.setTicked(0, true);
        if (answer != Answer::Ok)
            f.dialogs.answer(answer);
        const bool dialogShown = answer == Answer::Ok || answer == Answer::Yes || answer == Answer::No;
        if (dialogShown)
            f.dialogs.answerFile(confirm ? FileDialogResult{true, f.path("saved.list"), 4}
                                         : FileDialogResult{});
        f.files.open();
        QVERIFY(f.dialogs.allAnswersUsed());
        QCOMPARE(f.list.texts(), after);
        QCOMPARE(f.window.status, status);
        QCOMPARE(f.modified, modified);
        QCOMPARE(f.window.refreshes, 1);
        if (answer != Answer::Ok) {
            QCOMPARE(
                f.dialogs.shown[0].text,
                QString("The Url list is not empty. Do you want to append the saved list to the present "
                        "one?\r\nYes    = append the saved list to the current list (no duplicate)\r\nNo     "
                        "= overwrite the current list with the selected saved list"));
            QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Information);
            QCOMPARE(f.dialogs.shown[0].buttons, Buttons::YesNoAbort);
        }
        if (status == "(none)" && !before.isEmpty())
            QCOMPARE(f.list.tickedCount(), 1); // untouched, ticks included
    }

    // A page written by filter 2 comes back line by line, markup included.
    void openingAPageGivesItsLines() {
        Fixture f;
        f.list.appendTexts({"http://x", "http://y"});
        f.choose("p.html", 2);
        f.files.saveAs();
        f.dialogs.answer(Answer::No);
        f.choose("p.html");
        f.files.open();
        QCOMPARE(f.list.count(), 9);
        QCOMPARE(f.list.textAt(5), QString("<p><a href=\"http://x\">http://x</a></p>"));
    }

    // ---- Reload

    void reload_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<Answer>("answer"); // Ok: no question expected
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("modifiedAfter");
        QTest::addColumn<bool>("reloadEnabled");
        QTest::addColumn<bool>("warned");
        const QStringList file{"b", "a", "B"};
        const QStringList some{"c"};
        QTest::newRow("saved list, file exists")
            << false << some << true << Answer::Ok << file << "Open" << false << true << false;
        QTest::newRow("after New, file exists")
            << false << QStringList{} << true << Answer::Ok << file << "Open" << false << true << false;
        QTest::newRow("saved list, file deleted")
            << false << some << false << Answer::Ok << some << "Error" << false << false << true;
        QTest::newRow("modified, yes appends")
            << true << some << true << Answer::Yes << QStringList{"a", "b", "c"} << "Append" << true << true
            << false;
        QTest::newRow("modified, no overwrites")
            << true << some << true << Answer::No << file << "Open" << false << true << false;
        QTest::newRow("modified, no, file deleted")
            << true << some << false << Answer::No << some << "(none)" << true << false << true;
        QTest::newRow("modified, abort")
            << true << some << true << Answer::Abort << some << "(none)" << true << true << false;
        QTest::newRow("modified, box closed")
            << true << some << true << Answer::Closed << some << "(none)" << true << true << false;
        QTest::newRow("modified and empty: nothing read")
            << true << QStringList{} << true << Answer::Ok << QStringList{} << "(none)" << true << true
            << false;
    }
    void reload() {
        QFETCH(bool, modified);
        QFETCH(QStringList, before);
        QFETCH(bool, fileExists);
        QFETCH(Answer, answer);
        QFETCH(QStringList, after);
        QFETCH(QString, status);
        QFETCH(bool, modifiedAfter);
        QFETCH(bool, reloadEnabled);
        QFETCH(bool, warned);
        Fixture f;
        if (fileExists)
            f.write("Clipvane.list", "b\r\na\r\nB\r\n");
        f.window.reloadEnabled = true;
        f.list.appendTexts(before);
        f.modified = modified;
        if (answer != Answer::Ok)
            f.dialogs.answer(answer);
        if (warned)
            f.dialogs.answer(Answer::Abort);
        f.files.reload();
        QVERIFY(f.dialogs.allAnswersUsed());
        QCOMPARE(f.list.texts(), after);
        QCOMPARE(f.window.status, status);
        QCOMPARE(f.modified, modifiedAfter);
        QCOMPARE(f.window.reloadEnabled, reloadEnabled);
        QVERIFY(f.window.errors.isEmpty());
        QVERIFY(f.window.refreshes >= 1);
        if (answer != Answer::Ok)
            QCOMPARE(
                f.dialogs.shown[0].text,
                QString("The Url list is not empty. Do you want to append the saved list to the present "
                        "one?\r\nYes    = append the saved list to the current list (no duplicate)\r\nNo     "
                        "= overwrite the current list with the saved list"));
        if (warned) {
            QCOMPARE(f.dialogs.shown.last().text,
                     QString("Clipvane.list does not exists anymore. Reloading saved list is not possible."));
            QCOMPARE(f.dialogs.shown.last().kind, MessageKind::Warning);
            QCOMPARE(f.dialogs.shown.last().buttons, Buttons::Abort);
        }
    }

    // ---- Save

    void saveAnEmptyList_data() {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("modifiedAfter");
        const QByteArray old = "http://old\r\n";
        QTest::newRow("no file, yes") << false << true << Answer::Yes << QByteArray() << "Save" << false;
        QTest::newRow("no file, no") << false << true << Answer::No << QByteArray("(missing)") << "(none)"
                                     << true;
        QTest::newRow("no file, closed")
            << false << true << Answer::Closed << QByteArray("(missing)") << "(none)" << true;
        QTest::newRow("file, modified, yes")
            << true << true << Answer::Yes << QByteArray() << "Save" << false;
        QTest::newRow("file, modified, no") << true << true << Answer::No << old << "(none)" << true;
        // A saved list is never replaced by an empty one without asking (after New, or deleting every entry).
        QTest::newRow("file, not modified, no") << true << false << Answer::No << old << "(none)" << false;
        QTest::newRow("file, not modified, yes")
            << true << false << Answer::Yes << QByteArray() << "Save" << false;
    }
    void saveAnEmptyList() {
        QFETCH(bool, fileExists);
        QFETCH(bool, modified);
        QFETCH(Answer, answer);
        QFETCH(QByteArray, file);
        QFETCH(QString, status);
        QFETCH(bool, modifiedAfter);
        Fixture f;
        if (fileExists)
            f.write("Clipvane.list", "http://old\r\n");
        f.modified = modified;
        f.dialogs.answer(answer);
        f.files.save();
        QVERIFY(f.dialogs.allAnswersUsed());
        QCOMPARE(f.dialogs.shown.size(), 1);
        if (fileExists) {
            QCOMPARE(f.dialogs.shown[0].text,
                     f.defaultPath + " exist.\r\nOverwrite this list with this empty one?");
            QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Information);
        } else {
            QCOMPARE(f.dialogs.shown[0].text,
                     QString("The URL list is empty. Do you want to save this empty list?"));
            QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Confirmation);
        }
        QCOMPARE(f.dialogs.shown[0].buttons, Buttons::YesNo);
        QCOMPARE(f.read("Clipvane.list"), file);
        QCOMPARE(f.window.status, status);
        QCOMPARE(f.modified, modifiedAfter);
        QCOMPARE(f.window.reloadEnabled, status == "Save");
        QCOMPARE(f.window.validations, 0); // nothing to validate
    }

    void saveWritesTheDefaultList() {
        Fixture f;
        f.list.appendTexts({"b", "a"});
        f.modified = true;
        f.window.goOn = false; // the validation cancels
        f.files.save();
        QCOMPARE(f.read("Clipvane.list"), QByteArray("(missing)"));
        QVERIFY(f.modified);
        f.window.goOn = true;
        f.files.save();
        QCOMPARE(f.read("Clipvane.list"), QByteArray("b\r\na\r\n"));
        QCOMPARE(f.window.status, QString("Save"));
        QVERIFY(!f.modified);
        QVERIFY(f.window.reloadEnabled);
        QVERIFY(f.files.writeDefaultList());
    }

    // A full disk: the real error is reported, and the list, its state and the file on disk stay as they
    // were.
    void saveFailures() {
        Fixture f;
        f.defaultPath = f.fullDevice("Clipvane.list");
        f.list.appendTexts({"a", "b"});
        f.modified = true;
        f.window.status = "Modified";
        f.files.save();
        QCOMPARE(f.window.errors, QList<int>{ENOSPC});
        QCOMPARE(f.window.status, QString("Modified"));
        QVERIFY(f.modified);
        QCOMPARE(f.list.texts(), QStringList({"a", "b"}));
        QVERIFY(!f.files.writeDefaultList());

        // Save as to a full disk and to a folder: reported, nothing else changes.
        f.dialogs.answerFile({true, f.fullDevice("page"), 2});
        f.files.saveAs();
        QVERIFY(QDir(f.dir.path()).mkdir("folder.list"));
        f.choose("folder.list");
        f.files.saveAs();
        QCOMPARE(f.window.errors, QList<int>({ENOSPC, ENOSPC, EISDIR}));
        QCOMPARE(f.list.texts(), QStringList({"a", "b"}));
        QVERIFY(!f.window.reloadEnabled);
    }

    // Overwriting the default list by an empty one fails: "Error", still modified.
    void emptyOverwriteFailure() {
        Fixture f;
        QVERIFY(QDir(f.dir.path()).mkdir("Clipvane.list"));
        f.dialogs.answer(Answer::Yes);
        f.files.save();
        QCOMPARE(f.window.errors, QList<int>{EISDIR});
        QCOMPARE(f.window.status, QString("Error"));
        QVERIFY(f.modified);
        QVERIFY(!f.window.reloadEnabled);
    }

    void unwritableFolder() {
        if (::geteuid() == 0)
            QSKIP("permissions do not stop root");
        Fixture f;
        f.write("Clipvane.list", "old\r\n");
        f.list.append("new");
        QVERIFY(QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        f.files.save();
        QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(f.window.errors, QList<int>{EACCES});
        QCOMPARE(f.read("Clipvane.list"), QByteArray("old\r\n"));
    }

    // ---- Bad input

    void badFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("a mark and nothing else") << QByteArray("\xEF\xBB\xBF") << 0;
        QTest::newRow("mixed line breaks") << QByteArray("a\r\nb\rc\nd") << 4;
        QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n\0\r\n", 8) << 2;
        QTest::newRow("invalid UTF-8") << QByteArray("caf\xC3\r\n\xFF\xFE\xFD") << 2;
        QByteArray binary(4096, Qt::Uninitialized);
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 131 + 7) % 256);
        QTest::newRow("binary") << binary << -1;
        QTest::newRow("a line of 4 MB") << QByteArray(4 << 20, 'x') + "\r\nb" << 2;
    }
    // Whatever a file holds, opening it and saving the list loses no entry and no character.
    void badFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        Fixture f;
        f.write("in.txt", bytes);
        f.choose("in.txt");
        f.files.open();
        QCOMPARE(f.window.status, QString("Open"));
        if (entries >= 0)
            QCOMPARE(f.list.count(), entries);
        const QStringList read = f.list.texts();
        if (!read.isEmpty()) {
            f.files.save();
            const ListFileContent back = ReadListFile(f.defaultPath);
            QVERIFY(back.ok);
            QCOMPARE(back.lines, read);
        }
    }

    void openFailureKeepsTheList() {
        Fixture f;
        f.list.appendTexts({"a", "b"});
        QVERIFY(QDir(f.dir.path()).mkdir("folder.list"));
        f.dialogs.answer(Answer::No);
        f.choose("folder.list");
        f.files.open();
        f.dialogs.answer(Answer::Yes);
        f.choose("vanished.list");
        f.files.open();
        QCOMPARE(f.window.errors, QList<int>({EISDIR, ENOENT}));
        QCOMPARE(f.list.texts(), QStringList({"a", "b"}));
        QCOMPARE(f.window.status, QString("(none)"));
    }

    // ---- Drops

    void drops_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("error");
        const QStringList start{"c", "a"}; // unsorted, as opened
        QTest::newRow(".htm of three lines: nothing appended, sorted")
            << QStringList{"three.htm"} << QStringList{"a", "c"} << false;
        QTest::newRow(".htm of four lines: all four")
            << QStringList{"four.htm"} << QStringList{"a", "c", "h1", "h2", "h3", "h4"} << false;
        QTest::newRow(".list of entries present in other case")
            << QStringList{"same.list"} << QStringList{"a", "c"} << false;
        QTest::newRow("upper-case .TXT and .HTML")
            << QStringList{"one.TXT", "page.HTML"} << QStringList{"a", "c", "p", "t"} << false;
        QTest::newRow("other names are ignored")
            << QStringList{"x.csv", "noext", "list", "x.list.bak", "sub"} << QStringList{"c", "a"} << false;
        QTest::newRow("an empty file appends nothing")
            << QStringList{"empty.txt"} << QStringList{"a", "c"} << false;
        QTest::newRow("a folder named .list stops the drop")
            << QStringList{"one.TXT", "dir.list", "page.HTML"} << QStringList{"a", "c", "t"} << true;
        QTest::newRow("a missing file stops the drop")
            << QStringList{"gone.txt", "one.TXT"} << QStringList{"c", "a"} << true;
        QTest::newRow("odd names") << QStringList{"we ird\nname.list", ".list"}
                                   << QStringList{"a", "c", "o", "w"} << false;
    }
    void drops() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, after);
        QFETCH(bool, error);
        Fixture f;
        f.write("three.htm", "h1\r\nh2\r\nh3\r\n");
        f.write("four.htm", "h4\r\nh3\r\nh2\r\nh1");
        f.write("same.list", "A\r\nC\r\n");
        f.write("one.TXT", "t");
        f.write("page.HTML", "p\r\n");
        f.write("x.csv", "x\r\n");
        f.write("noext", "x\r\n");
        f.write("x.list.bak", "x\r\n");
        f.write("empty.txt", "");
        f.write("we ird\nname.list", "w\r\n");
        f.write(".list", "o\r\n");
        QVERIFY(QDir(f.dir.path()).mkdir("dir.list"));
        QVERIFY(QDir(f.dir.path()).mkdir("sub"));
        f.list.appendTexts({"c", "a"});
        f.list.setTicked(0, true);
        f.modified = false;
        f.window.status = "Open";
        if (error)
            f.dialogs.answer(Answer::Ok);
        QStringList paths;
        for (const QString& n : names)
            paths << f.path(n);
        f.files.AcceptFiles(paths);
        QVERIFY(f.dialogs.allAnswersUsed());
        QCOMPARE(f.list.texts(), after);
        if (after != QStringList{"c", "a"})
            QCOMPARE(f.list.tickedCount(), 0);
        if (error) {
            QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Error);
            QVERIFY2(f.dialogs.shown[0].text.startsWith("Cannot open file \"" + f.dir.path()),
                     qPrintable(f.dialogs.shown[0].text));
        }
        // A drop changes neither the modified state nor the status, nor the encodings.
        QVERIFY(!f.modified);
        QCOMPARE(f.window.status, QString("Open"));
        QCOMPARE(f.window.refreshes, 0);
        QCOMPARE(f.files.listEncoding(), TextEncoding::Ansi);
    }

    // ---- The browser window's save as and open

    void browserWindow() {
        QTemporaryDir dir;
        CheckListModel list;
        ScriptedDialogs dialogs;
        FakeWindow window;
        bool unused = false;
        QString title;
        ListDocument doc(list, dialogs, window, unused, title);
        doc.saveDialog = browserSaveListAsDialog(dir.path());
        doc.openDialog = browserOpenListDialog(dir.path());
        list.appendTexts({"b", "a"});
        dialogs.answerFile({true, dir.filePath("Web List.html"), 2});
        doc.saveAs();
        QCOMPARE(window.validations, 1);
        QCOMPARE(title, QString("Web List"));
        QVERIFY(QFile::exists(dir.filePath("Web List.html")));

        dialogs.answer(Answer::Yes);
        dialogs.answerFile({true, dir.filePath("Web List.html"), 1});
        doc.open();
        QCOMPARE(list.count(), 11); // b, a and the nine lines of the page, sorted without duplicates
        QCOMPARE(dialogs.fileShown.last().request.filters, browserOpenListDialog(dir.path()).filters);
    }
};

QTEST_GUILESS_MAIN(TstListFiles)
#include "tst_listfiles.moc"
