#pragma once
#include <QString>

namespace clipvane {

class HostResolver {
public:
    virtual ~HostResolver() = default;
    // The first IPv4 address of host in dotted form, or an empty text when it cannot be resolved.
    virtual QString resolveIPv4(const QString& host) = 0;
};

} // namespace clipvane
