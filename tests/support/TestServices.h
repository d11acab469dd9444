#pragma once
#include "Doubles.h"
#include "TempAppFolder.h"
#include "core/ExternalAddresses.h"
#include "platform/Services.h"

#include <optional>

namespace clipvane {
class GlobalShortcuts;
class WebViewFactory;
} // namespace clipvane

namespace clipvane::test {

// The doubles of every platform service and of the dialogs, in a temporary folder: what a window, or the
// whole application, is handed in the tests. Configure them before the window is made.
class TestServices {
public:
    Services services(); // the doubles and the folder, as the windows receive them

    // Runs on another clipboard (the real one, in the X11 tests).
    void useClipboard(Clipboard* other) { m_clipboard = other; }
    // Runs on another HTTP client (the real one, against the local test server).
    void useHttp(HttpClient* other) { m_http = other; }

    TempAppFolder folder;
    std::optional<AppPaths> paths; // when set, in place of the folder's
    FakeClipboard clipboard;
    FakeConnectivity connectivity;
    FakeHttpClient http;
    FakeResolver resolver;
    FakeLocalMachine machine;
    FakeShell shell;
    FakeTray tray;
    FakeDesktopShortcut desktopShortcut;
    RecordingPrinting printing;
    FakeDrives drives;
    ScriptedDialogs dialogs;
    WebViewFactory* webViews = nullptr;         // none: the browser window shows that no engine is available
    std::optional<ExternalAddresses> addresses; // when set, in place of the environment's
    GlobalShortcuts* globalShortcuts = nullptr; // none unless a test brings the real ones

private:
    Clipboard* m_clipboard = nullptr;
    HttpClient* m_http = nullptr;
};

} // namespace clipvane::test
