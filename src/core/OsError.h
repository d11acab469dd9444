#pragma once
#include <QString>

class QFileDevice;

namespace clipvane {

// The real error of a failed operation: its number and the system's description.
struct OsError {
    int code = 0;
    QString description;

    static OsError fromErrno(int err);
    // A failed QFile/QSaveFile operation: errno when the failure left one, else Qt's own description.
    static OsError fromFile(const QFileDevice& file, int savedErrno);
};

} // namespace clipvane
