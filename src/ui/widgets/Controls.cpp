#include "Controls.h"

#include "Hints.h"
#include "Pictures.h"

#include <QCheckBox>
#include <QToolButton>

namespace clipvane {

QToolButton* pictureButton(QWidget* parent, const char* name, const QString& pictureName,
                           const QString& caption, const QString& hint, int width, int height) {
    auto* b = named(new QToolButton(parent), name);
    b->setAccessibleName(caption);
    b->setIcon(picture(pictureName));
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(width, height);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setAutoRaise(true);
    setHint(b, hint);
    return b;
}

QToolButton* captionButton(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                           int width, int height) {
    auto* b = named(new QToolButton(parent), name);
    b->setText(caption);
    b->setFixedSize(width, height);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    setHint(b, hint);
    return b;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    bool checked) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setChecked(checked);
    setHint(c, hint);
    return c;
}

} // namespace clipvane
