#pragma once
#include <QString>
#include <QStringList>

namespace clipvane {

// The theme list entries, by position, and the style each selects.
QStringList themeEntries();
QString themeStyleName(int index);

// Applies a named style to the whole application. The styles themselves arrive with the options page;
// until then the platform look stays.
void applyStyle(const QString& styleName);
void applyTheme(int index);

} // namespace clipvane
