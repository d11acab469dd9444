#pragma once
#include "Doubles.h"
#include "TempAppFolder.h"
#include "app/Application.h"

#include <memory>
#include <optional>

namespace clipvane {
class GlobalShortcuts;
class MainWindow;
class Options;
struct CapturedList;
class WebViewFactory;
} // namespace clipvane

namespace clipvane::test {

// The whole application on doubles, in a temporary folder. Configure the doubles and the folder,
// then start(); everything the windows ask goes to the doubles.
class AppFixture {
public:
    AppFixture();
    ~AppFixture();

    Services services(); // the doubles and the folder, as the windows receive them
    void start();        // creates the windows in order (their creation steps run)
    void startShown();   // and shows the main window
    MainWindow& main() const;
    // Unticks "Validate Clipboard URL" (ticked by default): offline, every copy is then accepted.
    void acceptOffline() const;
    ClipvaneApp& app() const { return *m_app; }
    Options& options() const;
    CapturedList& captured() const;

    // Runs the application on another clipboard (the real one, in the X11 tests).
    void useClipboard(Clipboard* other) { m_clipboard = other; }
    // Runs the application on another HTTP client (the real one, against the local test server).
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
    std::unique_ptr<ClipvaneApp> m_app;
    Clipboard* m_clipboard = nullptr;
    HttpClient* m_http = nullptr;
};

} // namespace clipvane::test
