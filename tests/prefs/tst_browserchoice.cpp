// The browser choice and the launches that read it, on doubles: the drives are scripted, the "browsers"
// are small files in a temporary folder.
#include "Doubles.h"
#include "prefs/BrowserChoice.h"
#include "prefs/UrlLauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

const QString kHost = QStringLiteral("search.example");
const QString kDefaultTestUrl = QStringLiteral("http://search.example");

// A machine: the root file system and a stick holding the running program, both inside a temporary folder
// as far as the files go; the drives double says where each mount point is.
struct Rig {
    QTemporaryDir dir;
    FakeDrives drives;
    ScriptedDialogs dialogs;
    FakeShell shell;
    FakeConnectivity connectivity;
    std::unique_ptr<BrowserChoice> choice;
    std::unique_ptr<UrlLauncher> launcher;

    Rig() {
        connectivity.connected = true;
        QDir(dir.path()).mkpath("stick");
        drives.drives = {{"/", "/dev/sda1", "ext4", DriveType::Fixed},
                         {stick(), "/dev/sdb1", "vfat", DriveType::Removable}};
        BrowserChoiceContext context{&dialogs, &drives, stick("Clipvane"), kHost};
        choice = std::make_unique<BrowserChoice>(context);
        launcher = std::make_unique<UrlLauncher>(shell, dialogs, connectivity, *choice);
    }
    QString path(const QString& relative = {}) const {
        return relative.isEmpty() ? dir.path() : dir.path() + QLatin1Char('/') + relative;
    }
    QString stick(const QString& relative = {}) const {
        return path(relative.isEmpty() ? QStringLiteral("stick") : QStringLiteral("stick/") + relative);
    }
    QString ini() const { return path("Clipvane.ini"); }

    // A file, executable unless told otherwise.
    static QString program(const QString& file, bool executable = true) {
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                    : QFile::ReadOwner | QFile::WriteOwner);
        return file;
    }
    void writeNavigation(bool remember, bool relTest, const QString& relPath, const QString& relBrowser,
                         const QString& testUrl = QStringLiteral("http://saved.example")) const {
        QFile f(ini());
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write the preference file");
        f.write(
            QStringLiteral("[Navigation]\r\nRemember browser choice=%1\r\nBrowser in use EXE name=%2\r\n"
                           "Relative Test=%3\r\nRelative Browser Path=%4\r\nRelative Browser EXE name=%5\r\n"
                           "Test URL=%6\r\n")
                .arg(remember ? "1" : "0", relBrowser, relTest ? "1" : "0", relPath, relBrowser, testUrl)
                .toUtf8());
    }
    // The folder of a path inside the temporary folder, relative to the root file system.
    QString fromRoot(const QString& folder) const { return path(folder).mid(1) + QLatin1Char('/'); }

    bool isReset() const {
        return !choice->RelTest() && choice->browserPath() == kSystemDefault &&
               choice->currentBrowser() == QStringLiteral("System Default") && !choice->remember() &&
               choice->testUrl() == kDefaultTestUrl && choice->RelPath() == kSystemDefault &&
               choice->RelBrowser() == kSystemDefault;
    }
};

QString goneWarning(const QString& name) {
    return QString::fromLatin1(kBrowserGoneWarning).arg(name);
}

} // namespace

class TestBrowserChoice : public QObject {
    Q_OBJECT
private slots:
    void choosing();
    void choosingRefusesWhatIsNoProgram();
    void rebuiltOnTheProgramsDrive();
    void rebuiltOnTheRootFileSystem_data();
    void rebuiltOnTheRootFileSystem();
    void goneAtStartWarnsAndResets();
    void rememberUntickedStartsOver();
    void rememberedWithoutBrowser();
    void storedValuesAreCheckedLikeAnyPath_data();
    void storedValuesAreCheckedLikeAnyPath();
    void setBrowserWithMissingFile();
    void launchFlows_data();
    void launchFlows();
    void offlinePrompt();
    void onlyWebAddressesReachTheProgram_data();
    void onlyWebAddressesReachTheProgram();
    void startFailuresAreReported();
    void historyAndReportLaunches();
    void testButton();
};

