#pragma once
#include "core/OsError.h"

#include <QByteArray>
#include <QStringList>
#include <functional>

class QFile;

namespace clipvane {

// Lines split at CR LF, lone CR and lone LF; a break at the very end adds no empty line.
QStringList splitLines(const QString& text);

// The same split, handing each line to a callback as it is found.
void forEachLine(QStringView text, const std::function<void(QStringView)>& line);

struct FileBytes {
    bool ok = false;
    OsError error; // when !ok
    QByteArray bytes;
};

// A whole file's bytes, or the real error of opening or reading it.
FileBytes readFileBytes(const QString& path);

// The rest of an open file, or false with the real error.
bool readRemaining(QFile& file, QByteArray& bytes, OsError& error);

// The outcome of every write of a file.
struct WriteResult {
    bool ok = false;
    OsError error;
};

// Writes bytes atomically (a temporary file renamed over the target): a failed write leaves the previous
// file as it was. Shared by every file the system writes.
WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);
// The same, with the bytes handed out in chunks until an empty one.
WriteResult writeFileAtomically(const QString& path, const std::function<QByteArrayView()>& nextChunk);

} // namespace clipvane
