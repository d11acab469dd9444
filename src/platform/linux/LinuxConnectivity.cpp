#include "LinuxConnectivity.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QFileInfo>
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

bool LinuxConnectivity::hasDefaultIPv6Route(const QByteArray& routeTable,
                                            const std::function<bool(const QString&)>& isUp) {
    // No header. Columns: destination, its prefix length, source, its prefix length, next hop, metric,
    // reference count, use, flags, device. A default route has destination ::/0 and is up (flag 1); the
    // kernel's own unreachable default (reject, flag 0x200) is none.
    constexpr uint kUp = 0x1, kReject = 0x200;
    for (const QByteArray& line : routeTable.split('\n')) {
        const QList<QByteArray> cols = line.simplified().split(' ');
        if (cols.size() < 10)
            continue;
        bool okFlags = false;
        const uint flags = cols[8].toUInt(&okFlags, 16);
        if (cols[0] == QByteArray(32, '0') && cols[1] == "00" && okFlags && (flags & kUp) &&
            !(flags & kReject) && isUp(QString::fromLocal8Bit(cols[9])))
            return true;
    }
    return false;
}

bool LinuxConnectivity::networkManagerSaysOnline() {
    // Asked over the system bus where there is one; a manager that does not answer in time is not asked
    // again (this runs on the GUI thread).
    if (m_managerSilent || !systemBusPresent())
        return false;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    const QString service = QStringLiteral("org.freedesktop.NetworkManager");
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/NetworkManager"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << service << QStringLiteral("State");
    const QDBusMessage reply = bus.call(call, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        m_managerSilent = reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply");
        return false;
    }
    const uint state = qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toUInt();
    return state == kNetworkManagerConnectedGlobal;
}

bool LinuxConnectivity::isInternetConnected() {
    // Either family's default route will do: an IPv6-only network is connected too. A kernel without
    // IPv6 has no second table.
    QFile routes(QStringLiteral("/proc/net/route"));
    QFile routes6(QStringLiteral("/proc/net/ipv6_route"));
    const bool readable = routes.open(QIODevice::ReadOnly);
    const bool readable6 = routes6.open(QIODevice::ReadOnly);
    if (!readable && !readable6)
        return networkManagerSaysOnline();
    return (readable && hasDefaultRoute(routes.readAll(), interfaceIsUp)) ||
           (readable6 && hasDefaultIPv6Route(routes6.readAll(), interfaceIsUp));
}

} // namespace clipvane
