#include "UrlLauncher.h"

#include "BrowserChoice.h"
#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "platform/Connectivity.h"
#include "platform/Shell.h"

#include <QFileInfo>
#include <QUrl>
#include <cerrno>

namespace clipvane {

namespace {

void warnNotAWebAddress(const QString& text, Dialogs& dialogs) {
    dialogs.message(MessageKind::Warning, QString::fromLatin1(kNotAWebAddress) + text, Buttons::Ok);
}

// Why a path cannot be started, told as the system would.
OsError unstartable(const QString& program) {
    const QFileInfo info(program);
    if (!program.startsWith(QLatin1Char('/')) || !info.exists())
        return OsError::fromErrno(ENOENT);
    if (info.isDir())
        return OsError::fromErrno(EISDIR);
    return OsError::fromErrno(EACCES);
}

} // namespace

bool internetPromptAllows(Connectivity& connectivity, Dialogs& dialogs) {
    if (connectivity.isInternetConnected())
        return true;
    return dialogs.message(MessageKind::Warning, QString::fromLatin1(kInternetPrompt), Buttons::YesNo) ==
           Answer::Yes;
}

bool OpenUrlInDefaultBrowser(const QString& text, Shell& shell, Dialogs& dialogs) {
    const QString url = webAddressOf(text);
    if (url.isEmpty()) {
        warnNotAWebAddress(text, dialogs);
        return false;
    }
    if (!shell.openUrl(QUrl(url, QUrl::TolerantMode))) {
        RaiseLastError(dialogs, {ENOENT, QStringLiteral("No program could open the address.")});
        return false;
    }
    return true;
}

std::optional<OsError> OpenUrlInChosenBrowser(const QString& program, const QString& text, Shell& shell,
                                              Dialogs& dialogs) {
    const QString url = webAddressOf(text);
    if (url.isEmpty()) {
        warnNotAWebAddress(text, dialogs);
        return std::nullopt;
    }
    if (!isStartableProgram(program))
        return unstartable(program);
    return shell.startDetached(program, {url});
}

UrlLauncher::UrlLauncher(Shell& shell, Dialogs& dialogs, Connectivity& connectivity,
                         const BrowserChoice& choice)
    : m_shell(shell), m_dialogs(dialogs), m_connectivity(connectivity), m_choice(choice) {}

void UrlLauncher::LaunchUrl(const QString& url) {
    if (!internetPromptAllows(m_connectivity, m_dialogs))
        return;
    if (!m_choice.RelTest()) {
        OpenUrlInDefaultBrowser(url, m_shell, m_dialogs);
        return;
    }
    const QString browser = m_choice.browserPath();
    const QFileInfo info(browser);
    if (browser.startsWith(QLatin1Char('/')) && info.exists() && !info.isDir()) {
        if (const std::optional<OsError> error = OpenUrlInChosenBrowser(browser, url, m_shell, m_dialogs))
            RaiseLastError(m_dialogs, *error);
        return;
    }
    const QString folder = browser.left(browser.lastIndexOf(QLatin1Char('/')) + 1);
    const bool folderGone = !browser.startsWith(QLatin1Char('/')) || !QFileInfo(folder).isDir();
    const QString question =
        folderGone
            ? folder + QStringLiteral("\r\n") + QString::fromLatin1(kPathGoneQuestion)
            : browser.mid(folder.size()) + QStringLiteral("\r\n") + QString::fromLatin1(kBrowserGoneQuestion);
    if (m_dialogs.message(MessageKind::Information, question, Buttons::YesNo) == Answer::Yes)
        OpenUrlInDefaultBrowser(url, m_shell, m_dialogs);
}

void UrlLauncher::navigateFromHistory(const QString& url) {
    if (!internetPromptAllows(m_connectivity, m_dialogs))
        return;
    if (!m_choice.RelTest()) {
        OpenUrlInDefaultBrowser(url, m_shell, m_dialogs);
        return;
    }
    if (const std::optional<OsError> error =
            OpenUrlInChosenBrowser(m_choice.browserPath(), url, m_shell, m_dialogs))
        RaiseLastError(m_dialogs, *error);
}

void UrlLauncher::openFromReport(const QString& url) {
    if (!internetPromptAllows(m_connectivity, m_dialogs))
        return;
    const QString address = webAddressOf(url);
    if (address.isEmpty()) {
        warnNotAWebAddress(url, m_dialogs);
        return;
    }
    m_shell.openUrl(QUrl(address, QUrl::TolerantMode));
}

void UrlLauncher::testBrowser(const QString& testUrl) {
    if (!internetPromptAllows(m_connectivity, m_dialogs))
        return;
    if (!m_choice.RelTest()) {
        OpenUrlInDefaultBrowser(testUrl, m_shell, m_dialogs);
        return;
    }
    if (OpenUrlInChosenBrowser(m_choice.browserPath(), testUrl, m_shell, m_dialogs))
        m_dialogs.message(MessageKind::Error, QString::fromLatin1(kTestFailedMessage), Buttons::Ok);
}

} // namespace clipvane
