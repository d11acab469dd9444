#pragma once
#include "app/TextCodec.h"
#include "platform/OsError.h"

#include <QStringList>

namespace clipvane {

struct ListFileContent {
    bool ok = false;
    OsError error; // when !ok
    QStringList lines;
    TextEncoding encoding = TextEncoding::Ansi;
};

// Lines split at CR LF, lone CR and lone LF; a break at the very end adds no empty line.
QStringList splitLines(const QString& text);

// Reads a whole list file, one entry per line, detecting its encoding.
ListFileContent ReadListFile(const QString& path);

} // namespace clipvane

namespace clipvane {

struct ListWriteResult {
    bool ok = false;
    OsError error;
};

// Each line followed by CR LF, in the given encoding with its mark. Written whole to a temporary file and
// renamed over the target: a failed write leaves the previous file as it was.
ListWriteResult WriteListFile(const QString& path, const QStringList& lines, TextEncoding encoding);

// Writes bytes atomically; shared by every file the system writes.
ListWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace clipvane
