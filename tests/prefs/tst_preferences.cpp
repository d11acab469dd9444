#include "TempAppFolder.h"
#include "core/Options.h"
#include "prefs/Preferences.h"

#include <QFile>
#include <QTest>

using namespace clipvane;
using clipvane::test::TempAppFolder;

namespace {

// The file a save writes from scratch: sections and keys in their order, nothing else.
const char kFullFile[] = "[Clipboard]\r\n"
                         "Monitor Clipboard for URL=1\r\n"
                         "Clipboard capture URL and Valid List=1\r\n"
                         "[On line]\r\n"
                         "Validate URL when saving=0\r\n"
                         "Validate checked URL list when saving=1\r\n"
                         "Delete invalid URL instead of report=1\r\n"
                         "Validate Clipboard URL=0\r\n"
                         "[Options settings]\r\n"
                         "Save options on exiting the software=1\r\n"
                         "[Skin theme]\r\n"
                         "Skin theme choice=-1\r\n"
                         "[Startup]\r\n"
                         "Load default URL list=0\r\n"
                         "[Placement]\r\n"
                         "Top=11\r\n"
                         "Left=-22\r\n"
                         "Width=733\r\n"
                         "Height=473\r\n"
                         "[Window Minimize]\r\n"
                         "System Tray=1\r\n"
                         "[Context Menu Pop]\r\n"
                         "Show captured URL in a balloon=0\r\n"
                         "Start application minimised=1\r\n"
                         "Exit application to tray=1\r\n"
                         "[WB Placement]\r\n"
                         "Top=1\r\n"
                         "Left=2\r\n"
                         "Width=3\r\n"
                         "Height=4\r\n"
                         "[WB Navigation]\r\n"
                         "Home page=http://home.example/?q=a b\r\n"
                         "[Captured History]\r\n"
                         "Save on exiting the software=1\r\n"
                         "Load at startup=1\r\n"
                         "[Navigation]\r\n"
                         "Remember browser choice=1\r\n"
                         "Browser in use EXE name=firefox\r\n"
                         "Relative Test=1\r\n"
                         "Relative Browser Path=usr/bin/\r\n"
                         "Relative Browser EXE name=firefox\r\n"
                         "Test URL=http://test.example\r\n";

PreferenceSnapshot everythingChanged() {
    PreferenceSnapshot s;
    MainWindowOptions& m = s.main;
    m.monitorClipboard = true;
    m.doubleClickMode = 1;
    m.validateCheckedWhenSaving = true;
    m.deleteInvalidUrl = true;
    m.validateClipboardUrl = false;
    m.showCaptureBalloon = false;
    m.saveOptionsOnExit = true;
    m.themeIndex = -1;
    m.loadDefaultList = false;
    m.homePage = QStringLiteral("http://home.example/?q=a b");
    m.saveHistoryOnExit = true;
    m.loadHistoryAtStartup = true;
    m.systemTray = true;
    m.startMinimised = true;
    m.exitToTray = true;
    s.mainPlacement = {11, -22, 733, 473};
    s.browserWindowPlacement = {1, 2, 3, 4};
    s.browserChoice = {true,
                       QStringLiteral("firefox"),
                       true,
                       QStringLiteral("usr/bin/"),
                       QStringLiteral("firefox"),
                       QStringLiteral("http://test.example")};
    return s;
}

} // namespace

class TstPreferences : public QObject {
    Q_OBJECT

private slots:
    void writesEveryKeyInOrder();
    void writeThenReadGivesTheSameOptions();
    void optionsInForceAreWhatTheFileSays();
    void defaultsOfAnEmptyFile();
    void stopsAtTheFirstFailedKey();
    void outcomeWhenNothingCouldBeWritten();
};

void TstPreferences::writesEveryKeyInOrder() {
    TempAppFolder folder;
    IniFile ini(folder.file(QStringLiteral("Clipvane.ini")));
    const SaveReport report = writePreferences(ini, everythingChanged());
    QCOMPARE(report.outcome, SaveOutcome::Saved);
    QCOMPARE(report.keysWritten, 30);
    QCOMPARE(folder.read(QStringLiteral("Clipvane.ini")), QByteArray(kFullFile));

    // A second save over it changes values in place and adds nothing.
    PreferenceSnapshot again = everythingChanged();
    again.main.themeIndex = 2;
    QCOMPARE(writePreferences(ini, again).outcome, SaveOutcome::Saved);
    QByteArray expected(kFullFile);
    expected.replace("Skin theme choice=-1", "Skin theme choice=2");
    QCOMPARE(folder.read(QStringLiteral("Clipvane.ini")), expected);
}

void TstPreferences::writeThenReadGivesTheSameOptions() {
    TempAppFolder folder;
    const QString path = folder.file(QStringLiteral("Clipvane.ini"));
    const PreferenceSnapshot s = everythingChanged();
    {
        IniFile ini(path);
        writePreferences(ini, s);
    }
    const IniFile ini(path);
    const MainWindowOptions m = readMainWindowOptions(ini, QStringLiteral("host"));
    QCOMPARE(m.doubleClickMode, 1);
    QCOMPARE(m.validateCheckedWhenSaving, true);
    QCOMPARE(m.validateClipboardUrl, false);
    QCOMPARE(m.showCaptureBalloon, false);
    QCOMPARE(m.themeIndex, -1);
    QCOMPARE(m.homePage, s.main.homePage);
    QCOMPARE(m.exitToTray, true);
    const StoredPlacement p = readPlacement(ini, ini::WBPlacement);
    QCOMPARE(p.top, 1);
    QCOMPARE(p.height, 4);
    const BrowserChoiceOptions b = readBrowserChoiceOptions(ini, QStringLiteral("host"));
    QCOMPARE(b.relPath, QStringLiteral("usr/bin/"));
    QCOMPARE(b.testUrl, QStringLiteral("http://test.example"));
}

