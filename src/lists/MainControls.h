#pragma once
#include "lists/ListFiles.h"

#include <QString>

namespace clipvane {

// What the main window's list session reads and sets on the window, on top of a list window's file side.
class MainControls : public ListFileWindow {
public:
    virtual void setMemoText(const QString& text) = 0; // Memo1
    // Navigate: the URL is opened the way the browser choice says.
    virtual void launchUrl(const QString& url) = 0;
    // Whether the desktop shows a system tray for the window to go to.
    virtual bool trayAvailable() const = 0;
    virtual void minimiseApplication() = 0;
    // Closes the window (the close box's route, with the exit already decided).
    virtual void closeWindow() = 0;
    // The saves on the way out, which never ask anything.
    virtual void saveOptionsOnExit() = 0;
    virtual void saveHistoryOnExit() = 0;
};

} // namespace clipvane
