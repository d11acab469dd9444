#pragma once
#include <QObject>
#include <QString>

namespace clipvane {

class CheckEngine;
class CheckListModel;
class Connectivity;
class Dialogs;
class ValidationReport;

inline constexpr char kCannotValidateOffline[] = "Internet is not connected. Cannot validate checked URL.";

// The window whose ticked URLs a batch validation checks.
class BatchValidationHost {
public:
    virtual ~BatchValidationHost() = default;
    virtual CheckListModel& sourceList() = 0;
    virtual void setToolBarEnabled(bool enabled) = 0; // and, in the browser window, its list panel
    virtual void setProgressText(const QString& text) = 0;
    // Delete mode took an entry out of the list: the main list is marked modified, the browser list shows
    // its new count, as after any other change the report makes to them.
    virtual void markSourceChanged() = 0;
};

// Validation of the ticked URLs of a list (the validate buttons of the main and browser windows). The
// checks run concurrently on the check engine while the window stays responsive; the outcome is that of
// checking one URL after another from the last entry to the first: the report lists hold the texts in
// that order, and delete mode removes exactly the invalid ticked entries. Entries are held by identity
// from the start, so captures that re-sort the list meanwhile, or another run, never redirect a check or
// a deletion. The report lists take a run's results in one step when it ends, so two runs that overlap
// never mix their results.
class BatchValidator : public QObject {
    Q_OBJECT
public:
    BatchValidator(Connectivity& connectivity, Dialogs& dialogs, CheckEngine& engine,
                   ValidationReport& report);
    ~BatchValidator() override;

    // Starts a run on the host's list; false when it did not start (no connection: the Abort message).
    // Delete mode is read once, here.
    bool start(BatchValidationHost& host, bool deleteMode);
    int runsInProgress() const { return m_runs; }

signals:
    void reportWanted(); // a run without delete mode ended: show the report window
    void runFinished();

private:
    class Run;
    Connectivity& m_connectivity;
    Dialogs& m_dialogs;
    CheckEngine& m_engine;
    ValidationReport& m_report;
    int m_runs = 0;
};

} // namespace clipvane
