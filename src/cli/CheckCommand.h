#pragma once
#include "cli/CommandLine.h"
#include "core/FileIO.h"

#include <functional>

class QIODevice;

namespace clipvane {
class CheckRun;
class Connectivity;
class HttpClient;
} // namespace clipvane

namespace clipvane::cli {

// Exit statuses of --check.
enum ExitStatus { kAllValid = 0, kSomeInvalid = 1, kUsageOrFileError = 2, kNoConnection = 3 };

struct CheckIo {
    QIODevice* out = nullptr; // the results, UTF-8
    QIODevice* err = nullptr; // messages, the summary and the progress line
    bool progress = false;    // a progress line (stderr is a terminal)
    std::function<FileBytes()> readStandardInput;
};

// Why a check gave its verdict, as the engine tells it; empty for a valid address.
QString reasonFor(const CheckRun& run, int index);

// Checks every address of the inputs on the check engine, as the GUI's batch validation does, writes the
// verdicts in input order and answers the exit status. Runs a local event loop until the run is through;
// never touches the GUI's files or state.
int runCheck(const CheckOptions& options, Connectivity& connectivity, HttpClient& http, const CheckIo& io);

} // namespace clipvane::cli
