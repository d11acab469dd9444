#include "AppFixture.h"
#include "FindControl.h"
#include "core/ExternalAddresses.h"
#include "core/Options.h"
#include "prefs/BrowserChoice.h"
#include "ui/Main/MainWindow.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Themes.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using namespace clipvane;
using namespace clipvane::test;

namespace {

const QString kSaved = QStringLiteral("Preferences are saved.");

// "Section/Key=value" for every key line, in file order, and the section names in order.
struct IniLines {
    QStringList sections;
    QStringList keys;
    QHash<QString, QString> values;
};

IniLines parse(const QByteArray& bytes) {
    IniLines out;
    QString section;
    for (const QString& line : QString::fromLatin1(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (line.startsWith(u'[')) {
            section = line.mid(1, line.size() - 2);
            out.sections.append(section);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        const QString key = section + u'/' + line.left(eq);
        out.keys.append(key);
        out.values.insert(key, line.mid(eq + 1));
    }
    return out;
}

QString host() {
    return ExternalAddresses::fromEnvironment().searchHost;
}

void save(AppFixture& f) {
    f.dialogs.answer(Answer::Ok);
    ctl<QToolButton>(f.main(), "cySaveOptions")->click();
}

} // namespace

class TstOptionsPage : public QObject {
    Q_OBJECT

private slots:
    void firstStartThenSave();
    void bothSaveValidationsStoredOn();
    void namesInAnotherLetterCase();
    void homePageIsCut();
    void junkFileKeepsWhatItHeld();
    void exitThroughTrayMenuKeepsExitToTray();
    void storedTheme_data();
    void storedTheme();
    void storedDoubleClickMode_data();
    void storedDoubleClickMode();
    void immediateEffects();
    void themeChoiceAppliesAndIsSaved();
    void resetToFactoryDefaults();
    void reloadRereadsThePage();
    void shortcutCreatedOnce();
    void placementAtFirstShowing();
    void saveFailures();
    void otherWindowsReadAndWriteTheirKeys();
};

void TstOptionsPage::firstStartThenSave() {
    AppFixture f;
    f.startShown();
    MainWindow& m = f.main();
    QVERIFY(!ctl<QToolButton>(m, "cyReloadOptions")->isEnabled());
    QVERIFY(!ctl<QToolButton>(f.app().browserChoiceWindow(), "cyReloadOptions")->isEnabled());
    QVERIFY(!QFile::exists(f.folder.file(QStringLiteral("Clipvane.ini"))));

    save(f);
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Information);
    QCOMPARE(f.dialogs.shown[0].text, kSaved);
    QVERIFY(ctl<QToolButton>(m, "cyReloadOptions")->isEnabled());
    QVERIFY(ctl<QToolButton>(f.app().browserChoiceWindow(), "cyReloadOptions")->isEnabled());

    const IniLines ini = parse(f.folder.read(QStringLiteral("Clipvane.ini")));
    QCOMPARE(ini.sections, (QStringList{"Clipboard", "On line", "Options settings", "Skin theme", "Startup",
                                        "Placement", "Window Minimize", "Context Menu Pop", "WB Placement",
                                        "WB Navigation", "Captured History", "Navigation"}));
    QCOMPARE(ini.keys, (QStringList{"Clipboard/Monitor Clipboard for URL",
                                    "Clipboard/Clipboard capture URL and Valid List",
                                    "On line/Validate URL when saving",
                                    "On line/Validate checked URL list when saving",
                                    "On line/Delete invalid URL instead of report",
                                    "On line/Validate Clipboard URL",
                                    "Options settings/Save options on exiting the software",
                                    "Skin theme/Skin theme choice",
                                    "Startup/Load default URL list",
                                    "Placement/Top",
                                    "Placement/Left",
                                    "Placement/Width",
                                    "Placement/Height",
                                    "Window Minimize/System Tray",
                                    "Context Menu Pop/Show captured URL in a balloon",
                                    "Context Menu Pop/Start application minimised",
                                    "Context Menu Pop/Exit application to tray",
                                    "WB Placement/Top",
                                    "WB Placement/Left",
                                    "WB Placement/Width",
                                    "WB Placement/Height",
                                    "WB Navigation/Home page",
                                    "Captured History/Save on exiting the software",
                                    "Captured History/Load at startup",
                                    "Navigation/Remember browser choice",
                                    "Navigation/Browser in use EXE name",
                                    "Navigation/Relative Test",
                                    "Navigation/Relative Browser Path",
                                    "Navigation/Relative Browser EXE name",
                                    "Navigation/Test URL"}));
    const QStringList on{"Clipboard/Monitor Clipboard for URL", "On line/Validate Clipboard URL",
                         "Context Menu Pop/Show captured URL in a balloon", "Startup/Load default URL list"};
    for (const QString& key : QStringList{
             "Clipboard/Monitor Clipboard for URL", "On line/Validate URL when saving",
             "On line/Validate checked URL list when saving", "On line/Delete invalid URL instead of report",
             "On line/Validate Clipboard URL", "Options settings/Save options on exiting the software",
             "Startup/Load default URL list", "Window Minimize/System Tray",
             "Context Menu Pop/Show captured URL in a balloon",
             "Context Menu Pop/Start application minimised", "Context Menu Pop/Exit application to tray",
             "Captured History/Save on exiting the software", "Captured History/Load at startup",
             "Navigation/Remember browser choice", "Navigation/Relative Test"})
        QCOMPARE(ini.values[key], on.contains(key) ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(ini.values["Clipboard/Clipboard capture URL and Valid List"], QStringLiteral("0"));
    QCOMPARE(ini.values["Skin theme/Skin theme choice"], QStringLiteral("0"));
    QCOMPARE(ini.values["Placement/Width"], QString::number(m.width()));
    QCOMPARE(ini.values["Placement/Left"], QString::number(m.x()));
    QCOMPARE(ini.values["WB Placement/Width"], QString::number(f.app().browserWindow()->width()));
    QCOMPARE(ini.values["WB Navigation/Home page"], QStringLiteral("http:\\\\") + host());
    QCOMPARE(ini.values["Navigation/Browser in use EXE name"], QStringLiteral("System default"));
    QCOMPARE(ini.values["Navigation/Relative Browser Path"], QStringLiteral("System default"));
    QCOMPARE(ini.values["Navigation/Test URL"], QStringLiteral("http://") + host());
}

void TstOptionsPage::bothSaveValidationsStoredOn() {
    AppFixture f;
    f.folder.write(QStringLiteral("Clipvane.ini"), "[On line]\r\nValidate URL when saving=1\r\n"
                                                   "Validate checked URL list when saving=1\r\n");
    f.start();
    QVERIFY(!ctl<QCheckBox>(f.main(), "CBOValidateURL")->isChecked());
    QVERIFY(ctl<QCheckBox>(f.main(), "CBOValidateChecked")->isChecked());
    QVERIFY(ctl<QToolButton>(f.main(), "cyReloadOptions")->isEnabled());
}

void TstOptionsPage::namesInAnotherLetterCase() {
    AppFixture f;
    f.folder.write(QStringLiteral("Clipvane.ini"),
                   "[on line]\r\nvalidate clipboard url=0\r\ndelete invalid url instead of report=1\r\n"
                   "[CLIPBOARD]\r\nMONITOR CLIPBOARD FOR URL=0\r\n");
    f.start();
    MainWindow& m = f.main();
    QVERIFY(!ctl<QCheckBox>(m, "CBValidateClipboardURL")->isChecked());
    QVERIFY(!ctl<QAction>(m, "ValidateClipboardURL")->isChecked());
    QVERIFY(!f.options().validateClipboardUrl());
    QVERIFY(!ctl<QCheckBox>(m, "CBMonClipboard")->isChecked());
    QVERIFY(!ctl<QAction>(m, "MonClipboard")->isChecked());
    QCOMPARE(m.statusPanelText(3), QStringLiteral("No"));
    QCOMPARE(
        hintOf(ctl<QToolButton>(m, "cyValidateCheckedURL")),
        QStringLiteral("|Delete all invalid checked URL (no report, see options). Needs Internet connected"));
}

void TstOptionsPage::homePageIsCut() {
    AppFixture f;
    const QByteArray page = "http://example.org/?q=" + QByteArray(3000, 'z');
    f.folder.write(QStringLiteral("Clipvane.ini"), "[WB Navigation]\r\nHome page=" + page + "\r\n");
    f.start();
    QCOMPARE(ctl<QLineEdit>(f.main(), "Edit1")->text(), QString::fromLatin1(page.left(2047)));
}

void TstOptionsPage::junkFileKeepsWhatItHeld() {
    AppFixture f;
    QByteArray junk(4096, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) % 251);
    f.folder.write(QStringLiteral("Clipvane.ini"), junk);
    f.startShown();
    MainWindow& m = f.main();
    QVERIFY(ctl<QCheckBox>(m, "CBMonClipboard")->isChecked());
    QVERIFY(ctl<QCheckBox>(m, "CBLoadDefaultList")->isChecked());
    QCOMPARE(appliedStyleName(), QStringLiteral("Iceberg Classico"));
    QCOMPARE(ctl<QLineEdit>(m, "Edit1")->text(), QStringLiteral("http:\\\\") + host());
    save(f);
    QCOMPARE(f.dialogs.texts(), QStringList{kSaved});
    const QByteArray after = f.folder.read(QStringLiteral("Clipvane.ini"));
    QVERIFY(after.startsWith(junk));
    QVERIFY(after.contains("[Navigation]"));
    QVERIFY(after.contains("Test URL=http://"));
}

void TstOptionsPage::exitThroughTrayMenuKeepsExitToTray() {
    AppFixture f;
    f.folder.write(QStringLiteral("Clipvane.ini"),
                   "[Options settings]\r\nSave options on exiting the software=1\r\n"
                   "[Context Menu Pop]\r\nExit application to tray=1\r\n");
    f.startShown();
    MainWindow& m = f.main();
    QVERIFY(ctl<QAction>(m, "ExitToTray")->isChecked());
    QVERIFY(f.options().exitToTrayChoice());
    ctl<QAction>(m, "Exit1")->trigger();
    QVERIFY(!ctl<QAction>(m, "ExitToTray")->isChecked());
    // Saved on the way out: said in the status line, never in a box.
    QVERIFY(f.dialogs.shown.isEmpty());
    QCOMPARE(ctl<QStatusBar>(m, "SBMain")->currentMessage(), kSaved);
    const IniLines ini = parse(f.folder.read(QStringLiteral("Clipvane.ini")));
    QCOMPARE(ini.values["Context Menu Pop/Exit application to tray"], QStringLiteral("1"));
}

void TstOptionsPage::storedTheme_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("index");
    QTest::newRow("Dark Water") << QByteArray("3") << "Aqua Graphite" << 3;
    QTest::newRow("hexadecimal") << QByteArray("$2") << "TabletDark" << 2;
    QTest::newRow("above the list") << QByteArray("9") << "Iceberg Classico" << -1;
    QTest::newRow("below the list") << QByteArray("-1") << "Iceberg Classico" << -1;
    QTest::newRow("not a number") << QByteArray("dark") << "Iceberg Classico" << 0;
}

