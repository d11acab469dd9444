#include "BrowserList.h"

#include "BrowserControls.h"
#include "core/CheckListModel.h"
#include "core/Collation.h"
#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "core/UrlVerdict.h"

#include <QRegularExpression>
#include <algorithm>
#include <numeric>

namespace clipvane {

void sortKeepingTicks(CheckListModel& list) {
    const ListCollation collator;
    QVector<QCollatorSortKey> keys;
    keys.reserve(list.count());
    for (const CheckEntry& e : list.entries())
        keys.append(collator.sortKey(e.text));
    std::vector<int> order(std::size_t(list.count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    QVector<CheckEntry> sorted;
    sorted.reserve(list.count());
    for (int i : order)
        sorted.append(list.entries()[i]);
    list.reorderEntries(std::move(sorted));
}

BrowserList::BrowserList(CheckListModel& list, BrowserControls& controls, Dialogs& dialogs,
                         BrowserListOptions options, std::function<void(const QString&)> navigate)
    : m_list(list), m_controls(controls), m_dialogs(dialogs), m_options(std::move(options)),
      m_navigate(std::move(navigate)), m_files(list, dialogs, *this, m_unusedModified, m_unusedTitle) {
    m_files.saveDialog = browserSaveListAsDialog(QString());
    m_files.openDialog = browserOpenListDialog(QString());
}

void BrowserList::setListCommands(bool on) {
    m_controls.setButtonEnabled(BrowserButton::Delete, on);
    m_controls.setButtonEnabled(BrowserButton::ValidateURL, on);
}

void BrowserList::refreshCount() {
    m_controls.setUrlCount(QString::number(m_list.count()));
}

void BrowserList::CheckListBoxURLClickCheck() {
    setListCommands(m_list.tickedCount() > 0);
}

void BrowserList::CheckListBoxURLDblClick() {
    const int row = m_list.selected();
    if (row < 0 || row >= m_list.count())
        return;
    const QString text = m_list.textAt(row);
    const bool launch = m_options.launchOnDoubleClick && m_options.launchOnDoubleClick();
    if (!launch) {
        m_dialogs.message(MessageKind::Plain, text, Buttons::Ok);
        return;
    }
    // Script, data, mail and file links are shown in the list like any text but never followed from it:
    // a text with a scheme of its own must be a web address already.
    static const QRegularExpression ownScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?!\\d)"));
    const QString address = webAddressOf(text);
    const bool webScheme = text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                           text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    if (address.isEmpty() || (ownScheme.match(text).hasMatch() && !webScheme)) {
        m_dialogs.message(MessageKind::Warning, QString::fromLatin1(kBrowserNotAWebAddress) + text,
                          Buttons::Ok);
        return;
    }
    if (m_navigate)
        m_navigate(address);
}

void BrowserList::cyCheckAllClick() {
    if (m_list.isEmpty())
        return;
    m_list.setAllTicked(true);
    setListCommands(true);
}

void BrowserList::cyUncheckAllClick() {
    m_list.setAllTicked(false);
    setListCommands(false);
}

void BrowserList::cyDeleteClick() {
    m_list.deleteTicked();
    setListCommands(false);
    refreshCount();
}

void BrowserList::Clearlist1Click() {
    m_list.clear();
    setListCommands(false);
    // The count follows the list: an empty list never shows the count it had.
    refreshCount();
}

void BrowserList::Deleteselected1Click() {
    const int row = m_list.selected();
    if (row >= 0 && row < m_list.count()) {
        m_list.removeRowAt(row);
        CheckListBoxURLClickCheck();
    }
    refreshCount();
}

bool BrowserList::Sortedlist1Click() {
    m_sorted = !m_sorted;
    if (m_sorted)
        entriesChanged();
    return m_sorted;
}

void BrowserList::entriesChanged() {
    if (m_sorted)
        sortKeepingTicks(m_list);
    CheckListBoxURLClickCheck();
}

void BrowserList::cyAdvSpeedButton1Click() {
    m_files.saveAs();
}

void BrowserList::cyAdvSpeedButton2Click() {
    m_files.open();
}

bool BrowserList::validateBeforeSave() {
    if (!m_options.saveValidator)
        return true;
    const SaveValidationOption option =
        m_options.saveValidation ? m_options.saveValidation() : SaveValidationOption::None;
    const bool go = m_options.saveValidator->validateBrowserList(
        m_list, option, [this](const QString& text) { m_controls.setStatusPanel(text); });
    refreshCount();
    return go;
}

void BrowserList::RaiseLastError(const OsError& error) {
    clipvane::RaiseLastError(m_dialogs, error);
}

void BrowserList::refreshListCommands() {
    entriesChanged();
    refreshCount();
}

} // namespace clipvane
