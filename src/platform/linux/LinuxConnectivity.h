#pragma once
#include "platform/Connectivity.h"

#include <QString>
#include <functional>

namespace clipvane {

// A default route (IPv4 or IPv6) through an interface that is up, read from the kernel's tables of this
// process's network namespace on every call, so that every change is seen at the next call. Qt's
// reachability back-ends may lag for good (the glib one never notices route changes without NetworkManager)
// or answer for another namespace (NetworkManager over the system bus): NetworkManager's own state, asked
// directly, stands in only where neither table can be read.
class LinuxConnectivity final : public Connectivity {
public:
    LinuxConnectivity();
    bool isInternetConnected() override;

    // Exposed for tests: the fallback over the text of /proc/net/route and a way to ask whether a device is
    // up.
    static bool hasDefaultRoute(const QByteArray& routeTable,
                                const std::function<bool(const QString&)>& isUp);
    // The same over the text of /proc/net/ipv6_route.
    static bool hasDefaultIPv6Route(const QByteArray& routeTable,
                                    const std::function<bool(const QString&)>& isUp);

private:
    bool networkManagerSaysOnline();

    // NetworkManager's NM_STATE_CONNECTED_GLOBAL: connected, with a working route to the Internet.
    static constexpr uint kNetworkManagerConnectedGlobal = 70;
    bool m_managerSilent = false;
};

} // namespace clipvane
