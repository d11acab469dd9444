#pragma once
#include "core/CheckListModel.h"

#include <QObject>
#include <QString>
#include <memory>

namespace clipvane {

class CheckEngine;
class CheckRun;
class Dialogs;
class UrlListRecipient;

// Which tool buttons of the report window are enabled.
struct ReportButtons {
    bool syncChecked = false;   // cySyncCheckedURLList
    bool appendChecked = false; // cySyncURLListAppendChecked
    bool appendAll = true;      // cySyncURLListAppend
    bool deleteValid = false;   // cyDeleteValidChecked
    bool deleteInvalid = false; // cyDeleteInvalidChecked
    bool returnInvalid = false; // cyReturnInvalid
    bool checkAgain = false;    // cyEditURL
    bool operator==(const ReportButtons&) const = default;
};

// The validation report: its two result lists, the recipient of its sync commands, the commands and
// the rules that enable its buttons. The window shows this state and forwards its controls here.
class ValidationReport : public QObject {
    Q_OBJECT
public:
    ValidationReport(Dialogs& dialogs, CheckEngine& engine);
    ~ValidationReport() override;

    CheckListModel& valid() { return m_valid; }     // CLBValid
    CheckListModel& invalid() { return m_invalid; } // CLBInvalid
    const ReportButtons& buttons() const { return m_buttons; }
    int syncIndex() const { return m_sync; } // RGSync: 0 "URL Capture", 1 "Browser list", -1 none
    void setSyncIndex(int index);
    // The list each recipient item writes into; none (nullptr) makes the sync commands do nothing.
    void setRecipient(int index, UrlListRecipient* recipient);
    QString editText() const { return m_editText; } // EditURL
    void setEditText(const QString& text);

    // Filled by the batch validation.
    void clearLists();
    // invalidReasons[i], when given, says why invalid[i] failed: that entry's hint.
    void setResults(const QStringList& valid, const QStringList& invalid,
                    const QStringList& invalidReasons = {});

    // The sync commands (cySyncURLListClick, cySyncCheckedURLListClick, cySyncURLListAppendClick,
    // cySyncURLListAppendCheckedClick).
    void syncOverwriteAll();
    void syncOverwriteTicked();
    void syncAppendAll();
    void syncAppendTicked();

    // cyEditURLClick: checks EditURL on the check engine; the result arrives later (checkedAgain).
    void checkAgain();
    void returnInvalid();       // cyReturnInvalidClick
    void deleteTickedValid();   // cyDeleteValidCheckedClick
    void deleteTickedInvalid(); // cyDeleteInvalidCheckedClick
    void tickAllValid(bool ticked);
    void tickAllInvalid(bool ticked);
    void validTicksChanged();      // CLBValidClickCheck
    void invalidTicksChanged();    // CLBInvalidClickCheck
    void invalidSelected(int row); // CLBInvalidClick
    // After the scroll ranges are sized (HorScrollBar): append all is enabled exactly when CLBValid has
    // items.
    void scrollRangesSized();

signals:
    void buttonsChanged();
    void editTextChanged(const QString& text);
    void syncIndexChanged(int index);
    void scrollRangesWanted(); // size the scroll ranges now (after a check again)
    void checkedAgain(bool accepted);

private:
    void setButtons(const ReportButtons& b);
    UrlListRecipient* recipient() const;
    void message(const char* forCapture, const char* forBrowser);
    void finishCheckAgain(const QString& text, bool accepted);

    Dialogs& m_dialogs;
    CheckEngine& m_engine;
    CheckListModel m_valid;
    CheckListModel m_invalid;
    ReportButtons m_buttons;
    int m_sync = 0;
    UrlListRecipient* m_recipients[2] = {nullptr, nullptr};
    QString m_editText;
    std::unique_ptr<CheckRun> m_checkAgain;
};

} // namespace clipvane
