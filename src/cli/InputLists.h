#pragma once
#include "core/FileIO.h"
#include "core/TextCodec.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace clipvane::cli {

struct InputAddresses {
    bool ok = false;
    QString error; // names the input that could not be read
    QStringList addresses;
    // The encoding of the last list file read: a list written from them keeps it, as the GUI's list does.
    TextEncoding encoding = TextEncoding::Ansi;
};

// The addresses of a list's lines: a plain list gives its lines (blank ones left out); a page of ours
// gives its entries; any other HTML page gives the web addresses it links to. Entities are decoded.
QStringList addressesFromLines(const QStringList& lines);

// Whether an argument that names no existing file still reads as a file name (a path, or a list or page
// name): it is then a file that cannot be read, not an address.
bool looksLikeFileName(const QString& argument);

// Reads every input in order: "-" is standard input (read once), an existing path a list file, anything
// else an address. Stops at the first input that cannot be read.
InputAddresses collectAddresses(const QStringList& inputs,
                                const std::function<FileBytes()>& readStandardInput);

} // namespace clipvane::cli
