#include "CheckListView.h"

#include <QHeaderView>

namespace clipvane {

CheckListView::CheckListView(QWidget* parent) : QTableView(parent) {
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A table view keeps Tab for its cells: a keyboard user could never leave the list.
    setTabKeyNavigation(false);
}

} // namespace clipvane
