#include "XdgDesktopShortcut.h"

#include "DesktopEntry.h"

#include "core/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace clipvane {

XdgDesktopShortcut::XdgDesktopShortcut(QString desktopFolder) : m_folder(std::move(desktopFolder)) {}

QString XdgDesktopShortcut::xdgDesktopFolder(const QByteArray& userDirs, const QString& home) {
    const QString homeFolder = QDir::cleanPath(home);
    QString found;
    for (QByteArray line : userDirs.split('\n')) {
        line = line.trimmed();
        if (!line.startsWith("XDG_DESKTOP_DIR="))
            continue;
        QByteArray value = line.mid(int(qstrlen("XDG_DESKTOP_DIR=")));
        if (value.size() < 2 || !value.startsWith('"') || !value.endsWith('"'))
            continue;
        value = value.mid(1, value.size() - 2);
        // Shell quoting as xdg-user-dirs-update writes it: a backslash keeps the next character.
        QByteArray raw;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size())
                ++i;
            raw += value[i];
        }
        QString path = QString::fromUtf8(raw);
        if (path == QLatin1String("$HOME") || path.startsWith(QLatin1String("$HOME/")))
            path = homeFolder + path.mid(5);
        else if (!path.startsWith(u'/'))
            continue; // only these two forms are valid
        found = QDir::cleanPath(path);
    }
    if (found.isEmpty())
        return homeFolder + QStringLiteral("/Desktop");
    return found == homeFolder ? QString() : found;
}

QString XdgDesktopShortcut::desktopFolder() const {
    if (!m_folder.isEmpty())
        return m_folder;
    const QString home = QDir::homePath();
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!config.startsWith(u'/'))
        config = home + QStringLiteral("/.config");
    QByteArray userDirs;
    QFile file(config + QStringLiteral("/user-dirs.dirs"));
    if (file.open(QIODevice::ReadOnly))
        userDirs = file.read(64 * 1024);
    return xdgDesktopFolder(userDirs, home);
}

QByteArray XdgDesktopShortcut::desktopEntry(const ShortcutRequest& r) {
    // The menu entry of an installed copy is written by the same routine, with the same icon.
    DesktopEntryFields f;
    f.name = r.name;
    f.comment = r.description;
    f.program = r.target;
    f.workingDirectory = r.workingDirectory;
    f.icon = QStringLiteral(CLIPVANE_APP_ID);
    return desktopEntryText(f);
}

DesktopShortcut::Result XdgDesktopShortcut::create(const ShortcutRequest& request) {
    const QString folder = desktopFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return Result::NoDesktopFolder;
    const QString path = QDir(folder).filePath(request.name + QStringLiteral(".desktop"));
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink())
        return Result::AlreadyThere;
    if (!writeFileAtomically(path, desktopEntry(request)).ok)
        return Result::Failed;
    // File managers start only launchers marked executable.
    const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                                    QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::ExeOther;
    if (!QFile::setPermissions(path, mode)) {
        QFile::remove(path);
        return Result::Failed;
    }
    return Result::Created;
}

} // namespace clipvane