// The options put in force from a file are saved back as the same file; the tray menu's Exit clears the
// exit-to-tray tick for the session only, so the stored choice is what is written.
void TstPreferences::optionsInForceAreWhatTheFileSays() {
    TempAppFolder folder;
    folder.write(QStringLiteral("Clipvane.ini"), kFullFile);
    Options options;
    loadOptions(IniFile(folder.file(QStringLiteral("Clipvane.ini"))), QStringLiteral("host"), options);
    QCOMPARE(options.saveValidation(), SaveValidationOption::TickedEntries);
    QVERIFY(options.exitToTray());
    options.setExitToTray(false);

    PreferenceSnapshot s = snapshotOf(options);
    const PreferenceSnapshot rest = everythingChanged();
    s.mainPlacement = rest.mainPlacement;
    s.browserWindowPlacement = rest.browserWindowPlacement;
    s.browserChoice = rest.browserChoice;
    IniFile copy(folder.file(QStringLiteral("Copy.ini")));
    QCOMPARE(writePreferences(copy, s).outcome, SaveOutcome::Saved);
    QCOMPARE(folder.read(QStringLiteral("Copy.ini")), QByteArray(kFullFile));
}

void TstPreferences::defaultsOfAnEmptyFile() {
    TempAppFolder folder;
    folder.write(QStringLiteral("Clipvane.ini"), "[Placement]\r\nTop=abc\r\nLeft=$10\r\n");
    const IniFile ini(folder.file(QStringLiteral("Clipvane.ini")));
    const MainWindowOptions m = readMainWindowOptions(ini, QStringLiteral("search.example"));
    QCOMPARE(m.monitorClipboard, true);
    QCOMPARE(m.validateClipboardUrl, true);
    QCOMPARE(m.showCaptureBalloon, true);
    QCOMPARE(m.loadDefaultList, true);
    QCOMPARE(m.saveOptionsOnExit, false);
    QCOMPARE(m.themeIndex, 0);
    QCOMPARE(m.doubleClickMode, 0);
    QCOMPARE(m.homePage, QStringLiteral("http:\\\\search.example"));
    const BrowserChoiceOptions b = readBrowserChoiceOptions(ini, QStringLiteral("search.example"));
    QCOMPARE(b.browserExeName, QStringLiteral("System default"));
    QCOMPARE(b.relPath, QStringLiteral("System default"));
    QCOMPARE(b.testUrl, QStringLiteral("http://search.example"));
    // Placement: a malformed value keeps the window's own, a missing one too.
    const StoredPlacement p = readPlacement(ini, ini::Placement);
    QCOMPARE(p.top, std::nullopt);
    QCOMPARE(p.left, 16);
    QCOMPARE(p.width, std::nullopt);
}

void TstPreferences::stopsAtTheFirstFailedKey() {
    TempAppFolder folder;
    const QString path = folder.file(QStringLiteral("Clipvane.ini"));
    folder.write(QStringLiteral("Clipvane.ini"), "; mine\r\n");
    int writes = 0;
    IniFile ini(path, [&](const QString& p, const QByteArray& bytes) {
        if (++writes == 8)
            return WriteResult{false, OsError::fromErrno(ENOSPC)};
        return writeFileAtomically(p, bytes);
    });
    const SaveReport report = writePreferences(ini, everythingChanged());
    QCOMPARE(report.outcome, SaveOutcome::UnableToModify);
    QCOMPARE(report.keysWritten, 7);
    QCOMPARE(report.error.code, ENOSPC);
    QCOMPARE(writes, 8); // nothing is tried after the failure
    // Each key reached the file as it was written; the ones before the failure stay.
    const QByteArray full(kFullFile);
    const qsizetype upTo = full.indexOf("[Skin theme]");
    QCOMPARE(folder.read(QStringLiteral("Clipvane.ini")), "; mine\r\n" + full.left(upTo));
}

void TstPreferences::outcomeWhenNothingCouldBeWritten() {
    TempAppFolder folder;
    auto failing = [](const QString&, const QByteArray&) {
        return WriteResult{false, OsError::fromErrno(EROFS)};
    };
    IniFile missing(folder.file(QStringLiteral("Clipvane.ini")), failing);
    const SaveReport none = writePreferences(missing, everythingChanged());
    QCOMPARE(none.outcome, SaveOutcome::UnableToSave);
    QCOMPARE(none.keysWritten, 0);
    QCOMPARE(saveOutcomeMessage(none.outcome), QStringLiteral("Unable to save the preference file."));

    folder.write(QStringLiteral("Clipvane.ini"), "[Clipboard]\r\n");
    IniFile existing(folder.file(QStringLiteral("Clipvane.ini")), failing);
    const SaveReport unchanged = writePreferences(existing, everythingChanged());
    QCOMPARE(unchanged.outcome, SaveOutcome::UnableToModify);
    QCOMPARE(saveOutcomeMessage(unchanged.outcome), QStringLiteral("Unable to modify the preference file."));
    QCOMPARE(folder.read(QStringLiteral("Clipvane.ini")), QByteArray("[Clipboard]\r\n"));
    QCOMPARE(saveOutcomeMessage(SaveOutcome::Saved), QStringLiteral("Preferences are saved."));
}

QTEST_GUILESS_MAIN(TstPreferences)
#include "tst_preferences.moc"
