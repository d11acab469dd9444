#include "ui/widgets/ToolBar.h"

#include "ui/widgets/Controls.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"

#include <QLabel>
#include <QToolButton>

namespace clipvane {

QToolButton* toolButton(QWidget* parent, const ToolButtonDef& def, const ToolButtonLook& look) {
    const QString caption = QString::fromUtf8(def.caption);
    auto* b = named(new QToolButton(parent), def.name);
    b->setAccessibleName(caption);
    if (def.picture && *def.picture) {
        b->setIcon(picture(QString::fromLatin1(def.picture)));
        b->setIconSize(look.iconSize);
    }
    if (look.style != Qt::ToolButtonIconOnly || !def.picture || !*def.picture)
        b->setText(caption);
    b->setToolButtonStyle(look.style);
    if (look.captionAsToolTip)
        b->setToolTip(caption);
    if (look.size.isValid())
        b->setFixedSize(look.size);
    b->setAutoRaise(look.autoRaise);
    if (def.hint && *def.hint)
        setHint(b, QString::fromUtf8(def.hint));
    return b;
}

QList<QToolButton*> toolButtons(QWidget* parent, std::initializer_list<ToolButtonDef> defs,
                                const ToolButtonLook& look) {
    QList<QToolButton*> buttons;
    buttons.reserve(qsizetype(defs.size()));
    for (const ToolButtonDef& def : defs)
        buttons.append(toolButton(parent, def, look));
    return buttons;
}

QString defaultPanelHint() {
    return QStringLiteral(
        "|Here appears all the hints. Hover over a list, button, ... to display a hint about it");
}

QLabel* hintPanel(QWidget* parent, int height) {
    auto* panel = named(new QLabel(parent), "HintPanel");
    panel->setTextFormat(Qt::PlainText);
    panel->setFixedHeight(height);
    panel->setWordWrap(true);
    setPanelFrame(panel, 6);
    return panel;
}

} // namespace clipvane
