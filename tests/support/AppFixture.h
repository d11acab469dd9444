#pragma once
#include "TestServices.h"
#include "app/Application.h"

#include <memory>

namespace clipvane {
class MainWindow;
class Options;
struct CapturedList;
} // namespace clipvane

namespace clipvane::test {

// The whole application on doubles, in a temporary folder. Configure the doubles and the folder,
// then start(); everything the windows ask goes to the doubles.
class AppFixture : public TestServices {
public:
    AppFixture();
    ~AppFixture();

    void start();      // creates the windows in order (their creation steps run)
    void startShown(); // and shows the main window
    MainWindow& main() const;
    // Unticks "Validate Clipboard URL" (ticked by default): offline, every copy is then accepted.
    void acceptOffline() const;
    ClipvaneApp& app() const { return *m_app; }
    Options& options() const;
    CapturedList& captured() const;

private:
    std::unique_ptr<ClipvaneApp> m_app;
};

} // namespace clipvane::test
