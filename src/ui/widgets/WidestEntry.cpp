#include "WidestEntry.h"

#include "core/CheckListModel.h"

#include <QEvent>
#include <QWidget>
#include <cmath>

namespace clipvane {

WidestEntry::WidestEntry(const CheckListModel& list, QWidget* view)
    : QObject(view), m_list(list), m_view(view), m_metrics(view->font()) {
    setFont(view->font());
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
    // Printable ASCII (nearly every address) adds up from a table of advances: shaping each text costs
    // some microseconds, which a list of 100,000 entries turns into a stall. Kerning is left out (a pixel
    // or two either way, well inside the margin). Anything else is shaped.
    const QStringView text = QStringView(m_list.textAt(row)).left(CheckListModel::kDisplayLimit);
    qreal width = m_advances['x'];
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7F)
            return m_metrics.horizontalAdvance(text.toString() + QLatin1Char('x'));
        width += m_advances[c.unicode()];
    }
    return int(std::ceil(width)); // fractional advances add up: rounding each would lose pixels
}

void WidestEntry::setFont(const QFont& font) {
    m_metrics = QFontMetrics(font);
    const QFontMetricsF exact(font);
    for (char16_t c = 0x20; c < 0x7F; ++c)
        m_advances[c] = exact.horizontalAdvance(QChar(c));
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
        setFont(m_view->font());
        const int before = widest();
        remeasure();
        tell(before);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace clipvane
