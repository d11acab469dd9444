#pragma once
#include "core/OsError.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace clipvane {

// Launching things outside the process. Callers hand over web addresses only (see LaunchUrl).
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts a program with its arguments as separate words: no shell, no splitting, no search of PATH.
    // Empty when the program runs; else why it could not be started (a missing file, no permission...).
    virtual std::optional<OsError> startDetached(const QString& program, const QStringList& arguments) = 0;
    // A new message in the user's mail program. Only an address beginning with "mailto:" is handed over.
    virtual bool openMailTo(const QString& address) = 0;
};

} // namespace clipvane
