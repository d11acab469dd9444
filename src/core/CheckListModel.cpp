#include "CheckListModel.h"

namespace clipvane {

CheckListModel::CheckListModel(QObject* parent) : QAbstractListModel(parent) {}

int CheckListModel::rowOfId(quint64 id) const {
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].id == id)
            return int(i);
    return -1;
}

QStringList CheckListModel::texts() const {
    QStringList out;
    out.reserve(m_entries.size());
    for (const CheckEntry& e : m_entries)
        out.append(e.text);
    return out;
}

quint64 CheckListModel::append(const QString& text) {
    const int row = count();
    beginInsertRows({}, row, row);
    m_entries.append({text, nextId(), false});
    endInsertRows();
    return m_entries.last().id;
}

void CheckListModel::appendTexts(const QStringList& texts) {
    if (texts.isEmpty())
        return;
    const int row = count();
    beginInsertRows({}, row, row + int(texts.size()) - 1);
    m_entries.reserve(m_entries.size() + texts.size());
    for (const QString& t : texts)
        m_entries.append({t, nextId(), false});
    endInsertRows();
}

void CheckListModel::replaceTexts(const QStringList& texts, const QStringList& hints) {
    beginResetModel();
    m_entries.clear();
    m_hints.clear();
    m_entries.reserve(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        m_entries.append({texts[i], nextId(), false});
        if (i < hints.size() && !hints[i].isEmpty())
            m_hints.insert(m_entries.last().id, hints[i]);
    }
    m_ticked = 0;
    m_sortedPrefix = 0;
    const bool hadSelection = m_selected != -1;
    m_selected = -1;
    endResetModel();
    if (hadSelection)
        emit selectionChanged(-1);
}

void CheckListModel::clear() {
    replaceTexts({});
    m_sortedPrefix = 0;
}

void CheckListModel::removeRowAt(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    if (m_entries[row].ticked)
        --m_ticked;
    m_entries.removeAt(row);
    // Removing from a sorted run leaves it sorted.
    if (row < m_sortedPrefix)
        --m_sortedPrefix;
    endRemoveRows();
    if (m_selected == row)
        setSelected(-1);
    else if (m_selected > row)
        --m_selected; // the same entry stays selected
}

bool CheckListModel::removeId(quint64 id) {
    const int row = rowOfId(id);
    if (row < 0)
        return false;
    removeRowAt(row);
    return true;
}

int CheckListModel::deleteTicked() {
    if (m_ticked == 0)
        return 0;
    int removed = 0;
    for (int row = count() - 1; row >= 0; --row) {
        if (m_entries[row].ticked) {
            removeRowAt(row);
            ++removed;
        }
    }
    return removed;
}

void CheckListModel::setTicked(int row, bool ticked) {
    if (row < 0 || row >= count() || m_entries[row].ticked == ticked)
        return;
    m_entries[row].ticked = ticked;
    m_ticked += ticked ? 1 : -1;
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::CheckStateRole});
}

void CheckListModel::setAllTicked(bool ticked) {
    if (m_entries.isEmpty() || m_ticked == (ticked ? count() : 0))
        return;
    for (CheckEntry& e : m_entries)
        e.ticked = ticked;
    m_ticked = ticked ? count() : 0;
    emit dataChanged(index(0), index(count() - 1), {Qt::CheckStateRole});
}

void CheckListModel::setSelected(int row) {
    if (row < -1 || row >= count())
        row = -1;
    if (row == m_selected)
        return;
    m_selected = row;
    emit selectionChanged(row);
}

void CheckListModel::takeTail(int fromRow, QVector<CheckEntry>& out) {
    const int n = count();
    if (fromRow >= n)
        return;
    beginRemoveRows({}, fromRow, n - 1);
    out.reserve(out.size() + (n - fromRow));
    for (int i = fromRow; i < n; ++i) {
        if (m_entries[i].ticked)
            --m_ticked;
        out.append(std::move(m_entries[i]));
    }
    m_entries.resize(fromRow);
    m_sortedPrefix = std::min(m_sortedPrefix, fromRow);
    endRemoveRows();
    if (m_selected >= fromRow)
        setSelected(-1);
}

void CheckListModel::insertEntryAt(int row, CheckEntry entry) {
    // Only used while the whole list is the sorted run.
    beginInsertRows({}, row, row);
    if (entry.ticked)
        ++m_ticked;
    m_entries.insert(row, std::move(entry));
    if (m_sortedPrefix == count() - 1)
        m_sortedPrefix = count();
    endInsertRows();
    if (m_selected >= row)
        ++m_selected;
}

void CheckListModel::replaceSorted(QVector<CheckEntry> entries) {
    beginResetModel();
    m_entries = std::move(entries);
    m_ticked = 0;
    for (const CheckEntry& e : m_entries)
        m_ticked += e.ticked ? 1 : 0;
    m_sortedPrefix = count();
    const bool hadSelection = m_selected != -1;
    m_selected = -1;
    endResetModel();
    if (hadSelection)
        emit selectionChanged(-1);
}

void CheckListModel::reorderEntries(QVector<CheckEntry> entries) {
    replaceSorted(std::move(entries));
    m_sortedPrefix = 0; // in order, but duplicates may remain
}

QString CheckListModel::hintAt(int row) const {
    if (row < 0 || row >= count() || m_hints.isEmpty())
        return {};
    return m_hints.value(m_entries[row].id);
}

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const CheckEntry& e = m_entries[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        if (e.text.size() > kDisplayLimit)
            return QString(e.text.left(kDisplayLimit) + QChar(0x2026));
        return e.text;
    case Qt::CheckStateRole:
        return e.ticked ? Qt::Checked : Qt::Unchecked;
    case Qt::ToolTipRole: {
        if (m_hints.isEmpty())
            return {};
        const QString hint = m_hints.value(e.id);
        if (hint.isEmpty())
            return {};
        // Rich text marks the escaped hint as text: a tooltip would take markup in it for its own.
        return QString(QStringLiteral("<p style='white-space:pre'>") + hint.toHtmlEscaped() +
                       QStringLiteral("</p>"));
    }
    default:
        return {};
    }
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    setTicked(index.row(), value.toInt() == Qt::Checked);
    emit tickedByUser(index.row());
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

} // namespace clipvane
