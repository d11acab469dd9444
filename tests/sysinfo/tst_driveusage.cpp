// The drive table built from scripted drives.
#include "Doubles.h"
#include "sysinfo/DriveUsage.h"

#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

constexpr quint64 MB = 1048576;

DriveSpace space(quint64 freeMB, quint64 totalMB, quint64 availableMB) {
    return {freeMB * MB, totalMB * MB, availableMB * MB};
}

QList<QStringList> table(FakeDrives& drives,
                         std::chrono::milliseconds limit = std::chrono::milliseconds(2000),
                         std::function<void()> yield = {}) {
    return buildDriveTable(drives, {limit, std::move(yield)}).cells();
}

} // namespace

class TestDriveUsage : public QObject {
    Q_OBJECT
private slots:
    void fixedDiskAndEmptyOpticalDrive();
    void groupOrderAndRows();
    void figures_data();
    void figures();
    void rebuiltOnEachRun();
    void totalsBeyond32Bits();
    void hungRemoteMountIsLeftOut();
};

// One disk and an empty DVD drive: the DVD drive has its row of zeros, the total equals the disk.
void TestDriveUsage::fixedDiskAndEmptyOpticalDrive() {
    FakeDrives drives;
    drives.drives = {{"/", "/dev/sda1", "ext4", DriveType::Fixed}, {"", "/dev/sr0", "", DriveType::Optical}};
    drives.spaces["/"] = space(40000, 100000, 35000);
    QCOMPARE(table(drives), (QList<QStringList>{{"Fixed", "/", "40000", "60000", "100000"},
                                                {"Optical", "/dev/sr0", "0", "0", "0"},
                                                {"TOTAL", "", "40000", "60000", "100000"}}));
}

// Groups in their fixed order whatever the mount order; drives of a group by mount point; a drive whose
// space cannot be read is left out unless it is optical.
void TestDriveUsage::groupOrderAndRows() {
    FakeDrives drives;
    drives.drives = {
        {"/run/user/1000", "tmpfs", "tmpfs", DriveType::RamDisk},
        {"/mnt/old", "/dev/sdd1", "ext4", DriveType::NoRoot},
        {"/tank", "tank", "zfs", DriveType::Unknown},
        {"/mnt/nas", "nas:/export", "nfs4", DriveType::Remote},
        {"/media/DVD", "/dev/sr0", "iso9660", DriveType::Optical},
        {"/media/stick", "/dev/sdb1", "vfat", DriveType::Removable},
        {"/media/card", "/dev/mmcblk0p1", "vfat", DriveType::Removable}, // no medium: the query fails
        {"/home", "/dev/sda2", "ext4", DriveType::Fixed},
        {"/", "/dev/sda1", "ext4", DriveType::Fixed},
        {"/dev/shm", "tmpfs", "tmpfs", DriveType::RamDisk},
    };
    for (const DriveMount& d : drives.drives)
        drives.spaces[d.mountPoint] = space(1, 2, 1);
    drives.spaces.remove("/media/card");
    drives.spaces.remove("/mnt/old");
    int yields = 0;
    QStringList order;
    for (const QStringList& row : table(drives, std::chrono::milliseconds(2000), [&] { ++yields; }))
        order.append(row[0] + QLatin1Char(' ') + row[1]);
    QCOMPARE(order, (QStringList{"Fixed /", "Fixed /home", "Removable /media/stick", "Optical /media/DVD",
                                 "Remote /mnt/nas", "Unknown /tank", "RAM disk /dev/shm",
                                 "RAM disk /run/user/1000", "TOTAL "}));
    QCOMPARE(yields, 1); // pending messages run before each remote drive
}

