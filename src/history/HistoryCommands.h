#pragma once
#include "platform/AppPaths.h"

#include <QString>
#include <functional>

namespace clipvane {

class Dialogs;
class HistoryTable;

inline constexpr char kHistoryFileName[] = "Capture History.csv";
inline constexpr char kSaveEmptyHistoryQuestion[] =
    "This will save an empty default capture history database. Do you want to proceed anyway?";
inline constexpr char kHistorySavedTo[] = "Capture History saved to: ";
inline constexpr char kCannotSaveHistory[] = "Cannot save the capture history to: ";
inline constexpr char kNothingToSave[] = "Nothing to save, the list is empty.";
inline constexpr char kDoesNotExistAnymore[] = " does not exist anymore or cannot be opened";
inline constexpr char kAppendHistoryQuestion[] =
    "The Capture history is not empty. Do you want to append the file?";
inline constexpr char kSaveBeforeNewQuestion[] =
    "The Capture History database is not empty, do you want to save it first?";
inline constexpr char kHistoryKeptAtExit[] =
    "could not be read at start-up and was left as it was: the Capture History was not saved on exiting.";
inline constexpr char kHistoryUnreadAtExit[] =
    "could not be read and was left as it was: the Capture History was not saved on exiting.";

// The folder of a path as the messages show it: native separators and a separator at the end.
QString folderForMessage(const QString& folder);

// The file commands of the Capture History window, on the table, the dialogs and the application folder.
// The commands that load or empty the table answer true when they did, so that the grid sizes itself.
class HistoryFileCommands {
public:
    HistoryFileCommands(HistoryTable& table, Dialogs& dialogs, AppPaths paths, std::function<void()> yield);

    // The creation of the window: loads the default file when asked and it exists, keeping entries that
    // captures made before; then CheckButton and a blank last row. True when the file was loaded.
    bool startUp(bool loadAtStartup);

    bool cyNewListClick();
    bool cySaveHistoryClick(); // true when the file was written
    void cySaveHistoryAsClick();
    bool cyReloadHistoryClick();
    bool cyLoadHistoryClick();
    void cyURLSaveClick();
    // The save at exit: no question and no box; it answers what to report on the way out (empty when the
    // file was written), and the close goes on. When the table holds the default file's rows (loaded at
    // start-up, reloaded, or saved over it since), the file is replaced; otherwise this session's entries
    // are added behind the rows the file holds, so that no earlier session's rows are lost. A default file
    // that the start-up load or this save refused or could not read is never replaced here (a save or a
    // reload of it by the user lifts that); the exit says so once instead.
    QString SaveHistory();
    // Enables the reload button exactly when the default file exists.
    void CheckButton();

    bool reloadEnabled() const { return m_reloadEnabled; }
    // Called whenever the state of the reload button changes.
    std::function<void(bool)> reloadEnabledChanged;

    QString historyPath() const { return m_paths.historyPath(); }
    QString dialogFolder() const { return m_dialogFolder; }

private:
    enum class Load { Done, Failed };
    Load load(const QString& path, int mode);
    bool write(const QString& path, const QString& folderInMessage);
    void setReloadEnabled(bool enabled);

    HistoryTable& m_table;
    Dialogs& m_dialogs;
    AppPaths m_paths;
    std::function<void()> m_yield;
    QString m_dialogFolder;
    bool m_reloadEnabled = false;
    bool m_defaultFileUnread = false; // the start-up load of the default file failed
    bool m_tableHoldsFile = false;    // the table holds the default file's rows
    qsizetype m_appendedEntries = 0;  // entries the exit save added behind the file's own rows
    bool m_keptSaid = false;
};

} // namespace clipvane
