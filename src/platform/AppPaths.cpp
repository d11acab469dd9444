#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <unistd.h>

namespace clipvane {

namespace {

const char* const kSystemProgramFolders[] = {"/usr/bin", "/usr/local/bin",  "/bin",      "/usr/sbin",
                                             "/sbin",    "/usr/local/sbin", "/usr/games"};

QString ensured(const QString& folder) {
    QDir().mkpath(folder);
    return folder;
}

// PREFIX/bin with the program's module folder in PREFIX/lib, PREFIX/lib64 or PREFIX/lib/<arch>.
bool inInstalledTree(const QString& exeFolder) {
    QDir prefix(exeFolder);
    if (QFileInfo(exeFolder).fileName() != QLatin1String("bin") || !prefix.cdUp())
        return false;
    for (const QString& lib : {QStringLiteral("lib"), QStringLiteral("lib64")}) {
        const QDir libDir(prefix.filePath(lib));
        if (!libDir.exists())
            continue;
        if (QFileInfo(libDir.filePath(QStringLiteral("clipvane"))).isDir())
            return true;
        for (const QString& arch : libDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (QFileInfo(libDir.filePath(arch + QStringLiteral("/clipvane"))).isDir())
                return true;
    }
    return false;
}

} // namespace

AppPaths::AppPaths(QString executablePath, QString userDataFolder, QString userConfigFolder)
    : m_exe(std::move(executablePath)), m_userData(std::move(userDataFolder)),
      m_userConfig(userConfigFolder.isEmpty() ? m_userData : std::move(userConfigFolder)) {}

AppPaths AppPaths::forRunningProcess() {
    const QString name = QStringLiteral("/Clipvane");
    return AppPaths(QCoreApplication::applicationFilePath(),
                    QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + name,
                    QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + name);
}

QString AppPaths::executableFolder() const {
    return QFileInfo(m_exe).absolutePath();
}

QString AppPaths::executableBaseName() const {
    return QFileInfo(m_exe).completeBaseName();
}

bool AppPaths::isInstalledCopy() const {
    if (m_installed < 0) {
        const QString folder = executableFolder();
        bool installed =
            ::access(QFile::encodeName(folder).constData(), W_OK) != 0 || inInstalledTree(folder);
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        for (const char* system : kSystemProgramFolders)
            installed = installed || canonical == QLatin1String(system) || folder == QLatin1String(system);
        m_installed = installed ? 1 : 0;
    }
    return m_installed == 1;
}

QString AppPaths::dataFolder() const {
    if (m_userData.isEmpty() || !isInstalledCopy())
        return executableFolder();
    return ensured(m_userData);
}

QString AppPaths::configFolder() const {
    if (m_userConfig.isEmpty() || !isInstalledCopy())
        return executableFolder();
    return ensured(m_userConfig);
}

QString AppPaths::defaultListPath() const {
    return QDir(dataFolder()).filePath(executableBaseName() + QStringLiteral(".list"));
}

QString AppPaths::iniPath() const {
    return QDir(configFolder()).filePath(executableBaseName() + QStringLiteral(".ini"));
}

QString AppPaths::historyPath() const {
    return QDir(dataFolder()).filePath(QStringLiteral("Capture History.csv"));
}

QStringList AppPaths::adoptOldFiles() const {
    QStringList moved;
    if (m_userData.isEmpty() || !isInstalledCopy())
        return moved;
    const auto move = [&moved](const QString& from, const QString& to) {
        if (from == to || !QFileInfo(from).isFile() || QFileInfo::exists(to))
            return;
        // A rename where it can; across file systems a copy, then the old file removed.
        if (QFile::rename(from, to))
            moved.append(from + QStringLiteral(" -> ") + to);
    };
    const QString ini = executableBaseName() + QStringLiteral(".ini");
    move(QDir(m_userData).filePath(ini), iniPath());
    const QDir exeDir(executableFolder());
    move(exeDir.filePath(ini), iniPath());
    move(exeDir.filePath(executableBaseName() + QStringLiteral(".list")), defaultListPath());
    move(exeDir.filePath(QStringLiteral("Capture History.csv")), historyPath());
    return moved;
}

} // namespace clipvane
