#pragma once
#include <QString>

namespace clipvane {

// The process-wide state every window reads and writes. Touched on the GUI thread only.
// There is no clipboard viewer chain on this platform, so no NextClipboardViewer.
struct SessionState {
    bool CaptureSuppressed = false;
    bool ListModified = false;
    QString LastValidUrl;
    QString LastCheckedUrl;
    bool ClipboardValidationOn = false;
    QString CurrentListPath;
    QString HtmlTitle;
    bool SaveCancelled = false;
    bool OptionsSavedOnExit = false;
    bool FirstShowPending = false;
    bool LoadHistoryAtStartup = false;
    bool ExitToTraySetting = false;
    int StoredDoubleClickMode = 0;
    int StoredThemeIndex = 0;
};

} // namespace clipvane
