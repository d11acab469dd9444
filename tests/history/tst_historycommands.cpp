#include "HistoryTestUtil.h"
#include "RenameFailure.h"
#include "TempAppFolder.h"
#include "history/HistoryCommands.h"
#include "history/HistoryFile.h"

#include <QDir>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

const QByteArray kFreshFile =
    "\"Date of entry\",\"Time of entry\",URL,Origin,Validate,Domain,IP\r\n,,,,,,\r\n";

// The commands on a table, scripted dialogs and a temporary application folder.
struct CommandRig {
    TempAppFolder folder;
    TableRig table;
    ScriptedDialogs dialogs;
    HistoryFileCommands commands{table.table, dialogs, folder.paths(), {}};

    QString appFolder() const { return QDir::toNativeSeparators(folder.path()) + QDir::separator(); }
    QString historyFile() const { return folder.file("Capture History.csv"); }
    void withEntries() { table.set({kHeaderCompact, "d|t|http://a.example/", "d|t|http://b.example/", ""}); }
    FileDialogResult chosen(const QString& name) const { return {true, folder.file(name), 1}; }
};

} // namespace

class TstHistoryCommands : public QObject {
    Q_OBJECT
private slots:
    void saveAFreshTable() {
        CommandRig r;
        QVERIFY(!r.commands.reloadEnabled());
        r.dialogs.answer(Answer::No);
        QVERIFY(!r.commands.cySaveHistoryClick());
        QVERIFY(!QFile::exists(r.historyFile()));

        r.dialogs.answer(Answer::Yes);
        r.dialogs.answer(Answer::Ok);
        QVERIFY(r.commands.cySaveHistoryClick());
        QCOMPARE(
            r.dialogs.texts(),
            (QStringList{"This will save an empty default capture history database. Do you want to proceed "
                         "anyway?",
                         "This will save an empty default capture history database. Do you want to proceed "
                         "anyway?",
                         "Capture History saved to: \r\n" + r.appFolder()}));
        QCOMPARE(r.dialogs.shown[2].kind, MessageKind::Information);
        QCOMPARE(r.folder.read("Capture History.csv"), kFreshFile);
        QVERIFY(r.commands.reloadEnabled());
    }

    // A folder where the file should be stands for a folder that cannot be written: one error message,
    // the table unchanged, the reload button untouched.
    void saveFails() {
        CommandRig r;
        r.withEntries();
        QVERIFY(QDir().mkpath(r.historyFile()));
        r.dialogs.answer(Answer::Ok);
        QVERIFY(!r.commands.cySaveHistoryClick());
        QCOMPARE(r.dialogs.texts(), QStringList{"Cannot save the capture history to: \r\n" + r.appFolder()});
        QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Error);
        QVERIFY(!r.commands.reloadEnabled());
        QCOMPARE(r.table.table.rowCount(), 4);

