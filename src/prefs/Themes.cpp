#include "Themes.h"

namespace clipvane {

QStringList themeEntries() {
    return {QStringLiteral("Antartica"),       QStringLiteral("Classic Interface"),
            QStringLiteral("Dark Knight"),     QStringLiteral("Dark Water"),
            QStringLiteral("Night Erruption"), QStringLiteral("Under the stars")};
}

QString themeStyleName(int index) {
    static const char* const styles[] = {"Iceberg Classico", "Windows",       "TabletDark",
                                         "Aqua Graphite",    "Ruby Graphite", "Cyan Night"};
    return index >= 0 && index < 6 ? QString::fromLatin1(styles[index]) : QString();
}

void applyStyle(const QString&) {}

void applyTheme(int index) {
    applyStyle(themeStyleName(index));
}

} // namespace clipvane
