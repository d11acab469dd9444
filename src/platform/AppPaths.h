#pragma once
#include <QString>

namespace clipvane {

// Where the application's files live. One place answers for every file, so tests run in a temporary folder.
//
// A portable copy (the executable in a writable folder of its own) keeps its files beside it. An installed
// copy keeps them in the per-user folders: the preference file in the user config folder, the default list
// and the history in the user data folder. A copy is installed when its folder is not writable, when it sits
// in an installed tree (`PREFIX/bin` with `PREFIX/lib/clipvane` or `PREFIX/lib/<arch>/clipvane` beside it),
// or in a system program folder such as /usr/bin; root's copies included.
class AppPaths {
public:
    // executablePath: the program file; userDataFolder, userConfigFolder: the per-user folders
    // ($XDG_DATA_HOME/Clipvane, $XDG_CONFIG_HOME/Clipvane); the config folder defaults to the data folder.
    // Without a user data folder the program's folder is used whatever it is.
    AppPaths(QString executablePath, QString userDataFolder, QString userConfigFolder = {});

    static AppPaths forRunningProcess();

    QString executablePath() const { return m_exe; }
    QString executableFolder() const;
    QString executableBaseName() const; // "Clipvane"
    bool isInstalledCopy() const;
    // The folder of the default list and the history file (created when missing); one Clipvane runs for it.
    QString dataFolder() const;
    // The folder of the preference file (created when missing).
    QString configFolder() const;
    // The folder the list and history dialogs and messages name: the data folder.
    QString applicationFolder() const { return dataFolder(); }
    QString defaultListPath() const; // Clipvane.list
    QString iniPath() const;         // Clipvane.ini
    QString historyPath() const;     // Capture History.csv

    // An installed copy takes over, once, the files an earlier version left in the places it used then: the
    // preference file in the user data folder, and every file beside the executable (a copy run as root
    // could write there). A file is moved only where the new place has none, so nothing is lost or
    // overwritten. Answers the files moved, as "old -> new".
    QStringList adoptOldFiles() const;

private:
    QString m_exe;
    QString m_userData;
    QString m_userConfig;
    mutable int m_installed = -1;
};

} // namespace clipvane
