#pragma once
#include "platform/Drives.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

namespace clipvane {

// The text of a drive type in the drive table ("Fixed", "RAM disk"...).
QString driveTypeText(DriveType type);
// The order of the table's groups: fixed, removable, optical, remote, unknown, no root, RAM disk.
const QList<DriveType>& driveGroupOrder();

// One drive's space in whole megabytes (1048576 bytes, remainder dropped).
struct DriveFigures {
    quint64 freeMB = 0;  // every free byte, not only those the user may write
    quint64 usedMB = 0;  // size minus every free byte; 0 when the user may write nothing more
    quint64 totalMB = 0; // size
};
DriveFigures driveFigures(const DriveSpace& space);

struct DriveRow {
    QString type;   // "Fixed"...
    QString letter; // the mount point; the device of an optical drive without a medium
    DriveFigures figures;
};

struct DriveTable {
    QList<DriveRow> rows;
    DriveFigures total; // sums over the rows, in 64 bits
    // The cells of the rows and of the TOTAL row, below the header.
    QList<QStringList> cells() const;
};

// The second column holds a mount point where drives have no letters.
inline const QStringList kDriveTableHeader = {QStringLiteral("Drive type"),
#ifdef Q_OS_WIN
                                              QStringLiteral("Drive letter"),
#else
                                              QStringLiteral("Mount point"),
#endif
                                              QStringLiteral("Free space in MB"),
                                              QStringLiteral("Used space in MB"),
                                              QStringLiteral("Total space in MB")};

struct DriveUsageOptions {
    // How long the mounts may take to answer, all together; one that does not answer is left out (an
    // optical drive gets its row of zeros).
    std::chrono::milliseconds timeLimit{2000};
    // Runs before each remote drive (lets pending messages run).
    std::function<void()> yield;
};

// The drive table: each group in order, its drives by mount point. A drive whose space cannot be read is
// left out, except an optical drive, which is listed with zeros (a drive without a medium).
DriveTable buildDriveTable(Drives& drives, const DriveUsageOptions& options);

} // namespace clipvane