void TstOptionsPage::storedTheme() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, style);
    QFETCH(int, index);
    AppFixture f;
    f.folder.write(QStringLiteral("Clipvane.ini"), "[Skin theme]\r\nSkin theme choice=" + stored + "\r\n");
    f.start();
    // The hidden Apply button put the stored style in force while the window was created.
    QCOMPARE(appliedStyleName(), style);
    QVERIFY(f.main().firstShowPending());

    // The first showing only shows the choice: it applies nothing.
    applyStyle(QStringLiteral("Cyan Night"));
    f.app().showMainWindow();
    QVERIFY(!f.main().firstShowPending());
    QCOMPARE(ctl<QComboBox>(f.main(), "CBBTheme")->currentIndex(), index);
    if (index >= 0)
        QCOMPARE(ctl<QComboBox>(f.main(), "CBBTheme")->currentText(), themeEntries()[index]);
    QCOMPARE(appliedStyleName(), QStringLiteral("Cyan Night"));

    save(f);
    QCOMPARE(parse(f.folder.read(QStringLiteral("Clipvane.ini"))).values["Skin theme/Skin theme choice"],
             QString::number(index));
}

void TstOptionsPage::storedDoubleClickMode_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("mode");
    QTest::newRow("launch") << QByteArray("0") << 0;
    QTest::newRow("show") << QByteArray("1") << 1;
    QTest::newRow("above the range: the last mode") << QByteArray("7") << 1;
    QTest::newRow("below the range: none") << QByteArray("-4") << -1;
    QTest::newRow("not a number") << QByteArray("show") << 0;
}

