#include "Drives.h"

namespace clipvane {

std::optional<DriveMount> driveOfPath(const QList<DriveMount>& mounts, const QString& absolutePath) {
    std::optional<DriveMount> best;
    for (const DriveMount& m : mounts) {
        if (m.mountPoint.isEmpty())
            continue;
        const QString& point = m.mountPoint;
        const bool holds =
            point == QLatin1String("/") || absolutePath == point ||
            (absolutePath.startsWith(point) && absolutePath.at(point.size()) == QLatin1Char('/'));
        if (absolutePath.startsWith(QLatin1Char('/')) && holds &&
            (!best || point.size() > best->mountPoint.size()))
            best = m;
    }
    return best;
}

} // namespace clipvane
