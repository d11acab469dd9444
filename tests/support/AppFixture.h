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

    TempAppFolder folder;
    FakeClipboard clipboard;
    FakeConnectivity connectivity;
    FakeHttpClient http;
    FakeResolver resolver;
    FakeShell shell;
    FakeTray tray;
    RecordingPrinting printing;
    ScriptedDialogs dialogs;

private:
    std::unique_ptr<ClipvaneApp> m_app;
};

} // namespace clipvane::test
