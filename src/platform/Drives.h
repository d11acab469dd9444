#pragma once
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace clipvane {

// What kind of drive holds a file system. The numbers are the drive type codes the drive table and the
// browser's drive picture are keyed on.
enum class DriveType {
    Unknown = 0,
    NoRoot = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    Optical = 5,
    RamDisk = 6
};

// One drive: a mounted file system that holds user data. An optical drive without a medium has no mount
// point, only its device.
struct DriveMount {
    QString mountPoint; // "/", "/home", "/media/stick"; empty for an optical drive without a medium
    QString device;     // "/dev/sda1", "server:/export", "tmpfs"
    QString fsType;     // "ext4", "nfs4", "fuse.sshfs"
    DriveType type = DriveType::Unknown;

    bool operator==(const DriveMount&) const = default;
};

// Space of one mounted file system, in bytes.
struct DriveSpace {
    quint64 allFree = 0;   // every free byte, reserved ones included
    quint64 total = 0;     // size of the file system
    quint64 available = 0; // free bytes the user may write
};

// The machine's drives. Listing reads the mount table only and never touches a mount, so it does not
// block; a space query may block for as long as a remote mount does not answer.
class Drives {
public:
    virtual ~Drives() = default;
    // Every drive, in mount table order; each device once.
    virtual QList<DriveMount> mounts() = 0;
    // Empty when the space cannot be read. Called from worker threads, and may still run after its caller
    // gave up waiting: implementations keep no state that such a late return depends on.
    virtual std::optional<DriveSpace> space(const QString& mountPoint) = 0;
};

// The drive holding a path: the mount whose mount point is the longest leading part of it (whole path
// segments). Empty when none does.
std::optional<DriveMount> driveOfPath(const QList<DriveMount>& mounts, const QString& absolutePath);

} // namespace clipvane
