#pragma once
#include <QString>

namespace clipvane {

class Dialogs;
struct CapturedList;

inline constexpr char kNewListQuestion[] =
    "The URL list has not been saved yet. Do you still want to create a new list?";

// Deletes the ticked entries and answers the list status that follows ("Modified" or "New").
QString deleteTickedEntries(CapturedList& list);

// Empties the list unless an unsaved list makes the user say no. True when the list was emptied.
bool newList(CapturedList& list, Dialogs& dialogs);

} // namespace clipvane
