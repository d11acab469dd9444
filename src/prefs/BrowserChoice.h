#pragma once
#include "Preferences.h"
#include "platform/Drives.h"

#include <QObject>
#include <QString>

namespace clipvane {

class Dialogs;

// What the browser choice needs from outside.
struct BrowserChoiceContext {
    Dialogs* dialogs = nullptr;
    Drives* drives = nullptr;
    QString executablePath; // the running program: the choice is rebuilt on its drive
    QString searchHost;     // host of the default test URL
};

inline constexpr char kBrowserGoneWarning[] =
    "Clipvane - Browser Preferences\r\n"
    "%1 does not exist in its path anymore.\r\n"
    "\r\n"
    "Possible cause:\r\n"
    "1. The file or its path has been deleted, renamed, corrupted.\r\n"
    "2. The file or its path has been moved to another folder.\r\n"
    "\r\n"
    "Default options loaded.";
inline constexpr char kNotAProgram[] = "This file is not a program that can be started:\r\n%1\r\n\r\n"
                                       "The browser in use stays as it was.";

// The browser that opens URLs: none (the system default) or an executable of the user's choice, kept
// relative to its drive so that a copy that travels with its browser keeps working.
// The browser choice window shows this state and runs its commands; the launches read it.
class BrowserChoice : public QObject {
    Q_OBJECT
public:
    explicit BrowserChoice(BrowserChoiceContext context);

    // true when an executable is chosen and opens URLs
    bool RelTest() const { return m_relTest; }
    // folder of the executable relative to its drive's mount point: "usr/bin/", no leading "/"
    QString RelPath() const { return m_relPath; }
    // file name of the executable
    QString RelBrowser() const { return m_relBrowser; }
    // the browser path the launches start, or "System default"
    QString browserPath() const { return m_browserPath; }
    // the browser shown as current
    QString currentBrowser() const { return m_currentBrowser; }
    bool remember() const { return m_remember; }
    QString testUrl() const { return m_testUrl; }
    // the type of the drive holding the chosen browser
    DriveType driveType() const { return m_driveType; }

    void setRemember(bool remember);
    void setTestUrl(const QString& url);

    // The creation steps: nothing chosen, then the stored choice from the preference file.
    // Answers whether the file exists (the reload button follows it).
    bool FormCreate(const QString& iniPath);
    // Reads the "Navigation" section and rebuilds the choice on the running program's drive; then keeps
    // the remembered choice (Set browser) or starts over (Reset to default).
    bool ReadIniFile(const QString& iniPath);
    // A picked file becomes the browser at once. A file that is no program is refused with a warning.
    bool choose(const QString& file);
    // Confirms the chosen file; when it is gone, warns and resets.
    void SetBrowser();
    // Back to the system default and the default test URL; nothing is written.
    void Reset();

    // What a save writes.
    BrowserChoiceOptions stored() const;

    // The drive type of a path's drive.
    DriveType driveTypeOf(const QString& path) const;

signals:
    void changed();

private:
    void applyStored(const BrowserChoiceOptions& o);
    QString rebuiltPath() const;

    BrowserChoiceContext m_context;
    bool m_relTest = false;
    QString m_relPath = kSystemDefault;
    QString m_relBrowser = kSystemDefault;
    QString m_browserPath = kSystemDefault;
    QString m_currentBrowser = kSystemDefault;
    bool m_remember = false;
    QString m_testUrl;
    DriveType m_driveType = DriveType::Fixed;
};

// Whether a path names a program that may be started: absolute, without "." or ".." segments, an
// executable regular file (or a link to one).
bool isStartableProgram(const QString& path);

} // namespace clipvane
