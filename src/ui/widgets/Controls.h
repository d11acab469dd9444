#pragma once
#include <QString>

class QCheckBox;
class QToolButton;
class QWidget;

namespace clipvane {

// Controls carry their names as objectName, so tests and the hint panel find them.
template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A picture button of a button bar: no caption on the face (the hint panel explains it); the caption names
// it for assistive technology.
QToolButton* pictureButton(QWidget* parent, const char* name, const QString& pictureName,
                           const QString& caption, const QString& hint, int width = 48, int height = 48);

// A button bar's button that shows its caption.
QToolButton* captionButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                           int width = 48, int height = 48);

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    bool checked = false);

} // namespace clipvane
