#include "UrlLauncher.h"

#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "core/UrlVerdict.h"
#include "platform/Shell.h"

#include <QUrl>
#include <cerrno>

namespace clipvane {

bool OpenUrlInDefaultBrowser(const QString& text, Shell& shell, Dialogs& dialogs) {
    const QString url = webAddressOf(text);
    if (url.isEmpty()) {
        dialogs.message(MessageKind::Warning, QString::fromLatin1(kNotAWebAddress) + text, Buttons::Ok);
        return false;
    }
    if (!shell.openUrl(QUrl(url, QUrl::TolerantMode))) {
        RaiseLastError(dialogs, {ENOENT, QStringLiteral("No program could open the address.")});
        return false;
    }
    return true;
}

} // namespace clipvane
