#pragma once
#include "capture/CapturePipeline.h"
#include "core/CheckListModel.h"
#include "core/OsError.h"
#include "core/SessionState.h"
#include "core/TextCodec.h"
#include "lists/ListFiles.h"
#include "lists/SaveValidation.h"
#include "platform/Services.h"
#include "prefs/Preferences.h"
#include "validation/UrlCheck.h"

#include "ui/widgets/ValidationPanel.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;

namespace clipvane {

class BlinkLabel;
class CheckListView;
class CheckEngine;
class AddressWatch;
class HistoryTable;

// The windows the main window's commands show; the composition root shows them.
enum class PeerWindow { Report, About, BrowserChoice, Drives, Browser, History, Update };

// What the preference writer needs from other windows, answered by the composition root.
struct OptionsSources {
    std::function<BrowserChoiceOptions()> browserChoice;
    std::function<Placement()> browserPlacement;
};

// The main window: the captured URL list with its commands, the options page, status bar, hint panel
// and tray menu. It owns the session state and runs the capture.
class TForm1 : public QMainWindow, private CaptureHost, private ListFileWindow {
    Q_OBJECT
public:
    TForm1(Services services, SessionState& session);
    ~TForm1() override;

    void setOptionsSources(OptionsSources sources) { m_optionsSources = std::move(sources); }
    // The Capture History table that captures record into; set by the composition root before FormCreate.
    void setHistoryTable(HistoryTable* history) { m_history = history; }
    // The capture and the validation before saving run their checks on the shared check engine.
    void setCheckEngine(CheckEngine* engine);
    // The creation steps, run by the composition root right after construction.
    void FormCreate();
    // Shows the window at process start, minimised when "Start the software minimised" asks for it.
    void showAtStart();

    SessionState& session() { return m_session; }
    CheckListModel& list() { return *m_list; }
    // Made with the check engine, which its checks run on.
    CapturePipeline* capture() { return m_capture.get(); }
    AddressWatch& addressWatch() { return *m_addressWatch; }
    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString& text);
    QString memoText() const { return m_memoText; }

    void RaiseLastError(const OsError& error) override;
    MainListFiles& listFiles() { return *m_listFiles; }
    SaveValidator& saveValidator() { return *m_saveValidator; }
    SaveValidationOption saveValidationOption() const;

    // Handlers
    void WMDrawClipboard();
    void CBMonClipboardClick();
    void MonClipboardClick();
    void ShowcaptureClick();
    void CBValidateClipboardURLClick();
    void ValidateClipboardURLClick();
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
    void SaveURL();
    void cyAdvSpeedButton1Click();
    void Exit1Click();
    void StartMinimisedClick();
    void ExitToTrayClick();
    void TrayIcon1DblClick();
    void ApplicationEvents1Minimize();
    void minimiseApplication();
    void Timer1Timer();
    void Timer2Timer();

    // Options page and preferences
    void LoadINIFile();
    void cySaveOptionsClick();
    // A save made on the way out: it reports in the status line and on the terminal, never in a box, so
    // that no exit waits for a person.
    void saveOptionsOnExit();
    void reportOnExit(const QString& text);
    void cyReloadOptionsClick();
    void cyResetOptionsClick();
    void cyAdvSpeedButton4Click();
    void Button1Click();
    void RGURLListClick();
    void CBBThemeChange();
    void CBOValidateURLClick();
    void CBOValidateCheckedClick();
    void CBDeleteInvalidURLClick();

    // Controls (named as their objectName)
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheetOptions;
    QWidget* Panel1;
    ValidationPanel* PanelValidate;
    QLabel* ImageValidate;
    QLabel* LabelValidating;
    BlinkLabel* LabelPleaseWait;
    QLabel* LabelURLInValidation;
    QLabel* LabelURLLeftToValidate;
    QLabel* LabelURLCount;
    QProgressBar* PBValid;
    QPlainTextEdit* Memo1;
    CheckListView* CheckListBoxURL;
    QLabel* HintPanel;
    QStatusBar* SBMain;

