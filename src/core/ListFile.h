#pragma once
#include "core/FileIO.h"
#include "core/TextCodec.h"

#include <QStringList>
#include <functional>

namespace clipvane {

struct ListFileContent {
    bool ok = false;
    OsError error; // when !ok
    QStringList lines;
    TextEncoding encoding = TextEncoding::Ansi;
};

// Reads a whole list file, one entry per line, detecting its encoding. The same lines as
// splitLines(decodeText(bytes)), without holding the bytes and the decoded text at once.
ListFileContent ReadListFile(const QString& path);

// The same, reading through a buffer of the given size (tests use small ones to cut lines and characters).
ListFileContent readListFileInChunks(const QString& path, qsizetype chunkSize);

} // namespace clipvane

namespace clipvane {

struct CheckEntry;

// Each line followed by CR LF, in the given encoding with its mark: the bytes of encodeText() on the
// joined lines. Written whole to a temporary file and renamed over the target: a failed write leaves the
// previous file as it was.
WriteResult WriteListFile(const QString& path, const QStringList& lines, TextEncoding encoding);
// The texts of a check list's entries, without copying them out first.
WriteResult WriteListFile(const QString& path, const QVector<CheckEntry>& entries, TextEncoding encoding);

} // namespace clipvane
