// Which lines of /proc/self/mountinfo are drives, and of which type. The lines are real ones, taken from
// desktops, servers and containers.
#include "platform/linux/LinuxDrives.h"
#include "platform/linux/MountTable.h"

#include <QTest>

using namespace clipvane;

namespace {

// The block devices of the machines the lines come from.
BlockDeviceFacts facts(const QString& deviceNumber, const QString& source) {
    BlockDeviceFacts f;
    f.isBlockDevice = true;
    if (source == u"/dev/nvme0n1p2" || source == u"/dev/nvme0n1p1" ||
        source == u"/dev/mapper/vgubuntu-root" || deviceNumber == u"8:34" || deviceNumber == u"7:0" ||
        deviceNumber == u"259:2")
        return f;
    if (source == u"/dev/sdb1") { // a USB stick
        f.onUsb = true;
        f.removable = true;
        return f;
    }
    if (source == u"/dev/sdc1") { // a USB disk that does not report removable media
        f.onUsb = true;
        return f;
    }
    if (source == u"/dev/mmcblk0p1") { // an SD card in a built-in reader
        f.removable = true;
        return f;
    }
    if (source == u"/dev/sr0") {
        f.optical = true;
        return f;
    }
    return {};
}

} // namespace

class TestMountTable : public QObject {
    Q_OBJECT
private slots:
    void classification_data();
    void classification();
    void parsing_data();
    void parsing();
    void wholeTable();
    void containerTable();
    void thisMachine();
    void driveOfAPath();
};

