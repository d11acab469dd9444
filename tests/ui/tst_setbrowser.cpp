// The browser choice window and the drive information window on the application's doubles.
#include "AppFixture.h"
#include "FindControl.h"
#include "history/HistoryTable.h"
#include "prefs/BrowserChoice.h"
#include "prefs/UrlLauncher.h"
#include "ui/CaptureHistory.h"
#include "ui/FixedDriveInfo.h"
#include "ui/Main/MainWindow.h"
#include "ui/SetBrowser.h"
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

struct Rig {
    AppFixture app;
    Rig() {
        QDir(app.folder.path()).mkpath("apps");
        app.connectivity.connected = true;
        app.drives.drives = {{"/", "/dev/sda1", "ext4", DriveType::Fixed},
                             {app.folder.path(), "/dev/sdb1", "vfat", DriveType::Removable}};
        app.drives.spaces["/"] = {1000 * MB, 5000 * MB, 900 * MB};
        app.drives.spaces[app.folder.path()] = {10 * MB, 30 * MB, 10 * MB};
        app.start();
    }
    TForm3& w() { return *app.app().form3(); }
    TForm4& drives() { return *app.app().form4(); }
    QString browser(const QString& name = QStringLiteral("apps/browser")) {
        app.folder.write(name, "#!/bin/sh\n");
        QFile(app.folder.file(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return app.folder.file(name);
    }
    void choose(const QString& path) {
        app.dialogs.answerFile({true, path, 1});
        w().cyBrowserPathOpen->click();
    }
    bool shows(const QLabel* picture) const {
        return app.app().form3()->ImageStatus->pixmap().toImage() == picture->pixmap().toImage();
    }
    QList<QStringList> grid() {
        QList<QStringList> rows;
        QTableWidget* sg = drives().SG;
        for (int r = 0; r < sg->rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < sg->columnCount(); ++c)
                row.append(sg->item(r, c) ? sg->item(r, c)->text() : QStringLiteral("<none>"));
            rows.append(row);
        }
        return rows;
    }
};

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
    Rig r;
    TForm3& w = r.w();
    QCOMPARE(w.windowTitle(), QString("Set Clipvane default internet browser"));
    QCOMPARE(w.height(), 364);
    QCOMPARE(w.minimumHeight(), 364);
    QCOMPARE(w.maximumHeight(), 364);
    QCOMPARE(w.minimumWidth(), 426);
    QCOMPARE(w.GroupBox1->title(), QString("Current browser"));
    QCOMPARE(w.LabelEXE->text(), QString("System default"));
    QCOMPARE(w.CBRememberBrowser->text(), QString("Remember browser's choice"));
    QCOMPARE(w.Label2->text(), QString("Browser path"));
    QCOMPARE(w.Edit1->text(), QString("System default"));
    QVERIFY(w.Edit1->isReadOnly());
    QCOMPARE(w.Label3->text(), QString("URL test"));
    QCOMPARE(w.Edit2->text(), "http://" + r.app.services().addresses.searchHost);
    QCOMPARE(w.cySetBrowser->text(), QString("Set browser"));
    QVERIFY(!w.cySetBrowser->isEnabled());
    QCOMPARE(w.cyResetOptions->text(), QString("Reset to default"));
    QCOMPARE(w.cyReloadOptions->text(), QString("Reload all saved options"));
    QVERIFY(!w.cyReloadOptions->isEnabled()); // no preference file
    QCOMPARE(w.cyDriveInfo->text(), QString("Drive information"));
    QVERIFY(r.shows(w.ImageHDD));

