#pragma once
#include <QString>

namespace clipvane {

class CheckListModel;
class Dialogs;
struct SessionState;

inline constexpr char kNewListQuestion[] =
    "The URL list has not been saved yet. Do you still want to create a new list?";

// Deletes the ticked entries and answers the list status that follows ("Modified" or "New").
QString deleteTickedEntries(CheckListModel& list, SessionState& session);

// Empties the list unless an unsaved list makes the user say no. True when the list was emptied.
bool newList(CheckListModel& list, SessionState& session, Dialogs& dialogs);

} // namespace clipvane