void TestMountTable::classification_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("mountPoint"); // empty: no drive
    QTest::addColumn<int>("type");
    const int fixed = int(DriveType::Fixed), removable = int(DriveType::Removable),
              optical = int(DriveType::Optical), remote = int(DriveType::Remote),
              ram = int(DriveType::RamDisk), unknown = int(DriveType::Unknown),
              noRoot = int(DriveType::NoRoot);

    QTest::newRow("ext4 root")
        << "29 1 259:2 / / rw,relatime shared:1 - ext4 /dev/nvme0n1p2 rw,errors=remount-ro"
        << "/" << fixed;
    QTest::newRow("ext4 root on LVM")
        << "26 1 253:0 / / rw,relatime shared:1 - ext4 /dev/mapper/vgubuntu-root rw,errors=remount-ro"
        << "/" << fixed;
    QTest::newRow("btrfs subvolume")
        << "68 30 0:27 /@home /home rw,noatime shared:35 - btrfs /dev/nvme0n1p2 "
           "rw,compress=zstd:3,ssd,discard=async,space_cache=v2,subvolid=257,subvol=/@home"
        << "/home" << fixed;
    QTest::newRow("vfat EFI partition")
        << "31 30 259:1 / /boot/efi rw,relatime shared:33 - vfat /dev/nvme0n1p1 "
           "rw,fmask=0077,dmask=0077,codepage=437,iocharset=iso8859-1,shortname=mixed,errors=remount-ro"
        << "/boot/efi" << fixed;
    QTest::newRow("vfat USB stick")
        << "412 30 8:17 / /media/anna/STICK rw,nosuid,nodev,relatime shared:221 - vfat /dev/sdb1 "
           "rw,uid=1000,gid=1000,fmask=0022,dmask=0022,codepage=437,iocharset=ascii,shortname=mixed,showexec,"
           "utf8,flush,errors=remount-ro"
        << "/media/anna/STICK" << removable;
    QTest::newRow("exfat USB disk, not removable media")
        << "430 30 8:33 / /media/anna/Backup rw,nosuid,nodev,relatime shared:230 - exfat /dev/sdc1 "
           "rw,uid=1000,gid=1000,fmask=0022,dmask=0022,iocharset=utf8,errors=remount-ro"
        << "/media/anna/Backup" << removable;
    QTest::newRow("SD card")
        << "440 30 179:1 / /media/anna/3961-3035 rw,nosuid,nodev,relatime shared:240 - vfat "
           "/dev/mmcblk0p1 rw,uid=1000,gid=1000,fmask=0022,dmask=0022,codepage=437"
        << "/media/anna/3961-3035" << removable;
    QTest::newRow("iso9660 DVD, space in the label")
        << "455 30 11:0 / /media/anna/Ubuntu\\04024.04\\040LTS\\040amd64 ro,nosuid,nodev,relatime shared:250 "
           "- "
           "iso9660 /dev/sr0 ro,nojoliet,check=s,map=n,blocksize=2048,uid=1000,gid=1000,dmode=500,fmode=400,"
           "iocharset=utf8"
        << "/media/anna/Ubuntu 24.04 LTS amd64" << optical;
    QTest::newRow("nfs4") << "120 30 0:52 / /mnt/nas rw,relatime shared:60 - nfs4 nas.local:/export/media "
                             "rw,vers=4.2,rsize=1048576,wsize=1048576,namlen=255,hard,proto=tcp,timeo=600,"
                             "retrans=2,sec=sys,clientaddr=192.168.1.20,local_lock=none,addr=192.168.1.10"
                          << "/mnt/nas" << remote;
    QTest::newRow("nfs")
        << "121 30 0:53 / /srv/old rw,relatime shared:61 - nfs fileserver:/home "
           "rw,vers=3,rsize=131072,wsize=131072,namlen=255,hard,proto=tcp,timeo=600,retrans=2,"
           "sec=sys,mountaddr=192.168.1.10,mountvers=3,mountport=20048,mountproto=udp,"
           "local_lock=none,addr=192.168.1.10"
        << "/srv/old" << remote;
    QTest::newRow("cifs")
        << "130 30 0:60 / /mnt/share rw,relatime shared:70 - cifs //fileserver/public "
           "rw,vers=3.1.1,cache=strict,username=anna,uid=1000,noforceuid,gid=1000,noforcegid,"
           "addr=192.168.1.11,file_mode=0755,dir_mode=0755,soft,nounix,serverino,mapposix,"
           "rsize=4194304,wsize=4194304,bsize=1048576,echo_interval=60,actimeo=1,closetimeo=1"
        << "/mnt/share" << remote;
    QTest::newRow("sshfs")
        << "140 30 0:65 / /home/anna/remote rw,nosuid,nodev,relatime shared:80 - fuse.sshfs "
           "anna@build.example:/srv rw,user_id=1000,group_id=1000"
        << "/home/anna/remote" << remote;
    QTest::newRow("rclone")
        << "141 30 0:66 / /home/anna/cloud rw,nosuid,nodev,relatime shared:81 - fuse.rclone "
           "gdrive: rw,user_id=1000,group_id=1000"
        << "/home/anna/cloud" << remote;
    QTest::newRow("9p share of a virtual machine") << "40 30 0:35 / /mnt/host rw,relatime shared:20 - 9p "
                                                      "hostshare rw,sync,dirsync,access=client,trans=virtio"
                                                   << "/mnt/host" << remote;
    QTest::newRow("tmpfs /dev/shm")
        << "26 24 0:24 / /dev/shm rw,nosuid,nodev shared:4 - tmpfs tmpfs rw,inode64"
        << "/dev/shm" << ram;
    QTest::newRow("tmpfs user runtime folder")
        << "250 28 0:55 / /run/user/1000 rw,nosuid,nodev,relatime shared:120 - tmpfs tmpfs "
           "rw,size=1631060k,nr_inodes=407765,mode=700,uid=1000,gid=1000,inode64"
        << "/run/user/1000" << ram;
    QTest::newRow("ramfs") << "150 30 0:70 / /mnt/ram rw,relatime shared:90 - ramfs ramfs rw"
                           << "/mnt/ram" << ram;
    QTest::newRow("overlay root of a container")
        << "600 540 0:120 / / rw,relatime master:1 - overlay overlay "
           "rw,lowerdir=/var/lib/docker/overlay2/l/ABC:/var/lib/docker/overlay2/l/DEF,"
           "upperdir=/var/lib/docker/overlay2/123/diff,workdir=/var/lib/docker/overlay2/123/work"
        << "/" << unknown;
    QTest::newRow("zfs dataset") << "100 1 0:50 / /tank rw,noatime shared:50 - zfs tank rw,xattr,noacl"
                                 << "/tank" << unknown;
    QTest::newRow("folder removed while mounted")
        << "160 30 8:34 / /mnt/old\\040(deleted) rw,relatime shared:95 - ext4 /dev/sdc2 rw"
        << "/mnt/old" << noRoot;
    QTest::newRow("loop-mounted disk image")
        << "170 30 7:0 / /mnt/image ro,relatime shared:96 - ext4 /dev/loop0 ro"
        << "/mnt/image" << fixed;

    // No drives
    const auto none = [](const char* name, const char* line) { QTest::newRow(name) << line << "" << 0; };
    none("proc", "22 28 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw");
    none("sysfs", "23 28 0:22 / /sys rw,nosuid,nodev,noexec,relatime shared:2 - sysfs sysfs rw");
    none("cgroup2", "33 23 0:28 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:9 - cgroup2 cgroup2 "
                    "rw,nsdelegate,memory_recursiveprot");
    none("cgroup v1", "36 32 0:33 / /sys/fs/cgroup/memory rw,relatime - cgroup cgroup rw,memory");
    none("tmpfs holding the cgroups", "32 23 0:29 / /sys/fs/cgroup rw,relatime - tmpfs tmpfs rw,mode=755");
    none("devpts", "25 24 0:23 / /dev/pts rw,nosuid,noexec,relatime shared:3 - devpts devpts "
                   "rw,gid=5,mode=620,ptmxmode=000");
    none("devtmpfs", "24 28 0:5 / /dev rw,nosuid,relatime shared:2 - devtmpfs udev "
                     "rw,size=8106216k,nr_inodes=2026554,mode=755,inode64");
    none("securityfs",
         "27 23 0:7 / /sys/kernel/security rw,nosuid,nodev,noexec,relatime shared:8 - securityfs "
         "securityfs rw");
    none("debugfs",
         "40 23 0:12 / /sys/kernel/debug rw,nosuid,nodev,noexec,relatime shared:15 - debugfs debugfs rw");
    none("tracefs",
         "41 23 0:13 / /sys/kernel/tracing rw,nosuid,nodev,noexec,relatime shared:16 - tracefs tracefs rw");
    none("mqueue", "38 24 0:19 / /dev/mqueue rw,nosuid,nodev,noexec,relatime shared:14 - mqueue mqueue rw");
    none("hugetlbfs",
         "37 24 0:30 / /dev/hugepages rw,relatime shared:13 - hugetlbfs hugetlbfs rw,pagesize=2M");
    none("pstore",
         "34 23 0:29 / /sys/fs/pstore rw,nosuid,nodev,noexec,relatime shared:10 - pstore pstore rw");
    none("efivarfs",
         "35 23 0:30 / /sys/firmware/efi/efivars rw,nosuid,nodev,noexec,relatime shared:11 - efivarfs "
         "efivarfs rw");
    none("bpf", "36 23 0:31 / /sys/fs/bpf rw,nosuid,nodev,noexec,relatime shared:12 - bpf bpf rw,mode=700");
    none("autofs", "39 22 0:36 / /proc/sys/fs/binfmt_misc rw,relatime shared:14 - autofs systemd-1 "
                   "rw,fd=29,pgrp=1,timeout=0,minproto=5,maxproto=5,direct,pipe_ino=17761");
    none("binfmt_misc", "480 39 0:90 / /proc/sys/fs/binfmt_misc rw,nosuid,nodev,noexec,relatime shared:260 - "
                        "binfmt_misc binfmt_misc rw");
    none("fusectl",
         "42 23 0:38 / /sys/fs/fuse/connections rw,nosuid,nodev,noexec,relatime shared:17 - fusectl "
         "fusectl rw");
    none("configfs", "43 23 0:39 / /sys/kernel/config rw,nosuid,nodev,noexec,relatime shared:18 - configfs "
                     "configfs rw");
    none("snap squashfs image",
         "70 30 7:1 / /snap/core22/1380 ro,nodev,relatime shared:37 - squashfs /dev/loop1 "
         "ro,errors=continue,threads=single");
    none("systemd credentials", "45 28 0:40 / /run/credentials/systemd-journald.service "
                                "ro,nosuid,nodev,noexec,relatime,nosymfollow shared:20 - tmpfs tmpfs "
                                "rw,size=1024k,nr_inodes=1024,mode=700,inode64,noswap");
    none("document portal",
         "260 250 0:80 / /run/user/1000/doc rw,nosuid,nodev,relatime shared:130 - fuse.portal "
         "portal rw,user_id=1000,group_id=1000");
    none("gvfs", "261 250 0:81 / /run/user/1000/gvfs rw,nosuid,nodev,relatime shared:131 - fuse.gvfsd-fuse "
                 "gvfsd-fuse rw,user_id=1000,group_id=1000");
    none("nsfs", "500 28 0:4 net:[4026532500] /run/netns/blue rw shared:300 - nsfs nsfs rw");
    none("not a mountinfo line", "/dev/sda1 / ext4 rw,relatime 0 0");
    none("empty", "");
}