void TestBrowserChoice::choosing() {
    Rig r;
    const QString browser = Rig::program(r.stick("apps/web/browser"));
    QVERIFY(r.choice->choose(browser));
    QVERIFY(r.choice->RelTest());
    QCOMPARE(r.choice->browserPath(), browser);
    QCOMPARE(r.choice->RelPath(), QString("apps/web/"));
    QCOMPARE(r.choice->RelBrowser(), QString("browser"));
    QCOMPARE(r.choice->driveType(), DriveType::Removable);
    QCOMPARE(r.choice->currentBrowser(), kSystemDefault); // changes only with Set browser

    // In force at once: the next launch starts it, with the address as its one argument.
    r.launcher->LaunchUrl("example.org/a b");
    QCOMPARE(r.shell.started.size(), 1);
    QCOMPARE(r.shell.started[0].first, browser);
    QCOMPARE(r.shell.started[0].second, QStringList{"http://example.org/a b"});

    // On the root file system, at the top of a drive.
    const QString onRoot = Rig::program(r.path("bin/other"));
    QVERIFY(r.choice->choose(onRoot));
    QCOMPARE(r.choice->RelPath(), r.fromRoot("bin"));
    QCOMPARE(r.choice->driveType(), DriveType::Fixed);
    QVERIFY(r.choice->choose(Rig::program(r.stick("top"))));
    QCOMPARE(r.choice->RelPath(), QString());

    r.choice->SetBrowser();
    QCOMPARE(r.choice->currentBrowser(), QString("top"));
    QVERIFY(r.dialogs.shown.isEmpty());
}

void TestBrowserChoice::choosingRefusesWhatIsNoProgram() {
    Rig r;
    const QString browser = Rig::program(r.stick("browser"));
    QVERIFY(r.choice->choose(browser));
    const QString text = Rig::program(r.stick("notes.txt"), false);
    for (const QString& refused : {text, r.stick()}) {
        r.dialogs.answer(Answer::Ok);
        QVERIFY(!r.choice->choose(refused));
        QCOMPARE(r.dialogs.shown.last().kind, MessageKind::Warning);
        QCOMPARE(r.dialogs.shown.last().text, QString::fromLatin1(kNotAProgram).arg(refused));
        QCOMPARE(r.choice->browserPath(), browser);
    }
}

// The choice is kept without its drive and found again on the drive of the running program.
void TestBrowserChoice::rebuiltOnTheProgramsDrive() {
    Rig r;
    const QString browser = Rig::program(r.stick("apps/web/browser"));
    // Also on the root file system: the program's own drive comes first.
    Rig::program("/" + r.fromRoot("stick/apps/web") + "browser");
    r.writeNavigation(true, true, "/apps/web/", "browser");
    QVERIFY(r.choice->FormCreate(r.ini()));
    QCOMPARE(r.choice->browserPath(), browser); // one separator after the mount point
    QVERIFY(r.choice->RelTest());
    QCOMPARE(r.choice->currentBrowser(), QString("browser"));
    QCOMPARE(r.choice->testUrl(), QString("http://saved.example"));
    QCOMPARE(r.choice->driveType(), DriveType::Removable);
    QVERIFY(r.dialogs.shown.isEmpty());
}

void TestBrowserChoice::rebuiltOnTheRootFileSystem_data() {
    QTest::addColumn<QString>("lead");
    QTest::newRow("as written") << "";
    // A hand-edited file: the path is still joined with one separator.
    QTest::newRow("leading slash") << "/";
    QTest::newRow("leading slashes") << "//";
}

// A browser of another drive than the program's is looked for on the root file system.
void TestBrowserChoice::rebuiltOnTheRootFileSystem() {
    QFETCH(QString, lead);
    Rig r;
    const QString browser = Rig::program(r.path("usr/bin/browser"));
    r.writeNavigation(true, true, lead + r.fromRoot("usr/bin"), "browser");
    QVERIFY(r.choice->FormCreate(r.ini()));
    QCOMPARE(r.choice->browserPath(), browser);
    QVERIFY(r.choice->RelTest());
    QCOMPARE(r.choice->driveType(), DriveType::Fixed);
}

void TestBrowserChoice::goneAtStartWarnsAndResets() {
    Rig r;
    r.writeNavigation(true, true, "apps/web/", "browser");
    r.dialogs.answer(Answer::Ok);
    QVERIFY(r.choice->FormCreate(r.ini()));
    QCOMPARE(r.dialogs.texts(), QStringList{goneWarning("browser")});
    QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Warning);
    QVERIFY(r.isReset());
    QCOMPARE(r.choice->driveType(), DriveType::Fixed);
    r.launcher->LaunchUrl("http://a.example/");
    QCOMPARE(r.shell.opened.size(), 1);
    QVERIFY(r.shell.started.isEmpty());
}

