#pragma once
#include "lists/ListFiles.h"

#include <QString>
#include <memory>

namespace clipvane {

class Dialogs;
class MainControls;
class Options;
struct CapturedList;

// The main window's list and its exits, without the window: the default list at start-up, what a double
// click on an entry does, and whether an exit closes, goes to the tray, or asks about an unsaved list.
class MainListSession {
public:
    MainListSession(CapturedList& list, Options& options, Dialogs& dialogs, MainControls& controls,
                    QString defaultListPath);
    ~MainListSession();

    MainListFiles& files() { return *m_files; }
    const QString& currentListPath() const { return m_currentListPath; }

    // "Load default URL list": the list file's entries, or a new list when there is none.
    void loadAtStartup();
    // The double-click mode decides: 0 opens the selected entry, 1 shows it whole in a box.
    void doubleClicked();

    // The exit button: to the tray when the options say so, else after the question about an unsaved list.
    void exitCommand();
    // The tray menu's "Exit": closes without a question; the exit-to-tray choice stays for the next session.
    void exitFromTray();
    // The close box, the desktop or a command that has decided: true when the window closes. The saves on
    // the way out have run then.
    bool closeRequested();
    bool exitGoesToTray() const;
    // The unsaved list's question answered, with its saves, during this exit.
    bool optionsSavedOnExit() const { return m_optionsSavedOnExit; }

    // The save of the list was cancelled by its validation.
    bool saveCancelled() const { return m_saveCancelled; }
    void setSaveCancelled(bool cancelled) { m_saveCancelled = cancelled; }

private:
    // The exit question about an unsaved list (Yes saves it, No goes on); false keeps the session going.
    bool confirmExitWithList();
    void closeDecided();
    void finishSession();

    CapturedList& m_list;
    Options& m_options;
    Dialogs& m_dialogs;
    MainControls& m_controls;
    QString m_currentListPath;
    QString m_htmlTitle;
    std::unique_ptr<MainListFiles> m_files;
    bool m_optionsSavedOnExit = false;
    bool m_exitDecided = false;
    bool m_saveCancelled = false;
};

} // namespace clipvane
