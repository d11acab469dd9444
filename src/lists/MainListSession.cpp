#include "MainListSession.h"

#include "MainControls.h"
#include "core/CapturedList.h"
#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "core/Options.h"

#include <QFileInfo>

namespace clipvane {

MainListSession::MainListSession(CapturedList& list, Options& options, Dialogs& dialogs,
                                 MainControls& controls, QString defaultListPath)
    : m_list(list), m_options(options), m_dialogs(dialogs), m_controls(controls),
      m_currentListPath(std::move(defaultListPath)),
      m_files(std::make_unique<MainListFiles>(list.model, dialogs, controls, list.modified, m_htmlTitle,
                                              m_currentListPath)) {}

MainListSession::~MainListSession() = default;

void MainListSession::loadAtStartup() {
    if (!m_options.loadDefaultList())
        return;
    if (QFileInfo::exists(m_currentListPath)) {
        const ListFileContent content = m_files->replaceFromFile(m_currentListPath);
        if (content.ok) {
            m_controls.setListStatus(QStringLiteral("Open"));
        } else {
            RaiseLastError(m_dialogs, content.error);
            m_controls.setListStatus(QStringLiteral("Error"));
        }
        return;
    }
    m_controls.setReloadEnabled(false);
    m_controls.setListStatus(QStringLiteral("New"));
    m_list.model.clear();
    m_controls.setMemoText(QString());
}

void MainListSession::doubleClicked() {
    const int row = m_list.model.selected();
    if (row < 0)
        return;
    try {
        const int mode = m_options.doubleClickMode();
        if (mode == 0)
            m_controls.launchUrl(m_list.model.textAt(row));
        else if (mode == 1)
            m_dialogs.message(MessageKind::Plain, m_list.model.textAt(row), Buttons::Ok);
    } catch (...) {
        // A double click that fails simply ends.
    }
}

bool MainListSession::exitGoesToTray() const {
    // Without a tray the exits close: the tray menu, the only way out left, would be out of reach.
    return m_options.exitToTray() && m_options.systemTray() && m_controls.trayAvailable();
}

bool MainListSession::confirmExitWithList() {
    if (!m_list.modified)
        return true;
    const Answer a = m_dialogs.message(
        MessageKind::Information,
        QStringLiteral("The URL list has not been saved yet. Save this list and exit?"), Buttons::YesNoAbort);
    if (a == Answer::Abort || a == Answer::Closed)
        return false;
    if (a == Answer::Yes && !m_files->writeDefaultList()) {
        m_dialogs.message(MessageKind::Error,
                          QStringLiteral("The URL list has not been saved. Exiting software aborted."),
                          Buttons::Ok);
        return false;
    }
    if (m_options.saveOptionsOnExit())
        m_controls.saveOptionsOnExit();
    m_optionsSavedOnExit = true;
    return true;
}

void MainListSession::exitCommand() {
    if (exitGoesToTray()) {
        m_controls.minimiseApplication();
        return;
    }
    if (!confirmExitWithList())
        return;
    closeDecided();
}

void MainListSession::exitFromTray() {
    // The tick goes for this session only, so that the window closes; the stored choice stays.
    m_options.setExitToTrayChoice(m_options.exitToTray());
    m_options.setExitToTray(false);
    closeDecided();
}

void MainListSession::closeDecided() {
    m_exitDecided = true;
    m_controls.closeWindow();
    m_exitDecided = false;
}

bool MainListSession::closeRequested() {
    if (exitGoesToTray()) {
        m_controls.minimiseApplication();
        return false;
    }
    // The close box (or the desktop) asks the exit command's question; the commands asked already.
    if (!m_exitDecided && !confirmExitWithList())
        return false;
    finishSession();
    return true;
}

void MainListSession::finishSession() {
    if (!m_optionsSavedOnExit && m_options.saveOptionsOnExit())
        m_controls.saveOptionsOnExit();
    if (m_options.saveHistoryOnExit())
        m_controls.saveHistoryOnExit();
}

} // namespace clipvane
