#pragma once
#include "core/OsError.h"
#include "core/UrlVerdict.h"

#include <QString>

#include <optional>

namespace clipvane {

class BrowserChoice;
class Connectivity;
class Dialogs;
class Shell;

inline constexpr char kNotAWebAddress[] =
    "Only web addresses (starting with http:// or https://) are opened. This entry was not opened:\n";
inline constexpr char kInternetPrompt[] = "Internet is not connected. Proceed anyway?";
inline constexpr char kPathGoneQuestion[] =
    "This path does not exist anymore. Do you want to launch the URL with your default system browser?";
inline constexpr char kBrowserGoneQuestion[] =
    "This browser does not exist anymore. Do you want to launch the URL with your default system browser?";
inline constexpr char kTestFailedMessage[] =
    "Oops. Something is going wrong here.There is a serious problem with this PC executing the selected "
    "file.\r\n"
    "Please check the input path of your new browser. You might also have a security software blocking\r\n"
    "the process in the background with a selected infected browser. You might have no enough privilege \r\n"
    "to run your chosen browser.";

// Without a connection, asks whether to go on anyway; answers whether the launch goes on.
bool internetPromptAllows(Connectivity& connectivity, Dialogs& dialogs);

// Opens a URL with the desktop's default handler. Only a web address is ever handed over: the text is
// normalised as the URL check does, and anything not starting with http:// or https:// is refused with
// a warning. Answers whether the address was handed over.
bool OpenUrlInDefaultBrowser(const QString& text, Shell& shell, Dialogs& dialogs);

// Starts the chosen program with the web address as its one argument (normalised as the URL check does,
// so it never begins with "-"). Text that is no web address is refused with a warning and starts nothing.
// Answers the error when the program could not be started: a path that is no executable file is never
// handed to the system.
std::optional<OsError> OpenUrlInChosenBrowser(const QString& program, const QString& text, Shell& shell,
                                              Dialogs& dialogs);

// Every launch of the program, with the steps of its caller.
class UrlLauncher {
public:
    UrlLauncher(Shell& shell, Dialogs& dialogs, Connectivity& connectivity, const BrowserChoice& choice);

    // The main window's Navigate (and its list's double-click in launch mode): the chosen browser when it
    // is still there, else the questions that offer the system default.
    void LaunchUrl(const QString& url);
    // The Capture History's Navigate URL: the chosen browser without the questions.
    void navigateFromHistory(const QString& url);
    // The validation report's double-click: always the system default; a failed launch is not reported.
    void openFromReport(const QString& url);
    // The browser choice window's test button, with its test URL.
    void testBrowser(const QString& testUrl);

private:
    Shell& m_shell;
    Dialogs& m_dialogs;
    Connectivity& m_connectivity;
    const BrowserChoice& m_choice;
};

} // namespace clipvane
