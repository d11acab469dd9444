#pragma once
#include "core/FileIO.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace clipvane::test {

// While alive, every atomic write finds its target replaced by a folder holding a file, just before the
// temporary file is renamed over it: the rename fails (EISDIR), as it would on a target that changed
// under the save.
class RenameFailure {
public:
    RenameFailure() {
        setBeforeRenameHook([this](const QString& path) {
            QFile::remove(path);
            QDir().mkpath(path);
            QFile kept(path + QStringLiteral("/kept"));
            if (kept.open(QIODevice::WriteOnly))
                kept.write("kept");
            targets.append(path);
        });
    }
    ~RenameFailure() { setBeforeRenameHook({}); }
    RenameFailure(const RenameFailure&) = delete;
    RenameFailure& operator=(const RenameFailure&) = delete;

    // Whether the folder that replaced the target still holds what it held.
    static bool folderKept(const QString& path) {
        QFile kept(path + QStringLiteral("/kept"));
        return kept.open(QIODevice::ReadOnly) && kept.readAll() == "kept";
    }
    // Every name in a folder: a temporary file left behind shows here.
    static QStringList entries(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

    QStringList targets;
};

} // namespace clipvane::test
