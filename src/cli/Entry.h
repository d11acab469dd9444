#pragma once
#include <optional>

namespace clipvane::cli {

// Runs the command line when the arguments ask for it (--help, --version, --check and their options) and
// answers the exit status; answers nothing when they are the window's. Called first thing in main, before
// any application object exists: it needs no display, makes no window and writes no file but -o's.
std::optional<int> runCommandLine(int argc, char* argv[]);

} // namespace clipvane::cli
