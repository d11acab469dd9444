#include "HistoryTable.h"

#include "HostRules.h"

#include "platform/Connectivity.h"

#include <QLocale>
#include <QPointer>
#include <QSet>
#include <algorithm>
#include <optional>

namespace clipvane {

namespace {

const QString kNotApplicable = QStringLiteral("N/A");

} // namespace

QString longTimeFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    out.reserve(format.size());
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't') {
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
            continue;
        }
        out.append(c);
    }
    return out.trimmed();
}

bool HistoryEntry::isBlank() const {
    return std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.isEmpty(); });
}

PackedEntry::PackedEntry(const HistoryEntry& entry) {
    std::array<QStringView, kHistoryColumns> cells;
    for (int c = 0; c < kHistoryColumns; ++c)
        cells[std::size_t(c)] = entry.cells[std::size_t(c)];
    *this = fromCells(cells);
}

PackedEntry PackedEntry::fromCells(const std::array<QStringView, kHistoryColumns>& cells) {
    PackedEntry packed;
    qsizetype total = 0;
    for (const QStringView c : cells)
        total += c.size();
    if (total == 0)
        return packed;
    packed.m_text.reserve(total);
    for (int c = 0; c < kHistoryColumns; ++c) {
        packed.m_text += cells[std::size_t(c)];
        packed.m_ends[std::size_t(c)] = quint32(packed.m_text.size());
    }
    return packed;
}

void PackedEntry::setCell(int column, QStringView text) {
    HistoryEntry e = unpacked();
    e.cells[std::size_t(column)] = text.toString();
    *this = PackedEntry(e);
}

HistoryEntry PackedEntry::unpacked() const {
    HistoryEntry e;
    for (int c = 0; c < kHistoryColumns; ++c) {
        const QStringView v = cell(c);
        // A row of one cell shares the row's text.
        e.cells[std::size_t(c)] = v.size() == m_text.size() ? m_text : v.toString();
    }
    return e;
}

// ---- Table

HistoryTable::HistoryTable(HistorySources sources, QObject* parent)
    : QAbstractTableModel(parent), m_sources(std::move(sources)) {
    ResetHistoryTable();
}

const HistoryEntry& HistoryTable::headerTexts() {
    static const HistoryEntry header{{QStringLiteral("Date of entry"), QStringLiteral("Time of entry"),
                                      QStringLiteral("URL"), QStringLiteral("Origin"),
                                      QStringLiteral("Validate"), QStringLiteral("Domain"),
                                      QStringLiteral("IP")}};
    return header;
}

QDateTime HistoryTable::now() const {
    return m_sources.now ? m_sources.now() : QDateTime::currentDateTime();
}

void HistoryTable::AddHistoryEntry(const QString& url) {
    addEntry(url, false);
}

void HistoryTable::AddBrowserHistoryEntry(const QString& url) {
    addEntry(url, true);
}

void HistoryTable::AddBrowserHistoryEntry(const QString& url, const QString& resolvedAddress) {
    addEntry(url, true, &resolvedAddress);
}

