#pragma once
#include <QString>
#include <functional>

namespace clipvane {

class BrowserControls;
class Shell;
class WebView;

inline constexpr char kNavigatingTo[] = "Navigating to: ";
inline constexpr char kNavigationErrorTo[] = "Error while navigating to: ";
inline constexpr char kNavigationInterrupted[] = "Navigation interrupted: ";

// What the address bar's text asks the engine for: an address as it stands (a scheme, or a host with a
// dot, a port or a path: "http://" goes in front when there is no scheme; blanks in an address with
// "scheme://" or in the path after a host are percent-encoded), otherwise a search for the words on the
// search engine. Empty text asks for nothing.
QString navigableAddress(const QString& text, const QString& searchHost);

// True for a mail link: its first seven characters read "mailto:" in any letter case.
bool isMailLink(const QString& url);

// Navigation of one browser window: the address bar, the navigation status, the buttons that follow the
// engine's state, and the navigation commands.
class BrowserNavigation {
public:
    using Yield = std::function<void()>;
    BrowserNavigation(BrowserControls& controls, Shell& shell, QString searchHost, Yield yield);

    // The view arrives when the window is first shown; commands before that do nothing.
    void setView(WebView* view) { m_view = view; }
    WebView* view() const { return m_view; }

    // The creation state: Stop, the capture buttons, Refresh, Back and Forward disabled.
    void showFresh();

    void cyNavigateClick();
    void home(const QString& homePage); // cyAdvSpeedButton3Click
    void cyNavBackClick();
    void cyNavForwardClick();
    void cyRefreshClick();
    void cyStopClick();

    void beforeNavigate(const QString& url);
    void navigateComplete(const QString& url);
    void navigateError(const QString& url);
    void commandStateChange(int command, bool enable);

private:
    BrowserControls& m_controls;
    Shell& m_shell;
    QString m_searchHost;
    Yield m_yield;
    WebView* m_view = nullptr;
};

} // namespace clipvane
