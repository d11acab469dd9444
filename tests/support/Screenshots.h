#pragma once
// Shared by the tools that make the pictures under docs/.
#include <QCoreApplication>
#include <QPixmap>
#include <QTest>
#include <QTextStream>

namespace clipvane::test {

// Writes a picture and names it on standard output; a failure is said on standard error.
inline bool savePicture(const QPixmap& pixmap, const QString& name) {
    if (!pixmap.save(name)) {
        QTextStream(stderr) << "Cannot write " << name << '\n';
        return false;
    }
    QTextStream(stdout) << name << '\n';
    return true;
}

// Lets layouts, timers and paints finish before a picture is taken.
inline void settle() {
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(30);
    }
}

} // namespace clipvane::test
