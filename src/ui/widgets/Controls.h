#pragma once
#include <QLabel>
#include <QString>

class QCheckBox;
class QTabWidget;
class QToolButton;
class QWidget;

namespace clipvane {

// Controls carry their names as objectName, so tests and the hint panel find them.
template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    bool checked = false);

// Ctrl+Tab and Ctrl+Page Down to the next tab, Ctrl+Shift+Tab and Ctrl+Page Up to the previous one, from
// any control on the tabs (the tab widget alone knows no Page keys, and a list box takes Ctrl+Tab as a
// letter to search for).
void addTabSwitchKeys(QTabWidget* tabs);

// Hint and status panels: a two-pixel bevel that the plain look draws visibly on every side (a one-pixel
// shade loses its light edges against the window there); the carried themes draw their own border. The
// text keeps `indent` pixels from the frame: contents margins would move the frame itself off the panel.
inline void setPanelFrame(QLabel* panel, int indent, bool raised = false) {
    panel->setFrameShape(QFrame::WinPanel);
    panel->setFrameShadow(raised ? QFrame::Raised : QFrame::Sunken);
    panel->setIndent(indent);
}

} // namespace clipvane
