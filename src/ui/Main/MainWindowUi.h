#pragma once
#include "MainWindow.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;

namespace clipvane {

class CheckListView;
class ValidationPanel;

// The main window's controls; each keeps its objectName (the names in comments where they differ).
struct MainWindow::Ui {
    QTabWidget* pages = nullptr;                // PageControl1
    QWidget* captureTab = nullptr;              // TabSheet1
    QWidget* listToolBar = nullptr;             // Panel1
    ValidationPanel* validationPanel = nullptr; // PanelValidate
    QPlainTextEdit* captureText = nullptr;      // Memo1
    CheckListView* urlList = nullptr;           // CheckListBoxURL
    QLabel* hintPanel = nullptr;                // HintPanel
    QStatusBar* statusBar = nullptr;            // SBMain

    QToolButton* newListButton = nullptr;        // cyNewList
    QToolButton* saveListButton = nullptr;       // cySaveList
    QToolButton* saveListAsButton = nullptr;     // cySaveListAs
    QToolButton* reloadListButton = nullptr;     // cyReloadList
    QToolButton* openListButton = nullptr;       // cyLoadList
    QToolButton* tickAllButton = nullptr;        // cyAdvSpeedButton2
    QToolButton* untickAllButton = nullptr;      // cyAdvSpeedButton3
    QToolButton* deleteTickedButton = nullptr;   // cyDeleteChecked
    QToolButton* navigateButton = nullptr;       // cyNavigateURL
    QToolButton* validateTickedButton = nullptr; // cyValidateCheckedURL
    QToolButton* browserButton = nullptr;        // cyAdvSpeedButton6
    QToolButton* aboutButton = nullptr;          // cyAdvSpeedButton8
    QToolButton* exitButton = nullptr;           // cyAdvSpeedButton1

    QMenu* trayMenu = nullptr;                  // PopupMenu1
    QAction* restoreAction = nullptr;           // RestoreClipvane1
    QMenu* clipboardMenu = nullptr;             // Clipboard1
    QAction* monitorClipboardAction = nullptr;  // MonClipboard
    QAction* validateClipboardAction = nullptr; // ValidateClipboardURL
    QAction* showCaptureAction = nullptr;       // Showcapture
    QMenu* showMenu = nullptr;                  // ShowCaptureHistory1
    QAction* historyAction = nullptr;           // Capturehistory1
    QAction* driveInfoAction = nullptr;         // Alldriveinformation1
    QMenu* optionsMenu = nullptr;               // Options1
    QAction* startMinimisedAction = nullptr;    // StartMinimised
    QAction* exitToTrayAction = nullptr;        // ExitToTray
    QAction* exitAction = nullptr;              // Exit1

    QTimer* addressRefreshTimer = nullptr;  // Timer1
    QTimer* connectionWatchTimer = nullptr; // Timer2
};

} // namespace clipvane
