#include "MountTable.h"

#include <QHash>

#include <QSet>
#include <algorithm>

namespace clipvane {

namespace {

// File systems of the kernel's own or of the desktop's plumbing: never a drive.
bool isPseudoFileSystem(const QString& type) {
    static const QSet<QString> pseudo = {
        QStringLiteral("proc"),
        QStringLiteral("sysfs"),
        QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"),
        QStringLiteral("devpts"),
        QStringLiteral("devtmpfs"),
        QStringLiteral("debugfs"),
        QStringLiteral("tracefs"),
        QStringLiteral("securityfs"),
        QStringLiteral("mqueue"),
        QStringLiteral("hugetlbfs"),
        QStringLiteral("pstore"),
        QStringLiteral("bpf"),
        QStringLiteral("configfs"),
        QStringLiteral("fusectl"),
        QStringLiteral("autofs"),
        QStringLiteral("binfmt_misc"),
        QStringLiteral("nsfs"),
        QStringLiteral("efivarfs"),
        QStringLiteral("rpc_pipefs"),
        QStringLiteral("selinuxfs"),
        QStringLiteral("nfsd"),
        QStringLiteral("squashfs"),
        QStringLiteral("fuse.portal"),
        QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.lxcfs"),
        QStringLiteral("rootfs"),
    };
    return pseudo.contains(type);
}

bool isRemoteFileSystem(const QString& type, const QString& source) {
    static const QSet<QString> remote = {
        QStringLiteral("nfs"),          QStringLiteral("nfs4"),           QStringLiteral("cifs"),
        QStringLiteral("smb3"),         QStringLiteral("smbfs"),          QStringLiteral("9p"),
        QStringLiteral("afs"),          QStringLiteral("ceph"),           QStringLiteral("glusterfs"),
        QStringLiteral("davfs"),        QStringLiteral("lustre"),         QStringLiteral("ncpfs"),
        QStringLiteral("coda"),         QStringLiteral("virtiofs"),       QStringLiteral("fuse.sshfs"),
        QStringLiteral("fuse.rclone"),  QStringLiteral("fuse.s3fs"),      QStringLiteral("fuse.davfs"),
        QStringLiteral("fuse.davfs2"),  QStringLiteral("fuse.glusterfs"), QStringLiteral("fuse.curlftpfs"),
        QStringLiteral("fuse.gcsfuse"), QStringLiteral("fuse.ceph-fuse"), QStringLiteral("fuse.smbnetfs"),
        QStringLiteral("fuse.goofys"),
    };
    if (remote.contains(type))
        return true;
    if (!type.startsWith(QLatin1String("fuse")))
        return false;
    // Another network FUSE file system: its source names a host ("user@host:/path", "host:", "https://...").
    if (source.contains(QLatin1String("://")))
        return true;
    const qsizetype colon = source.indexOf(QLatin1Char(':'));
    return colon > 0 && !source.startsWith(QLatin1Char('/'));
}

// Mount table paths escape space, tab, newline and backslash as three octal digits.
QString unescapeMountPath(QStringView field) {
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c == QLatin1Char('\\') && i + 3 < field.size()) {
            const QStringView digits = field.mid(i + 1, 3);
            bool ok = true;
            int value = 0;
            for (QChar d : digits) {
                if (d < QLatin1Char('0') || d > QLatin1Char('7')) {
                    ok = false;
                    break;
                }
                value = value * 8 + (d.unicode() - '0');
            }
            if (ok) {
                out.append(QChar(value));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

bool isUnder(const QString& path, QLatin1String folder) {
    return path == folder || (path.startsWith(folder) && path.size() > folder.size() &&
                              path[folder.size()] == QLatin1Char('/'));
}

} // namespace

std::optional<MountInfoLine> parseMountInfoLine(QStringView line) {
    // id parent major:minor root mount-point options [optional fields...] - type source super-options
    const QList<QStringView> fields = line.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const qsizetype dash = fields.indexOf(QStringView(u"-"));
    if (dash < 6 || dash + 1 >= fields.size())
        return std::nullopt;
    if (!fields[2].contains(QLatin1Char(':')))
        return std::nullopt;
    MountInfoLine m;
    m.deviceNumber = fields[2].toString();
    m.root = unescapeMountPath(fields[3]);
    m.mountPoint = unescapeMountPath(fields[4]);
    m.fsType = fields[dash + 1].toString();
    m.source = dash + 2 < fields.size() ? unescapeMountPath(fields[dash + 2]) : QString();
    if (!m.mountPoint.startsWith(QLatin1Char('/')) || m.fsType.isEmpty())
        return std::nullopt;
    return m;
}

std::optional<DriveMount> driveOfMountLine(const MountInfoLine& line, const BlockDeviceLookup& lookup) {
    static const QLatin1String deleted(" (deleted)");
    DriveMount d;
    d.mountPoint = line.mountPoint;
    d.device = line.source;
    d.fsType = line.fsType;
    const bool root = line.mountPoint == QLatin1String("/");
    if (!root) {
        if (isPseudoFileSystem(line.fsType))
            return std::nullopt;
        if (isUnder(line.mountPoint, QLatin1String("/proc")) ||
            isUnder(line.mountPoint, QLatin1String("/sys")) ||
            isUnder(line.mountPoint, QLatin1String("/run/credentials")))
            return std::nullopt;
    }
    if (line.mountPoint.endsWith(deleted)) {
        // Its folder was removed while mounted: nothing can open it any more.
        d.mountPoint.chop(deleted.size());
        d.type = DriveType::NoRoot;
    } else if (isRemoteFileSystem(line.fsType, line.source)) {
        d.type = DriveType::Remote;
    } else if (line.fsType == QLatin1String("tmpfs") || line.fsType == QLatin1String("ramfs")) {
        d.type = DriveType::RamDisk;
    } else if (const BlockDeviceFacts facts =
                   lookup ? lookup(line.deviceNumber, line.source) : BlockDeviceFacts{};
               facts.isBlockDevice) {
        d.type = facts.optical                      ? DriveType::Optical
                 : (facts.removable || facts.onUsb) ? DriveType::Removable
                                                    : DriveType::Fixed;
    } else {
        d.type = DriveType::Unknown;
    }
    return d;
}

QList<DriveMount> drivesOfMountTable(const QStringList& lines, const BlockDeviceLookup& lookup,
                                     const QList<OpticalDrive>& opticalDrives) {
    QList<MountInfoLine> parsed;
    for (const QString& l : lines) {
        if (auto m = parseMountInfoLine(l))
            parsed.append(*m);
    }
    // A later mount on the same point hides the earlier one: only the last of each point is seen.
    QHash<QString, qsizetype> lastOfPoint;
    for (qsizetype i = 0; i < parsed.size(); ++i)
        lastOfPoint.insert(parsed[i].mountPoint, i);

    auto deviceKeys = [](const MountInfoLine& m) {
        QStringList keys{m.deviceNumber};
        if (m.source.startsWith(QLatin1String("/dev/")))
            keys.append(m.source);
        return keys;
    };
    QSet<QString> seen;
    // The root file system is always listed: its device is taken before any other mount of it.
    if (const auto root = lastOfPoint.constFind(QStringLiteral("/")); root != lastOfPoint.cend()) {
        for (const QString& k : deviceKeys(parsed[*root]))
            seen.insert(k);
    }
    QList<DriveMount> drives;
    for (qsizetype i = 0; i < parsed.size(); ++i) {
        const MountInfoLine& m = parsed[i];
        if (lastOfPoint.value(m.mountPoint) != i)
            continue;
        const bool root = m.mountPoint == QLatin1String("/");
        const std::optional<DriveMount> drive = driveOfMountLine(m, lookup);
        if (!drive)
            continue;
        if (!root) {
            const QStringList keys = deviceKeys(m);
            bool known = false;
            for (const QString& k : keys)
                known = known || seen.contains(k);
            if (known)
                continue;
            for (const QString& k : keys)
                seen.insert(k);
        }
        drives.append(*drive);
    }
    for (const OpticalDrive& optical : opticalDrives) {
        const bool mounted = std::any_of(parsed.cbegin(), parsed.cend(), [&](const MountInfoLine& m) {
            return m.deviceNumber == optical.deviceNumber || m.source == optical.device;
        });
        if (!mounted)
            drives.append({QString(), optical.device, QString(), DriveType::Optical});
    }
    return drives;
}

} // namespace clipvane
