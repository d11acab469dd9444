#pragma once
#include "platform/Drives.h"

namespace clipvane {

// Drives from /proc/self/mountinfo and the block devices in /sys; space from statvfs.
class LinuxDrives final : public Drives {
public:
    QList<DriveMount> mounts() override;
    std::optional<DriveSpace> space(const QString& mountPoint) override;
};

} // namespace clipvane
