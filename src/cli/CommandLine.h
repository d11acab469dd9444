#pragma once
#include "platform/HttpClient.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace clipvane::cli {

enum class OutputFormat { Plain, Csv, Json };
enum class ShownVerdicts { All, ValidOnly, InvalidOnly };

inline constexpr int kMaxPerHost = 6;
inline constexpr int kMaxConcurrency = 1024;

struct CheckOptions {
    QStringList inputs; // files, addresses and "-" (standard input), in the order given
    OutputFormat format = OutputFormat::Plain;
    ShownVerdicts shown = ShownVerdicts::All;
    HttpBatchLimits limits; // the engine's unless given
    std::optional<std::chrono::milliseconds> timeout;
    QString validListPath; // -o: where the valid addresses go as a list file; empty for none
};

struct ParsedCommandLine {
    enum class Action { Gui, Help, Version, Check, UsageError };
    Action action = Action::Gui;
    CheckOptions check;
    QString error; // for UsageError
};

// What the arguments (the program first) ask for. Only an argument that is one of the command line's
// options leaves the window: anything else stays the GUI's, as before.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

QString helpText();
QString versionText();

} // namespace clipvane::cli
