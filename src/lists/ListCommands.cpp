#include "ListCommands.h"

#include "core/CapturedList.h"
#include "core/Dialogs.h"

namespace clipvane {

QString deleteTickedEntries(CapturedList& list) {
    const int removed = list.model.deleteTicked();
    if (removed > 0 && !list.model.isEmpty()) {
        list.modified = true;
        return QStringLiteral("Modified");
    }
    list.modified = false;
    return QStringLiteral("New");
}

bool newList(CapturedList& list, Dialogs& dialogs) {
    if (list.modified && dialogs.message(MessageKind::Information, QString::fromLatin1(kNewListQuestion),
                                         Buttons::YesNo) != Answer::Yes)
        return false;
    list.model.clear();
    list.modified = false;
    return true;
}

} // namespace clipvane