// Without "Remember browser's choice" the window starts reset, its saved test URL included.
void TestBrowserChoice::rememberUntickedStartsOver() {
    Rig r;
    Rig::program(r.stick("apps/browser"));
    r.writeNavigation(false, true, "apps/", "browser", "http://saved.example/");
    QVERIFY(r.choice->FormCreate(r.ini()));
    QVERIFY(r.isReset());
    QVERIFY(r.dialogs.shown.isEmpty());

    // No preference file: nothing read, the reload button is disabled by the answer.
    QVERIFY(QFile::remove(r.ini()));
    Rig fresh;
    QVERIFY(!fresh.choice->FormCreate(fresh.ini()));
    QCOMPARE(fresh.choice->testUrl(), kDefaultTestUrl);
    QCOMPARE(fresh.choice->currentBrowser(), kSystemDefault);
}

// Remember ticked with the system default: the start warns about "System default" and resets (even with a
// file of that name in the current folder).
void TestBrowserChoice::rememberedWithoutBrowser() {
    Rig r;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(r.path());
    Rig::program(r.path(kSystemDefault));
    r.writeNavigation(true, false, kSystemDefault, kSystemDefault);
    r.dialogs.answer(Answer::Ok);
    r.choice->FormCreate(r.ini());
    QDir::setCurrent(previous);
    QCOMPARE(r.dialogs.texts(), QStringList{goneWarning(kSystemDefault)});
    QVERIFY(r.isReset());
}

void TestBrowserChoice::storedValuesAreCheckedLikeAnyPath_data() {
    QTest::addColumn<QString>("relPath");
    QTest::addColumn<QString>("relBrowser");
    QTest::addColumn<QString>("named"); // in the warning
    // Each names something that exists but is no browser to start.
    QTest::newRow(".. segments") << "apps/../apps/"
                                 << "browser"
                                 << "browser";
    QTest::newRow(".. out of the drive") << "../stick/apps/"
                                         << "browser"
                                         << "browser";
    QTest::newRow("a folder") << "apps/"
                              << ""
                              << "";
    QTest::newRow("a folder without its slash") << ""
                                                << "apps"
                                                << "apps";
    QTest::newRow("not executable") << "apps/"
                                    << "readme"
                                    << "readme";
    QTest::newRow("5000 characters") << QString(5000, 'a') << "browser"
                                     << QString(IniFile::kMaxTextLength, 'a') + "browser";
}

void TestBrowserChoice::storedValuesAreCheckedLikeAnyPath() {
    QFETCH(QString, relPath);
    QFETCH(QString, relBrowser);
    QFETCH(QString, named);
    Rig r;
    Rig::program(r.stick("apps/browser"));
    Rig::program(r.stick("apps/readme"), false);
    r.writeNavigation(true, true, relPath, relBrowser);
    r.dialogs.answer(Answer::Ok);
    r.choice->FormCreate(r.ini());
    QCOMPARE(r.dialogs.shown.size(), 1);
    QVERIFY(
        r.dialogs.shown[0].text.startsWith("Clipvane - Browser Preferences\r\n" + named + " does not exist"));
    QVERIFY(r.isReset());
    r.launcher->LaunchUrl("http://a.example/");
    QVERIFY(r.shell.started.isEmpty());
}

void TestBrowserChoice::setBrowserWithMissingFile() {
    Rig r;
    const QString browser = Rig::program(r.stick("apps/browser"));
    QVERIFY(r.choice->choose(browser));
    r.choice->setRemember(true);
    r.choice->setTestUrl("http://mine.example");
    QVERIFY(QFile::remove(browser));
    r.dialogs.answer(Answer::Ok);
    r.choice->SetBrowser();
    QCOMPARE(r.dialogs.texts(),
             QStringList{
                 "Clipvane - Browser Preferences\r\nbrowser does not exist in its path anymore.\r\n\r\n"
                 "Possible cause:\r\n1. The file or its path has been deleted, renamed, corrupted.\r\n"
                 "2. The file or its path has been moved to another folder.\r\n\r\nDefault options loaded."});
    QVERIFY(r.isReset());
    // Only controls change: the stored choice reaches the file with a later save.
    QVERIFY(!QFile::exists(r.ini()));
    const BrowserChoiceOptions stored = r.choice->stored();
    QVERIFY(!stored.rememberBrowser && !stored.relTest);
    QCOMPARE(stored.browserExeName, QString("System Default"));
}

