#pragma once
#include "platform/Connectivity.h"

#include <QString>
#include <functional>

namespace clipvane {

// NetworkManager's reachability answer where it gives one; else a default route through an interface that
// is up.
class LinuxConnectivity final : public Connectivity {
public:
    LinuxConnectivity();
    bool isInternetConnected() override;

    // Exposed for tests: the fallback over the text of /proc/net/route and a way to ask whether a device is
    // up.
    static bool hasDefaultRoute(const QByteArray& routeTable,
                                const std::function<bool(const QString&)>& isUp);

private:
    bool m_backendLoaded = false;
};

} // namespace clipvane