void TestMountTable::classification() {
    QFETCH(QString, line);
    QFETCH(QString, mountPoint);
    QFETCH(int, type);
    const std::optional<MountInfoLine> parsed = parseMountInfoLine(line);
    const std::optional<DriveMount> drive = parsed ? driveOfMountLine(*parsed, facts) : std::nullopt;
    if (mountPoint.isEmpty()) {
        QVERIFY2(!drive, qPrintable(drive ? drive->mountPoint : QString()));
        return;
    }
    QVERIFY(drive);
    QCOMPARE(drive->mountPoint, mountPoint);
    QCOMPARE(int(drive->type), type);
}

void TestMountTable::parsing_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("mountPoint");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("root");
    // Optional fields before the separator vary in number; paths escape space, tab, newline and backslash.
    QTest::newRow("no optional field") << "22 28 0:21 / /proc rw - proc proc rw"
                                       << "/proc"
                                       << "proc"
                                       << "/";
    QTest::newRow("two optional fields")
        << "90 30 8:1 /srv /var/www rw,relatime shared:1 master:2 - ext4 /dev/sda1 rw"
        << "/var/www"
        << "/dev/sda1"
        << "/srv";
    QTest::newRow("escapes") << "91 30 8:1 / /media/a\\040b\\011c\\134d rw - vfat /dev/sdb1 rw"
                             << "/media/a b\tc\\d"
                             << "/dev/sdb1"
                             << "/";
    QTest::newRow("backslash without digits") << "92 30 8:1 / /media/x\\y rw - vfat /dev/sdb1 rw"
                                              << "/media/x\\y"
                                              << "/dev/sdb1"
                                              << "/";
}

