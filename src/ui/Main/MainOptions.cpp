#include "Main.h"
#include "MainTexts.h"

#include "ui/widgets/Controls.h"

#include "core/ErrorReport.h"
#include "core/ExternalAddresses.h"
#include "core/ListFile.h"
#include "core/SortUnique.h"
#include "core/Yield.h"
#include "history/HistoryTable.h"
#include "lists/ListCommands.h"
#include "platform/Clipboard.h"
#include "platform/Connectivity.h"
#include "platform/DesktopShortcut.h"
#include "platform/Tray.h"
#include "prefs/Preferences.h"
#include "prefs/UrlLauncher.h"
#include "sysinfo/AddressWatch.h"
#include "ui/widgets/BlinkLabel.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/Placement.h"
#include "ui/widgets/Themes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace clipvane {

using namespace mainwindow;

// ---- Options page and preferences

namespace {

constexpr char kListHintLaunch[] =
    "|Captured URL list. Double click an item to navigate to this URL with the default browser";
constexpr char kListHintShow[] =
    "|Captured URL list. Double click an item to display the URL in full via message dialog";

} // namespace

void TForm1::LoadINIFile() {
    readMainOptions(true);
}

void TForm1::readMainOptions(bool withPlacement) {
    // 1: a missing file reads as empty and is not created
    const IniFile ini(m_services.platform.paths.iniPath());
    const MainWindowOptions o = readMainWindowOptions(ini, m_services.addresses.searchHost);
    // Check boxes run their handlers as they change: the status bar, the menu twins, the validate button's
    // hint and the exclusion of the two save-time validations follow.
    // 2
    CBMonClipboard->setChecked(o.monitorClipboard);
    MonClipboard->setChecked(CBMonClipboard->isChecked());
    // 3
    m_session.StoredDoubleClickMode = o.doubleClickMode;
    // 4
    CBOValidateURL->setChecked(o.validateUrlWhenSaving);
    CBOValidateChecked->setChecked(o.validateCheckedWhenSaving);
    CBDeleteInvalidURL->setChecked(o.deleteInvalidUrl);
    CBValidateClipboardURL->setChecked(o.validateClipboardUrl);
    ValidateClipboardURL->setChecked(CBValidateClipboardURL->isChecked());
    // 5
    Showcapture->setChecked(o.showCaptureBalloon);
    // 6
    CBSave->setChecked(o.saveOptionsOnExit);
    // 7
    m_session.StoredThemeIndex = o.themeIndex;
    // 8
    CBLoadDefaultList->setChecked(o.loadDefaultList);
    // 9
    if (withPlacement)
        applyStoredPlacement(*this, readPlacement(ini, ini::Placement));
    // 10
    Edit1->setText(o.homePage);
    // 11
    CBSaveHistory->setChecked(o.saveHistoryOnExit);
    CBLoadHistory->setChecked(o.loadHistoryAtStartup);
    // 12
    CBMinimize->setChecked(o.systemTray);
    // 13
    StartMinimised->setChecked(o.startMinimised);
    ExitToTray->setChecked(o.exitToTray);
    m_session.ExitToTraySetting = ExitToTray->isChecked();
    // 14
    cyReloadOptions->setEnabled(QFileInfo::exists(ini.path()));
}

void TForm1::cySaveOptionsClick() {
    const SaveReport report = writeOptionsFile();
    m_services.dialogs->message(report.outcome == SaveOutcome::Saved ? MessageKind::Information
                                                                     : MessageKind::Error,
                                saveReportMessage(report), Buttons::Ok);
}

void TForm1::saveOptionsOnExit() {
    reportOnExit(saveReportMessage(writeOptionsFile()));
}

SaveReport TForm1::writeOptionsFile() {
    const QString path = m_services.platform.paths.iniPath();
    IniFile ini(path);
    PreferenceSnapshot s;
    MainWindowOptions& m = s.main;
    m.monitorClipboard = CBMonClipboard->isChecked();
    m.doubleClickMode = RGURLListGroup->checkedId();
    m.validateUrlWhenSaving = CBOValidateURL->isChecked();
    m.validateCheckedWhenSaving = CBOValidateChecked->isChecked();
    m.deleteInvalidUrl = CBDeleteInvalidURL->isChecked();
    m.validateClipboardUrl = CBValidateClipboardURL->isChecked();
    m.saveOptionsOnExit = CBSave->isChecked();
    m.themeIndex = CBBTheme->currentIndex();
    m.loadDefaultList = CBLoadDefaultList->isChecked();
    s.mainPlacement = currentPlacement(*this);
    m.systemTray = CBMinimize->isChecked();
    m.showCaptureBalloon = Showcapture->isChecked();
    m.startMinimised = StartMinimised->isChecked();
    // The remembered choice, not the tick: the tray menu's Exit unticks it to let the window close.
    m.exitToTray = m_session.ExitToTraySetting;
    m.homePage = Edit1->text();
    m.saveHistoryOnExit = CBSaveHistory->isChecked();
    m.loadHistoryAtStartup = CBLoadHistory->isChecked();
    if (m_optionsSources.browserPlacement)
        s.browserWindowPlacement = m_optionsSources.browserPlacement();
    if (m_optionsSources.browserChoice)
        s.browserChoice = m_optionsSources.browserChoice();

    const SaveReport report = writePreferences(ini, s);
    const bool exists = QFileInfo::exists(path);
    cyReloadOptions->setEnabled(exists);
    emit optionsFileWritten(exists);
    return report;
}

