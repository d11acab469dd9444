#include "XdgDesktopShortcut.h"

#include "DesktopEntry.h"

#include "core/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace clipvane {

XdgDesktopShortcut::XdgDesktopShortcut(QString desktopFolder) : m_folder(std::move(desktopFolder)) {}

QString XdgDesktopShortcut::desktopFolder() const {
    return m_folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) : m_folder;
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
        return Result::Failed;
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