    const QList<QPair<QWidget*, QString>> hints = {
        {w.CBRememberBrowser,
         "|Tick: use selected browser, untick: use system default. Both at next startup"},
        {w.cyBrowserPathOpen,
         "|Open a dialog window to modify the browser used for navigation by the software"},
        {w.cyAdvSpeedButton1, "|Test the selected browser with the URL test provided"},
        {w.cySetBrowser, "|Set the browser use for navigation by the software. Act as 'Apply'"},
        {w.ImageStatus, "|Type of drive where is located the selected browser"},
        {w.cyResetOptions, "|Reset to factory default all the options of the software on this page"},
        {w.cyReloadOptions, "|Reload previously all saved options of the software on this page"},
        {w.cyDriveInfo, "|Show all visible drive type, letter, and space storage statistics"},
        {w.cyAdvSpeedButton7, "|More usage information"},
        {w.cyClose, "|Close this option window"},
    };
    for (const auto& [widget, hint] : hints)
        QCOMPARE(hintOf(widget), hint);
    QVERIFY(w.findChild<QLabel*>("HintPanel"));
    // Seven distinct drive pictures, none of them shown by itself.
    for (QLabel* p : {w.ImageUNK, w.ImageNOR, w.ImageUSB, w.ImageHDD, w.ImageREM, w.ImageOPT, w.ImageRAM}) {
        QVERIFY(!p->pixmap().isNull());
        QVERIFY(p->isHidden());
    }
    QSet<QByteArray> images;
    for (QLabel* p : {w.ImageUNK, w.ImageNOR, w.ImageUSB, w.ImageHDD, w.ImageREM, w.ImageOPT, w.ImageRAM}) {
        const QImage i = p->pixmap().toImage();
        images.insert(QByteArray(reinterpret_cast<const char*>(i.constBits()), i.sizeInBytes()));
    }
    QCOMPARE(images.size(), 7);

    // The pictures follow the theme: drawn again in a dark theme's ink.
    const QImage light = w.ImageHDD->pixmap().toImage();
    applyStyle(QStringLiteral("TabletDark"));
    QCoreApplication::processEvents();
    QVERIFY(w.ImageHDD->pixmap().toImage() != light);
    QVERIFY(r.shows(w.ImageHDD));
    applyStyle(QStringLiteral("Iceberg Classico"));

    w.show();
    w.cyClose->click();
    QVERIFY(!w.isVisible());
}

void TstSetBrowser::chooseSetAndReset() {
    Rig r;
    TForm3& w = r.w();
    const QString browser = r.browser();
    r.choose(browser);
    QCOMPARE(r.app.dialogs.fileShown.size(), 1);
    QCOMPARE(r.app.dialogs.fileShown[0].request.filters, QString("Browser (*)|*"));
    QCOMPARE(w.Edit1->text(), browser);
    QVERIFY(w.cySetBrowser->isEnabled());
    QVERIFY(r.shows(w.ImageUSB));
    QCOMPARE(w.LabelEXE->text(), QString("System default"));

    w.cySetBrowser->click();
    QCOMPARE(w.LabelEXE->text(), QString("browser"));
    w.CBRememberBrowser->setChecked(true);
    QVERIFY(r.app.app().browserChoice()->remember());
    w.Edit2->setText("http://mine.example");
    QTest::keyClick(w.Edit2, Qt::Key_Slash); // as typed
    QCOMPARE(r.app.app().browserChoice()->testUrl(), QString("http://mine.example/"));

    // A file picked that is no program: refused, the choice stays.
    r.app.folder.write("readme", "text");
    r.app.dialogs.answer(Answer::Ok);
    r.choose(r.app.folder.file("readme"));
    QCOMPARE(w.Edit1->text(), browser);

    // The browser disappears: Set browser warns and resets.
    QVERIFY(QFile::remove(browser));
    r.app.dialogs.answer(Answer::Ok);
    w.cySetBrowser->click();
    QCOMPARE(r.app.dialogs.shown.last().text, QString::fromLatin1(kBrowserGoneWarning).arg("browser"));
    QCOMPARE(w.LabelEXE->text(), QString("System Default"));
    QCOMPARE(w.Edit1->text(), QString("System default"));
    QVERIFY(!w.CBRememberBrowser->isChecked());
    QVERIFY(!w.cySetBrowser->isEnabled());
    QCOMPARE(w.Edit2->text(), "http://" + r.app.services().addresses.searchHost);
    QVERIFY(r.shows(w.ImageHDD));

    r.choose(r.browser("apps/other"));
    w.cyResetOptions->click();
    QCOMPARE(w.LabelEXE->text(), QString("System Default"));
    QCOMPARE(w.Edit1->text(), QString("System default"));
    QVERIFY(!r.app.app().browserChoice()->RelTest());
}