void TestBrowserChoice::launchFlows_data() {
    QTest::addColumn<QString>("gone"); // "", "file" or "folder"
    QTest::addColumn<int>("answer");   // to the question
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("opened"); // with the system default
    QTest::newRow("file exists") << "" << -1 << "" << false;
    QTest::newRow("file gone, Yes") << "file" << int(Answer::Yes)
                                    << "browser\r\n" + QString(kBrowserGoneQuestion) << true;
    QTest::newRow("file gone, No") << "file" << int(Answer::No)
                                   << "browser\r\n" + QString(kBrowserGoneQuestion) << false;
    QTest::newRow("file gone, box closed")
        << "file" << int(Answer::Closed) << "browser\r\n" + QString(kBrowserGoneQuestion) << false;
    QTest::newRow("folder gone, Yes")
        << "folder" << int(Answer::Yes) << "@/apps/web/\r\n" + QString(kPathGoneQuestion) << true;
    QTest::newRow("folder gone, No") << "folder" << int(Answer::No)
                                     << "@/apps/web/\r\n" + QString(kPathGoneQuestion) << false;
}

void TestBrowserChoice::launchFlows() {
    QFETCH(QString, gone);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(bool, opened);
    Rig r;
    const QString browser = Rig::program(r.stick("apps/web/browser"));
    QVERIFY(r.choice->choose(browser));
    if (gone == "file")
        QVERIFY(QFile::remove(browser));
    else if (gone == "folder")
        QVERIFY(QDir(r.stick("apps/web")).removeRecursively());
    if (answer >= 0)
        r.dialogs.answer(Answer(answer));
    r.launcher->LaunchUrl("http://a.example/");
    if (question.isEmpty()) {
        QVERIFY(r.dialogs.shown.isEmpty());
        QCOMPARE(r.shell.started.size(), 1);
        return;
    }
    QCOMPARE(r.dialogs.texts(), QStringList{question.replace("@", r.stick())});
    QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Information);
    QCOMPARE(r.dialogs.shown[0].buttons, Buttons::YesNo);
    QVERIFY(r.shell.started.isEmpty());
    QCOMPARE(r.shell.opened, opened ? QList<QUrl>{QUrl("http://a.example/")} : QList<QUrl>{});
}

void TestBrowserChoice::offlinePrompt() {
    Rig r;
    QVERIFY(r.choice->choose(Rig::program(r.stick("browser"))));
    r.connectivity.connected = false;
    for (Answer a : {Answer::No, Answer::Closed}) {
        r.dialogs.answer(a);
        r.launcher->LaunchUrl("http://a.example/");
    }
    QCOMPARE(r.dialogs.texts(), QStringList(2, kInternetPrompt));
    QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Warning);
    QVERIFY(r.shell.started.isEmpty());
    r.dialogs.answer(Answer::Yes);
    r.launcher->LaunchUrl("http://a.example/");
    QCOMPARE(r.shell.started.size(), 1);
}

void TestBrowserChoice::onlyWebAddressesReachTheProgram_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("argument"); // empty: refused
    QTest::newRow("spaces and quotes") << "http://a.example/?q=\"x y\" 'z'"
                                       << "http://a.example/?q=\"x y\" 'z'";
    QTest::newRow("shell syntax") << "https://a.example/;rm -rf ~;$(reboot)`id`|cat&"
                                  << "https://a.example/;rm -rf ~;$(reboot)`id`|cat&";
    QTest::newRow("an option on its own") << "--remote-debugging-port=9222"
                                          << "http://--remote-debugging-port=9222";
    QTest::newRow("a local file behind a web address") << "file:///x?http://y"
                                                       << "";
    QTest::newRow("javascript") << "javascript:alert(1)//https://x"
                                << "";
    QTest::newRow("NUL") << QStringLiteral("http://a.example/") + QChar(0) + QStringLiteral("--evil") << "";
    QTest::newRow("line feed") << "http://a.example/\n--evil"
                               << "";
    QTest::newRow("carriage return") << "http://a.example/\r\nX: y"
                                     << "";
    QTest::newRow("tab") << "http://a.example/\tb"
                         << "";
}

