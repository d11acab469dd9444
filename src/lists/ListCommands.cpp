#include "ListCommands.h"

#include "core/CheckListModel.h"
#include "core/Dialogs.h"
#include "core/SessionState.h"

namespace clipvane {

QString deleteTickedEntries(CheckListModel& list, SessionState& session) {
    const int removed = list.deleteTicked();
    if (removed > 0 && !list.isEmpty()) {
        session.ListModified = true;
        return QStringLiteral("Modified");
    }
    session.ListModified = false;
    return QStringLiteral("New");
}

bool newList(CheckListModel& list, SessionState& session, Dialogs& dialogs) {
    if (session.ListModified &&
        dialogs.message(MessageKind::Information, QString::fromLatin1(kNewListQuestion), Buttons::YesNo) !=
            Answer::Yes)
        return false;
    list.clear();
    session.ListModified = false;
    return true;
}

} // namespace clipvane
