#pragma once
#include <QAbstractListModel>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace clipvane {

struct CheckEntry {
    QString text;
    quint64 id = 0; // identity for the life of the entry: operations that yield hold entries by it
    bool ticked = false;
};

// A check list: ordered entries of a text and a tick, at most one selected. Entries keep the order
// they were put in; only SortUnique reorders them. The model also remembers how long its leading run
// is known to be sorted without duplicates, so that SortUnique after an append costs a binary search.
class CheckListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit CheckListModel(QObject* parent = nullptr);

    // Reading
    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const QString& textAt(int row) const { return m_entries[row].text; }
    bool isTicked(int row) const { return m_entries[row].ticked; }
    quint64 idAt(int row) const { return m_entries[row].id; }
    int rowOfId(quint64 id) const; // -1 when the entry is gone
    int tickedCount() const { return m_ticked; }
    int selected() const { return m_selected; }
    QStringList texts() const;
    const QVector<CheckEntry>& entries() const { return m_entries; }
    // The entry's hint: a plain text saying more about it (why a check rejected it), shown as its tooltip.
    QString hintAt(int row) const;

    // Editing
    quint64 append(const QString& text);
    void appendTexts(const QStringList& texts);
    // In the given order, unticked, none selected; hints[i], when given, is the hint of entry i.
    void replaceTexts(const QStringList& texts, const QStringList& hints = {});
    void clear();
    void removeRowAt(int row);
    bool removeId(quint64 id);
    int deleteTicked(); // from the last to the first; answers how many went
    void setTicked(int row, bool ticked);
    void setAllTicked(bool ticked);
    void setSelected(int row); // -1 for none

    // Used by SortUnique
    int sortedPrefix() const { return m_sortedPrefix; }
    void takeTail(int fromRow, QVector<CheckEntry>& out);
    void insertEntryAt(int row, CheckEntry entry);
    void replaceSorted(QVector<CheckEntry> entries); // already sorted and unique
    // The same entries in another order, ticks and identities kept (duplicates allowed).
    void reorderEntries(QVector<CheckEntry> entries);

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Texts longer than this are cut for display only; the entry keeps its whole text.
    static constexpr int kDisplayLimit = 4096;

signals:
    void selectionChanged(int row);
    void tickedByUser(int row); // the user ticked or unticked an entry through the view

private:
    quint64 nextId() { return ++m_lastId; }

    QVector<CheckEntry> m_entries;
    QHash<quint64, QString> m_hints; // by entry id; only entries that have one
    quint64 m_lastId = 0;
    int m_ticked = 0;
    int m_selected = -1;
    int m_sortedPrefix = 0;
};

} // namespace clipvane
