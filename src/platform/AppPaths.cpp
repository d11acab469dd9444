#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace clipvane {

AppPaths::AppPaths(QString executablePath, QString fallbackDataFolder)
    : m_exe(std::move(executablePath)), m_fallback(std::move(fallbackDataFolder)) {}

AppPaths AppPaths::forRunningProcess() {
    return AppPaths(QCoreApplication::applicationFilePath(),
                    QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString AppPaths::executableFolder() const {
    return QFileInfo(m_exe).absolutePath();
}

QString AppPaths::executableBaseName() const {
    return QFileInfo(m_exe).completeBaseName();
}

QString AppPaths::applicationFolder() const {
    if (m_appFolder.isEmpty()) {
        const QString folder = executableFolder();
        if (::access(QFile::encodeName(folder).constData(), W_OK) == 0 || m_fallback.isEmpty()) {
            m_appFolder = folder;
        } else {
            QDir().mkpath(m_fallback);
            m_appFolder = m_fallback;
        }
    }
    return m_appFolder;
}

QString AppPaths::defaultListPath() const {
    return QDir(applicationFolder()).filePath(executableBaseName() + QStringLiteral(".list"));
}

QString AppPaths::iniPath() const {
    return QDir(applicationFolder()).filePath(executableBaseName() + QStringLiteral(".ini"));
}

QString AppPaths::historyPath() const {
    return QDir(applicationFolder()).filePath(QStringLiteral("Capture History.csv"));
}

} // namespace clipvane
