#pragma once
#include "capture/CapturePipeline.h"
#include "core/CheckListModel.h"
#include "core/OsError.h"
#include "lists/MainControls.h"
#include "platform/Services.h"
#include "prefs/Preferences.h"
#include "ui/Main/OptionsPage.h"

#include <QDeadlineTimer>
#include <QList>
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QLabel;

namespace clipvane {

class AddressWatch;
class CheckEngine;
class CheckListModel;
class MainListSession;
class Options;
class SaveValidator;
class UrlChecker;
struct CapturedList;

// What the preference writer needs from other windows, answered by the composition root.
struct OptionsSources {
    std::function<BrowserChoiceOptions()> browserChoice;
    std::function<Placement()> browserPlacement;
};

// The main window: a view over the options and the captured list, with the list's commands, the options
// page, status bar, hint panel and tray menu. The list's start-up load, double click and exits are the
// list session's; the captures come from the composition root's pipeline and are only shown here.
class MainWindow : public QMainWindow, public CaptureHost, private MainControls {
    Q_OBJECT
public:
    MainWindow(Services services, Options& options, CapturedList& list, UrlChecker& checker,
               CheckEngine& engine);
    ~MainWindow() override;

    void setOptionsSources(OptionsSources sources) { m_optionsSources = std::move(sources); }
    // The creation steps, run by the composition root right after construction.
    void FormCreate();
    // Shows the window at process start, minimised when "Start the software minimised" asks for it.
    void showAtStart();

    Options& options() { return m_options; }
    CheckListModel& list();
    MainListSession& listSession() { return *m_listSession; }
    AddressWatch& addressWatch() { return *m_addressWatch; }
    SaveValidator& saveValidator() { return *m_saveValidator; }
    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString& text);
    QString memoText() const { return m_memoText; }
    // Until the first showing, a theme picked is not applied and the double-click hints wait.
    bool firstShowPending() const { return m_firstShowPending; }
    // The validate button's hint, which the browser windows' validate buttons share.
    QString validateHint() const;
    // The tray menu's items that have shortcuts, in their menu order (Restore first).
    QList<QAction*> trayActions() const;
    // The tray menu's "Exit", the way out of a session that ends.
    void exitFromTray();
    // The tray menu's "Restore Clipvane".
    void restoreFromTray();
    // The list commands wait while a batch validation runs.
    void setToolBarEnabled(bool enabled);
    // Notes about this desktop, said once each in the status line, one after the other.
    void showStartNotes(const QStringList& notes);
    // A save made on the way out reports in the status line and on the terminal, never in a box.
    void reportOnExit(const QString& text);
    void minimiseApplication() override;

    // Handlers
    void CBMonClipboardClick();
    void CheckListBoxURLClickCheck();
    void CheckListBoxURLClick();
    void CheckListBoxURLDblClick();
    void cyAdvSpeedButton2Click();
    void cyAdvSpeedButton3Click();
    void cyDeleteCheckedClick();
    void cyNewListClick();
    void cyNavigateURLClick();
    void cySaveListClick();
    void cySaveListAsClick();
    void cyLoadListClick();
    void cyReloadListClick();
    void AcceptFiles(const QStringList& paths);
    // The validation before a save; false when it cancelled the save.
    bool SaveURL();
    void cyAdvSpeedButton1Click();
    void Exit1Click();
    void ExitToTrayClick();
    void TrayIcon1DblClick();
    void ApplicationEvents1Minimize();
    void Timer1Timer();
    void Timer2Timer();
    void RaiseLastError(const OsError& error) override;

    // Options page and preferences
    void LoadINIFile();
    void cySaveOptionsClick();
    void cyReloadOptionsClick();
    void CBBThemeChange();
    void Button1Click();
    void RGURLListClick();
    void CBDeleteInvalidURLClick();

    // CaptureHost
    void setMemoText(const QString& text) override;
    void showCaptureBalloon(const QString& candidate) override;
    void setListStatus(const QString& status) override;

signals:
    void showWindowRequested(clipvane::PeerWindow window);
    // Navigate: the selected URL is opened the way the browser choice says (LaunchUrl).
    void launchUrlRequested(const QString& url);
    void saveHistoryRequested();
    // The preference file was written (or failed to be): whether it exists now.
    void optionsFileWritten(bool exists);
    // The double-click mode the lists follow (0 launch, 1 show).
    void doubleClickModeChanged(int mode);
    // cyValidateCheckedURLClick: the batch validation of the ticked URLs runs in the composition root.
    void validateCheckedRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Ui;

    // MainControls
    bool validateBeforeSave() override;
    void setReloadEnabled(bool enabled) override;
    void refreshListCommands() override;
    void launchUrl(const QString& url) override;
    bool trayAvailable() const override;
    void closeWindow() override;
    void saveOptionsOnExit() override;
    void saveHistoryOnExit() override;

    void buildUi();
    QWidget* buildCaptureTab();
    void buildStatusBar();
    void buildTrayMenu();
    void connectHandlers();
    void connectListView();
    void connectToolBar();
    void connectOptions();
    void connectAddressWatch();

    // The creation steps, in their order.
    void showFormHint();
    void presetListDialogs();
    void applyStoredTheme();
    void startAddressWatch();
    void joinClipboard();
    void acceptDrops();
    void showNoValidUrlYet();
    void showValidateHint();

    void refreshNavigate();
    void readMainOptions(bool withPlacement);
    SaveReport writeOptionsFile();
    void showDoubleClickHints(int mode);
    void showMonitorStatus(bool on);

    Services m_services;
    Options& m_options;
    CapturedList& m_list;
    std::unique_ptr<Ui> m_ui;
    OptionsPage* m_optionsPage = nullptr;
    OptionsSources m_optionsSources;
    std::unique_ptr<MainListSession> m_listSession;
    std::unique_ptr<SaveValidator> m_saveValidator;
    AddressWatch* m_addressWatch = nullptr;
    QList<QLabel*> m_panels;
    QString m_memoText;
    QDeadlineTimer m_notesEnd; // when the notes said so far have all been seen
    bool m_firstShowPending = true;
    bool m_startMinimised = false;
};

} // namespace clipvane
