#pragma once
#include <QString>

namespace clipvane {

// The browser window's tool buttons, in their order on the tool bar.
enum class BrowserButton {
    CheckAll,       // cyCheckAll
    UncheckAll,     // cyUncheckAll
    Delete,         // cyDelete
    ValidateURL,    // cyValidateURL
    SaveAs,         // cyAdvSpeedButton1
    Open,           // cyAdvSpeedButton2
    PageCapture,    // cyPageCapture
    AllPageCapture, // cyAllPageCapture
    Home,           // cyAdvSpeedButton3
    Stop,           // cyStop
    Refresh,        // cyRefresh
    NavBack,        // cyNavBack
    NavForward,     // cyNavForward
    Navigate,       // cyNavigate
};
inline constexpr int kBrowserButtonCount = 14;

// What the browser window's logic reads and sets on the window's controls.
class BrowserControls {
public:
    virtual ~BrowserControls() = default;
    virtual QString addressText() const = 0;                   // Edit1
    virtual void setAddressText(const QString& text) = 0;      // Edit1
    virtual void setNavigationStatus(const QString& text) = 0; // SBNav
    virtual void setButtonEnabled(BrowserButton button, bool on) = 0;
    virtual void setUrlCount(const QString& text) = 0;    // SBMain panel 1
    virtual void setStatusPanel(const QString& text) = 0; // SBMain panel 2
    virtual void refreshScrollExtent() = 0;               // HorScrollBar
    // The tool bar and the list panel, disabled while a validation runs.
    virtual void setCommandsEnabled(bool on) = 0;
};

} // namespace clipvane
