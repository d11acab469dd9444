#include "TempAppFolder.h"

#include <QDir>
#include <QFile>

namespace clipvane::test {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

TempAppFolder::TempAppFolder() {
    Q_ASSERT(m_dir.isValid());
}

QString TempAppFolder::file(const QString& name) const {
    return QDir(m_dir.path()).filePath(name);
}

AppPaths TempAppFolder::paths() const {
    return AppPaths(file(QStringLiteral("Clipvane")), file(QStringLiteral("userdata")));
}

void TempAppFolder::write(const QString& name, const QByteArray& bytes) const {
    writeAll(file(name), bytes);
}

QByteArray TempAppFolder::read(const QString& name) const {
    return readAll(file(name));
}

} // namespace clipvane::test
