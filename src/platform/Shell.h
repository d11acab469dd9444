#pragma once
#include <QString>
#include <QStringList>
#include <QUrl>

namespace clipvane {

// Launching things outside the process. Callers hand over web addresses only (see LaunchUrl).
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QUrl& url) = 0;
    // program started with arguments as separate words: no shell, no splitting.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // A new message in the user's mail program. Only an address beginning with "mailto:" is handed over.
    virtual bool openMailTo(const QString& address) = 0;
};

} // namespace clipvane
