#include "Preferences.h"

#include "core/Options.h"

#include <QFileInfo>

namespace clipvane {

QString defaultHomePage(const QString& searchHost) {
    return QStringLiteral("http:\\\\") + searchHost;
}

QString defaultTestUrl(const QString& searchHost) {
    return QStringLiteral("http://") + searchHost;
}

MainWindowOptions readMainWindowOptions(const IniFile& ini, const QString& searchHost) {
    MainWindowOptions o;
    o.monitorClipboard = ini.readBool(ini::Clipboard, ini::MonitorClipboard, true);
    o.doubleClickMode = ini.readInteger(ini::Clipboard, ini::DoubleClickMode, 0);
    o.validateUrlWhenSaving = ini.readBool(ini::OnLine, ini::ValidateUrlWhenSaving, false);
    o.validateCheckedWhenSaving = ini.readBool(ini::OnLine, ini::ValidateCheckedWhenSaving, false);
    o.deleteInvalidUrl = ini.readBool(ini::OnLine, ini::DeleteInvalidUrl, false);
    o.validateClipboardUrl = ini.readBool(ini::OnLine, ini::ValidateClipboardUrl, true);
    o.showCaptureBalloon = ini.readBool(ini::ContextMenuPop, ini::ShowCaptureBalloon, true);
    o.saveOptionsOnExit = ini.readBool(ini::OptionsSettings, ini::SaveOptionsOnExit, false);
    o.themeIndex = ini.readInteger(ini::SkinTheme, ini::SkinThemeChoice, 0);
    o.loadDefaultList = ini.readBool(ini::Startup, ini::LoadDefaultList, true);
    o.homePage = ini.readString(ini::WBNavigation, ini::HomePage, defaultHomePage(searchHost));
    o.saveHistoryOnExit = ini.readBool(ini::CapturedHistory, ini::SaveHistoryOnExit, false);
    o.loadHistoryAtStartup = ini.readBool(ini::CapturedHistory, ini::LoadHistoryAtStartup, false);
    o.systemTray = ini.readBool(ini::WindowMinimize, ini::SystemTray, false);
    o.startMinimised = ini.readBool(ini::ContextMenuPop, ini::StartMinimised, false);
    o.exitToTray = ini.readBool(ini::ContextMenuPop, ini::ExitToTray, false);
    return o;
}

void loadOptions(const IniFile& ini, const QString& searchHost, Options& options) {
    const MainWindowOptions o = readMainWindowOptions(ini, searchHost);
    options.setMonitorClipboard(o.monitorClipboard);
    options.setDoubleClickMode(o.doubleClickMode);
    // Both ticked in the file: the later one, "checked", wins, as ticking it unticks the other.
    options.setSaveValidation(o.validateCheckedWhenSaving ? SaveValidationOption::TickedEntries
                              : o.validateUrlWhenSaving   ? SaveValidationOption::AllEntries
                                                          : SaveValidationOption::None);
    options.setDeleteInvalidUrl(o.deleteInvalidUrl);
    options.setValidateClipboardUrl(o.validateClipboardUrl);
    options.setShowCaptureBalloon(o.showCaptureBalloon);
    options.setSaveOptionsOnExit(o.saveOptionsOnExit);
    options.setThemeIndex(o.themeIndex);
    options.setLoadDefaultList(o.loadDefaultList);
    options.setHomePage(o.homePage);
    options.setSaveHistoryOnExit(o.saveHistoryOnExit);
    options.setLoadHistoryAtStartup(o.loadHistoryAtStartup);
    options.setSystemTray(o.systemTray);
    options.setStartMinimised(o.startMinimised);
    options.setExitToTray(o.exitToTray);
    options.setExitToTrayChoice(o.exitToTray);
}

PreferenceSnapshot snapshotOf(const Options& options) {
    PreferenceSnapshot s;
    MainWindowOptions& m = s.main;
    m.monitorClipboard = options.monitorClipboard();
    m.doubleClickMode = options.doubleClickMode();
    m.validateUrlWhenSaving = options.validateUrlWhenSaving();
    m.validateCheckedWhenSaving = options.validateCheckedWhenSaving();
    m.deleteInvalidUrl = options.deleteInvalidUrl();
    m.validateClipboardUrl = options.validateClipboardUrl();
    m.saveOptionsOnExit = options.saveOptionsOnExit();
    m.themeIndex = options.themeIndex();
    m.loadDefaultList = options.loadDefaultList();
    m.systemTray = options.systemTray();
    m.showCaptureBalloon = options.showCaptureBalloon();
    m.startMinimised = options.startMinimised();
    m.exitToTray = options.exitToTrayChoice();
    m.homePage = options.homePage();
    m.saveHistoryOnExit = options.saveHistoryOnExit();
    m.loadHistoryAtStartup = options.loadHistoryAtStartup();
    return s;
}

StoredPlacement readPlacement(const IniFile& ini, QStringView section) {
    auto read = [&](QStringView key) -> std::optional<int> {
        const std::optional<QString> v = ini.value(section, key);
        if (!v)
            return std::nullopt;
        return IniFile::parseInteger(QStringView(*v).first(qMin(v->size(), IniFile::kMaxTextLength)));
    };
    return {read(ini::Top), read(ini::Left), read(ini::Width), read(ini::Height)};
}

BrowserChoiceOptions readBrowserChoiceOptions(const IniFile& ini, const QString& searchHost) {
    BrowserChoiceOptions o;
    o.rememberBrowser = ini.readBool(ini::Navigation, ini::RememberBrowser, false);
    o.browserExeName = ini.readString(ini::Navigation, ini::BrowserExeName, kSystemDefault);
    o.relTest = ini.readBool(ini::Navigation, ini::RelativeTest, false);
    o.relPath = ini.readString(ini::Navigation, ini::RelativeBrowserPath, kSystemDefault);
    o.relBrowser = ini.readString(ini::Navigation, ini::RelativeBrowserExe, kSystemDefault);
    o.testUrl = ini.readString(ini::Navigation, ini::TestUrl, defaultTestUrl(searchHost));
    return o;
}

SaveReport writePreferences(IniFile& ini, const PreferenceSnapshot& s) {
    SaveReport report;
    bool failed = false;
    auto put = [&](QStringView section, QStringView key, const QString& value) {
        if (failed)
            return;
        if (ini.writeString(section, key, value)) {
            ++report.keysWritten;
        } else {
            failed = true;
            report.error = ini.lastError();
        }
    };
    auto putBool = [&](QStringView section, QStringView key, bool v) {
        put(section, key, v ? QStringLiteral("1") : QStringLiteral("0"));
    };
    auto putInt = [&](QStringView section, QStringView key, int v) { put(section, key, QString::number(v)); };
    auto putPlacement = [&](QStringView section, const Placement& p) {
        putInt(section, ini::Top, p.top);
        putInt(section, ini::Left, p.left);
        putInt(section, ini::Width, p.width);
        putInt(section, ini::Height, p.height);
    };

    const MainWindowOptions& m = s.main;
    putBool(ini::Clipboard, ini::MonitorClipboard, m.monitorClipboard);
    putInt(ini::Clipboard, ini::DoubleClickMode, m.doubleClickMode);
    putBool(ini::OnLine, ini::ValidateUrlWhenSaving, m.validateUrlWhenSaving);
    putBool(ini::OnLine, ini::ValidateCheckedWhenSaving, m.validateCheckedWhenSaving);
    putBool(ini::OnLine, ini::DeleteInvalidUrl, m.deleteInvalidUrl);
    putBool(ini::OnLine, ini::ValidateClipboardUrl, m.validateClipboardUrl);
    putBool(ini::OptionsSettings, ini::SaveOptionsOnExit, m.saveOptionsOnExit);
    putInt(ini::SkinTheme, ini::SkinThemeChoice, m.themeIndex);
    putBool(ini::Startup, ini::LoadDefaultList, m.loadDefaultList);
    putPlacement(ini::Placement, s.mainPlacement);
    putBool(ini::WindowMinimize, ini::SystemTray, m.systemTray);
    putBool(ini::ContextMenuPop, ini::ShowCaptureBalloon, m.showCaptureBalloon);
    putBool(ini::ContextMenuPop, ini::StartMinimised, m.startMinimised);
    putBool(ini::ContextMenuPop, ini::ExitToTray, m.exitToTray);
    putPlacement(ini::WBPlacement, s.browserWindowPlacement);
    put(ini::WBNavigation, ini::HomePage, m.homePage);
    putBool(ini::CapturedHistory, ini::SaveHistoryOnExit, m.saveHistoryOnExit);
    putBool(ini::CapturedHistory, ini::LoadHistoryAtStartup, m.loadHistoryAtStartup);
    const BrowserChoiceOptions& b = s.browserChoice;
    putBool(ini::Navigation, ini::RememberBrowser, b.rememberBrowser);
    put(ini::Navigation, ini::BrowserExeName, b.browserExeName);
    putBool(ini::Navigation, ini::RelativeTest, b.relTest);
    put(ini::Navigation, ini::RelativeBrowserPath, b.relPath);
    put(ini::Navigation, ini::RelativeBrowserExe, b.relBrowser);
    put(ini::Navigation, ini::TestUrl, b.testUrl);

    // The outcome looks at the disk: a file that is still missing was never saved at all.
    const QFileInfo file(ini.path());
    if (!file.exists())
        report.outcome = SaveOutcome::UnableToSave;
    else if (!failed && report.keysWritten == kPreferenceKeyCount)
        report.outcome = SaveOutcome::Saved;
    else
        report.outcome = SaveOutcome::UnableToModify;
    return report;
}

QString saveOutcomeMessage(SaveOutcome outcome) {
    switch (outcome) {
    case SaveOutcome::Saved:
        return QStringLiteral("Preferences are saved.");
    case SaveOutcome::UnableToModify:
        return QStringLiteral("Unable to modify the preference file.");
    case SaveOutcome::UnableToSave:
        return QStringLiteral("Unable to save the preference file.");
    }
    return {};
}

QString saveReportMessage(const SaveReport& report) {
    QString text = saveOutcomeMessage(report.outcome);
    if (report.outcome != SaveOutcome::Saved && !report.error.description.isEmpty())
        text += QStringLiteral("\r\n") + report.error.description;
    return text;
}

} // namespace clipvane
