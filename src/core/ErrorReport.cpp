#include "ErrorReport.h"

#include "core/Dialogs.h"

namespace clipvane {

QString errorReportText(const OsError& error) {
    QString text = QStringLiteral("OS Error Code: ") + QString::number(error.code);
    if (!error.description.isEmpty())
        text += QStringLiteral(". ") + error.description;
    return text;
}

void RaiseLastError(Dialogs& dialogs, const OsError& error) {
    dialogs.message(MessageKind::Error, errorReportText(error), Buttons::Ok);
}

} // namespace clipvane
