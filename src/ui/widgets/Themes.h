#pragma once
#include <QPalette>
#include <QString>
#include <QStringList>

namespace clipvane {

// The theme list entries, by position, and the style each selects.
QStringList themeEntries();
QString themeStyleName(int index);

// The style shown as "Classic Interface": the platform's own look, untouched.
inline const QString kPlatformStyleName = QStringLiteral("Windows");

// Applies a named style to the whole application: every window, shown or not, now and later.
// The carried styles are the Fusion style with their own palette and style sheet; the platform style
// restores the look the application started with. An unknown name changes nothing.
void applyStyle(const QString& styleName);
// The style of a theme list position; a position outside the list applies nothing.
void applyTheme(int index);
// The last style applied, empty before the first.
QString appliedStyleName();

// What a carried style is made of (empty for the platform style and unknown names).
QPalette themePalette(const QString& styleName);
QString themeStyleSheet(const QString& styleName);

} // namespace clipvane
