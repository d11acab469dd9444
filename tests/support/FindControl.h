#pragma once
#include <QObject>
#include <QString>
#include <QTest>

namespace clipvane::test {

// A window's control found by its objectName, as a person finds it on the screen; a missing one ends
// the test run, since every step after it would be meaningless.
template <typename T> T* ctl(const QObject& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("no control %s of type %s", qPrintable(name), T::staticMetaObject.className());
    return found;
}

template <typename T> T* ctl(const QObject& window, const char* name) {
    return ctl<T>(window, QString::fromLatin1(name));
}

template <typename T, typename Name> T* ctl(const QObject* window, const Name& name) {
    return ctl<T>(*window, name);
}

} // namespace clipvane::test
