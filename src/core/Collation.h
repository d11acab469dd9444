#pragma once
#include <QCollator>

namespace clipvane {

// The collation of every list and of the history: the user's locale, letter case ignored.
QCollator listCollator();

} // namespace clipvane
