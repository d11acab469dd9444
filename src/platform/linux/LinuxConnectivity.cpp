#include "LinuxConnectivity.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkInformation>
#include <functional>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace clipvane {

namespace {

bool interfaceIsUp(const QString& name) {
    const QByteArray n = name.toLocal8Bit();
    if (n.isEmpty() || n.size() >= IFNAMSIZ)
        return false;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq req{};
    std::memcpy(req.ifr_name, n.constData(), size_t(n.size()));
    const bool up =
        ::ioctl(fd, SIOCGIFFLAGS, &req) == 0 && (req.ifr_flags & IFF_UP) && (req.ifr_flags & IFF_RUNNING);
    ::close(fd);
    return up;
}

bool systemBusPresent() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS"))
        return true;
    return QFileInfo::exists(QStringLiteral("/run/dbus/system_bus_socket")) ||
           QFileInfo::exists(QStringLiteral("/var/run/dbus/system_bus_socket"));
}

} // namespace

LinuxConnectivity::LinuxConnectivity() {
    // NetworkManager's back-end alone, and only where there is a system bus for it to answer on. Qt's glib
    // back-end loads GIO (megabytes at start-up) for a monitor that may never notice a route removed or
    // added, which the route table below does; trying NetworkManager without a bus loads D-Bus for nothing.
    if (systemBusPresent())
        m_backendLoaded = QNetworkInformation::loadBackendByName(QStringLiteral("networkmanager"));
}

bool LinuxConnectivity::hasDefaultRoute(const QByteArray& routeTable,
                                        const std::function<bool(const QString&)>& isUp) {
    // Columns: Iface Destination Gateway Flags ...; a default route has destination 00000000 and is up (flag
    // 1).
    const QList<QByteArray> lines = routeTable.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> cols = lines[i].simplified().split(' ');
        if (cols.size() < 8)
            continue;
        bool okFlags = false;
        const uint flags = cols[3].toUInt(&okFlags, 16);
        bool okMask = false;
        const uint mask = cols[7].toUInt(&okMask, 16);
        if (cols[1] == "00000000" && okFlags && (flags & 0x1) && okMask && mask == 0 &&
            isUp(QString::fromLocal8Bit(cols[0])))
            return true;
    }
    return false;
}

bool LinuxConnectivity::isInternetConnected() {
    if (m_backendLoaded) {
        if (auto* info = QNetworkInformation::instance()) {
            switch (info->reachability()) {
            case QNetworkInformation::Reachability::Online:
                return true;
            case QNetworkInformation::Reachability::Disconnected:
            case QNetworkInformation::Reachability::Local:
            case QNetworkInformation::Reachability::Site:
                return false;
            case QNetworkInformation::Reachability::Unknown:
                break;
            }
        }
    }
    QFile routes(QStringLiteral("/proc/net/route"));
    if (!routes.open(QIODevice::ReadOnly))
        return false;
    return hasDefaultRoute(routes.readAll(), interfaceIsUp);
}

} // namespace clipvane
