#pragma once
#include <QObject>
#include <QString>

namespace clipvane {

// The two save-time validations of the "On line" group; at most one is on.
enum class SaveValidationOption { None, AllEntries, TickedEntries };

// The options in force for this session. Every reader asks here; the options page and the tray menu show
// them and change them. A setter signals only a real change.
class Options : public QObject {
    Q_OBJECT
public:
    explicit Options(QObject* parent = nullptr) : QObject(parent) {}

    bool monitorClipboard() const { return m_monitorClipboard; }
    // 0 launches a double-clicked URL, 1 shows it; -1 when neither is chosen.
    int doubleClickMode() const { return m_doubleClickMode; }
    SaveValidationOption saveValidation() const { return m_saveValidation; }
    bool validateUrlWhenSaving() const { return m_saveValidation == SaveValidationOption::AllEntries; }
    bool validateCheckedWhenSaving() const { return m_saveValidation == SaveValidationOption::TickedEntries; }
    bool deleteInvalidUrl() const { return m_deleteInvalidUrl; }
    // Offline, a checked text is rejected while this is on, accepted while it is off.
    bool validateClipboardUrl() const { return m_validateClipboardUrl; }
    bool showCaptureBalloon() const { return m_showCaptureBalloon; }
    bool saveOptionsOnExit() const { return m_saveOptionsOnExit; }
    int themeIndex() const { return m_themeIndex; }
    bool loadDefaultList() const { return m_loadDefaultList; }
    QString homePage() const { return m_homePage; }
    bool saveHistoryOnExit() const { return m_saveHistoryOnExit; }
    bool loadHistoryAtStartup() const { return m_loadHistoryAtStartup; }
    bool systemTray() const { return m_systemTray; }
    bool startMinimised() const { return m_startMinimised; }
    // Whether the exits go to the tray now (the tray menu's tick).
    bool exitToTray() const { return m_exitToTray; }
    // The exit-to-tray choice the user made, which is stored: the tray menu's "Exit" and the reset clear the
    // tick for this session only.
    bool exitToTrayChoice() const { return m_exitToTrayChoice; }

    void setMonitorClipboard(bool on);
    // Above the range means the last mode; below it, none.
    void setDoubleClickMode(int mode);
    void setSaveValidation(SaveValidationOption option);
    // The two check boxes of the save-time validations: ticking one unticks the other.
    void setValidateUrlWhenSaving(bool on);
    void setValidateCheckedWhenSaving(bool on);
    void setDeleteInvalidUrl(bool on);
    void setValidateClipboardUrl(bool on);
    void setShowCaptureBalloon(bool on);
    void setSaveOptionsOnExit(bool on);
    void setThemeIndex(int index);
    void setLoadDefaultList(bool on);
    void setHomePage(const QString& page);
    void setSaveHistoryOnExit(bool on);
    void setLoadHistoryAtStartup(bool on);
    void setSystemTray(bool on);
    void setStartMinimised(bool on);
    void setExitToTray(bool on);
    void setExitToTrayChoice(bool on);

signals:
    void monitorClipboardChanged(bool on);
    void doubleClickModeChanged(int mode);
    void saveValidationChanged(clipvane::SaveValidationOption option);
    void deleteInvalidUrlChanged(bool on);
    void validateClipboardUrlChanged(bool on);
    void showCaptureBalloonChanged(bool on);
    void saveOptionsOnExitChanged(bool on);
    void themeIndexChanged(int index);
    void loadDefaultListChanged(bool on);
    void homePageChanged(const QString& page);
    void saveHistoryOnExitChanged(bool on);
    void loadHistoryAtStartupChanged(bool on);
    void systemTrayChanged(bool on);
    void startMinimisedChanged(bool on);
    void exitToTrayChanged(bool on);

private:
    bool m_monitorClipboard = true;
    int m_doubleClickMode = 0;
    SaveValidationOption m_saveValidation = SaveValidationOption::None;
    bool m_deleteInvalidUrl = false;
    bool m_validateClipboardUrl = true;
    bool m_showCaptureBalloon = true;
    bool m_saveOptionsOnExit = false;
    int m_themeIndex = 0;
    bool m_loadDefaultList = true;
    QString m_homePage;
    bool m_saveHistoryOnExit = false;
    bool m_loadHistoryAtStartup = false;
    bool m_systemTray = false;
    bool m_startMinimised = false;
    bool m_exitToTray = false;
    bool m_exitToTrayChoice = false;
};

} // namespace clipvane
