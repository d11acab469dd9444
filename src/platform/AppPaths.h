#pragma once
#include <QString>

namespace clipvane {

// Where the application's files live. One place answers for every file, so tests run in a temporary folder.
class AppPaths {
public:
    // executablePath: the program file; dataFolder: stands in for the program's folder when that is not
    // writable.
    AppPaths(QString executablePath, QString fallbackDataFolder);

    static AppPaths forRunningProcess();

    QString executablePath() const { return m_exe; }
    QString executableFolder() const;
    QString executableBaseName() const; // "Clipvane"
    // The folder of the preference file, the default list and the history file.
    QString applicationFolder() const;
    QString defaultListPath() const; // Clipvane.list
    QString iniPath() const;         // Clipvane.ini
    QString historyPath() const;     // Capture History.csv

private:
    QString m_exe;
    QString m_fallback;
    mutable QString m_appFolder;
};

} // namespace clipvane
