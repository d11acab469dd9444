#include "UrlLauncher.h"

#include "app/Dialogs.h"
#include "app/ErrorReport.h"
#include "capture/UrlCheck.h"
#include "platform/Shell.h"

#include <QUrl>
#include <cerrno>

namespace clipvane {

QString webAddressOf(const QString& text) {
    const QString url = NormaliseUrl(text);
    if (url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return url;
    return {};
}

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
