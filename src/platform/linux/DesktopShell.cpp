#include "DesktopShell.h"

#include <QDesktopServices>
#include <QProcess>

namespace clipvane {

bool DesktopShell::openUrl(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false; // only web addresses ever reach the desktop's handler
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

bool DesktopShell::openMailTo(const QString& address) {
    if (!address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return false;
    // Strict: an address with characters a mailto: address must encode is refused, not repaired.
    const QUrl url = QUrl::fromEncoded(address.toUtf8(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) != 0)
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace clipvane