void TestDriveUsage::figures_data() {
    QTest::addColumn<DriveSpace>("bytes");
    QTest::addColumn<QStringList>("row");
    QTest::newRow("whole megabytes") << space(300, 1000, 250) << QStringList{"300", "700", "1000"};
    // Free counts the reserved blocks too; used is what is not free.
    QTest::newRow("remainders dropped")
        << DriveSpace{300 * MB + MB - 1, 1000 * MB + 5, 1} << QStringList{"300", "699", "1000"};
    QTest::newRow("no space left for the user: used 0")
        << space(50, 1000, 0) << QStringList{"50", "0", "1000"};
    QTest::newRow("a full read-only disc") << space(0, 4000, 0) << QStringList{"0", "0", "4000"};
    QTest::newRow("18 TB array") << space(3000000, 18000000, 2000000)
                                 << QStringList{"3000000", "15000000", "18000000"};
}

void TestDriveUsage::figures() {
    QFETCH(DriveSpace, bytes);
    QFETCH(QStringList, row);
    FakeDrives drives;
    drives.drives = {{"/", "/dev/sda1", "ext4", DriveType::Fixed}};
    drives.spaces["/"] = bytes;
    const QList<QStringList> cells = table(drives);
    QCOMPARE(cells[0].mid(2), row);
    QCOMPARE(cells[1].mid(2), row);
}

// Every run starts over: a drive gone since the last run leaves no trace, and TOTAL names no drive.
void TestDriveUsage::rebuiltOnEachRun() {
    FakeDrives drives;
    drives.drives = {{"/", "/dev/sda1", "ext4", DriveType::Fixed},
                     {"/media/stick", "/dev/sdb1", "vfat", DriveType::Removable}};
    drives.spaces["/"] = space(10, 20, 10);
    drives.spaces["/media/stick"] = space(1, 4, 1);
    QCOMPARE(table(drives).size(), 3);
    drives.drives.removeLast();
    QCOMPARE(table(drives),
             (QList<QStringList>{{"Fixed", "/", "10", "10", "20"}, {"TOTAL", "", "10", "10", "20"}}));
}

// The sums of several large disks pass what 32 bits hold (2147483647 MB) without wrapping.
void TestDriveUsage::totalsBeyond32Bits() {
    FakeDrives drives;
    const quint64 huge = 1500000000; // megabytes: about 1.4 EiB each
    for (const char* point : {"/a", "/b", "/c"}) {
        drives.drives.append({point, point, "xfs", DriveType::Fixed});
        drives.spaces[point] = {huge * MB, huge * MB, huge * MB};
    }
    QCOMPARE(table(drives).last(), (QStringList{"TOTAL", "", "4500000000", "0", "4500000000"}));
}

// A server or FUSE daemon that does not answer holds the table for the time limit only and is left out
// (an optical drive keeps its row); the others are listed.
void TestDriveUsage::hungRemoteMountIsLeftOut() {
    FakeDrives drives;
    drives.drives = {{"/", "/dev/sda1", "ext4", DriveType::Fixed},
                     {"/mnt/dead", "dead:/x", "nfs4", DriveType::Remote},
                     {"/mnt/alive", "alive:/x", "nfs4", DriveType::Remote},
                     {"/mnt/fuse", "daemon", "fuse.encfs", DriveType::Unknown},
                     {"/media/dvd", "/dev/sr0", "iso9660", DriveType::Optical}};
    drives.spaces["/"] = space(1, 2, 1);
    drives.spaces["/mnt/alive"] = space(5, 10, 5);
    drives.hung = {"/mnt/dead", "/mnt/fuse", "/media/dvd"};
    QStringList letters;
    for (const QStringList& row : table(drives, std::chrono::milliseconds(300)))
        letters.append(row[1]);
    QCOMPARE(letters, (QStringList{"/", "/media/dvd", "/mnt/alive", ""}));
    for (const char* hung : {"/mnt/dead", "/mnt/fuse", "/media/dvd"})
        QTRY_VERIFY(drives.wasAsked(hung));
    drives.release();
}

QTEST_GUILESS_MAIN(TestDriveUsage)
#include "tst_driveusage.moc"