void HistoryTable::addBrowserEntries(const QList<BrowserHistoryRow>& rows) {
    if (rows.isEmpty())
        return;
    const QLocale locale;
    const QString timeFormat = longTimeFormat(locale);
    const bool validate = m_sources.validateClipboardUrl && m_sources.validateClipboardUrl();
    std::optional<bool> connected; // asked once, and only when a lookup failed
    QDateTime lastWhen;
    QString date;
    QString time;
    std::vector<PackedEntry> packed;
    packed.reserve(std::size_t(rows.size()));
    for (const BrowserHistoryRow& r : rows) {
        // Rows of one capture share their moment: its texts are made once.
        if (r.captured != lastWhen || date.isEmpty()) {
            lastWhen = r.captured;
            date = locale.toString(r.captured.date(), QLocale::ShortFormat);
            time = locale.toString(r.captured.time(), timeFormat);
        }
        HistoryEntry e;
        e.cells[0] = date;
        e.cells[1] = time;
        e.cells[2] = r.url;
        e.cells[3] = QStringLiteral("Browser");
        QString domain = DomainOfHost(ExtractHost(r.url));
        if (domain.isEmpty()) {
            e.cells[4] = e.cells[5] = e.cells[6] = kNotApplicable;
        } else {
            e.cells[4] = validate ? QStringLiteral("Yes") : QStringLiteral("No");
            e.cells[5] = std::move(domain);
            if (!r.address.isEmpty()) {
                e.cells[6] = r.address;
            } else {
                if (!connected)
                    connected = m_sources.connectivity && m_sources.connectivity->isInternetConnected();
                e.cells[6] = *connected ? QStringLiteral("Unresolved.") : QStringLiteral("No Internet");
            }
        }
        packed.emplace_back(e);
    }
    // The first row takes the blank last row, as a single entry would; the rest and a new blank row follow
    // in one insertion.
    const int first = claimRow();
    m_rows[std::size_t(first)].entry = packed.front();
    emit dataChanged(index(first, 0), index(first, kHistoryColumns - 1));
    beginInsertRows({}, first + 1, first + int(packed.size()));
    for (std::size_t i = 1; i <= packed.size(); ++i) {
        if (m_rowIndexValid)
            m_rowIndex.insert(m_nextId, rowCount());
        m_rows.push_back({m_nextId++, i < packed.size() ? std::move(packed[i]) : PackedEntry()});
    }
    endInsertRows();
}

int HistoryTable::claimRow() {
    // The last row is normally the blank row. When it is not (rows dragged, cells typed into it), the entry
    // takes a fresh row rather than writing over what the row holds.
    if (rowCount() < 2 || !m_rows.back().entry.isBlank())
        appendBlankRows(1);
    return rowCount() - 1;
}

void HistoryTable::addEntry(const QString& url, bool browser, const QString* resolvedAddress) {
    const int claimed = claimRow();
    const quint64 id = m_rows[std::size_t(claimed)].id;
    {
        const QLocale locale;
        HistoryEntry e = m_rows[std::size_t(claimed)].entry.unpacked();
        e.cells[0] = locale.toString(now().date(), QLocale::ShortFormat);
        e.cells[1] = locale.toString(now().time(), longTimeFormat(locale));
        e.cells[2] = url;
        e.cells[3] = browser ? QStringLiteral("Browser") : QStringLiteral("Clipboard");
        const bool validate = m_sources.validateClipboardUrl && m_sources.validateClipboardUrl();
        e.cells[4] = validate ? QStringLiteral("Yes") : QStringLiteral("No");
        m_rows[std::size_t(claimed)].entry = e;
    }
    emit dataChanged(index(claimed, 0), index(claimed, 4));
    // The row is claimed before anything else can run: an entry made while this one yields gets the new
    // blank row, never this one.
    appendBlankRows(1);

    if (m_sources.yield && !resolvedAddress)
        m_sources.yield();

    const QString host = ExtractHost(url);
    QString domain = DomainOfHost(host);
    QString address;
    bool notApplicable = false;
    bool lookUpLater = false;
    if (browser && domain.isEmpty()) {
        notApplicable = true;
        domain = kNotApplicable;
        address = kNotApplicable;
    } else {
        if (resolvedAddress)
            address = *resolvedAddress;
        else if (m_sources.resolveLater)
            lookUpLater = true;
        else if (m_sources.resolver)
            address = ResolveHostIPv4(host, *m_sources.resolver);
        if (address.isEmpty()) {
            const bool connected = m_sources.connectivity && m_sources.connectivity->isInternetConnected();
            address = connected ? QStringLiteral("Unresolved.") : QStringLiteral("No Internet");
        }
    }

    // The row may have moved while other work ran; it is gone only when someone removed it on purpose.
    const int row = rowOfId(id, claimed);
    if (row < 0)
        return;
    HistoryEntry e = m_rows[std::size_t(row)].entry.unpacked();
    if (notApplicable)
        e.cells[4] = kNotApplicable;
    e.cells[5] = domain;
    e.cells[6] = address;
    m_rows[std::size_t(row)].entry = e;
    emit dataChanged(index(row, notApplicable ? 4 : 5), index(row, 6));
    // Offline a local name may still resolve: the answer, when there is one, replaces what the row says.
    if (lookUpLater)
        lookUpAddressOf(id, host);
}