        // The save at exit cannot read what is there to add to it: it leaves it and says so, for the
        // status line and the terminal instead of a box.
        QCOMPARE(r.commands.SaveHistory(), QDir::toNativeSeparators(r.historyFile()) + "\r\n" +
                                               QString::fromLatin1(kHistoryUnreadAtExit));
        QCOMPARE(r.dialogs.texts().size(), 1);
        QVERIFY(QFileInfo(r.historyFile()).isDir());
    }

    // The final rename fails: save, save as, the exit save and the URL export each report it; the table
    // and the reload button stay as they were, and no temporary file is left.
    void renameFailures() {
        CommandRig r;
        r.withEntries();
        const QStringList before = r.table.rows();
        {
            RenameFailure fail;
            r.dialogs.answer(Answer::Ok);
            QVERIFY(!r.commands.cySaveHistoryClick());
            r.dialogs.answerFile(r.chosen("copy.csv"));
            r.dialogs.answer(Answer::Ok);
            r.commands.cySaveHistoryAsClick();
            QFile::remove(r.historyFile() + "/kept");
            QDir().rmdir(r.historyFile());
            QCOMPARE(r.commands.SaveHistory(), "Cannot save the capture history to: \r\n" + r.appFolder());
            r.dialogs.answerFile(r.chosen("urls.list"));
            r.dialogs.answer(Answer::Ok);
            r.commands.cyURLSaveClick();
            QCOMPARE(fail.targets.size(), 4);
        }
        const QString cannot = "Cannot save the capture history to: \r\n" + r.appFolder();
        QCOMPARE(r.dialogs.texts(), (QStringList{cannot, cannot,
                                                 QString("OS Error Code: %1. ").arg(EISDIR) +
                                                     OsError::fromErrno(EISDIR).description}));
        QVERIFY(!r.commands.reloadEnabled());
        QCOMPARE(r.table.rows(), before);
        for (const char* name : {"Capture History.csv", "copy.csv", "urls.list"})
            QVERIFY(RenameFailure::folderKept(r.folder.file(name)));
        QCOMPARE(RenameFailure::entries(r.folder.path()),
                 QStringList({"Capture History.csv", "copy.csv", "urls.list"}));
    }

    // The save at exit asks nothing and says nothing, even for an empty table.
    void saveAtExit() {
        CommandRig r;
        QCOMPARE(r.commands.SaveHistory(), QString());
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.folder.read("Capture History.csv"), kFreshFile);
    }

    // Without the load at start-up, the exit save adds this session's rows to the file's; once the table
    // holds the file's rows (loaded, reloaded or saved over it), it replaces them.
    void exitSaveAddsToTheFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("before"); // "", "startup", "reload", "save"
        QTest::addColumn<QByteArray>("expected");
        const QByteArray header = "\"Date of entry\",\"Time of entry\",URL,Origin,Validate,Domain,IP\r\n";
        const QByteArray earlier =
            header + "d,t,http://one.example/,Clipboard,No,one.example,1.2.3.4\r\n,,,,,,\r\n";
        const QByteArray mine = "d,t,http://a.example/,,,,\r\nd,t,http://b.example/,,,,\r\n";
        QTest::newRow("earlier session kept") << earlier << "" << earlier.chopped(8) + mine + ",,,,,,\r\n";
        QTest::newRow("blank rows at the end dropped, one added")
            << header + "x,y,http://z.example/\r\n,,,,,,\r\n,,,,,,\r\n"
            << "" << header + "x,y,http://z.example/,,,,\r\n" + mine + ",,,,,,\r\n";
        QTest::newRow("another program's header kept") << QByteArray("when,URL\r\n") << ""
                                                       << "when,URL,,,,,\r\n" + mine + ",,,,,,\r\n";
        QTest::newRow("empty file") << QByteArray() << "" << header + mine + ",,,,,,\r\n";
        QTest::newRow("loaded at start-up: replaced") << earlier << "startup" << QByteArray();
        QTest::newRow("reloaded: replaced") << earlier << "reload" << QByteArray();
        QTest::newRow("saved by the user: replaced") << earlier << "save" << QByteArray();
    }
    void exitSaveAddsToTheFile() {
        QFETCH(QByteArray, file);
        QFETCH(QString, before);
        QFETCH(QByteArray, expected);
        CommandRig r;
        r.folder.write("Capture History.csv", file);
        if (before == "startup")
            QVERIFY(r.commands.startUp(true));
        else if (before == "reload")
            QVERIFY(r.commands.cyReloadHistoryClick());
        r.table.table.ResetHistoryTable();
        r.withEntries();
        if (before == "save") {
            r.dialogs.answer(Answer::Ok);
            QVERIFY(r.commands.cySaveHistoryClick());
        }
        QCOMPARE(r.commands.SaveHistory(), QString());
        const QByteArray table = encodeHistoryFile(r.table.table.packedSnapshot());
        QCOMPARE(r.folder.read("Capture History.csv"), expected.isEmpty() ? table : expected);
        // A second exit save adds nothing twice, and keeps the earlier rows; an entry made since is added.
        QCOMPARE(r.commands.SaveHistory(), QString());
        QCOMPARE(r.folder.read("Capture History.csv"), expected.isEmpty() ? table : expected);
        r.table.table.AddHistoryEntry("http://later.example/");
        QCOMPARE(r.commands.SaveHistory(), QString());
        const QByteArray after = r.folder.read("Capture History.csv");
        QCOMPARE(after.count("http://a.example/"), 1);
        QCOMPARE(after.count("http://later.example/"), 1);
        QVERIFY(after.startsWith((expected.isEmpty() ? table : expected).chopped(8)));
        QVERIFY(after.endsWith("\r\n,,,,,,\r\n"));
    }

    void saveAs() {
        CommandRig r;
        r.dialogs.answer(Answer::Abort);
        r.commands.cySaveHistoryAsClick();
        QCOMPARE(r.dialogs.texts(), QStringList{"Nothing to save, the list is empty."});
        QCOMPARE(r.dialogs.shown[0].buttons, Buttons::Abort);
        QVERIFY(r.dialogs.fileShown.isEmpty());

        r.withEntries();
        r.dialogs.answerFile({});
        r.commands.cySaveHistoryAsClick();
        const FileDialogRequest& req = r.dialogs.fileShown[0].request;
        QVERIFY(r.dialogs.fileShown[0].save);
        QCOMPARE(req.filters, QString("Comma Separated Value file (*.csv)|*.csv"));
        QCOMPARE(req.defaultExtension, QString("csv"));
        QCOMPARE(req.initialName, QString("Capture History"));

        r.dialogs.answerFile(r.chosen("mine.csv"));
        r.commands.cySaveHistoryAsClick();
        QVERIFY(r.folder.read("mine.csv").contains("http://b.example/"));
        QCOMPARE(r.dialogs.shown.size(), 1); // no success message
        QVERIFY(!r.commands.reloadEnabled());

        QVERIFY(QDir().mkpath(r.folder.file("sub/taken.csv")));
        r.dialogs.answerFile(r.chosen("sub/taken.csv"));
        r.dialogs.answer(Answer::Ok);
        r.commands.cySaveHistoryAsClick();
        QCOMPARE(r.dialogs.texts().last(), "Cannot save the capture history to: \r\n" +
                                               QDir::toNativeSeparators(r.folder.file("sub")) + "/");
    }

    void reload() {
        CommandRig r;
        r.withEntries();
        r.dialogs.answer(Answer::Ok);
        QVERIFY(!r.commands.cyReloadHistoryClick());
        QCOMPARE(r.dialogs.texts(),
                 QStringList{"Capture History.csv does not exist anymore or cannot be opened"});
        QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Warning);
        QCOMPARE(r.table.table.rowCount(), 4);

        // No question, even over entries; a file without a blank last row gets one.
        r.folder.write("Capture History.csv", "H\r\nx,1\r\ny,2");
        QVERIFY(r.commands.cyReloadHistoryClick());
        QCOMPARE(r.table.rows(), (QStringList{"H", "x|1", "y|2", ""}));
        QCOMPARE(r.dialogs.shown.size(), 1);
    }

    // A default file that cannot be read: the error report, the table as it was.
    void reloadUnreadable() {
        CommandRig r;
        r.withEntries();
        QVERIFY(QDir().mkpath(r.historyFile()));
        r.dialogs.answer(Answer::Ok);
        QVERIFY(!r.commands.cyReloadHistoryClick());
        QVERIFY(r.dialogs.texts().value(0).startsWith(QString("OS Error Code: %1").arg(EISDIR)));
        QCOMPARE(r.table.table.rowCount(), 4);

        r.folder.write("other.csv", QByteArray("a\0b", 3));
        r.dialogs.answerFile(r.chosen("other.csv"));
        r.dialogs.answer(Answer::Yes);
        r.dialogs.answer(Answer::Ok);
        QVERIFY(!r.commands.cyLoadHistoryClick());
        QVERIFY(r.dialogs.texts().last().endsWith("is not a text file. Nothing was loaded."));
        QCOMPARE(r.table.table.rowCount(), 4);
    }

    // Load: replace into an empty table without a question; otherwise append, replace or nothing.
    void load_data() {
        QTest::addColumn<bool>("entries");
        QTest::addColumn<bool>("pick");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QStringList>("urls"); // column 2 of every row after the command
        QTest::addColumn<bool>("loaded");
        const QStringList before{"URL", "http://a.example/", "http://b.example/", ""};
        QTest::newRow("empty table: replace")
            << false << true << Answer::Ok << QStringList{"F", "http://f.example/", ""} << true;
        QTest::newRow("append") << true << true << Answer::Yes
                                << QStringList{"URL", "http://a.example/", "http://b.example/",
                                               "http://f.example/", ""}
                                << true;
        QTest::newRow("replace") << true << true << Answer::No << QStringList{"F", "http://f.example/", ""}
                                 << true;
        QTest::newRow("abort") << true << true << Answer::Abort << before << false;
        QTest::newRow("closed") << true << true << Answer::Closed << before << false;
        QTest::newRow("dialog cancelled") << true << false << Answer::Ok << before << false;
    }
    void load() {
        QFETCH(bool, entries);
        QFETCH(bool, pick);
        QFETCH(Answer, answer);
        QFETCH(QStringList, urls);
        QFETCH(bool, loaded);
        CommandRig r;
        if (entries)
            r.withEntries();
        r.folder.write("f.csv", "a,b,F\r\nd,t,http://f.example/");
        r.dialogs.answerFile(pick ? r.chosen("f.csv") : FileDialogResult{});
        if (entries && pick)
            r.dialogs.answer(answer);
        QCOMPARE(r.commands.cyLoadHistoryClick(), loaded);
        QStringList got;
        for (int row = 0; row < r.table.table.rowCount(); ++row)
            got.append(r.table.table.cell(row, 2));
        QCOMPARE(got, urls);
        QVERIFY(r.dialogs.allAnswersUsed());
        if (entries && pick) {
            QCOMPARE(r.dialogs.texts(),
                     QStringList{"The Capture history is not empty. Do you want to append the file?"});
            QCOMPARE(r.dialogs.shown[0].buttons, Buttons::YesNoAbort);
        }
        QCOMPARE(r.dialogs.fileShown[0].request.initialFolder, r.folder.path());
    }

    // New list: a question over entries; a save that fails keeps the table.
    void newList_data() {
        QTest::addColumn<bool>("entries");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("emptied");
        QTest::addColumn<bool>("saved");
        QTest::newRow("empty table: no question") << false << QList<Answer>{} << false << true << false;
        QTest::newRow("no") << true << QList<Answer>{Answer::No} << false << true << false;
        QTest::newRow("abort") << true << QList<Answer>{Answer::Abort} << false << false << false;
        QTest::newRow("closed") << true << QList<Answer>{Answer::Closed} << false << false << false;
        QTest::newRow("yes saves first")
            << true << QList<Answer>{Answer::Yes, Answer::Ok} << false << true << true;
        QTest::newRow("yes, save fails: kept")
            << true << QList<Answer>{Answer::Yes, Answer::Ok} << true << false << false;
    }
    void newList() {
        QFETCH(bool, entries);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, saveFails);
        QFETCH(bool, emptied);
        QFETCH(bool, saved);
        CommandRig r;
        if (entries)
            r.withEntries();
        r.table.table.setCell(0, 0, "custom header");
        if (saveFails)
            QVERIFY(QDir().mkpath(r.historyFile()));
        for (Answer a : answers)
            r.dialogs.answer(a);
        QCOMPARE(r.commands.cyNewListClick(), emptied);
        QVERIFY(r.dialogs.allAnswersUsed());
        if (entries) {
            QCOMPARE(r.dialogs.texts().value(0),
                     QString("The Capture History database is not empty, do you want to save it first?"));
            QCOMPARE(r.dialogs.shown[0].buttons, Buttons::YesNoAbort);
            QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Warning);
        }
        if (emptied) {
            QCOMPARE(r.table.rows(), (QStringList{kHeaderCompact, ""}));
        } else {
            QCOMPARE(r.table.table.rowCount(), 4);
        }
        QCOMPARE(r.folder.read("Capture History.csv").contains("http://a.example/"), saved);
    }

    void urlList() {
        CommandRig r;
        r.dialogs.answer(Answer::Abort);
        r.commands.cyURLSaveClick();
        QCOMPARE(r.dialogs.texts(), QStringList{"Nothing to save, the list is empty."});
        QCOMPARE(r.dialogs.shown[0].buttons, Buttons::Abort);

        r.table.set({kHeaderCompact, "d|t|http://a.example/", "d|t|", "d|t|http://c.example/\u00E9", ""});
        r.dialogs.answerFile({});
        r.commands.cyURLSaveClick();
        const FileDialogRequest& req = r.dialogs.fileShown[0].request;
        QCOMPARE(req.filters, QString("URL list (*.list)|*.list"));
        QCOMPARE(req.defaultExtension, QString("list"));
        QCOMPARE(req.initialName, QString("Capture History - URL List"));
        QCOMPARE(req.initialFolder, r.folder.path());

        r.dialogs.answerFile(r.chosen("urls.list"));
        r.commands.cyURLSaveClick();
        QCOMPARE(r.folder.read("urls.list"),
                 QByteArray("http://a.example/\r\n\r\nhttp://c.example/\xE9\r\n"));
        QCOMPARE(r.dialogs.shown.size(), 1);

        QVERIFY(QDir().mkpath(r.folder.file("taken.list")));
        r.dialogs.answerFile(r.chosen("taken.list"));
        r.dialogs.answer(Answer::Ok);
        r.commands.cyURLSaveClick();
        QVERIFY(r.dialogs.texts().last().startsWith(QString("OS Error Code: %1").arg(EISDIR)));
    }

    // Start-up: the default file by option, captures made before it kept behind its rows; the reload
    // button follows the file; a blank last row in every case.
    void startUp_data() {
        QTest::addColumn<bool>("option");
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<bool>("captureFirst");
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("reload");
        QTest::newRow("loaded") << true << QByteArray("H,h,URL\r\n,,http://old.example/\r\n,,,,,,\r\n")
                                << false << QStringList{"URL", "http://old.example/", ""} << true;
        QTest::newRow("captures kept behind the file's rows")
            << true << QByteArray("H,h,URL\r\n,,http://old.example/\r\n,,,,,,\r\n") << true
            << QStringList{"URL", "http://old.example/", "http://early.example/", ""} << true;
        QTest::newRow("option off") << false << QByteArray("H,h,URL\r\n,,http://old.example/\r\n") << false
                                    << QStringList{"", ""} << true;
        QTest::newRow("no file") << true << QByteArray() << false << QStringList{"", ""} << false;
        QTest::newRow("file without a blank last row")
            << true << QByteArray("H,h,URL\r\n1,,http://old.example/") << false
            << QStringList{"URL", "http://old.example/", ""} << true;
    }
    // A default file that start-up refused or could not read is never replaced by the exit save; the exit
    // says so once. A save or a reload by the user lifts that.
    void exitSaveKeepsAnUnreadFile_data() {
        QTest::addColumn<QByteArray>("file"); // empty: a folder in its place
        QTest::addColumn<QString>("lift");    // "", "save", "reload"
        const QByteArray nul("H,h,URL\r\n\0\r\n", 12);
        QTest::newRow("not a text file") << nul << "";
        QTest::newRow("unreadable") << QByteArray() << "";
        QTest::newRow("then saved by the user") << nul << "save";
        QTest::newRow("then reloaded after a fix") << nul << "reload";
    }
    void exitSaveKeepsAnUnreadFile() {
        QFETCH(QByteArray, file);
        QFETCH(QString, lift);
        CommandRig r;
        if (file.isEmpty())
            QVERIFY(QDir().mkpath(r.historyFile()));
        else
            r.folder.write("Capture History.csv", file);
        r.dialogs.answer(Answer::Ok);
        QVERIFY(!r.commands.startUp(true));
        QCOMPARE(r.dialogs.shown.size(), 1); // the refusal itself
        r.table.table.AddHistoryEntry("http://new.example/");
        if (lift == "save") {
            r.dialogs.answer(Answer::Ok);
            QVERIFY(r.commands.cySaveHistoryClick());
        } else if (lift == "reload") {
            r.folder.write("Capture History.csv", kFreshFile);
            QVERIFY(r.commands.cyReloadHistoryClick());
        }
        const qsizetype before = r.dialogs.shown.size();
        const QString said = r.commands.SaveHistory();
        QCOMPARE(r.commands.SaveHistory(), QString()); // a second exit save says nothing more
        QCOMPARE(r.dialogs.shown.size(), before);      // never a box on the way out
        if (lift.isEmpty()) {
            QCOMPARE(said, QDir::toNativeSeparators(r.historyFile()) + "\r\n" +
                               QString::fromLatin1(kHistoryKeptAtExit));
            if (file.isEmpty())
                QVERIFY(QFileInfo(r.historyFile()).isDir());
            else
                QCOMPARE(r.folder.read("Capture History.csv"), file);
        } else {
            QCOMPARE(said, QString());
            QVERIFY(
                r.folder.read("Capture History.csv").contains(lift == "save" ? "http://new.example/" : ""));
            QVERIFY(!r.folder.read("Capture History.csv").contains('\0'));
        }
    }

    void startUp() {
        QFETCH(bool, option);
        QFETCH(QByteArray, file);
        QFETCH(bool, captureFirst);
        QFETCH(QStringList, urls);
        QFETCH(bool, reload);
        CommandRig r;
        r.table.table.ResetHistoryTable();
        r.table.table.setEntry(0, HistoryEntry{});
        if (captureFirst)
            r.table.table.AddHistoryEntry("http://early.example/");
        if (!file.isEmpty())
            r.folder.write("Capture History.csv", file);
        bool changes = false;
        r.commands.reloadEnabledChanged = [&](bool) { changes = true; };
        r.commands.startUp(option);
        QStringList got;
        for (int row = 0; row < r.table.table.rowCount(); ++row)
            got.append(r.table.table.cell(row, 2));
        QCOMPARE(got, urls);
        QVERIFY(r.table.table.entry(r.table.table.rowCount() - 1).isBlank());
        QCOMPARE(r.commands.reloadEnabled(), reload);
        QCOMPARE(changes, reload);
        QCOMPARE(r.commands.dialogFolder(), r.folder.path());
        QVERIFY(r.dialogs.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstHistoryCommands)
#include "tst_historycommands.moc"
