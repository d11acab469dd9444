#pragma once
#include "platform/Drives.h"

#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

namespace clipvane {

// One line of /proc/self/mountinfo, with the escapes (\040 for a space...) of its paths undone.
struct MountInfoLine {
    QString deviceNumber; // "major:minor" of the file system
    QString root;         // the folder of the file system mounted here ("/" unless a bind or subvolume)
    QString mountPoint;
    QString fsType;
    QString source;
};
std::optional<MountInfoLine> parseMountInfoLine(QStringView line);

// What the block device layer says about the device behind a mount.
struct BlockDeviceFacts {
    bool isBlockDevice = false; // a disk or partition the kernel knows
    bool optical = false;       // an sr* device
    bool removable = false;     // its disk reports removable media
    bool onUsb = false;         // its disk sits on a USB bus
};
// Answers for the device of a mount: its "major:minor" and its source as the mount table gives them.
using BlockDeviceLookup = std::function<BlockDeviceFacts(const QString& deviceNumber, const QString& source)>;

// The drive a mount table line stands for, or nothing when it is no drive (a pseudo or internal file
// system). Pure: everything it knows comes from the line and the lookup.
std::optional<DriveMount> driveOfMountLine(const MountInfoLine& line, const BlockDeviceLookup& lookup);

// An optical drive of the machine, mounted or not.
struct OpticalDrive {
    QString device;       // "/dev/sr0"
    QString deviceNumber; // "11:0"
};

// The drives of a whole mount table, in its order: the root file system always, each device once at its
// first mount (bind mounts and subvolumes of one device are not listed again); then the optical drives
// without a medium, which have a device but no mount.
QList<DriveMount> drivesOfMountTable(const QStringList& lines, const BlockDeviceLookup& lookup,
                                     const QList<OpticalDrive>& opticalDrives = {});

} // namespace clipvane
