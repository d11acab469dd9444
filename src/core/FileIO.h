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

// The largest file a reader takes in.
inline constexpr qint64 kMaxReadSize = qint64(1) << 30;

// Opens a file for reading when it is a regular file of at most maxSize bytes. A folder, a device, a pipe
// or a socket is refused before it is opened (a pipe without a writer would block for good, a device may
// never end), and so is a larger file; the error says why.
bool openForReading(QFile& file, const QString& path, OsError& error, qint64 maxSize = kMaxReadSize);

// A whole file's bytes (opened as above), or the real error of opening or reading it.
FileBytes readFileBytes(const QString& path, qint64 maxSize = kMaxReadSize);

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

// Runs once the temporary file is written, just before it is renamed over the target: lets tests make the
// rename fail. Empty by default.
void setBeforeRenameHook(std::function<void(const QString& path)> hook);

} // namespace clipvane
