// The browser choice window and the drive information window on the application's doubles.
#include "AppFixture.h"
#include "FindControl.h"
#include "WindowFixture.h"
#include "history/HistoryTable.h"
#include "prefs/BrowserChoice.h"
#include "prefs/UrlLauncher.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/FixedDriveInfo/DriveInfoWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Themes.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace clipvane;
using namespace clipvane::test;

namespace {

constexpr quint64 MB = 1048576;

// The browser choice window alone on the doubles, with the choice and the launcher the composition root
// would hand it.
struct ChoiceWindowFixture : WindowFixture<BrowserChoiceWindow> {
    std::unique_ptr<BrowserChoice> choice;
    std::unique_ptr<UrlLauncher> launcher;
    ~ChoiceWindowFixture() { destroyWindow(); } // before what it refers to
    void start() {
        BrowserChoiceContext context;
        context.dialogs = &dialogs;
        context.drives = &drives;
        context.executablePath = services().platform.paths.executablePath();
        context.searchHost = services().addresses.searchHost;
        choice = std::make_unique<BrowserChoice>(std::move(context));
        launcher = std::make_unique<UrlLauncher>(shell, dialogs, connectivity, *choice);
        make(*choice, *launcher).FormCreate();
    }
};
BrowserChoiceWindow& choiceWindowOf(ChoiceWindowFixture& f) {
    return f.window();
}
BrowserChoice& choiceOf(ChoiceWindowFixture& f) {
    return *f.choice;
}
BrowserChoiceWindow& choiceWindowOf(AppFixture& f) {
    return *f.app().browserChoiceWindow();
}

// The browser choice window on the doubles, alone (ChoiceRig) or in the whole application (Rig).
template <typename Fixture> struct RigOn {
    Fixture app;
    RigOn() {
        QDir(app.folder.path()).mkpath("apps");
        app.connectivity.connected = true;
        app.drives.drives = {{"/", "/dev/sda1", "ext4", DriveType::Fixed},
                             {app.folder.path(), "/dev/sdb1", "vfat", DriveType::Removable}};
        app.drives.spaces["/"] = {1000 * MB, 5000 * MB, 900 * MB};
        app.drives.spaces[app.folder.path()] = {10 * MB, 30 * MB, 10 * MB};
        app.start();
    }
    BrowserChoiceWindow& w() { return choiceWindowOf(app); }
    BrowserChoice& choice() { return choiceOf(app); }
    DriveInfoWindow& drives() { return *app.app().driveInfoWindow(); }
    QString browser(const QString& name = QStringLiteral("apps/browser")) {
        app.folder.write(name, "#!/bin/sh\n");
        QFile(app.folder.file(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return app.folder.file(name);
    }
    void choose(const QString& path) {
        app.dialogs.answerFile({true, path, 1});
        ctl<QToolButton>(w(), "cyBrowserPathOpen")->click();
    }
    bool shows(const QLabel* picture) {
        return ctl<QLabel>(w(), "ImageStatus")->pixmap().toImage() == picture->pixmap().toImage();
    }
    QList<QStringList> grid() {
        QList<QStringList> rows;
        QTableWidget* sg = ctl<QTableWidget>(drives(), "SG");
        for (int r = 0; r < sg->rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < sg->columnCount(); ++c)
                row.append(sg->item(r, c) ? sg->item(r, c)->text() : QStringLiteral("<none>"));
            rows.append(row);
        }
        return rows;
    }
};
using ChoiceRig = RigOn<ChoiceWindowFixture>;
using Rig = RigOn<AppFixture>;

} // namespace

class TstSetBrowser : public QObject {
    Q_OBJECT
private slots:
    void layout();
    void chooseSetAndReset();
    void testButtonAndUsageInformation();
    void reloadReadsTheFileAgain();
    void navigateUrlOfTheHistoryUsesTheChoice();
    void mainWindowNavigateUsesTheChoice();
    void driveInformation();
};

void TstSetBrowser::layout() {
    ChoiceRig r;
    BrowserChoiceWindow& w = r.w();
    QCOMPARE(w.windowTitle(), QString("Set Clipvane default internet browser"));
    QCOMPARE(w.height(), 364);
    QCOMPARE(w.minimumHeight(), 364);
    QCOMPARE(w.maximumHeight(), 364);
    QCOMPARE(w.minimumWidth(), 426);
    QCOMPARE(ctl<QGroupBox>(w, "GroupBox1")->title(), QString("Current browser"));
    QCOMPARE(ctl<QLabel>(w, "LabelEXE")->text(), QString("System default"));
    QCOMPARE(ctl<QCheckBox>(w, "CBRememberBrowser")->text(), QString("Remember browser's choice"));
    QCOMPARE(ctl<QLabel>(w, "Label2")->text(), QString("Browser path"));
    QCOMPARE(ctl<QLineEdit>(w, "Edit1")->text(), QString("System default"));
    QVERIFY(ctl<QLineEdit>(w, "Edit1")->isReadOnly());
    QCOMPARE(ctl<QLabel>(w, "Label3")->text(), QString("URL test"));
    QCOMPARE(ctl<QLineEdit>(w, "Edit2")->text(), "http://" + r.app.services().addresses.searchHost);
    QCOMPARE(ctl<QToolButton>(w, "cySetBrowser")->text(), QString("Set browser"));
    QVERIFY(!ctl<QToolButton>(w, "cySetBrowser")->isEnabled());
    QCOMPARE(ctl<QToolButton>(w, "cyResetOptions")->text(), QString("Reset to default"));
    QCOMPARE(ctl<QToolButton>(w, "cyReloadOptions")->text(), QString("Reload all saved options"));
    QVERIFY(!ctl<QToolButton>(w, "cyReloadOptions")->isEnabled()); // no preference file
    QCOMPARE(ctl<QToolButton>(w, "cyDriveInfo")->text(), QString("Drive information"));
    QVERIFY(r.shows(ctl<QLabel>(w, "ImageHDD")));

    const QList<QPair<QWidget*, QString>> hints = {
        {ctl<QCheckBox>(w, "CBRememberBrowser"),
         "|Tick: use selected browser, untick: use system default. Both at next startup"},
        {ctl<QToolButton>(w, "cyBrowserPathOpen"),
         "|Open a dialog window to modify the browser used for navigation by the software"},
        {ctl<QToolButton>(w, "cyAdvSpeedButton1"), "|Test the selected browser with the URL test provided"},
        {ctl<QToolButton>(w, "cySetBrowser"),
         "|Set the browser use for navigation by the software. Act as 'Apply'"},
        {ctl<QLabel>(w, "ImageStatus"), "|Type of drive where is located the selected browser"},
        {ctl<QToolButton>(w, "cyResetOptions"),
         "|Reset to factory default all the options of the software on this page"},
        {ctl<QToolButton>(w, "cyReloadOptions"),
         "|Reload previously all saved options of the software on this page"},
        {ctl<QToolButton>(w, "cyDriveInfo"),
         "|Show all visible drive type, letter, and space storage statistics"},
        {ctl<QToolButton>(w, "cyAdvSpeedButton7"), "|More usage information"},
        {ctl<QToolButton>(w, "cyClose"), "|Close this option window"},
    };
    for (const auto& [widget, hint] : hints)
        QCOMPARE(hintOf(widget), hint);
    QVERIFY(w.findChild<QLabel*>("HintPanel"));
    // Seven distinct drive pictures, none of them shown by itself.
    for (QLabel* p : {ctl<QLabel>(w, "ImageUNK"), ctl<QLabel>(w, "ImageNOR"), ctl<QLabel>(w, "ImageUSB"),
                      ctl<QLabel>(w, "ImageHDD"), ctl<QLabel>(w, "ImageREM"), ctl<QLabel>(w, "ImageOPT"),
                      ctl<QLabel>(w, "ImageRAM")}) {
        QVERIFY(!p->pixmap().isNull());
        QVERIFY(p->isHidden());
    }
    QSet<QByteArray> images;
    for (QLabel* p : {ctl<QLabel>(w, "ImageUNK"), ctl<QLabel>(w, "ImageNOR"), ctl<QLabel>(w, "ImageUSB"),
                      ctl<QLabel>(w, "ImageHDD"), ctl<QLabel>(w, "ImageREM"), ctl<QLabel>(w, "ImageOPT"),
                      ctl<QLabel>(w, "ImageRAM")}) {
        const QImage i = p->pixmap().toImage();
        images.insert(QByteArray(reinterpret_cast<const char*>(i.constBits()), i.sizeInBytes()));
    }
    QCOMPARE(images.size(), 7);

    // The pictures follow the theme: drawn again in a dark theme's ink.
    const QImage light = ctl<QLabel>(w, "ImageHDD")->pixmap().toImage();
    applyStyle(QStringLiteral("TabletDark"));
    QCoreApplication::processEvents();
    QVERIFY(ctl<QLabel>(w, "ImageHDD")->pixmap().toImage() != light);
    QVERIFY(r.shows(ctl<QLabel>(w, "ImageHDD")));
    applyStyle(QStringLiteral("Iceberg Classico"));

    w.show();
    ctl<QToolButton>(w, "cyClose")->click();
    QVERIFY(!w.isVisible());
}

void TstSetBrowser::chooseSetAndReset() {
    ChoiceRig r;
    BrowserChoiceWindow& w = r.w();
    const QString browser = r.browser();
    r.choose(browser);
    QCOMPARE(r.app.dialogs.fileShown.size(), 1);
    QCOMPARE(r.app.dialogs.fileShown[0].request.filters, QString("Browser (*)|*"));
    QCOMPARE(ctl<QLineEdit>(w, "Edit1")->text(), browser);
    QVERIFY(ctl<QToolButton>(w, "cySetBrowser")->isEnabled());
    QVERIFY(r.shows(ctl<QLabel>(w, "ImageUSB")));
    QCOMPARE(ctl<QLabel>(w, "LabelEXE")->text(), QString("System default"));

    ctl<QToolButton>(w, "cySetBrowser")->click();
    QCOMPARE(ctl<QLabel>(w, "LabelEXE")->text(), QString("browser"));
    ctl<QCheckBox>(w, "CBRememberBrowser")->setChecked(true);
    QVERIFY(r.choice().remember());
    ctl<QLineEdit>(w, "Edit2")->setText("http://mine.example");
    QTest::keyClick(ctl<QLineEdit>(w, "Edit2"), Qt::Key_Slash); // as typed
    QCOMPARE(r.choice().testUrl(), QString("http://mine.example/"));

    // A file picked that is no program: refused, the choice stays.
    r.app.folder.write("readme", "text");
    r.app.dialogs.answer(Answer::Ok);
    r.choose(r.app.folder.file("readme"));
    QCOMPARE(ctl<QLineEdit>(w, "Edit1")->text(), browser);

    // The browser disappears: Set browser warns and resets.
    QVERIFY(QFile::remove(browser));
    r.app.dialogs.answer(Answer::Ok);
    ctl<QToolButton>(w, "cySetBrowser")->click();
    QCOMPARE(r.app.dialogs.shown.last().text, QString::fromLatin1(kBrowserGoneWarning).arg("browser"));
    QCOMPARE(ctl<QLabel>(w, "LabelEXE")->text(), QString("System Default"));
    QCOMPARE(ctl<QLineEdit>(w, "Edit1")->text(), QString("System default"));
    QVERIFY(!ctl<QCheckBox>(w, "CBRememberBrowser")->isChecked());
    QVERIFY(!ctl<QToolButton>(w, "cySetBrowser")->isEnabled());
    QCOMPARE(ctl<QLineEdit>(w, "Edit2")->text(), "http://" + r.app.services().addresses.searchHost);
    QVERIFY(r.shows(ctl<QLabel>(w, "ImageHDD")));

    r.choose(r.browser("apps/other"));
    ctl<QToolButton>(w, "cyResetOptions")->click();
    QCOMPARE(ctl<QLabel>(w, "LabelEXE")->text(), QString("System Default"));
    QCOMPARE(ctl<QLineEdit>(w, "Edit1")->text(), QString("System default"));
    QVERIFY(!r.choice().RelTest());
}

void TstSetBrowser::testButtonAndUsageInformation() {
    ChoiceRig r;
    BrowserChoiceWindow& w = r.w();
    ctl<QToolButton>(w, "cyAdvSpeedButton1")->click();
    QCOMPARE(r.app.shell.opened, QList<QUrl>{QUrl(ctl<QLineEdit>(w, "Edit2")->text())});

    const QString browser = r.browser();
    r.choose(browser);
    ctl<QLineEdit>(w, "Edit2")->setText("http://t.example/a b");
    ctl<QToolButton>(w, "cyAdvSpeedButton1")->click();
    QCOMPARE(r.app.shell.started.size(), 1);
    QCOMPARE(r.app.shell.started[0].first, browser);
    QCOMPARE(r.app.shell.started[0].second, QStringList{"http://t.example/a b"});

    r.app.shell.startError = OsError::fromErrno(EACCES);
    r.app.dialogs.answer(Answer::Ok);
    ctl<QToolButton>(w, "cyAdvSpeedButton1")->click();
    QCOMPARE(r.app.dialogs.texts().last(), QString(kTestFailedMessage));

    r.app.dialogs.answer(Answer::Ok);
    ctl<QToolButton>(w, "cyAdvSpeedButton7")->click();
    const QString usage = r.app.dialogs.texts().last();
    QCOMPARE(r.app.dialogs.shown.last().kind, MessageKind::Warning);
    QVERIFY(
        usage.startsWith("The browser path is read only.\r\nIt contains the path of any executable of your "
                         "choice\r\nEven if it's main purpose is the selection of a browser. \r\n"));
    QVERIFY(usage.contains("\r\nor without  catastrophic result.\r\n\r\nIt is highly not recommended"));
    QVERIFY(usage.endsWith("click the navigate button\r\non this option window.\r\n"));
    QCOMPARE(usage.count("\r\n"), 15);
}

void TstSetBrowser::reloadReadsTheFileAgain() {
    ChoiceRig r;
    BrowserChoiceWindow& w = r.w();
    const QString browser = r.browser();
    r.app.folder.write("Clipvane.ini", "[Navigation]\r\nRemember browser choice=1\r\nRelative Test=1\r\n"
                                       "Relative Browser Path=apps/\r\nRelative Browser EXE name=browser\r\n"
                                       "Test URL=http://saved.example\r\n");
    w.setReloadEnabled(true);
    ctl<QToolButton>(w, "cyReloadOptions")->click();
    QCOMPARE(ctl<QLineEdit>(w, "Edit1")->text(), browser); // rebuilt on the drive of the program
    QCOMPARE(ctl<QLabel>(w, "LabelEXE")->text(), QString("browser"));
    QVERIFY(ctl<QCheckBox>(w, "CBRememberBrowser")->isChecked());
    QCOMPARE(ctl<QLineEdit>(w, "Edit2")->text(), QString("http://saved.example"));
    QVERIFY(r.shows(ctl<QLabel>(w, "ImageUSB")));
}

void TstSetBrowser::navigateUrlOfTheHistoryUsesTheChoice() {
    Rig r;
    const QString browser = r.browser();
    r.choose(browser);
    CaptureHistoryWindow& h = *r.app.app().captureHistoryWindow();
    HistoryEntry e;
    e.cells = {"d", "t", "example.org/x", "Clipboard", "No", "example.org", ""};
    r.app.app().history()->insertEntries(1, {e});
    ctl<HistoryGrid>(h, "SGHistory")->setCurrentIndex(r.app.app().history()->index(1, 2));
    ctl<QToolButton>(h, "cyNavigateURL")->click();
    QCOMPARE(r.app.shell.started.size(), 1);
    QCOMPARE(r.app.shell.started[0].second, QStringList{"http://example.org/x"});
    QVERIFY(r.app.shell.opened.isEmpty());
}

// Navigate and the double-click in launch mode: the chosen browser, and when it is gone the question that
// offers the system default.
void TstSetBrowser::mainWindowNavigateUsesTheChoice() {
    Rig r;
    MainWindow& m = r.app.main();
    const QString browser = r.browser();
    r.choose(browser);
    m.list().append("example.org/page one");
    ctl<CheckListView>(m, "CheckListBoxURL")->setCurrentIndex(m.list().index(0));
    ctl<QToolButton>(m, "cyNavigateURL")->click();
    ctl<QRadioButton>(m, "RGURLList0")->setChecked(true);
    m.CheckListBoxURLDblClick();
    const QPair<QString, QStringList> started{browser, {"http://example.org/page one"}};
    QCOMPARE(r.app.shell.started, (QList<QPair<QString, QStringList>>{started, started}));

    QVERIFY(QFile::remove(browser));
    r.app.dialogs.answer(Answer::Yes);
    ctl<QToolButton>(m, "cyNavigateURL")->click();
    QCOMPARE(r.app.dialogs.texts(), QStringList{"browser\r\n" + QString(kBrowserGoneQuestion)});
    QCOMPARE(r.app.shell.opened, QList<QUrl>{QUrl("http://example.org/page one")});

    r.app.connectivity.connected = false;
    r.app.dialogs.answer(Answer::No);
    ctl<QToolButton>(m, "cyNavigateURL")->click();
    QCOMPARE(r.app.dialogs.texts().last(), QString(kInternetPrompt));
    QCOMPARE(r.app.shell.opened.size(), 1);
    QCOMPARE(r.app.shell.started.size(), 2);
}

void TstSetBrowser::driveInformation() {
    Rig r;
    DriveInfoWindow& d = r.drives();
    QCOMPARE(d.windowTitle(), QString("All drive information"));
    QCOMPARE(d.minimumWidth(), 659);
    QCOMPARE(ctl<QToolButton>(d, "cyClose")->text(), QString("Close this information window"));
    QCOMPARE(ctl<QToolButton>(d, "cyClose")->height(), 48);
    QStringList header;
    for (int c = 0; c < ctl<QTableWidget>(d, "SG")->columnCount(); ++c)
        header.append(ctl<QTableWidget>(d, "SG")->horizontalHeaderItem(c)->text());
    QCOMPARE(header, (QStringList{"Drive type", "Mount point", "Free space in MB", "Used space in MB",
                                  "Total space in MB"}));
    QCOMPARE(ctl<QTableWidget>(d, "SG")->rowCount(), 0);
    QCOMPARE(ctl<QTableWidget>(d, "SG")->horizontalHeader()->defaultSectionSize(), 120);

    ctl<QToolButton>(r.w(), "cyDriveInfo")->click();
    QVERIFY(d.isVisible());
    const QString stick = r.app.folder.path();
    QCOMPARE(r.grid(), (QList<QStringList>{{"Fixed", "/", "1000", "4000", "5000"},
                                           {"Removable", stick, "10", "20", "30"},
                                           {"TOTAL", "", "1010", "4020", "5030"}}));

    // The stick is gone at the next run; the window stays open with the new table.
    r.app.drives.drives.removeLast();
    ctl<QToolButton>(r.w(), "cyDriveInfo")->click();
    QCOMPARE(r.grid(), (QList<QStringList>{{"Fixed", "/", "1000", "4000", "5000"},
                                           {"TOTAL", "", "1000", "4000", "5000"}}));
    ctl<QToolButton>(d, "cyClose")->click();
    QVERIFY(!d.isVisible());

    // The main window's menu item builds the table anew as well.
    QCOMPARE(ctl<QAction>(r.app.main(), "Alldriveinformation1")->shortcut(), QKeySequence("Ctrl+Alt+I"));
    r.app.drives.drives.append({"/mnt/nas", "nas:/x", "nfs4", DriveType::Remote});
    r.app.drives.spaces["/mnt/nas"] = {3 * MB, 9 * MB, 3 * MB};
    ctl<QAction>(r.app.main(), "Alldriveinformation1")->trigger();
    QVERIFY(d.isVisible());
    QCOMPARE(r.grid().size(), 3);
    QCOMPARE(r.grid()[1], (QStringList{"Remote", "/mnt/nas", "3", "6", "9"}));
}

QTEST_MAIN(TstSetBrowser)
#include "tst_setbrowser.moc"
