#include "LinuxDrives.h"

#include "MountTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace clipvane {

namespace {

QByteArray readSmallFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll(); // files of /proc and /sys report no size: read to their end
}

// The folder of a block device in /sys, resolved to its place in the device tree.
QString sysfsFolderOf(const QString& deviceNumber, const QString& source) {
    if (source.startsWith(QLatin1String("/dev/"))) {
        // /dev/mapper/x, /dev/disk/by-uuid/... lead to the kernel's own name (dm-0, sda1).
        const QString real = QFileInfo(source).canonicalFilePath();
        const QString name = QFileInfo(real.isEmpty() ? source : real).fileName();
        const QString folder = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
        if (!folder.isEmpty())
            return folder;
    }
    if (!deviceNumber.startsWith(QLatin1String("0:")))
        return QFileInfo(QStringLiteral("/sys/dev/block/") + deviceNumber).canonicalFilePath();
    return {};
}

BlockDeviceFacts blockDeviceFacts(const QString& deviceNumber, const QString& source) {
    BlockDeviceFacts facts;
    QString folder = sysfsFolderOf(deviceNumber, source);
    if (folder.isEmpty())
        return facts;
    if (QFileInfo::exists(folder + QStringLiteral("/partition")))
        folder = QFileInfo(folder).path(); // the disk holding the partition
    facts.isBlockDevice = true;
    facts.optical = QFileInfo(folder).fileName().startsWith(QLatin1String("sr"));
    facts.removable = readSmallFile(folder + QStringLiteral("/removable")).trimmed() == "1";
    facts.onUsb = folder.contains(QLatin1String("/usb"));
    return facts;
}

} // namespace

QList<DriveMount> LinuxDrives::mounts() {
    QList<OpticalDrive> opticals;
    const QStringList names = QDir(QStringLiteral("/sys/block"))
                                  .entryList({QStringLiteral("sr*")}, QDir::Dirs | QDir::System, QDir::Name);
    for (const QString& name : names) {
        const QString number = QString::fromLatin1(
            readSmallFile(QStringLiteral("/sys/block/") + name + QStringLiteral("/dev")).trimmed());
        opticals.append({QStringLiteral("/dev/") + name, number});
    }
    const QString table = QString::fromUtf8(readSmallFile(QStringLiteral("/proc/self/mountinfo")));
    const QList<DriveMount> listed =
        drivesOfMountTable(table.split(QLatin1Char('\n'), Qt::SkipEmptyParts), blockDeviceFacts, opticals);

    QList<DriveMount> drives;
    for (DriveMount d : listed) {
        const bool mayHang = d.type == DriveType::Remote || d.fsType.startsWith(QLatin1String("fuse"));
        if (!d.mountPoint.isEmpty() && !mayHang && d.type != DriveType::NoRoot) {
            // Kernel file systems on local devices answer at once; a network server or a FUSE daemon might
            // not, and is never touched here. A file mounted over a file (a container's /etc/hosts) is no
            // drive; a mount point that cannot be opened any more has no root.
            struct stat st {};
            if (::stat(d.mountPoint.toLocal8Bit().constData(), &st) != 0)
                d.type = DriveType::NoRoot;
            else if (!S_ISDIR(st.st_mode))
                continue;
        }
        drives.append(d);
    }
    return drives;
}

std::optional<DriveSpace> LinuxDrives::space(const QString& mountPoint) {
    if (mountPoint.isEmpty())
        return std::nullopt;
    struct statvfs st {};
    if (::statvfs(mountPoint.toLocal8Bit().constData(), &st) != 0)
        return std::nullopt;
    const quint64 unit = st.f_frsize ? st.f_frsize : st.f_bsize;
    return DriveSpace{quint64(st.f_bfree) * unit, quint64(st.f_blocks) * unit, quint64(st.f_bavail) * unit};
}

} // namespace clipvane