void HistoryTable::lookUpAddressOf(quint64 id, const QString& host) {
    // Names that need no server answer at once, as the resolver path does.
    if (const std::optional<QString> address = addressWithoutLookup(host)) {
        setAddressOf(id, *address);
        return;
    }
    const std::optional<QString> name = resolverNameOf(host);
    if (!name)
        return;
    QPointer<HistoryTable> self(this);
    m_sources.resolveLater(*name, [self, id](const QString& answer) {
        if (self && !answer.isEmpty())
            self->setAddressOf(id, answer);
    });
}

void HistoryTable::setAddressOf(quint64 id, const QString& address) {
    const int row = rowOfId(id, rowCount() - 2);
    if (row < 0)
        return;
    HistoryEntry e = m_rows[std::size_t(row)].entry.unpacked();
    // A cell edited meanwhile is the user's.
    if (e.cells[6] != QLatin1String("Unresolved.") && e.cells[6] != QLatin1String("No Internet"))
        return;
    e.cells[6] = address;
    m_rows[std::size_t(row)].entry = e;
    emit dataChanged(index(row, 6), index(row, 6));
}

void HistoryTable::appendBlankRows(int count) {
    if (count <= 0)
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + count - 1);
    for (int i = 0; i < count; ++i) {
        if (m_rowIndexValid)
            m_rowIndex.insert(m_nextId, rowCount());
        m_rows.push_back({m_nextId++, {}});
    }
    endInsertRows();
}

void HistoryTable::ResetHistoryTable() {
    beginResetModel();
    invalidateRowIndex();
    m_rows.clear();
    m_rows.push_back({m_nextId++, headerTexts()});
    m_rows.push_back({m_nextId++, {}});
    endResetModel();
}

bool HistoryTable::DeleteHistoryRow(int index) {
    if (index < 1 || index > rowCount() - 2)
        return false;
    beginRemoveRows({}, index, index);
    invalidateRowIndex();
    m_rows.erase(m_rows.begin() + index);
    endRemoveRows();
    return true;
}

void HistoryTable::EnsureBlankLastRow() {
    if (m_rows.empty() || !m_rows.back().entry.cell(0).isEmpty())
        appendBlankRows(1);
}

void HistoryTable::writeHeaderRow() {
    if (m_rows.empty())
        appendBlankRows(1);
    m_rows.front().entry = headerTexts();
    emit dataChanged(index(0, 0), index(0, kHistoryColumns - 1));
    emit headerDataChanged(Qt::Horizontal, 0, kHistoryColumns - 1);
}

void HistoryTable::setRowCount(int count) {
    count = std::max(count, 1);
    const int current = rowCount();
    if (count > current) {
        appendBlankRows(count - current);
    } else if (count < current) {
        beginRemoveRows({}, count, current - 1);
        invalidateRowIndex();
        m_rows.erase(m_rows.begin() + count, m_rows.end());
        endRemoveRows();
    }
}

int HistoryTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int HistoryTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kHistoryColumns;
}

QString HistoryTable::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kHistoryColumns)
        return {};
    return m_rows[std::size_t(row)].entry.cell(column).toString();
}

QStringView HistoryTable::cellView(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kHistoryColumns)
        return {};
    return m_rows[std::size_t(row)].entry.cell(column);
}

