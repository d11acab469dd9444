#pragma once
#include "platform/Shell.h"

namespace clipvane {

class DesktopShell final : public Shell {
public:
    bool openUrl(const QUrl& url) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool openMailLink(const QUrl& url) override;
};

} // namespace clipvane