void TstOptionsPage::storedDoubleClickMode() {
    QFETCH(QByteArray, stored);
    QFETCH(int, mode);
    AppFixture f;
    f.folder.write(QStringLiteral("Clipvane.ini"),
                   "[Clipboard]\r\nClipboard capture URL and Valid List=" + stored + "\r\n");
    f.startShown();
    MainWindow& m = f.main();
    QCOMPARE(m.options().doubleClickMode(), mode);
    // The captured list's hint tells what a double click does from the first showing on.
    QCOMPARE(hintOf(ctl<CheckListView>(m, "CheckListBoxURL")),
             mode == 1
                 ? QStringLiteral("|Captured URL list. Double click an item to display the URL in full via "
                                  "message dialog")
                 : QStringLiteral("|Captured URL list. Double click an item to navigate to this URL with the "
                                  "default browser"));

    f.connectivity.connected = true;
    m.list().replaceTexts({QStringLiteral("http://a.example")});
    m.list().setSelected(0);
    if (mode == 1)
        f.dialogs.answer(Answer::Ok);
    m.CheckListBoxURLDblClick();
    QCOMPARE(f.shell.opened.size(), mode == 0 ? 1 : 0);
    QCOMPARE(f.dialogs.texts(), mode == 1 ? QStringList{"http://a.example"} : QStringList{});

    save(f);
    QCOMPARE(parse(f.folder.read(QStringLiteral("Clipvane.ini")))
                 .values["Clipboard/Clipboard capture URL and Valid List"],
             QString::number(mode));
}

