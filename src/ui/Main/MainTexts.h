#pragma once
#include <QtGlobal>

// Texts and limits the main window's files share.
namespace clipvane::mainwindow {

constexpr char kValidateHintDelete[] =
    "|Delete all invalid checked URL (no report, see options). Needs Internet connected";
constexpr char kValidateHintReport[] =
    "|Validate all checked URL then show report. Needs Internet connected.";
// Text in the one-line box is cut for display only; the candidate always is the whole first line.
constexpr qsizetype kMemoDisplayLimit = 65536;
// The public address is first asked for this long after start-up, when the window is up.
constexpr int kFirstAddressRequestDelayMs = 500;

} // namespace clipvane::mainwindow