void TestMountTable::parsing() {
    QFETCH(QString, line);
    const std::optional<MountInfoLine> m = parseMountInfoLine(line);
    QVERIFY(m);
    QTEST(m->mountPoint, "mountPoint");
    QTEST(m->source, "source");
    QTEST(m->root, "root");
}

// A desktop on btrfs: subvolumes and bind mounts of one device are listed once, at their first mount; a mount
// point mounted over shows only its last mount; the empty DVD drive is listed without a mount point.
void TestMountTable::wholeTable() {
    const QStringList lines = {
        "30 1 0:27 /@ / rw,noatime shared:1 - btrfs /dev/nvme0n1p2 "
        "rw,compress=zstd:3,ssd,subvolid=256,subvol=/@",
        "22 30 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw",
        "23 30 0:22 / /sys rw,nosuid,nodev,noexec,relatime shared:2 - sysfs sysfs rw",
        "24 30 0:5 / /dev rw,nosuid,relatime shared:2 - devtmpfs udev rw,size=8106216k,mode=755",
        "26 24 0:24 / /dev/shm rw,nosuid,nodev shared:4 - tmpfs tmpfs rw,inode64",
        "31 30 259:1 / /boot/efi rw,relatime shared:33 - vfat /dev/nvme0n1p1 rw,fmask=0077,dmask=0077",
        "68 30 0:27 /@home /home rw,noatime shared:35 - btrfs /dev/nvme0n1p2 rw,subvolid=257,subvol=/@home",
        "69 30 0:27 /@var/log /var/log rw,noatime shared:36 - btrfs /dev/nvme0n1p2 "
        "rw,subvolid=258,subvol=/@var/log",
        "70 30 7:1 / /snap/core22/1380 ro,nodev,relatime shared:37 - squashfs /dev/loop1 ro",
        "90 68 0:27 /@home/anna/www /srv/www rw,noatime shared:35 - btrfs /dev/nvme0n1p2 rw,subvol=/@home",
        "250 30 0:55 / /run/user/1000 rw,nosuid,nodev,relatime shared:120 - tmpfs tmpfs rw,mode=700,uid=1000",
        "412 30 8:17 / /media/anna/STICK rw,nosuid,nodev,relatime shared:221 - vfat /dev/sdb1 rw",
        "413 412 8:17 /photos /home/anna/photos rw,nosuid,nodev,relatime shared:221 - vfat /dev/sdb1 rw",
        "120 30 0:52 / /mnt/nas rw,relatime shared:60 - nfs4 nas.local:/export/media rw,vers=4.2",
        "121 30 0:53 / /mnt/nas rw,relatime shared:61 - nfs4 nas.local:/export/other rw,vers=4.2",
    };
    QList<DriveMount> drives = drivesOfMountTable(lines, facts, {{"/dev/sr0", "11:0"}});
    QStringList got;
    for (const DriveMount& d : drives)
        got.append((d.mountPoint.isEmpty() ? d.device : d.mountPoint) + QLatin1Char(' ') +
                   QString::number(int(d.type)));
    QCOMPARE(got, (QStringList{"/ 3", "/dev/shm 6", "/boot/efi 3", "/run/user/1000 6", "/media/anna/STICK 2",
                               "/mnt/nas 4", "/dev/sr0 5"}));
    QCOMPARE(drives[5].device, QString("nas.local:/export/other"));

    // With a disc in the drive, the drive has its one row at its mount point.
    drives = drivesOfMountTable({lines[0], "455 30 11:0 / /media/anna/DVD ro - iso9660 /dev/sr0 ro"}, facts,
                                {{"/dev/sr0", "11:0"}});
    QCOMPARE(drives.size(), 2);
    QCOMPARE(drives[1].mountPoint, QString("/media/anna/DVD"));
    QCOMPARE(drives[1].type, DriveType::Optical);
}