bool HistoryTable::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kHistoryColumns)
        return false;
    m_rows[std::size_t(row)].entry.setCell(column, text);
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at);
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
    return true;
}

HistoryEntry HistoryTable::entry(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    return m_rows[std::size_t(row)].entry.unpacked();
}

quint64 HistoryTable::idAt(int row) const {
    if (row < 0 || row >= rowCount())
        return 0;
    return m_rows[std::size_t(row)].id;
}

int HistoryTable::rowOfId(quint64 id, int hint) const {
    if (hint >= 0 && hint < rowCount() && m_rows[std::size_t(hint)].id == id)
        return hint;
    // Work that yields looks its rows up again and again: after the rows moved, one pass over the table
    // answers every later lookup until they move again.
    auto rebuild = [this] {
        m_rowIndex.clear();
        m_rowIndex.reserve(rowCount());
        for (int row = 0; row < rowCount(); ++row)
            m_rowIndex.insert(m_rows[std::size_t(row)].id, row);
        m_rowIndexValid = true;
    };
    if (!m_rowIndexValid)
        rebuild();
    int row = m_rowIndex.value(id, -1);
    if (row >= rowCount() || (row >= 0 && m_rows[std::size_t(row)].id != id)) {
        rebuild();
        row = m_rowIndex.value(id, -1);
    }
    return row;
}

QList<HistoryEntry> HistoryTable::snapshot() const {
    QList<HistoryEntry> rows;
    rows.reserve(rowCount());
    for (const Row& r : m_rows)
        rows.append(r.entry.unpacked());
    return rows;
}

QList<PackedEntry> HistoryTable::packedSnapshot() const {
    QList<PackedEntry> rows;
    rows.reserve(rowCount());
    for (const Row& r : m_rows)
        rows.append(r.entry);
    return rows;
}

void HistoryTable::setEntry(int row, const HistoryEntry& entry) {
    if (row < 0 || row >= rowCount())
        return;
    m_rows[std::size_t(row)].entry = entry;
    emit dataChanged(index(row, 0), index(row, kHistoryColumns - 1));
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, 0, kHistoryColumns - 1);
}

void HistoryTable::insertEntries(int at, const QList<HistoryEntry>& entries) {
    insertRows(at, entries);
}

void HistoryTable::insertPackedEntries(int at, const QList<PackedEntry>& entries) {
    insertRows(at, entries);
}

template <typename Entries> void HistoryTable::insertRows(int at, const Entries& entries) {
    if (entries.isEmpty() || at < 1 || at > rowCount())
        return;
    beginInsertRows({}, at, at + int(entries.size()) - 1);
    if (at < rowCount())
        invalidateRowIndex();
    std::vector<Row> rows;
    rows.reserve(std::size_t(entries.size()));
    for (const auto& e : entries) {
        if (m_rowIndexValid)
            m_rowIndex.insert(m_nextId, at + int(rows.size()));
        rows.push_back({m_nextId++, e});
    }
    m_rows.insert(m_rows.begin() + at, std::make_move_iterator(rows.begin()),
                  std::make_move_iterator(rows.end()));
    endInsertRows();
}

void HistoryTable::replaceRows(const QList<HistoryEntry>& rows, const QList<quint64>& keep) {
    replaceAll(rows, keep);
}

void HistoryTable::replacePackedRows(const QList<PackedEntry>& rows, const QList<quint64>& keep) {
    replaceAll(rows, keep);
}

template <typename Entries> void HistoryTable::replaceAll(const Entries& rows, const QList<quint64>& keep) {
    beginResetModel();
    std::vector<Row> kept;
    if (!keep.isEmpty()) {
        const QSet<quint64> wanted(keep.begin(), keep.end());
        for (Row& r : m_rows)
            if (wanted.contains(r.id))
                kept.push_back(std::move(r));
    }
    invalidateRowIndex();
    m_rows.clear();
    for (const auto& e : rows)
        m_rows.push_back({m_nextId++, e});
    if (m_rows.empty())
        m_rows.push_back({m_nextId++, headerTexts()});
    for (Row& r : kept)
        m_rows.push_back(std::move(r));
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, kHistoryColumns - 1);
}

