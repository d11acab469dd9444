#include "WidestEntry.h"

#include "core/CheckListModel.h"

#include <QEvent>
#include <QWidget>

namespace clipvane {

WidestEntry::WidestEntry(const CheckListModel& list, QWidget* view)
    : QObject(view), m_list(list), m_view(view), m_metrics(view->font()) {
    connect(&list, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        const int before = widest();
        add(first, last);
        tell(before);
    });
    // The texts are still there to be measured before they go.
    connect(&list, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                m_beforeRemoval = widest();
                remove(first, last);
            });
    connect(&list, &QAbstractItemModel::rowsRemoved, this, [this] { tell(m_beforeRemoval); });
    connect(&list, &QAbstractItemModel::modelReset, this, [this] {
        const int before = widest();
        remeasure();
        tell(before);
    });
    view->installEventFilter(this);
    remeasure();
}

int WidestEntry::measure(int row) const {
    return m_metrics.horizontalAdvance(m_list.textAt(row).left(CheckListModel::kDisplayLimit) +
                                       QLatin1Char('x'));
}

void WidestEntry::add(int first, int last) {
    for (int row = first; row <= last; ++row)
        ++m_widths[measure(row)];
}

void WidestEntry::remove(int first, int last) {
    for (int row = first; row <= last; ++row) {
        const auto it = m_widths.find(measure(row));
        if (it != m_widths.end() && --it->second == 0)
            m_widths.erase(it);
    }
}

void WidestEntry::remeasure() {
    m_widths.clear();
    if (m_list.count() > 0)
        add(0, m_list.count() - 1);
}

void WidestEntry::tell(int before) {
    if (widest() != before)
        emit widestChanged(widest());
}

bool WidestEntry::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::FontChange) {
        m_metrics = QFontMetrics(m_view->font());
        const int before = widest();
        remeasure();
        tell(before);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace clipvane