void TForm1::cyReloadOptionsClick() {
    // Re-reads the options as start-up does, except the window's placement: the window stays where it is.
    // The double-click mode and the theme take effect at once, with their handlers, as a user's choice would.
    readMainOptions(false);
    selectDoubleClickMode(m_session.StoredDoubleClickMode);
    const int theme = m_session.StoredThemeIndex;
    CBBTheme->setCurrentIndex(theme >= 0 && theme < CBBTheme->count() ? theme : -1);
    CBBThemeChange();
}

void TForm1::cyResetOptionsClick() {
    // 1
    CBMonClipboard->setChecked(true);
    // 2
    selectDoubleClickMode(0);
    // 3
    CBOValidateURL->setChecked(false);
    CBOValidateChecked->setChecked(false);
    CBDeleteInvalidURL->setChecked(false);
    CBValidateClipboardURL->setChecked(true);
    CBSave->setChecked(false);
    // 4
    CBBTheme->setCurrentIndex(0);
    CBBThemeChange();
    // 5
    CBLoadDefaultList->setChecked(true);
    // 6
    Edit1->setText(QStringLiteral("http://") + m_services.addresses.searchHost);
    // 7
    CBSaveHistory->setChecked(false);
    CBLoadHistory->setChecked(false);
    CBMinimize->setChecked(false);
    StartMinimised->setChecked(false);
    ExitToTray->setChecked(false);
}

void TForm1::cyAdvSpeedButton4Click() {
    DesktopShortcut* shortcut = m_services.platform.desktopShortcut;
    if (!shortcut)
        return;
    const AppPaths& paths = m_services.platform.paths;
    ShortcutRequest request;
    request.name = paths.executableBaseName();
    request.description = QStringLiteral("Description ...");
    request.target = paths.executablePath();
    request.workingDirectory = paths.executableFolder() + u'/';
    // A shortcut already there, or one that cannot be written, says nothing; a desktop without a desktop
    // folder is said, or the button would seem broken.
    switch (shortcut->create(request)) {
    case DesktopShortcut::Result::Created:
        m_services.dialogs->message(MessageKind::Information, QStringLiteral("Link has been created ..."),
                                    Buttons::Ok);
        break;
    case DesktopShortcut::Result::NoDesktopFolder: {
        const QString folder = shortcut->desktopFolder();
        m_services.dialogs->message(
            MessageKind::Warning,
            folder.isEmpty()
                ? QStringLiteral("No shortcut was created: this desktop has no desktop folder.")
                : QStringLiteral("No shortcut was created: the desktop folder %1 does not exist.")
                      .arg(folder),
            Buttons::Ok);
        break;
    }
    case DesktopShortcut::Result::AlreadyThere:
    case DesktopShortcut::Result::Failed:
        break;
    }
}

void TForm1::Button1Click() {
    applyTheme(m_session.StoredThemeIndex);
}

void TForm1::CBBThemeChange() {
    if (m_session.FirstShowPending)
        return;
    applyTheme(CBBTheme->currentIndex());
    update();
}

void TForm1::selectDoubleClickMode(int mode) {
    // Above the range means the last mode; below it, none.
    if (mode < 0) {
        if (QAbstractButton* b = RGURLListGroup->checkedButton()) {
            RGURLListGroup->setExclusive(false);
            b->setChecked(false);
            RGURLListGroup->setExclusive(true);
        }
        return;
    }
    RGURLListGroup->button(qMin(mode, RGURLListGroup->buttons().size() - 1))->setChecked(true);
}

void TForm1::RGURLListClick() {
    if (m_session.FirstShowPending)
        return;
    showDoubleClickHints(RGURLListGroup->checkedId());
}

void TForm1::showDoubleClickHints(int mode) {
    if (mode != 0 && mode != 1)
        return;
    setHint(CheckListBoxURL, QString::fromLatin1(mode == 0 ? kListHintLaunch : kListHintShow));
    // The report's valid list follows; the browser list's hint names both actions and stays.
    emit doubleClickModeChanged(mode);
}

void TForm1::CBOValidateURLClick() {
    if (CBOValidateURL->isChecked())
        CBOValidateChecked->setChecked(false);
}

void TForm1::CBOValidateCheckedClick() {
    if (CBOValidateChecked->isChecked())
        CBOValidateURL->setChecked(false);
}

void TForm1::CBDeleteInvalidURLClick() {
    setHint(cyValidateCheckedURL,
            QString::fromLatin1(CBDeleteInvalidURL->isChecked() ? kValidateHintDelete : kValidateHintReport));
}

} // namespace clipvane
