#include "Yield.h"

#include <QCoreApplication>

namespace clipvane {

void letPendingMessagesRun() {
    QCoreApplication::processEvents();
}

} // namespace clipvane
