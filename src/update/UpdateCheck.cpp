#include "UpdateCheck.h"

#include "platform/HostResolver.h"
#include "platform/LocalMachine.h"

namespace clipvane {

CheckOutcome judgeVersion(const QString& webVersion, const QString& localVersion) {
    if (webVersion.isEmpty())
        return {QString::fromLatin1(kUnknown), QString::fromLatin1(kCheckFailed)};
    return {webVersion, QString::fromLatin1(webVersion == localVersion ? kUpToDate : kOutOfDate)};
}

UpdateAddresses UpdateAddresses::forSite(const QString& website) {
    QString site = website;
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    const QString folder = site + QStringLiteral("/Quorbel/");
    return {folder + QStringLiteral("Cvn.html"), folder + QStringLiteral("Clipvane_Update.html"),
            folder + QStringLiteral("Download/"), folder + QStringLiteral("Clipvane_Linux.html"),
            folder + QStringLiteral("Clipvane.html")};
}

QString UpdateAddresses::downloadFor(const QString& editionPackage) const {
#ifdef Q_OS_WIN
    return downloadFolder + editionPackage;
#else
    Q_UNUSED(editionPackage);
    return linuxPackagePage;
#endif
}

QString LanAddressText(LocalMachine& machine, HostResolver& resolver) {
    const QString host = machine.hostName();
    const QString address = host.isEmpty() ? QString() : resolver.resolveIPv4(host);
    if (address.isEmpty())
        return QStringLiteral("No. IP Address");
    return QStringLiteral("LAN IP Address: ") + address;
}

} // namespace clipvane