void TstOptionsPage::immediateEffects() {
    AppFixture f;
    f.startShown();
    MainWindow& m = f.main();

    // The two save-time validations untick each other; unticking changes nothing else.
    ctl<QCheckBox>(m, "CBOValidateURL")->click();
    QVERIFY(ctl<QCheckBox>(m, "CBOValidateURL")->isChecked());
    ctl<QCheckBox>(m, "CBOValidateChecked")->click();
    QVERIFY(ctl<QCheckBox>(m, "CBOValidateChecked")->isChecked());
    QVERIFY(!ctl<QCheckBox>(m, "CBOValidateURL")->isChecked());
    ctl<QCheckBox>(m, "CBOValidateURL")->setChecked(true);
    QVERIFY(!ctl<QCheckBox>(m, "CBOValidateChecked")->isChecked());
    ctl<QCheckBox>(m, "CBOValidateURL")->setChecked(false);
    QVERIFY(!ctl<QCheckBox>(m, "CBOValidateURL")->isChecked() &&
            !ctl<QCheckBox>(m, "CBOValidateChecked")->isChecked());

    ctl<QCheckBox>(m, "CBDeleteInvalidURL")->click();
    QCOMPARE(
        hintOf(ctl<QToolButton>(m, "cyValidateCheckedURL")),
        QStringLiteral("|Delete all invalid checked URL (no report, see options). Needs Internet connected"));
    ctl<QCheckBox>(m, "CBDeleteInvalidURL")->click();
    QCOMPARE(hintOf(ctl<QToolButton>(m, "cyValidateCheckedURL")),
             QStringLiteral("|Validate all checked URL then show report. Needs Internet connected."));

    QVERIFY(f.options().validateClipboardUrl());
    ctl<QCheckBox>(m, "CBValidateClipboardURL")->click();
    QVERIFY(!f.options().validateClipboardUrl());
    QVERIFY(!ctl<QAction>(m, "ValidateClipboardURL")->isChecked());
    ctl<QAction>(m, "ValidateClipboardURL")->trigger();
    QVERIFY(ctl<QCheckBox>(m, "CBValidateClipboardURL")->isChecked());
    QVERIFY(f.options().validateClipboardUrl());

    ctl<QRadioButton>(m, "RGURLList1")->click();
    QCOMPARE(hintOf(ctl<CheckListView>(m, "CheckListBoxURL")),
             QStringLiteral("|Captured URL list. Double click an item to display the "
                            "URL in full via message dialog"));
    ctl<QRadioButton>(m, "RGURLList0")->setChecked(true); // from code too
    QCOMPARE(hintOf(ctl<CheckListView>(m, "CheckListBoxURL")),
             QStringLiteral("|Captured URL list. Double click an item to navigate to "
                            "this URL with the default browser"));
    // The options with no immediate effect write nothing and ask nothing.
    ctl<QCheckBox>(m, "CBSave")->click();
    ctl<QCheckBox>(m, "CBMinimize")->click();
    ctl<QLineEdit>(m, "Edit1")->setText(QStringLiteral("http://home.example"));
    QVERIFY(f.dialogs.shown.isEmpty());
    QVERIFY(!QFile::exists(f.folder.file(QStringLiteral("Clipvane.ini"))));
}

