#pragma once
#include <QIcon>
#include <QSize>
#include <QString>

class QToolButton;
class QWidget;

namespace clipvane {

// The pictures of the tool buttons: line drawings under ":/icons/<name>.svg". Their ink ("currentColor")
// is drawn in the palette's button text colour when painted, so they stay legible on every theme;
// the accents keep their own colours.
QIcon picture(const QString& name);

// The resource path of a picture, for checks that it exists.
QString picturePath(const QString& name);

// A tool bar's picture button, as the main window's: the picture alone on its face (the hint panel
// explains it), the caption named for assistive technology.
QToolButton* pictureButton(QWidget* parent, const char* name, const QString& pictureName,
                           const QString& caption, const QString& hint, QSize size = QSize(48, 48));

// The application's own icon (window and tray), in its own colours.
QIcon applicationIcon();

} // namespace clipvane
