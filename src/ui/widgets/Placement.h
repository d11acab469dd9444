#pragma once
#include "prefs/Preferences.h"

class QWidget;

namespace clipvane {

// Applies top, then left, then width, then height, each at once; a missing value keeps the current one.
void applyStoredPlacement(QWidget& window, const StoredPlacement& placement);
// The window's present top, left, width and height, shown or not.
Placement currentPlacement(const QWidget& window);
// Centres the window on its screen, keeping its size; a window larger than the desktop is fitted to it.
void centreOnScreen(QWidget& window);

} // namespace clipvane