void TstOptionsPage::themeChoiceAppliesAndIsSaved() {
    AppFixture f;
    f.startShown();
    MainWindow& m = f.main();
    QCOMPARE(appliedStyleName(), QStringLiteral("Iceberg Classico"));
    // Choosing from code applies nothing; the user's choice applies at once.
    ctl<QComboBox>(m, "CBBTheme")->setCurrentIndex(4);
    QCOMPARE(appliedStyleName(), QStringLiteral("Iceberg Classico"));
    ctl<QComboBox>(m, "CBBTheme")->setCurrentIndex(2);
    emit ctl<QComboBox>(m, "CBBTheme")->activated(2);
    QCOMPARE(appliedStyleName(), QStringLiteral("TabletDark"));
    save(f);
    QCOMPARE(parse(f.folder.read(QStringLiteral("Clipvane.ini"))).values["Skin theme/Skin theme choice"],
             QStringLiteral("2"));
}

void TstOptionsPage::resetToFactoryDefaults() {
    AppFixture f;
    f.folder.write(
        QStringLiteral("Clipvane.ini"),
        "[Clipboard]\r\nMonitor Clipboard for URL=0\r\nClipboard capture URL and Valid List=1\r\n"
        "[On line]\r\nValidate URL when saving=1\r\nDelete invalid URL instead of report=1\r\n"
        "Validate Clipboard URL=0\r\n[Options settings]\r\nSave options on exiting the software=1\r\n"
        "[Skin theme]\r\nSkin theme choice=2\r\n[Startup]\r\nLoad default URL list=0\r\n"
        "[Window Minimize]\r\nSystem Tray=1\r\n[Context Menu Pop]\r\nShow captured URL in a balloon=0\r\n"
        "Start application minimised=0\r\nExit application to tray=1\r\n"
        "[WB Navigation]\r\nHome page=http://mine.example\r\n"
        "[Captured History]\r\nSave on exiting the software=1\r\nLoad at startup=1\r\n");
    const QByteArray before = f.folder.read(QStringLiteral("Clipvane.ini"));
    f.startShown();
    MainWindow& m = f.main();
    QCOMPARE(appliedStyleName(), QStringLiteral("TabletDark"));
    ctl<QAction>(m, "StartMinimised")->setChecked(true);
    const QRect placement = m.geometry();

    ctl<QToolButton>(m, "cyResetOptions")->click();
    QVERIFY(ctl<QCheckBox>(m, "CBMonClipboard")->isChecked());
    QCOMPARE(m.statusPanelText(3), QStringLiteral("Yes"));
    QCOMPARE(m.options().doubleClickMode(), 0);
    QCOMPARE(hintOf(ctl<CheckListView>(m, "CheckListBoxURL")),
             QStringLiteral("|Captured URL list. Double click an item to navigate to "
                            "this URL with the default browser"));
    QVERIFY(!ctl<QCheckBox>(m, "CBOValidateURL")->isChecked());
    QVERIFY(!ctl<QCheckBox>(m, "CBOValidateChecked")->isChecked());
    QVERIFY(!ctl<QCheckBox>(m, "CBDeleteInvalidURL")->isChecked());
    QCOMPARE(hintOf(ctl<QToolButton>(m, "cyValidateCheckedURL")),
             QStringLiteral("|Validate all checked URL then show report. Needs Internet connected."));
    QVERIFY(ctl<QCheckBox>(m, "CBValidateClipboardURL")->isChecked());
    QVERIFY(ctl<QAction>(m, "ValidateClipboardURL")->isChecked());
    QVERIFY(f.options().validateClipboardUrl());
    QVERIFY(!ctl<QCheckBox>(m, "CBSave")->isChecked());
    QCOMPARE(ctl<QComboBox>(m, "CBBTheme")->currentIndex(), 0);
    QCOMPARE(appliedStyleName(), QStringLiteral("Iceberg Classico"));
    QVERIFY(ctl<QCheckBox>(m, "CBLoadDefaultList")->isChecked());
    QCOMPARE(ctl<QLineEdit>(m, "Edit1")->text(), QStringLiteral("http://") + host());
    QVERIFY(!ctl<QCheckBox>(m, "CBSaveHistory")->isChecked());
    QVERIFY(!ctl<QCheckBox>(m, "CBLoadHistory")->isChecked());
    QVERIFY(!ctl<QCheckBox>(m, "CBMinimize")->isChecked());
    QVERIFY(!ctl<QAction>(m, "StartMinimised")->isChecked());
    QVERIFY(!ctl<QAction>(m, "ExitToTray")->isChecked());
    // Left as they were: the balloon menu item, the remembered exit-to-tray choice, the placement, the file.
    QVERIFY(!ctl<QAction>(m, "Showcapture")->isChecked());
    QVERIFY(f.options().exitToTrayChoice());
    QCOMPARE(m.geometry(), placement);
    QCOMPARE(f.folder.read(QStringLiteral("Clipvane.ini")), before);
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TstOptionsPage::reloadRereadsThePage() {
    AppFixture f;
    f.folder.write(
        QStringLiteral("Clipvane.ini"),
        "[Clipboard]\r\nClipboard capture URL and Valid List=1\r\n[Skin theme]\r\nSkin theme choice=5\r\n"
        "[Options settings]\r\nSave options on exiting the software=1\r\n"
        "[Placement]\r\nWidth=760\r\n");
    f.startShown();
    MainWindow& m = f.main();
    QVERIFY(ctl<QToolButton>(m, "cyReloadOptions")->isEnabled());
    ctl<QToolButton>(m, "cyResetOptions")->click();
    m.resize(800, 500);
    const QRect placement = m.geometry();
    QCOMPARE(appliedStyleName(), QStringLiteral("Iceberg Classico"));

    ctl<QToolButton>(m, "cyReloadOptions")->click();
    QVERIFY(ctl<QCheckBox>(m, "CBSave")->isChecked());
    QCOMPARE(m.options().doubleClickMode(), 1);
    QCOMPARE(hintOf(ctl<CheckListView>(m, "CheckListBoxURL")),
             QStringLiteral("|Captured URL list. Double click an item to display the "
                            "URL in full via message dialog"));
    QCOMPARE(ctl<QComboBox>(m, "CBBTheme")->currentIndex(), 5);
    QCOMPARE(appliedStyleName(), QStringLiteral("Cyan Night"));
    // The window stays where the user has it.
    QCOMPARE(m.geometry(), placement);
    QVERIFY(f.dialogs.shown.isEmpty());
}

void TstOptionsPage::shortcutCreatedOnce() {
    AppFixture f;
    f.startShown();
    MainWindow& m = f.main();
    f.dialogs.answer(Answer::Ok);
    ctl<QToolButton>(m, "cyAdvSpeedButton4")->click();
    QCOMPARE(f.dialogs.texts(), QStringList{"Link has been created ..."});
    QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Information);
    ctl<QToolButton>(m, "cyAdvSpeedButton4")->click(); // there already: nothing is said
    QCOMPARE(f.dialogs.shown.size(), 1);
    QCOMPARE(f.desktopShortcut.created, QStringList{"Clipvane"});

    const ShortcutRequest& r = f.desktopShortcut.requests[0];
    QCOMPARE(r.name, QStringLiteral("Clipvane"));
    QCOMPARE(r.description, QStringLiteral("Description ..."));
    QCOMPARE(r.target, f.folder.file(QStringLiteral("Clipvane")));
    QCOMPARE(r.workingDirectory, f.folder.path() + u'/');

    f.desktopShortcut.fail = true;
    f.desktopShortcut.created.clear();
    ctl<QToolButton>(m, "cyAdvSpeedButton4")->click(); // cannot be written: nothing is said either
    QCOMPARE(f.dialogs.shown.size(), 1);

    // No desktop folder: said, with the folder looked for, or that there is none at all.
    f.desktopShortcut.noFolder = true;
    f.desktopShortcut.folder = QStringLiteral("/home/user/Bureau");
    f.dialogs.answer(Answer::Ok);
    f.dialogs.answer(Answer::Ok);
    ctl<QToolButton>(m, "cyAdvSpeedButton4")->click();
    f.desktopShortcut.folder.clear();
    ctl<QToolButton>(m, "cyAdvSpeedButton4")->click();
    QCOMPARE(f.dialogs.texts().mid(1),
             (QStringList{"No shortcut was created: the desktop folder /home/user/Bureau does not exist.",
                          "No shortcut was created: this desktop has no desktop folder."}));
    QCOMPARE(f.dialogs.shown[2].kind, MessageKind::Warning);
}

