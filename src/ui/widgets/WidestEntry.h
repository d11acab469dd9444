#pragma once
#include <QFontMetrics>
#include <QObject>
#include <array>
#include <map>

class QWidget;

namespace clipvane {

class CheckListModel;

// The width of a check list's widest entry in the font of the view that shows it (for its scroll
// range), kept as the list changes: entries are measured as they come and as they go, the whole list
// only when it is replaced or the view's font changes. Asking costs nothing, so a resize never measures.
class WidestEntry : public QObject {
    Q_OBJECT
public:
    WidestEntry(const CheckListModel& list, QWidget* view);

    // Pixels of the widest text followed by one "x"; 0 for an empty list.
    int widest() const { return m_widths.empty() ? 0 : m_widths.rbegin()->first; }

signals:
    void widestChanged(int widest);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int measure(int row) const;
    void setFont(const QFont& font);
    void add(int first, int last);
    void remove(int first, int last);
    void remeasure();
    void tell(int before);

    const CheckListModel& m_list;
    QWidget* m_view;
    QFontMetrics m_metrics;
    std::array<qreal, 0x7F> m_advances{}; // of printable ASCII in the view's font
    std::map<int, int> m_widths;          // width → how many entries have it
    int m_beforeRemoval = 0;
};

} // namespace clipvane
