#include "Controls.h"

#include "Hints.h"

#include <QCheckBox>
#include <QShortcut>
#include <QTabWidget>
#include <utility>

namespace clipvane {

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    bool checked) {
    auto* c = named(new QCheckBox(caption, parent), name);
    c->setChecked(checked);
    setHint(c, hint);
    return c;
}

void addTabSwitchKeys(QTabWidget* tabs) {
    const auto step = [tabs](int by) {
        const int n = tabs->count();
        if (n > 1)
            tabs->setCurrentIndex((tabs->currentIndex() + by + n) % n);
    };
    for (const auto& [keys, by] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto* shortcut = new QShortcut(keys, tabs, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, tabs, [step, by = by] { step(by); });
    }
}

} // namespace clipvane
