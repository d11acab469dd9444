#include "ValidationReport.h"

#include "CheckEngine.h"
#include "UrlListRecipient.h"
#include "core/Dialogs.h"
#include "core/SortUnique.h"
#include "core/UrlVerdict.h"

namespace clipvane {

namespace {

QStringList tickedTexts(const CheckListModel& list) {
    QStringList out;
    for (const CheckEntry& e : list.entries())
        if (e.ticked)
            out.append(e.text);
    return out;
}

// Adds the texts and sorts once: the same list as adding them one by one with SortUnique after each,
// since both keep the first of equal entries in list order.
void appendSorted(CheckListModel& list, const QStringList& texts) {
    list.appendTexts(texts);
    SortUnique(list);
}

} // namespace

ValidationReport::ValidationReport(Dialogs& dialogs, CheckEngine& engine)
    : m_dialogs(dialogs), m_engine(engine) {
    connect(&m_valid, &CheckListModel::tickedByUser, this, &ValidationReport::validTicksChanged);
    connect(&m_invalid, &CheckListModel::tickedByUser, this, &ValidationReport::invalidTicksChanged);
    connect(&m_invalid, &CheckListModel::selectionChanged, this, &ValidationReport::invalidSelected);
}

ValidationReport::~ValidationReport() = default;

void ValidationReport::setButtons(const ReportButtons& b) {
    if (b == m_buttons)
        return;
    m_buttons = b;
    emit buttonsChanged();
}

void ValidationReport::setSyncIndex(int index) {
    if (index == m_sync)
        return;
    m_sync = index;
    emit syncIndexChanged(index);
}

void ValidationReport::setRecipient(int index, UrlListRecipient* recipient) {
    if (index == 0 || index == 1)
        m_recipients[index] = recipient;
}

void ValidationReport::setEditText(const QString& text) {
    if (text == m_editText)
        return;
    m_editText = text;
    emit editTextChanged(text);
    // Check again follows the box: a typed address can be checked until the box is emptied.
    ReportButtons b = m_buttons;
    b.checkAgain = !text.isEmpty() && !m_checkAgain;
    setButtons(b);
}

void ValidationReport::clearLists() {
    m_valid.clear();
    m_invalid.clear();
}

void ValidationReport::setResults(const QStringList& valid, const QStringList& invalid,
                                  const QStringList& invalidReasons) {
    m_valid.replaceTexts(valid);
    m_invalid.replaceTexts(invalid, invalidReasons);
    // The new lists have no ticks: buttons that act on ticked items must not stay enabled from the last
    // report (overwriting with the ticked items would empty the recipient).
    validTicksChanged();
    invalidTicksChanged();
}

UrlListRecipient* ValidationReport::recipient() const {
    return (m_sync == 0 || m_sync == 1) ? m_recipients[m_sync] : nullptr;
}

void ValidationReport::message(const char* forCapture, const char* forBrowser) {
    m_dialogs.message(MessageKind::Information, QString::fromLatin1(m_sync == 0 ? forCapture : forBrowser),
                      Buttons::Ok);
}

void ValidationReport::syncOverwriteAll() {
    UrlListRecipient* r = recipient();
    if (!r)
        return;
    CheckListModel& list = r->recipientList();
    list.replaceTexts(m_valid.texts());
    SortUnique(list);
    r->markRecipientChanged();
    message("URL captured list is overwritten with the content of the valid URL list",
            "URL browser list is overwritten with the content of the valid URL list");
}

void ValidationReport::syncOverwriteTicked() {
    UrlListRecipient* r = recipient();
    if (!r)
        return;
    const QStringList ticked = tickedTexts(m_valid);
    // Nothing ticked overwrites nothing: an empty selection must not wipe the recipient.
    if (!ticked.isEmpty()) {
        CheckListModel& list = r->recipientList();
        list.replaceTexts(ticked);
        SortUnique(list);
        r->markRecipientChanged();
    }
    message("URL captured list is overwritten with ticked item of the valid URL list",
            "URL browser list is overwritten with ticked item of the valid URL list");
}

void ValidationReport::syncAppendAll() {
    UrlListRecipient* r = recipient();
    if (!r)
        return;
    if (!m_valid.isEmpty()) {
        appendSorted(r->recipientList(), m_valid.texts());
        r->markRecipientChanged();
    }
    message("Content of the valid URL list appended to the URL list",
            "Content of the valid URL list appended to the URL browser list");
}

void ValidationReport::syncAppendTicked() {
    UrlListRecipient* r = recipient();
    if (!r)
        return;
    const QStringList ticked = tickedTexts(m_valid);
    if (!ticked.isEmpty()) {
        appendSorted(r->recipientList(), ticked);
        r->markRecipientChanged();
    }
    message("Ticked item of the valid URL list appended to the URL list",
            "Ticked item of the valid URL list appended to the URL browser list");
}

void ValidationReport::checkAgain() {
    if (m_editText.isEmpty() || m_checkAgain)
        return;
    const QString text = m_editText;
    m_checkAgain = m_engine.start({text});
    ReportButtons b = m_buttons;
    b.checkAgain = false; // one check at a time; the window stays usable meanwhile
    setButtons(b);
    connect(m_checkAgain.get(), &CheckRun::checked, this,
            [this, text](int, bool accepted) { finishCheckAgain(text, accepted); });
}

void ValidationReport::finishCheckAgain(const QString& text, bool accepted) {
    m_checkAgain.release()->deleteLater();
    if (accepted) {
        // What CheckUrl leaves in LastCheckedUrl for an accepted text: its normalised form.
        m_valid.append(NormaliseUrl(text));
        SortUnique(m_valid);
    } else {
        m_dialogs.message(MessageKind::Warning, text + QStringLiteral(" is invalid."), Buttons::Ok);
    }
    ReportButtons b = m_buttons;
    b.checkAgain = !m_editText.isEmpty();
    b.appendAll = b.appendChecked = m_valid.selected() >= 0;
    setButtons(b);
    emit scrollRangesWanted();
    scrollRangesSized();
    emit checkedAgain(accepted);
}

void ValidationReport::returnInvalid() {
    QStringList back;
    for (int row = m_invalid.count() - 1; row >= 0; --row)
        if (m_invalid.isTicked(row))
            back.append(m_invalid.textAt(row));
    if (!back.isEmpty())
        appendSorted(m_valid, back);
}

void ValidationReport::deleteTickedValid() {
    m_valid.deleteTicked();
    ReportButtons b = m_buttons;
    b.deleteValid = false;
    setButtons(b);
}

void ValidationReport::deleteTickedInvalid() {
    m_invalid.deleteTicked();
    ReportButtons b = m_buttons;
    b.deleteInvalid = false;
    setButtons(b);
}

void ValidationReport::tickAllValid(bool ticked) {
    m_valid.setAllTicked(ticked);
    validTicksChanged();
}

void ValidationReport::tickAllInvalid(bool ticked) {
    m_invalid.setAllTicked(ticked);
    ReportButtons b = m_buttons;
    if (ticked) {
        if (m_invalid.tickedCount() > 0)
            b.deleteInvalid = b.returnInvalid = true;
        else
            b.deleteInvalid = false;
    } else {
        b.deleteInvalid = b.returnInvalid = false;
    }
    setButtons(b);
}

void ValidationReport::validTicksChanged() {
    ReportButtons b = m_buttons;
    b.syncChecked = b.appendChecked = b.deleteValid = m_valid.tickedCount() > 0;
    setButtons(b);
}

void ValidationReport::invalidTicksChanged() {
    ReportButtons b = m_buttons;
    if (m_invalid.selected() >= 0 && !m_checkAgain && !m_editText.isEmpty())
        b.checkAgain = true;
    b.deleteInvalid = b.returnInvalid = m_invalid.tickedCount() > 0;
    setButtons(b);
}

void ValidationReport::invalidSelected(int row) {
    if (row < 0 || row >= m_invalid.count())
        return;
    setEditText(m_invalid.textAt(row));
    ReportButtons b = m_buttons;
    b.checkAgain = !m_checkAgain && !m_editText.isEmpty();
    setButtons(b);
}

void ValidationReport::scrollRangesSized() {
    ReportButtons b = m_buttons;
    b.appendAll = !m_valid.isEmpty();
    setButtons(b);
}

} // namespace clipvane
