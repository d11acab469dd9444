#pragma once
#include "BrowserList.h"
#include "BrowserNavigation.h"
#include "LinkCapture.h"
#include "core/CheckListModel.h"
#include "platform/WebView.h"

#include <functional>

namespace clipvane {

class BrowserHistoryWriter;
class BrowserSession;
class Shell;

// What every browser window shares: the services, the main window's options as they stand when read,
// and the composition root's answer to a page that asks for a new window.
struct BrowserEnvironment {
    Dialogs* dialogs = nullptr;
    Shell* shell = nullptr;
    BrowserHistoryWriter* history = nullptr;
    QString searchHost;
    std::function<void()> yield;
    BrowserListOptions listOptions;
    std::function<QString()> homePage;                  // the options page's home page field
    std::function<WebView*(BrowserSession&)> newWindow; // a browser window's view for this one, or null
    std::function<QString()> validateHint;              // the hint of the main window's validate button
    std::function<void(BrowserSession&)> validate;      // the batch validation of this window's ticked items
};

// The logic of one browser window: its list, its navigation and its link captures, wired to its view.
class BrowserSession final : public WebViewEvents {
public:
    BrowserSession(BrowserControls& controls, const BrowserEnvironment& environment);
    ~BrowserSession() override;

    // Takes the view once the window has made it; the session hears its events from then on.
    void attach(WebView* view);
    WebView* view() const { return m_navigation.view(); }

    CheckListModel& list() { return m_list; }
    BrowserControls& controls() { return m_controls; }
    BrowserNavigation& navigation() { return m_navigation; }
    BrowserList& commands() { return m_commands; }
    LinkCapture& capture() { return m_capture; }

    // The creation state of the buttons and the count.
    void showFresh();

    void cyPageCaptureClick();
    void cyAllPageCaptureClick();
    void cyAdvSpeedButton3Click(); // home
    void cyValidateURLClick();
    // A list item followed by double-click: into the address bar, then the Navigate command.
    void navigateTo(const QString& text);

    // WebViewEvents
    void beforeNavigate(const QString& url) override;
    void navigateComplete(const QString& url) override;
    void navigateError(const QString& url) override;
    void commandStateChange(int command, bool enable) override;
    WebView* newWindow() override;
    void harvestFrame(int harvest, const FramePath& path, const HarvestedFrame& content) override;
    void harvestFailed(int harvest, const QString& error) override;

private:
    BrowserControls& m_controls;
    const BrowserEnvironment& m_env;
    CheckListModel m_list;
    BrowserNavigation m_navigation;
    LinkCapture m_capture;
    BrowserList m_commands;
};

} // namespace clipvane
