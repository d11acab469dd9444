#pragma once
#include "Doubles.h"
#include "TempAppFolder.h"
#include "app/Application.h"

#include <memory>

namespace clipvane {
class TForm1;
}

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
    TForm1& main() const;
    ClipvaneApp& app() const { return *m_app; }
    SessionState& session() const;

    // Runs the application on another clipboard (the real one, in the X11 tests).
    void useClipboard(Clipboard* other) { m_clipboard = other; }

    TempAppFolder folder;
    FakeClipboard clipboard;
    FakeConnectivity connectivity;
    FakeHttpClient http;
    FakeResolver resolver;
    FakeShell shell;
    FakeTray tray;
    ScriptedDialogs dialogs;

private:
    std::unique_ptr<ClipvaneApp> m_app;
    Clipboard* m_clipboard = nullptr;
};

} // namespace clipvane::test
