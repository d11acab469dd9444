#pragma once
#include "core/Collation.h"

#include <QStringList>

namespace clipvane {

class CheckListModel;

// Sorts ascending in the list collation, keeps the first of equal entries with its own letter case,
// leaves every entry unticked and none selected.
void SortUnique(CheckListModel& list);

// The same order on plain texts (used where no check list is involved).
QStringList sortUniqueTexts(const QStringList& texts);

} // namespace clipvane