void TestBrowserChoice::onlyWebAddressesReachTheProgram() {
    QFETCH(QString, text);
    QFETCH(QString, argument);
    Rig r;
    const QString browser = Rig::program(r.stick("browser"));
    QVERIFY(r.choice->choose(browser));
    if (argument.isEmpty()) {
        for (int i = 0; i < 3; ++i)
            r.dialogs.answer(Answer::Ok);
    }
    r.launcher->LaunchUrl(text);
    r.launcher->navigateFromHistory(text);
    if (argument.isEmpty()) {
        r.launcher->openFromReport(text); // the system default is refused the same text
        QVERIFY(r.shell.started.isEmpty());
        QVERIFY(r.shell.opened.isEmpty());
        QCOMPARE(r.dialogs.texts(), QStringList(3, kNotAWebAddress + text));
        return;
    }
    const QPair<QString, QStringList> expected{browser, {argument}};
    QCOMPARE(r.shell.started, (QList<QPair<QString, QStringList>>{expected, expected}));
}

void TestBrowserChoice::startFailuresAreReported() {
    Rig r;
    const QString browser = Rig::program(r.stick("browser"));
    QVERIFY(r.choice->choose(browser));

    // The system refuses the start.
    r.shell.startError = OsError::fromErrno(ENOEXEC);
    r.dialogs.answer(Answer::Ok);
    r.launcher->LaunchUrl("http://a.example/");
    QCOMPARE(r.dialogs.shown.last().kind, MessageKind::Error);
    QCOMPARE(r.dialogs.shown.last().text,
             "OS Error Code: " + QString::number(ENOEXEC) + ". " + OsError::fromErrno(ENOEXEC).description);

    // The file lost its permission since it was chosen: never handed to the system.
    r.shell.startError.reset();
    r.shell.started.clear();
    QVERIFY(QFile(browser).setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    r.dialogs.answer(Answer::Ok);
    r.launcher->LaunchUrl("http://a.example/");
    QVERIFY(r.shell.started.isEmpty());
    QVERIFY(r.dialogs.shown.last().text.startsWith("OS Error Code: " + QString::number(EACCES) + "."));
}

// The Capture History starts the chosen browser without the questions; the validation report always uses
// the system default and reports nothing.
void TestBrowserChoice::historyAndReportLaunches() {
    Rig r;
    const QString browser = Rig::program(r.stick("browser"));
    QVERIFY(r.choice->choose(browser));
    r.launcher->navigateFromHistory("a.example");
    QCOMPARE(r.shell.started.size(), 1);
    QCOMPARE(r.shell.started[0].second, QStringList{"http://a.example"});

    QVERIFY(QFile::remove(browser));
    r.dialogs.answer(Answer::Ok);
    r.launcher->navigateFromHistory("a.example");
    QCOMPARE(r.shell.started.size(), 1);
    QCOMPARE(r.dialogs.texts(), QStringList{"OS Error Code: " + QString::number(ENOENT) + ". " +
                                            OsError::fromErrno(ENOENT).description});

    r.launcher->openFromReport("b.example");
    QCOMPARE(r.shell.opened, QList<QUrl>{QUrl("http://b.example")});
    r.shell.succeed = false;
    r.launcher->openFromReport("b.example");
    QCOMPARE(r.dialogs.shown.size(), 1);

    r.connectivity.connected = false;
    r.dialogs.answer(Answer::No);
    r.launcher->openFromReport("c.example");
    QCOMPARE(r.dialogs.shown.last().text, QString(kInternetPrompt));
    QCOMPARE(r.shell.opened.size(), 2);
}

void TestBrowserChoice::testButton() {
    Rig r;
    r.launcher->testBrowser(r.choice->testUrl());
    QCOMPARE(r.shell.opened, QList<QUrl>{QUrl(kDefaultTestUrl)});

    const QString browser = Rig::program(r.stick("browser"));
    QVERIFY(r.choice->choose(browser));
    r.launcher->testBrowser("http://t.example");
    QCOMPARE(r.shell.started.size(), 1);
    // An empty test URL still starts the browser, with the bare scheme.
    r.launcher->testBrowser("");
    QCOMPARE(r.shell.started[1].second, QStringList{"http://"});

    QVERIFY(QFile::remove(browser));
    r.dialogs.answer(Answer::Ok);
    r.launcher->testBrowser("http://t.example");
    QCOMPARE(r.dialogs.texts(), QStringList{kTestFailedMessage});
    QCOMPARE(r.dialogs.shown[0].kind, MessageKind::Error);
    QVERIFY(r.dialogs.shown[0].text.contains("enough privilege \r\nto run"));
}

QTEST_GUILESS_MAIN(TestBrowserChoice)
#include "tst_browserchoice.moc"
