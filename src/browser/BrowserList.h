#pragma once
#include "lists/ListFiles.h"
#include "lists/SaveValidation.h"

#include <QString>
#include <functional>

namespace clipvane {

class BrowserControls;
class CheckListModel;
class Dialogs;

inline constexpr char kBrowserNotAWebAddress[] =
    "Only web addresses (starting with http:// or https://) are opened. This entry was not opened:\n";

// Ascending in the list collation, duplicates and ticks kept: the order of the "Sorted list" mode.
void sortKeepingTicks(CheckListModel& list);

// What the browser list needs from outside its window: the main window's options, read at the moment of
// use, and the save-time validation step that both list windows share.
struct BrowserListOptions {
    std::function<bool()> launchOnDoubleClick;            // "Double click launch URL"
    std::function<SaveValidationOption()> saveValidation; // the two "On line" options
    SaveValidator* saveValidator = nullptr;
};

// The URL browser list of one browser window and its commands: ticks and the enabling rule, deletions,
// sorted mode, double-click, save as and open.
class BrowserList final : public ListFileWindow {
public:
    // navigate: puts a text in the address bar and runs the Navigate command.
    BrowserList(CheckListModel& list, BrowserControls& controls, Dialogs& dialogs, BrowserListOptions options,
                std::function<void(const QString&)> navigate);

    CheckListModel& list() { return m_list; }
    ListDocument& files() { return m_files; }

    void CheckListBoxURLClickCheck(); // the enabling rule of Delete and Validate
    void CheckListBoxURLDblClick();
    void cyCheckAllClick();
    void cyUncheckAllClick();
    void cyDeleteClick();
    void Clearlist1Click();
    void Deleteselected1Click();
    // Inverts sorted mode and answers the new state; switching it on sorts at once, ticks kept.
    bool Sortedlist1Click();
    void cyAdvSpeedButton1Click(); // save as
    void cyAdvSpeedButton2Click(); // open

    void refreshCount();
    // After entries came in from elsewhere: keeps sorted mode's order and the buttons true.
    void entriesChanged();

    // ListFileWindow
    bool validateBeforeSave() override;
    void RaiseLastError(const OsError& error) override;
    void refreshListCommands() override;

private:
    void setListCommands(bool on);

    CheckListModel& m_list;
    BrowserControls& m_controls;
    Dialogs& m_dialogs;
    BrowserListOptions m_options;
    std::function<void(const QString&)> m_navigate;
    bool m_sorted = false;
    // The list has no modified flag and no title of its own; the file routines want somewhere to put them.
    bool m_unusedModified = false;
    QString m_unusedTitle;
    ListDocument m_files;
};

} // namespace clipvane