bool HistoryTable::moveEntry(int from, int to) {
    const int n = rowCount();
    if (from < 1 || from >= n || to < 1 || to >= n || from == to)
        return false;
    if (!beginMoveRows({}, from, from, {}, to > from ? to + 1 : to))
        return false;
    invalidateRowIndex();
    Row moving = std::move(m_rows[std::size_t(from)]);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, std::move(moving));
    endMoveRows();
    return true;
}

void HistoryTable::reorderRows(int first, const std::vector<int>& order) {
    const int count = int(order.size());
    if (count == 0 || first < 0 || first + count > rowCount())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    invalidateRowIndex();
    std::vector<Row> moved;
    moved.reserve(order.size());
    std::vector<int> newRowOf(order.size());
    for (int i = 0; i < count; ++i) {
        moved.push_back(std::move(m_rows[std::size_t(first + order[std::size_t(i)])]));
        newRowOf[std::size_t(order[std::size_t(i)])] = first + i;
    }
    std::move(moved.begin(), moved.end(), m_rows.begin() + first);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) {
        const int r = i.row();
        const int nr = (r >= first && r < first + count) ? newRowOf[std::size_t(r - first)] : r;
        after.append(index(nr, i.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void HistoryTable::removeRowSet(const std::vector<int>& rows) {
    std::vector<int> valid;
    valid.reserve(rows.size());
    for (int r : rows)
        if (r >= 1 && r < rowCount() && (valid.empty() || r > valid.back()))
            valid.push_back(r);
    if (valid.empty())
        return;
    // Contiguous runs, removed from the back; many scattered runs are cheaper as one reset than as
    // one removal each (a view updates its rows for every removal).
    std::vector<std::pair<int, int>> runs;
    for (int r : valid) {
        if (!runs.empty() && runs.back().second + 1 == r)
            runs.back().second = r;
        else
            runs.push_back({r, r});
    }
    invalidateRowIndex();
    if (runs.size() <= 64) {
        for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
            beginRemoveRows({}, it->first, it->second);
            m_rows.erase(m_rows.begin() + it->first, m_rows.begin() + it->second + 1);
            endRemoveRows();
        }
        return;
    }
    beginResetModel();
    std::deque<Row> remaining;
    std::size_t next = 0;
    for (int r = 0; r < rowCount(); ++r) {
        if (next < valid.size() && valid[next] == r) {
            ++next;
            continue;
        }
        remaining.push_back(std::move(m_rows[std::size_t(r)]));
    }
    m_rows.swap(remaining);
    endResetModel();
}

QVariant HistoryTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole)
        return displayText(cell(index.row(), index.column()));
    if (role != Qt::EditRole)
        return {};
    return cell(index.row(), index.column());
}

QString HistoryTable::displayText(const QString& cell) {
    // Laying out megabytes for a cell a few hundred pixels wide would cost seconds at every paint.
    if (cell.size() > kDisplayLimit) {
        const qsizetype cut =
            cell.at(kDisplayLimit - 1).isHighSurrogate() ? kDisplayLimit - 1 : kDisplayLimit;
        return cell.left(cut) + QChar(0x2026);
    }
    return cell;
}

bool HistoryTable::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    return setCell(index.row(), index.column(), value.toString());
}

Qt::ItemFlags HistoryTable::flags(const QModelIndex& index) const {
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    // Row 0 is the fixed header row.
    if (index.row() == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant HistoryTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kHistoryColumns)
        return cell(0, section);
    // Rows are numbered as the table counts them: the first entry is row 1.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section;
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace clipvane
