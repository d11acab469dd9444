#pragma once
#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>

namespace clipvane::test {

// A window's control found by its objectName, as a user or the hint panel knows it; tests never reach
// into a window's members. Ends the run when none, or more than one, of that type has the name: a name
// that went wrong must not pass as "no such control".
template <typename T> T* control(const QObject& window, const QString& name) {
    const QList<T*> found = window.findChildren<T*>(name);
    if (found.size() != 1)
        qFatal("%s: %d controls of the type asked for are named \"%s\"", qPrintable(window.objectName()),
               int(found.size()), qPrintable(name));
    return found.first();
}
template <typename T> T* control(const QObject& window, const char* name) {
    return control<T>(window, QString::fromLatin1(name));
}
template <typename T, typename Name> T* control(const QObject* window, const Name& name) {
    return control<T>(*window, name);
}

} // namespace clipvane::test