void TstOptionsPage::placementAtFirstShowing() {
    AppFixture f;
    f.folder.write(QStringLiteral("Clipvane.ini"),
                   "[Placement]\r\nTop=-300\r\nLeft=2000\r\nWidth=760\r\nHeight=480\r\n"
                   "[WB Placement]\r\nLeft=3000\r\nWidth=700\r\nHeight=99999\r\n");
    f.start();
    MainWindow& m = f.main();
    QCOMPARE(m.x(), 2000); // in force while the window is created
    QCOMPARE(m.width(), 760);
    f.app().showMainWindow();
    const QRect desktop = m.screen()->availableGeometry();
    QCOMPARE(m.size(), QSize(760, 480));
    QCOMPARE(m.frameGeometry().center().x(), desktop.center().x());
    QVERIFY(qAbs(m.frameGeometry().center().y() - desktop.center().y()) <= 1);

    BrowserWindow* nav = f.app().browserWindow();
    QCOMPARE(nav->width(), 800); // the browser window is never narrower than 800
    QCOMPARE(ctl<QLineEdit>(nav, "Edit1")->text(), QStringLiteral("about:blank"));
    nav->show();
    // A window larger than the desktop is fitted to it, and centred like the main window.
    QVERIFY(nav->frameGeometry().height() <= desktop.height());
    QVERIFY(desktop.contains(nav->frameGeometry()));
    QVERIFY(nav->width() <= 800);
}

