#include "Options.h"

namespace clipvane {

namespace {

template <typename T, typename Signal>
void change(Options* options, T& field, const T& value, Signal signal) {
    if (field == value)
        return;
    field = value;
    emit(options->*signal)(value);
}

} // namespace

void Options::setMonitorClipboard(bool on) {
    change(this, m_monitorClipboard, on, &Options::monitorClipboardChanged);
}

void Options::setDoubleClickMode(int mode) {
    change(this, m_doubleClickMode, mode < 0 ? -1 : qMin(mode, 1), &Options::doubleClickModeChanged);
}

void Options::setSaveValidation(SaveValidationOption option) {
    change(this, m_saveValidation, option, &Options::saveValidationChanged);
}

void Options::setValidateUrlWhenSaving(bool on) {
    if (on)
        setSaveValidation(SaveValidationOption::AllEntries);
    else if (validateUrlWhenSaving())
        setSaveValidation(SaveValidationOption::None);
}

void Options::setValidateCheckedWhenSaving(bool on) {
    if (on)
        setSaveValidation(SaveValidationOption::TickedEntries);
    else if (validateCheckedWhenSaving())
        setSaveValidation(SaveValidationOption::None);
}

void Options::setDeleteInvalidUrl(bool on) {
    change(this, m_deleteInvalidUrl, on, &Options::deleteInvalidUrlChanged);
}

void Options::setValidateClipboardUrl(bool on) {
    change(this, m_validateClipboardUrl, on, &Options::validateClipboardUrlChanged);
}

void Options::setShowCaptureBalloon(bool on) {
    change(this, m_showCaptureBalloon, on, &Options::showCaptureBalloonChanged);
}

void Options::setSaveOptionsOnExit(bool on) {
    change(this, m_saveOptionsOnExit, on, &Options::saveOptionsOnExitChanged);
}

void Options::setThemeIndex(int index) {
    change(this, m_themeIndex, index, &Options::themeIndexChanged);
}

void Options::setLoadDefaultList(bool on) {
    change(this, m_loadDefaultList, on, &Options::loadDefaultListChanged);
}

void Options::setHomePage(const QString& page) {
    change(this, m_homePage, page, &Options::homePageChanged);
}

void Options::setSaveHistoryOnExit(bool on) {
    change(this, m_saveHistoryOnExit, on, &Options::saveHistoryOnExitChanged);
}

void Options::setLoadHistoryAtStartup(bool on) {
    change(this, m_loadHistoryAtStartup, on, &Options::loadHistoryAtStartupChanged);
}

void Options::setSystemTray(bool on) {
    change(this, m_systemTray, on, &Options::systemTrayChanged);
}

void Options::setStartMinimised(bool on) {
    change(this, m_startMinimised, on, &Options::startMinimisedChanged);
}

void Options::setExitToTray(bool on) {
    change(this, m_exitToTray, on, &Options::exitToTrayChanged);
}

void Options::setExitToTrayChoice(bool on) {
    m_exitToTrayChoice = on;
}

} // namespace clipvane
