#pragma once
#include "platform/Services.h"

#include <memory>

namespace clipvane {

// The real services of a Linux desktop session, owned together. The process entry uses it; so do the
// benchmarks that measure a real start-up.
class LinuxPlatform {
public:
    LinuxPlatform();
    ~LinuxPlatform();
    Services services() const;

private:
    struct Parts;
    std::unique_ptr<Parts> m;
};

} // namespace clipvane
