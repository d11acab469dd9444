#pragma once
#include <QByteArray>
#include <QString>

namespace clipvane {

// The fields of a desktop entry that starts Clipvane: the options page's desktop shortcut and the
// installed menu entry are both written by desktopEntryText, so they quote Exec and name the icon alike.
struct DesktopEntryFields {
    QString name;
    QString genericName;
    QString comment;
    QString program;          // absolute path of the executable
    QString workingDirectory; // empty: none
    QString icon;             // icon name in the theme
    QString categories = QStringLiteral("Utility;");
    QString keywords;       // empty: none
    QString startupWmClass; // empty: none
};

// The program as one quoted argument of Exec: nothing in its path can split it or expand.
QString desktopExecArgument(const QString& program);

QByteArray desktopEntryText(const DesktopEntryFields& fields);

} // namespace clipvane
