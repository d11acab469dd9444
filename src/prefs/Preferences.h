#pragma once
#include "IniFile.h"

#include <QString>
#include <optional>

namespace clipvane {

class Options;

// Sections and keys of the preference file. Key names differ from their controls' captions in places;
// these are the ones files hold.
namespace ini {
inline constexpr char16_t Clipboard[] = u"Clipboard";
inline constexpr char16_t MonitorClipboard[] = u"Monitor Clipboard for URL";
inline constexpr char16_t DoubleClickMode[] = u"Clipboard capture URL and Valid List";
inline constexpr char16_t OnLine[] = u"On line";
inline constexpr char16_t ValidateUrlWhenSaving[] = u"Validate URL when saving";
inline constexpr char16_t ValidateCheckedWhenSaving[] = u"Validate checked URL list when saving";
inline constexpr char16_t DeleteInvalidUrl[] = u"Delete invalid URL instead of report";
inline constexpr char16_t ValidateClipboardUrl[] = u"Validate Clipboard URL";
inline constexpr char16_t OptionsSettings[] = u"Options settings";
inline constexpr char16_t SaveOptionsOnExit[] = u"Save options on exiting the software";
inline constexpr char16_t SkinTheme[] = u"Skin theme";
inline constexpr char16_t SkinThemeChoice[] = u"Skin theme choice";
inline constexpr char16_t Startup[] = u"Startup";
inline constexpr char16_t LoadDefaultList[] = u"Load default URL list";
inline constexpr char16_t Placement[] = u"Placement";
inline constexpr char16_t Top[] = u"Top";
inline constexpr char16_t Left[] = u"Left";
inline constexpr char16_t Width[] = u"Width";
inline constexpr char16_t Height[] = u"Height";
inline constexpr char16_t WindowMinimize[] = u"Window Minimize";
inline constexpr char16_t SystemTray[] = u"System Tray";
inline constexpr char16_t ContextMenuPop[] = u"Context Menu Pop";
inline constexpr char16_t ShowCaptureBalloon[] = u"Show captured URL in a balloon";
inline constexpr char16_t StartMinimised[] = u"Start application minimised";
inline constexpr char16_t ExitToTray[] = u"Exit application to tray";
inline constexpr char16_t WBPlacement[] = u"WB Placement";
inline constexpr char16_t WBNavigation[] = u"WB Navigation";
inline constexpr char16_t HomePage[] = u"Home page";
inline constexpr char16_t CapturedHistory[] = u"Captured History";
inline constexpr char16_t SaveHistoryOnExit[] = u"Save on exiting the software";
inline constexpr char16_t LoadHistoryAtStartup[] = u"Load at startup";
inline constexpr char16_t Navigation[] = u"Navigation";
inline constexpr char16_t RememberBrowser[] = u"Remember browser choice";
inline constexpr char16_t BrowserExeName[] = u"Browser in use EXE name";
inline constexpr char16_t RelativeTest[] = u"Relative Test";
inline constexpr char16_t RelativeBrowserPath[] = u"Relative Browser Path";
inline constexpr char16_t RelativeBrowserExe[] = u"Relative Browser EXE name";
inline constexpr char16_t TestUrl[] = u"Test URL";
} // namespace ini

inline const QString kSystemDefault = QStringLiteral("System default");

// The home page default keeps its two backslashes; the test URL and the options reset use "http://".
QString defaultHomePage(const QString& searchHost);
QString defaultTestUrl(const QString& searchHost);

// The options of the main window, as stored.
struct MainWindowOptions {
    bool monitorClipboard = true;
    int doubleClickMode = 0;
    bool validateUrlWhenSaving = false;
    bool validateCheckedWhenSaving = false;
    bool deleteInvalidUrl = false;
    bool validateClipboardUrl = true;
    bool showCaptureBalloon = true;
    bool saveOptionsOnExit = false;
    int themeIndex = 0;
    bool loadDefaultList = true;
    QString homePage;
    bool saveHistoryOnExit = false;
    bool loadHistoryAtStartup = false;
    bool systemTray = false;
    bool startMinimised = false;
    bool exitToTray = false; // written from the remembered exit-to-tray choice, not the menu tick
};

// The browser choice window's stored choice.
struct BrowserChoiceOptions {
    bool rememberBrowser = false;
    QString browserExeName = kSystemDefault;
    bool relTest = false;
    QString relPath = kSystemDefault;
    QString relBrowser = kSystemDefault;
    QString testUrl;
};

// A window's placement as read: a missing or malformed value keeps the window's current one.
struct StoredPlacement {
    std::optional<int> top, left, width, height;
};
struct Placement {
    int top = 0, left = 0, width = 0, height = 0;
};

MainWindowOptions readMainWindowOptions(const IniFile& ini, const QString& searchHost);
StoredPlacement readPlacement(const IniFile& ini, QStringView section);
BrowserChoiceOptions readBrowserChoiceOptions(const IniFile& ini, const QString& searchHost);

// Everything one save writes: every key of every window.
struct PreferenceSnapshot {
    MainWindowOptions main;
    Placement mainPlacement;
    Placement browserWindowPlacement;
    BrowserChoiceOptions browserChoice;
};

// Puts the stored options in force, in the order of the file's sections (each change signals as it
// comes); the exit-to-tray tick and the stored choice both take the stored value.
void loadOptions(const IniFile& ini, const QString& searchHost, Options& options);
// The options as the next save writes them (the exit-to-tray key from the stored choice); the placements
// and the browser choice are the caller's to add.
PreferenceSnapshot snapshotOf(const Options& options);

enum class SaveOutcome { Saved, UnableToModify, UnableToSave };

struct SaveReport {
    SaveOutcome outcome = SaveOutcome::UnableToSave;
    int keysWritten = 0;
    OsError error; // of the key that failed
};

// Writes the 30 keys in their order, section by section, and stops at the first key that fails;
// the keys written before it stay written.
SaveReport writePreferences(IniFile& ini, const PreferenceSnapshot& snapshot);
constexpr int kPreferenceKeyCount = 30;

// The message of an outcome, and whether it is an error.
QString saveOutcomeMessage(SaveOutcome outcome);
// The message shown after a save: the outcome's text and, when it failed, the reason on the next line.
QString saveReportMessage(const SaveReport& report);

} // namespace clipvane
