#include "TempAppFolder.h"

#include <QDir>
#include <QFile>

namespace clipvane::test {

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
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray TempAppFolder::read(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace clipvane::test
