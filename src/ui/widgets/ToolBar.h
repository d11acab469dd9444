#pragma once
#include <QList>
#include <QSize>
#include <QString>
#include <Qt>
#include <initializer_list>

class QLabel;
class QToolButton;
class QWidget;

namespace clipvane {

// One button of a tool bar, written as a row of the window's table.
struct ToolButtonDef {
    const char* name;    // its objectName
    const char* picture; // a picture under ":/icons", or empty for a button that shows its caption only
    const char* caption; // read by assistive technology; on the face when the look shows text
    const char* hint;    // "short|long", as setHint takes it; empty for none
};

// How a window's tool buttons look; one look for the whole table.
struct ToolButtonLook {
    QSize size{48, 48};
    QSize iconSize{32, 32};
    Qt::ToolButtonStyle style = Qt::ToolButtonIconOnly;
    bool captionAsToolTip = false; // picture buttons whose caption is their only tooltip
    bool autoRaise = true;         // flat until the mouse is over it; false for buttons drawn raised
};

QToolButton* toolButton(QWidget* parent, const ToolButtonDef& def, const ToolButtonLook& look = {});
// The buttons of a table, in its order, parented to `parent` (the caller places them).
QList<QToolButton*> toolButtons(QWidget* parent, std::initializer_list<ToolButtonDef> defs,
                                const ToolButtonLook& look = {});

// The hint panel every window shows at its foot: the long hints of what the mouse is over appear here
// (HintTracker finds it by its objectName "HintPanel"). Plain text, since hints may quote data.
QLabel* hintPanel(QWidget* parent, int height = 41);
// The panel's own hint, shown while the mouse is over nothing that has one.
QString defaultPanelHint();

} // namespace clipvane
