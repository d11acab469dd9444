#pragma once
#include <QString>

namespace clipvane {

// Controls carry their names as objectName, so tests and the hint panel find them.
template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace clipvane
