#pragma once
#include "app/TextCodec.h"
#include "platform/OsError.h"

#include <QStringList>
#include <functional>

namespace clipvane {

struct ListFileContent {
    bool ok = false;
    OsError error; // when !ok
    QStringList lines;
    TextEncoding encoding = TextEncoding::Ansi;
};

// Lines split at CR LF, lone CR and lone LF; a break at the very end adds no empty line.
QStringList splitLines(const QString& text);

// The same split, handing each line to a callback as it is found.
void forEachLine(QStringView text, const std::function<void(QStringView)>& line);

// Reads a whole list file, one entry per line, detecting its encoding. The same lines as
// splitLines(decodeText(bytes)), without holding the bytes and the decoded text at once.
ListFileContent ReadListFile(const QString& path);

struct FileBytes {
    bool ok = false;
    OsError error; // when !ok
    QByteArray bytes;
};

// A whole file's bytes, or the real error of opening or reading it.
FileBytes readFileBytes(const QString& path);

// The same, reading through a buffer of the given size (tests use small ones to cut lines and characters).
ListFileContent readListFileInChunks(const QString& path, qsizetype chunkSize);

} // namespace clipvane

namespace clipvane {

struct ListWriteResult {
    bool ok = false;
    OsError error;
};

struct CheckEntry;

// Each line followed by CR LF, in the given encoding with its mark: the bytes of encodeText() on the
// joined lines. Written whole to a temporary file and renamed over the target: a failed write leaves the
// previous file as it was.
ListWriteResult WriteListFile(const QString& path, const QStringList& lines, TextEncoding encoding);
// The texts of a check list's entries, without copying them out first.
ListWriteResult WriteListFile(const QString& path, const QVector<CheckEntry>& entries, TextEncoding encoding);

// Writes bytes atomically; shared by every file the system writes.
ListWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);
// The same, with the bytes handed out in chunks until an empty one.
ListWriteResult writeFileAtomically(const QString& path, const std::function<QByteArrayView()>& nextChunk);

} // namespace clipvane
