#pragma once
#include "platform/HostResolver.h"

namespace clipvane {

// getaddrinfo with AF_INET.
class SystemHostResolver final : public HostResolver {
public:
    QString resolveIPv4(const QString& host) override;
};

} // namespace clipvane
