#include "DriveUsage.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace clipvane {

namespace {

constexpr quint64 kMegabyte = 1048576;

// A space query running on its own thread. A query that never returns keeps only this alive.
struct PendingSpace {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<DriveSpace> result;
};

std::shared_ptr<PendingSpace> startSpaceQuery(Drives& drives, const QString& mountPoint) {
    auto pending = std::make_shared<PendingSpace>();
    std::thread([pending, &drives, mountPoint] {
        std::optional<DriveSpace> result = drives.space(mountPoint);
        const std::lock_guard lock(pending->mutex);
        pending->result = result;
        pending->finished = true;
        pending->done.notify_all();
    }).detach();
    return pending;
}

std::optional<DriveSpace> waitForSpace(PendingSpace& pending,
                                       std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(pending.mutex);
    if (!pending.done.wait_until(lock, deadline, [&] { return pending.finished; }))
        return std::nullopt;
    return pending.result;
}

} // namespace

QString driveTypeText(DriveType type) {
    switch (type) {
    case DriveType::Fixed:
        return QStringLiteral("Fixed");
    case DriveType::Removable:
        return QStringLiteral("Removable");
    case DriveType::Optical:
        return QStringLiteral("Optical");
    case DriveType::Remote:
        return QStringLiteral("Remote");
    case DriveType::Unknown:
        return QStringLiteral("Unknown");
    case DriveType::NoRoot:
        return QStringLiteral("No Root");
    case DriveType::RamDisk:
        return QStringLiteral("RAM disk");
    }
    return {};
}

const QList<DriveType>& driveGroupOrder() {
    static const QList<DriveType> order = {DriveType::Fixed,  DriveType::Removable, DriveType::Optical,
                                           DriveType::Remote, DriveType::Unknown,   DriveType::NoRoot,
                                           DriveType::RamDisk};
    return order;
}

DriveFigures driveFigures(const DriveSpace& space) {
    DriveFigures f;
    f.freeMB = space.allFree / kMegabyte;
    f.totalMB = space.total / kMegabyte;
    const quint64 usedBytes = space.total > space.allFree ? space.total - space.allFree : 0;
    f.usedMB = space.available > 0 ? usedBytes / kMegabyte : 0;
    return f;
}

QList<QStringList> DriveTable::cells() const {
    QList<QStringList> out;
    out.reserve(rows.size() + 1);
    for (const DriveRow& r : rows)
        out.append({r.type, r.letter, QString::number(r.figures.freeMB), QString::number(r.figures.usedMB),
                    QString::number(r.figures.totalMB)});
    out.append({QStringLiteral("TOTAL"), QString(), QString::number(total.freeMB),
                QString::number(total.usedMB), QString::number(total.totalMB)});
    return out;
}

DriveTable buildDriveTable(Drives& drives, const DriveUsageOptions& options) {
    QList<DriveMount> mounts = drives.mounts();
    std::stable_sort(mounts.begin(), mounts.end(), [](const DriveMount& a, const DriveMount& b) {
        const QString& ka = a.mountPoint.isEmpty() ? a.device : a.mountPoint;
        const QString& kb = b.mountPoint.isEmpty() ? b.device : b.mountPoint;
        return ka < kb;
    });

    // Every mount is asked at once, each on its own thread, and all share one time limit: a hung server
    // (or a hung FUSE daemon of any kind) holds the window that long at most. Local mounts answer at once.
    QList<std::shared_ptr<PendingSpace>> pending(mounts.size());
    const auto deadline = std::chrono::steady_clock::now() + options.timeLimit;
    for (qsizetype i = 0; i < mounts.size(); ++i) {
        if (!mounts[i].mountPoint.isEmpty())
            pending[i] = startSpaceQuery(drives, mounts[i].mountPoint);
    }

    DriveTable table;
    for (const DriveType type : driveGroupOrder()) {
        for (qsizetype i = 0; i < mounts.size(); ++i) {
            const DriveMount& m = mounts[i];
            if (m.type != type)
                continue;
            if (type == DriveType::Remote && options.yield)
                options.yield();
            const std::optional<DriveSpace> space =
                pending[i] ? waitForSpace(*pending[i], deadline) : std::nullopt;
            if (!space && type != DriveType::Optical)
                continue;
            const DriveFigures f = space ? driveFigures(*space) : DriveFigures{};
            table.rows.append({driveTypeText(type), m.mountPoint.isEmpty() ? m.device : m.mountPoint, f});
            table.total.freeMB += f.freeMB;
            table.total.usedMB += f.usedMB;
            table.total.totalMB += f.totalMB;
        }
    }
    return table;
}

} // namespace clipvane
