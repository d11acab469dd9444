#pragma once
#include <QTableView>

namespace clipvane {

// The view of a check list: a one-column table without headers or grid. Its row header takes
// insertions and removals incrementally, so a capture into a list of a million entries costs no
// re-layout of the whole list (list and tree views lay out every row again on each insertion).
// Arrow keys move between rows; Tab leaves the list.
class CheckListView : public QTableView {
    Q_OBJECT
public:
    explicit CheckListView(QWidget* parent = nullptr);
};

} // namespace clipvane
