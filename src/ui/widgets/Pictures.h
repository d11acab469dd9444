#pragma once
#include <QIcon>
#include <QString>

namespace clipvane {

// The pictures of the tool buttons: line drawings under ":/icons/<name>.svg". Their ink ("currentColor")
// is drawn in the palette's button text colour when painted, so they stay legible on every theme;
// the accents keep their own colours.
QIcon picture(const QString& name);

// The resource path of a picture, for checks that it exists.
QString picturePath(const QString& name);

// The application's own icon (window and tray), in its own colours.
QIcon applicationIcon();

} // namespace clipvane