void TstSetBrowser::testButtonAndUsageInformation() {
    Rig r;
    TForm3& w = r.w();
    w.cyAdvSpeedButton1->click();
    QCOMPARE(r.app.shell.opened, QList<QUrl>{QUrl(w.Edit2->text())});

    const QString browser = r.browser();
    r.choose(browser);
    w.Edit2->setText("http://t.example/a b");
    w.cyAdvSpeedButton1->click();
    QCOMPARE(r.app.shell.started.size(), 1);
    QCOMPARE(r.app.shell.started[0].first, browser);
    QCOMPARE(r.app.shell.started[0].second, QStringList{"http://t.example/a b"});

    r.app.shell.startError = OsError::fromErrno(EACCES);
    r.app.dialogs.answer(Answer::Ok);
    w.cyAdvSpeedButton1->click();
    QCOMPARE(r.app.dialogs.texts().last(), QString(kTestFailedMessage));

    r.app.dialogs.answer(Answer::Ok);
    w.cyAdvSpeedButton7->click();
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
    Rig r;
    TForm3& w = r.w();
    const QString browser = r.browser();
    r.app.folder.write("Clipvane.ini", "[Navigation]\r\nRemember browser choice=1\r\nRelative Test=1\r\n"
                                       "Relative Browser Path=apps/\r\nRelative Browser EXE name=browser\r\n"
                                       "Test URL=http://saved.example\r\n");
    w.setReloadEnabled(true);
    w.cyReloadOptions->click();
    QCOMPARE(w.Edit1->text(), browser); // rebuilt on the drive of the program
    QCOMPARE(w.LabelEXE->text(), QString("browser"));
    QVERIFY(w.CBRememberBrowser->isChecked());
    QCOMPARE(w.Edit2->text(), QString("http://saved.example"));
    QVERIFY(r.shows(w.ImageUSB));
}

void TstSetBrowser::navigateUrlOfTheHistoryUsesTheChoice() {
    Rig r;
    const QString browser = r.browser();
    r.choose(browser);
    TForm5& h = *r.app.app().form5();
    HistoryEntry e;
    e.cells = {"d", "t", "example.org/x", "Clipboard", "No", "example.org", ""};
    r.app.app().history()->insertEntries(1, {e});
    h.SGHistory->setCurrentIndex(r.app.app().history()->index(1, 2));
    h.cyNavigateURL->click();
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
    TForm4& d = r.drives();
    QCOMPARE(d.windowTitle(), QString("All drive information"));
    QCOMPARE(d.minimumWidth(), 659);
    QCOMPARE(d.cyClose->text(), QString("Close this information window"));
    QCOMPARE(d.cyClose->height(), 48);
    QStringList header;
    for (int c = 0; c < d.SG->columnCount(); ++c)
        header.append(d.SG->horizontalHeaderItem(c)->text());
    QCOMPARE(header, (QStringList{"Drive type", "Mount point", "Free space in MB", "Used space in MB",
                                  "Total space in MB"}));
    QCOMPARE(d.SG->rowCount(), 0);
    QCOMPARE(d.SG->horizontalHeader()->defaultSectionSize(), 120);

    r.w().cyDriveInfo->click();
    QVERIFY(d.isVisible());
    const QString stick = r.app.folder.path();
    QCOMPARE(r.grid(), (QList<QStringList>{{"Fixed", "/", "1000", "4000", "5000"},
                                           {"Removable", stick, "10", "20", "30"},
                                           {"TOTAL", "", "1010", "4020", "5030"}}));

    // The stick is gone at the next run; the window stays open with the new table.
    r.app.drives.drives.removeLast();
    r.w().cyDriveInfo->click();
    QCOMPARE(r.grid(), (QList<QStringList>{{"Fixed", "/", "1000", "4000", "5000"},
                                           {"TOTAL", "", "1000", "4000", "5000"}}));
    d.cyClose->click();
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
