#pragma once
#include "platform/Services.h"

#include <functional>
#include <memory>

namespace clipvane {

// The real services of a Linux desktop session, owned together. The process entry uses it; so do the
// benchmarks that measure a real start-up.
class LinuxPlatform {
public:
    LinuxPlatform();
    ~LinuxPlatform();
    Services services() const;
    // Told once, at the first web request, when the HTTP module cannot be loaded (a short status text
    // and a full report).
    void onHttpUnavailable(std::function<void(const QString& status, const QString& report)> handler);

private:
    struct Parts;
    std::unique_ptr<Parts> m;
};

} // namespace clipvane
