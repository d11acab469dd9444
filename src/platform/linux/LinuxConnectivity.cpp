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

LinuxConnectivity::LinuxConnectivity() = default;

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

bool LinuxConnectivity::backendSaysOnline() {
    if (!m_backendTried) {
        m_backendTried = true;
        // NetworkManager's back-end where it has a system bus to answer on; the glib one loads GIO for a
        // monitor that may never notice a change.
        m_backendLoaded =
            systemBusPresent() && QNetworkInformation::loadBackendByName(QStringLiteral("networkmanager"));
    }
    auto* info = m_backendLoaded ? QNetworkInformation::instance() : nullptr;
    return info && info->reachability() == QNetworkInformation::Reachability::Online;
}

bool LinuxConnectivity::isInternetConnected() {
    QFile routes(QStringLiteral("/proc/net/route"));
    if (!routes.open(QIODevice::ReadOnly))
        return backendSaysOnline();
    return hasDefaultRoute(routes.readAll(), interfaceIsUp);
}

} // namespace clipvane
