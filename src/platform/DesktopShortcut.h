#pragma once
#include <QString>

namespace clipvane {

// What a desktop shortcut starts and how it is shown.
struct ShortcutRequest {
    QString name;             // file name without extension, and the caption under the icon
    QString description;      // the hint of the shortcut
    QString target;           // full path of the program
    QString workingDirectory; // with its trailing separator
};

// A launcher for the program on the user's desktop.
class DesktopShortcut {
public:
    enum class Result { Created, AlreadyThere, Failed, NoDesktopFolder };
    virtual ~DesktopShortcut() = default;
    // Creates the shortcut unless a file of its name is on the desktop already; never replaces one.
    virtual Result create(const ShortcutRequest& request) = 0;
    // Where the shortcut goes; empty when the desktop names no desktop folder at all.
    virtual QString desktopFolder() const = 0;
};

} // namespace clipvane
