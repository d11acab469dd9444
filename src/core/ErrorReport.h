#pragma once
#include "core/OsError.h"

#include <QString>

namespace clipvane {

class Dialogs;

// The text of the error report for a failed file read, file write or launch.
QString errorReportText(const OsError& error);

// Shows the report as an error box with OK; the caller then goes on with its own failure steps.
void RaiseLastError(Dialogs& dialogs, const OsError& error);

} // namespace clipvane