void TstOptionsPage::saveFailures() {
    {
        // A folder where the file should be: it exists but cannot be modified, and stays a folder.
        AppFixture f;
        QVERIFY(QDir(f.folder.path()).mkdir(QStringLiteral("Clipvane.ini")));
        f.startShown();
        save(f);
        QCOMPARE(f.dialogs.shown.last().kind, MessageKind::Error);
        QCOMPARE(f.dialogs.shown.last().text, QStringLiteral("Unable to modify the preference file.\r\n") +
                                                  OsError::fromErrno(EISDIR).description);
        QVERIFY(QFileInfo(f.folder.file(QStringLiteral("Clipvane.ini"))).isDir());
    }
    {
        // A file whose encoding cannot be told is not written to, and the user is told why.
        AppFixture f;
        const QByteArray odd = QByteArray("\xFF\xFE[\0S\0]\0", 8) + "x";
        f.folder.write(QStringLiteral("Clipvane.ini"), odd);
        f.startShown();
        save(f);
        QCOMPARE(f.dialogs.shown.last().kind, MessageKind::Error);
        QVERIFY(f.dialogs.shown.last().text.startsWith(
            QStringLiteral("Unable to modify the preference file.\r\n")));
        QVERIFY(f.dialogs.shown.last().text.contains(QStringLiteral("encoding")));
        QCOMPARE(f.folder.read(QStringLiteral("Clipvane.ini")), odd);
    }
    {
        // A folder that cannot hold files: nothing was ever saved.
        AppFixture f;
        f.folder.write(QStringLiteral("plain"), "not a folder");
        const QString nowhere = f.folder.file(QStringLiteral("plain"));
        f.paths.emplace(nowhere + QStringLiteral("/Clipvane"), nowhere + QStringLiteral("/userdata"));
        f.startShown();
        save(f);
        QCOMPARE(f.dialogs.shown.last().kind, MessageKind::Error);
        QVERIFY(f.dialogs.shown.last().text.startsWith(
            QStringLiteral("Unable to save the preference file.\r\n")));
        QVERIFY(!ctl<QToolButton>(f.main(), "cyReloadOptions")->isEnabled());
        QVERIFY(!ctl<QToolButton>(f.app().browserChoiceWindow(), "cyReloadOptions")->isEnabled());
    }
}

