#pragma once
#include "core/Options.h"

#include <QString>
#include <functional>

namespace clipvane {

class CheckEngine;
class CheckListModel;
class Connectivity;
class Dialogs;
class UrlChecker;

inline constexpr char kNoConnectionSaveQuestion[] =
    "No Internet connection found. Cannot validate the URL list (Options: Validate URL list when saving). "
    "Validation of URL list can be done later. Do you still want to save this this list?";
inline constexpr char kNothingToValidate[] =
    "No ticked URL to validate and save. (Options: Validate checked URL only).";

// The main window's progress display (PanelValidate and what it holds).
class SaveValidationPanel {
public:
    virtual ~SaveValidationPanel() = default;
    virtual void setPanelVisible(bool visible) = 0;
    virtual void setBlinking(bool on) = 0; // LabelPleaseWait
    virtual void setUrlInValidation(const QString& text) = 0;
    virtual void setLeftToValidate(const QString& text) = 0;
    virtual void setCount(const QString& text) = 0;
    virtual void setCountVisible(bool visible) = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    // The entry under check was rejected and deleted: why (plain text), as the hint of the address shown;
    // empty when the next entry goes under check.
    virtual void setRejectionReason(const QString& reason) { Q_UNUSED(reason) }
};

// The validation step before a save (SaveURL) of both list windows. It lets pending messages run between
// checks, so a capture may append to the list and re-sort it meanwhile: the walk holds the entries it
// started with by identity, checks and deletes only those, and keeps every entry added under it. The
// ticked mode checks the entries that were ticked when the step began (a re-sort clears every tick).
class SaveValidator {
public:
    using Yield = std::function<void()>;
    using EnableOptions = std::function<void(bool enabled)>;

    SaveValidator(Connectivity& connectivity, UrlChecker& checker, Dialogs& dialogs, Yield yield,
                  EnableOptions enableOptionsTab);

    // The main window's step; true when the save goes on, false when it is cancelled (SaveCancelled).
    bool validateMainList(CheckListModel& list, SaveValidationOption option, SaveValidationPanel& panel);
    // The browser window's step, which shows its progress in its status panel 2 (BrowserSaveCancelled).
    bool validateBrowserList(CheckListModel& list, SaveValidationOption option,
                             const std::function<void(const QString&)>& setStatusPanel2);

    bool isRunning() const { return m_running > 0; }
    class Display;
    // With an engine, the checks of a step run concurrently from its start; the walk then takes each
    // entry's verdict in its turn, so labels, deletions and results stay those of one check after another.
    void setEngine(CheckEngine* engine) { m_engine = engine; }

private:
    // The walk of both steps: each entry held at the start, from the last to the first.
    bool walk(CheckListModel& list, SaveValidationOption option, Display& display);
    // The question when an option is ticked and there is no connection; true to save unvalidated.
    bool askWithoutConnection();
    void walkWithoutChecks(int count);
    void disableOptions();
    void enableOptions();
    class Checks;

    Connectivity& m_connectivity;
    UrlChecker& m_checker;
    Dialogs& m_dialogs;
    Yield m_yield;
    EnableOptions m_enableOptionsTab;
    CheckEngine* m_engine = nullptr;
    int m_running = 0; // steps in progress (a save can start inside another one's pending messages)
};

} // namespace clipvane
