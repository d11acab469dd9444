#pragma once
#include "platform/Shell.h"

namespace clipvane {

class DesktopShell final : public Shell {
public:
    bool openUrl(const QUrl& url) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool openMailTo(const QString& address) override;
};

} // namespace clipvane
