#pragma once
#include "platform/AppPaths.h"

#include <QTemporaryDir>

namespace clipvane::test {

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
