#include "SortUnique.h"

#include "CheckListModel.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace clipvane {

namespace {

// Indices of the entries that survive, in ascending order: a stable sort keeps the first of equals first.
template <typename TextAt>
std::vector<int> sortedUniqueOrder(int n, const TextAt& textAt, const ListCollation& collator) {
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        keys.push_back(collator.sortKey(textAt(i)));
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    std::vector<int> unique;
    unique.reserve(order.size());
    for (int idx : order) {
        if (unique.empty() || keys[size_t(unique.back())].compare(keys[size_t(idx)]) != 0)
            unique.push_back(idx);
    }
    return unique;
}

void fullSort(CheckListModel& list, const ListCollation& collator) {
    const QVector<CheckEntry>& entries = list.entries();
    const std::vector<int> order = sortedUniqueOrder(
        int(entries.size()), [&](int i) -> const QString& { return entries[i].text; }, collator);
    QVector<CheckEntry> sorted;
    sorted.reserve(qsizetype(order.size()));
    for (int idx : order)
        sorted.append({entries[idx].text, entries[idx].id, false});
    list.replaceSorted(std::move(sorted));
}

} // namespace

void SortUnique(CheckListModel& list) {
    const ListCollation collator;
    const int n = list.count();
    const int prefix = list.sortedPrefix();
    const int tail = n - prefix;
    // A few entries after a sorted run (the usual capture) go in by binary search; anything else is
    // sorted from scratch. Both give exactly the same list.
    if (tail > 0 && tail <= std::max(16, n / 64)) {
        QVector<CheckEntry> pending;
        list.takeTail(prefix, pending);
        for (CheckEntry& e : pending) {
            const QVector<CheckEntry>& entries = list.entries();
            const auto it = std::lower_bound(
                entries.begin(), entries.end(), e.text,
                [&](const CheckEntry& a, const QString& t) { return collator.compare(a.text, t) < 0; });
            if (it != entries.end() && collator.compare(it->text, e.text) == 0)
                continue; // an equal entry came first and survives
            const int row = int(it - entries.begin());
            e.ticked = false;
            list.insertEntryAt(row, std::move(e));
        }
    } else if (tail > 0) {
        fullSort(list, collator);
        return;
    }
    list.setAllTicked(false);
    list.setSelected(-1);
}

QStringList sortUniqueTexts(const QStringList& texts) {
    const ListCollation collator;
    const std::vector<int> order = sortedUniqueOrder(
        int(texts.size()), [&](int i) -> const QString& { return texts[i]; }, collator);
    QStringList out;
    out.reserve(qsizetype(order.size()));
    for (int idx : order)
        out.append(texts[idx]);
    return out;
}

} // namespace clipvane
