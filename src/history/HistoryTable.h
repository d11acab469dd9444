#pragma once
#include <QAbstractTableModel>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <array>
#include <deque>
#include <functional>
#include <vector>

namespace clipvane {

class Connectivity;
class HostResolver;

inline constexpr int kHistoryColumns = 7;

// One Capture History row: date, time, URL, origin, validation mode, domain, IPv4 address.
struct HistoryEntry {
    std::array<QString, kHistoryColumns> cells;

    bool isBlank() const;
    friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

// A row's seven cells in one string with the ends of the cells: one allocation a row instead of seven, so
// that a large table costs little more than its text.
class PackedEntry {
public:
    PackedEntry() = default;
    PackedEntry(const HistoryEntry& entry); // NOLINT: a row is stored packed wherever it is given whole
    // Packs cells given as views (the reader's fields), without a copy of each first.
    static PackedEntry fromCells(const std::array<QStringView, kHistoryColumns>& cells);

    QStringView cell(int column) const {
        const quint32 start = column == 0 ? 0 : m_ends[std::size_t(column - 1)];
        return QStringView(m_text).sliced(start, m_ends[std::size_t(column)] - start);
    }
    void setCell(int column, QStringView text);
    HistoryEntry unpacked() const;
    bool isBlank() const { return m_text.isEmpty(); }
    friend bool operator==(const PackedEntry&, const PackedEntry&) = default;

private:
    QString m_text;
    std::array<quint32, kHistoryColumns> m_ends{};
};

// The locale's long time format, without the time zone that Qt adds to it.
QString longTimeFormat(const QLocale& locale);

// What an entry reads outside the table. The clock and the yield are seams for tests.
struct HistorySources {
    HostResolver* resolver = nullptr;
    Connectivity* connectivity = nullptr;
    std::function<bool()> validateClipboardUrl; // the "Validate Clipboard URL" option at this moment
    std::function<void()> yield;                // let pending messages run once
    std::function<QDateTime()> now;             // the local clock; the system clock when empty
    // Looks a host up off the GUI thread and hands its answer (empty: not resolved) to `done` on the GUI
    // thread. When set, a clipboard row is complete at once, its IP "Unresolved." until the answer comes,
    // so no capture waits for a name server; without it `resolver` answers in place.
    std::function<void(const QString& host, std::function<void(const QString&)> done)> resolveLater;
};

// A row of the page link capture, its host looked up already (empty: the lookup failed).
struct BrowserHistoryRow {
    QString url;
    QString address;
    QDateTime captured; // the moment of the capture, which the row's date and time show
};

// The Capture History table: row 0 is the header row, then the entries, then exactly one blank row,
// which the next entry takes. The model rows are the table rows, the header row included.
// Every row keeps an id for its life, so work that yields finds its row again after rows moved or went.
class HistoryTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit HistoryTable(HistorySources sources, QObject* parent = nullptr);

    static const HistoryEntry& headerTexts();

    // The capture pipeline's entry: origin "Clipboard". Never fails towards the caller.
    void AddHistoryEntry(const QString& url);
    // The page link capture's entry: origin "Browser"; "N/A" where the URL has no domain.
    void AddBrowserHistoryEntry(const QString& url);
    // The same row with the host's IPv4 address already looked up (empty: the lookup failed); no lookup,
    // no yield. The page link capture resolves its hosts off the GUI thread.
    void AddBrowserHistoryEntry(const QString& url, const QString& resolvedAddress);
    // Many such rows at the end in one insertion, each dated by its capture: a grid showing the table
    // lays out its rows once for all of them.
    void addBrowserEntries(const QList<BrowserHistoryRow>& rows);
    // The clock the entries are dated by.
    QDateTime now() const;

    void ResetHistoryTable();         // header row plus one blank row
    bool DeleteHistoryRow(int index); // entry rows only (1 to N-2); false when not one
    void EnsureBlankLastRow();        // adds a blank row when the last row's first cell holds text
    void writeHeaderRow();            // the seven header texts into row 0
    void setRowCount(int count);      // rows gained are blank, rows dropped lose their cells (min. 1)
    bool hasEntries() const { return rowCount() > 2; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QString cell(int row, int column) const; // empty beyond the table
    // The same without a copy; valid until the row changes.
    QStringView cellView(int row, int column) const;
    // What the grid draws of a cell: very long texts are cut (editing and every tool keep the whole text).
    static QString displayText(const QString& cell);
    static constexpr int kDisplayLimit = 4096;
    bool setCell(int row, int column, const QString& text);
    HistoryEntry entry(int row) const;
    quint64 idAt(int row) const;
    int rowOfId(quint64 id, int hint = -1) const; // -1 when the row is gone
    // Every row made from now on gets an id at least this: tells rows that came later from older ones.
    quint64 idWatermark() const { return m_nextId; }

    // Every row as a value, the header row and the last row included: what a save writes.
    QList<HistoryEntry> snapshot() const;
    // The same, packed as the table holds its rows (shares their text).
    QList<PackedEntry> packedSnapshot() const;
    void setEntry(int row, const HistoryEntry& entry);
    // Inserts rows before row `at` (1 to the row count); they get new ids.
    void insertEntries(int at, const QList<HistoryEntry>& entries);
    void insertPackedEntries(int at, const QList<PackedEntry>& entries);
    // Replaces every row by `rows` (the first is the header row); the rows whose ids are in `keep` stay
    // behind them, in their order, with their ids.
    void replaceRows(const QList<HistoryEntry>& rows, const QList<quint64>& keep = {});
    void replacePackedRows(const QList<PackedEntry>& rows, const QList<quint64>& keep = {});
    // Moves an entry row to another entry position (1 to N-1); the header row never moves.
    bool moveEntry(int from, int to);
    // Puts the rows first..first+order.size()-1 in the given order (indexes relative to `first`).
    void reorderRows(int first, const std::vector<int>& order);
    // Removes the given rows (ascending, none of them row 0).
    void removeRowSet(const std::vector<int>& rows);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        quint64 id;
        PackedEntry entry;
    };
    template <typename Entries> void insertRows(int at, const Entries& entries);
    template <typename Entries> void replaceAll(const Entries& rows, const QList<quint64>& keep);
    void addEntry(const QString& url, bool browser, const QString* resolvedAddress = nullptr);
    void lookUpAddressOf(quint64 id, const QString& host);
    void setAddressOf(quint64 id, const QString& address);
    int claimRow();
    void appendBlankRows(int count);
    void invalidateRowIndex() { m_rowIndexValid = false; }

    HistorySources m_sources;
    // A deque: appending never moves the rows already there.
    std::deque<Row> m_rows;
    quint64 m_nextId = 1;
    // id -> row, built when a lookup misses its hint; any change but an append makes it stale.
    mutable QHash<quint64, int> m_rowIndex;
    mutable bool m_rowIndexValid = false;
};

} // namespace clipvane