// In a container the root is an overlay: it is listed all the same. The host's disk, mounted as a volume
// and again over a file, is listed once.
void TestMountTable::containerTable() {
    const QStringList lines = {
        "540 539 259:2 /var/lib/docker/volumes/data/_data /data rw,relatime - ext4 /dev/nvme0n1p2 rw",
        "600 540 0:120 / / rw,relatime master:1 - overlay overlay rw,lowerdir=/l/A,upperdir=/u,workdir=/w",
        "601 600 0:122 / /proc rw,nosuid,nodev,noexec,relatime - proc proc rw",
        "602 600 0:123 / /dev rw,nosuid - tmpfs tmpfs rw,size=65536k,mode=755",
        "603 602 0:124 / /dev/pts rw,nosuid,noexec,relatime - devpts devpts rw,gid=5,mode=620,ptmxmode=666",
        "604 600 0:125 / /sys ro,nosuid,nodev,noexec,relatime - sysfs sysfs ro",
        "605 602 0:121 / /dev/mqueue rw,nosuid,nodev,noexec,relatime - mqueue mqueue rw",
        "606 602 0:126 / /dev/shm rw,nosuid,nodev,noexec,relatime - tmpfs shm rw,size=65536k",
        "607 600 259:2 /var/lib/docker/containers/abc/resolv.conf /etc/resolv.conf rw,relatime - ext4 "
        "/dev/nvme0n1p2 rw",
    };
    QStringList got;
    for (const DriveMount& d : drivesOfMountTable(lines, facts))
        got.append(d.mountPoint + QLatin1Char(' ') + QString::number(int(d.type)));
    QCOMPARE(got, (QStringList{"/data 3", "/ 0", "/dev 6", "/dev/shm 6"}));
}

// The Linux service on the machine running the tests: the root file system is a drive with space, the
// kernel's own file systems are not.
void TestMountTable::thisMachine() {
    LinuxDrives drives;
    const QList<DriveMount> mounts = drives.mounts();
    QStringList points;
    for (const DriveMount& d : mounts)
        points.append(d.mountPoint);
    QVERIFY2(points.contains("/"), qPrintable(points.join(' ')));
    QVERIFY(!points.contains("/proc") && !points.contains("/sys"));
    const std::optional<DriveSpace> root = drives.space("/");
    QVERIFY(root && root->total > 0 && root->allFree <= root->total && root->available <= root->allFree);
    QVERIFY(!drives.space(QString()));
    QVERIFY(!drives.space("/no/such/mount point"));
    QCOMPARE(driveOfPath(mounts, "/")->mountPoint, QString("/"));
}

// The drive of a path is the longest mount point holding it, by whole path segments.
void TestMountTable::driveOfAPath() {
    const QList<DriveMount> mounts = {{"/", "a", "ext4", DriveType::Fixed},
                                      {"/home", "b", "ext4", DriveType::Fixed},
                                      {"/media/anna/STICK", "c", "vfat", DriveType::Removable},
                                      {"", "/dev/sr0", "", DriveType::Optical}};
    const auto point = [&](const char* path) {
        const auto d = driveOfPath(mounts, path);
        return d ? d->mountPoint : QStringLiteral("<none>");
    };
    QCOMPARE(point("/usr/bin/firefox"), QString("/"));
    QCOMPARE(point("/home/anna/bin/x"), QString("/home"));
    QCOMPARE(point("/home"), QString("/home"));
    QCOMPARE(point("/home2/x"), QString("/"));
    QCOMPARE(point("/media/anna/STICK/apps/browser"), QString("/media/anna/STICK"));
    QCOMPARE(point("/media/anna/STICKY/browser"), QString("/"));
    QCOMPARE(point("relative/path"), QString("<none>"));
}

QTEST_GUILESS_MAIN(TestMountTable)
#include "tst_mounttable.moc"