void TstOptionsPage::otherWindowsReadAndWriteTheirKeys() {
    AppFixture f;
    // The remembered browser is found again: a program in the application folder, relative to the root.
    f.folder.write(QStringLiteral("browser"), "#!/bin/sh\n");
    QFile(f.folder.file(QStringLiteral("browser"))).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QString relPath = f.folder.path().mid(1) + QLatin1Char('/');
    f.folder.write(QStringLiteral("Clipvane.ini"),
                   "[Navigation]\r\nRemember browser choice=1\r\nBrowser in use EXE name=browser\r\n"
                   "Relative Test=1\r\nRelative Browser Path=" +
                       relPath.toUtf8() +
                       "\r\nRelative Browser EXE name=browser\r\n"
                       "Test URL=http://test.example\r\n[WB Placement]\r\nWidth=810\r\nHeight=620\r\n");
    f.start();
    BrowserChoiceWindow* b = f.app().browserChoiceWindow();
    QVERIFY(ctl<QToolButton>(b, "cyReloadOptions")->isEnabled());
    QVERIFY(ctl<QCheckBox>(b, "CBRememberBrowser")->isChecked());
    QCOMPARE(ctl<QLabel>(b, "LabelEXE")->text(), QStringLiteral("browser"));
    const BrowserChoice& choice = *f.app().browserChoice();
    QVERIFY(choice.RelTest());
    QCOMPARE(choice.RelPath(), relPath);
    QCOMPARE(choice.RelBrowser(), QStringLiteral("browser"));
    QCOMPARE(ctl<QLineEdit>(b, "Edit2")->text(), QStringLiteral("http://test.example"));
    QCOMPARE(f.app().browserWindow()->size(), QSize(810, 620));

    ctl<QLineEdit>(b, "Edit2")->setText(QStringLiteral("http://other.example"));
    // Another browser chosen in the window.
    QDir(f.folder.path()).mkpath(QStringLiteral("opt/web"));
    f.folder.write(QStringLiteral("opt/web/other"), "#!/bin/sh\n");
    QFile(f.folder.file(QStringLiteral("opt/web/other"))).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    f.dialogs.answerFile({true, f.folder.file(QStringLiteral("opt/web/other")), 1});
    ctl<QToolButton>(b, "cyBrowserPathOpen")->click();
    f.app().browserWindow()->resize(900, 650);
    save(f);
    const IniLines ini = parse(f.folder.read(QStringLiteral("Clipvane.ini")));
    QCOMPARE(ini.sections.first(), QStringLiteral("Navigation")); // sections already there keep their place
    QCOMPARE(ini.values["Navigation/Test URL"], QStringLiteral("http://other.example"));
    QCOMPARE(ini.values["Navigation/Relative Browser Path"], relPath + QStringLiteral("opt/web/"));
    QCOMPARE(ini.values["Navigation/Relative Browser EXE name"], QStringLiteral("other"));
    QCOMPARE(ini.values["WB Placement/Width"], QStringLiteral("900"));
    QCOMPARE(ini.values["WB Placement/Height"], QStringLiteral("650"));
    QCOMPARE(ini.keys.size(), 30);
}

QTEST_MAIN(TstOptionsPage)
#include "tst_optionspage.moc"
