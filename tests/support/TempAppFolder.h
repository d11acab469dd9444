#pragma once
#include "platform/AppPaths.h"

#include <QTemporaryDir>

namespace clipvane::test {

// A whole file's bytes (empty when it cannot be read), and writing a whole file (false on any failure).
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);

// A temporary application folder holding a pretend executable "Clipvane".
class TempAppFolder {
public:
    TempAppFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;
    AppPaths paths() const;
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

} // namespace clipvane::test