    QToolButton* cyNewList;
    QToolButton* cySaveList;
    QToolButton* cySaveListAs;
    QToolButton* cyReloadList;
    QToolButton* cyLoadList;
    QToolButton* cyAdvSpeedButton2;
    QToolButton* cyAdvSpeedButton3;
    QToolButton* cyDeleteChecked;
    QToolButton* cyNavigateURL;
    QToolButton* cyValidateCheckedURL;
    QToolButton* cyAdvSpeedButton6;
    QToolButton* cyAdvSpeedButton8;
    QToolButton* cyAdvSpeedButton1;

    QWidget* Panel2;
    QToolButton* cySaveOptions;
    QToolButton* cyReloadOptions;
    QToolButton* cyResetOptions;
    QToolButton* cyAdvSpeedButton5;
    QToolButton* cyShowCaptureHistory;
    QToolButton* cyDownloadUpdate;
    QToolButton* cyAdvSpeedButton4;
    QCheckBox* CBMonClipboard;
    QGroupBox* RGURLList;
    QButtonGroup* RGURLListGroup;
    QCheckBox* CBOValidateURL;
    QCheckBox* CBOValidateChecked;
    QCheckBox* CBDeleteInvalidURL;
    QCheckBox* CBValidateClipboardURL;
    QCheckBox* CBSave;
    QComboBox* CBBTheme;
    QPushButton* Button1;
    QCheckBox* CBLoadDefaultList;
    QCheckBox* CBMinimize;
    QLineEdit* Edit1;
    QCheckBox* CBSaveHistory;
    QCheckBox* CBLoadHistory;

    QMenu* PopupMenu1;
    QAction* RestoreClipvane1;
    QMenu* Clipboard1;
    QAction* MonClipboard;
    QAction* ValidateClipboardURL;
    QAction* Showcapture;
    QMenu* ShowCaptureHistory1;
    QAction* Capturehistory1;
    QAction* Alldriveinformation1;
    QMenu* Options1;
    QAction* StartMinimised;
    QAction* ExitToTray;
    QAction* Exit1;

    QTimer* Timer1;
    QTimer* Timer2;

    int doubleClickMode() const;          // the selected item of RGURLList, -1 when none is
    bool deleteInvalidMode() const;       // CBDeleteInvalidURL: delete invalid ticked URL instead of a report
    void setToolBarEnabled(bool enabled); // Panel1, disabled while a batch validation runs

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
    // CaptureHost
    bool monitorOn() const override;
    bool showCaptureOn() const override;
    void setMemoText(const QString& text) override;
    void showCaptureBalloon(const QString& candidate) override;
    void setListStatus(const QString& status) override;
    void addHistoryEntry(const QString& candidate) override;

    // ListFileWindow
    bool validateBeforeSave() override;
    void setReloadEnabled(bool enabled) override;
    void refreshListCommands() override;

    void buildUi();
    QWidget* buildCaptureTab();
    QWidget* buildOptionsTab();
    void buildStatusBar();
    void buildTrayMenu();
    void connectHandlers();
    void refreshNavigate();
    bool trayOnDesktop() const;
    bool exitGoesToTray() const;
    bool FormCloseQuery();
    // The exit question about an unsaved list (Yes saves it, No goes on); false keeps the session going.
    bool confirmExitWithList();
    // Closes for a command that has dealt with the list already.
    void closeDecided();
    void FormClose();
    void readMainOptions(bool withPlacement);
    SaveReport writeOptionsFile();
    void selectDoubleClickMode(int mode);
    void showDoubleClickHints(int mode);

    Services m_services;
    SessionState& m_session;
    OptionsSources m_optionsSources;
    CheckListModel* m_list;
    UrlChecker m_checker;
    std::unique_ptr<CapturePipeline> m_capture;
    HistoryTable* m_history = nullptr;
    AddressWatch* m_addressWatch = nullptr;
    QList<QLabel*> m_panels;
    QString m_memoText;
    std::unique_ptr<MainListFiles> m_listFiles;
    std::unique_ptr<SaveValidator> m_saveValidator;
    bool m_startMinimised = false;
    bool m_closing = false;
    bool m_exitDecided = false;
};

} // namespace clipvane
