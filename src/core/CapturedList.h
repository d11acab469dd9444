#pragma once
#include "core/CheckListModel.h"

#include <QString>

namespace clipvane {

// The main window's list of captured URLs: its entries, whether they differ from the file, and the last
// URL a capture accepted.
struct CapturedList {
    CheckListModel model;
    bool modified = false;
    QString lastValidUrl;
};

} // namespace clipvane
