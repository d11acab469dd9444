#include "Controls.h"

#include "Hints.h"

#include <QCheckBox>

namespace clipvane {

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    bool checked) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setChecked(checked);
    setHint(c, hint);
    return c;
}

} // namespace clipvane
