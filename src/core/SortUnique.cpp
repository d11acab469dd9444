#include "SortUnique.h"

#include "CheckListModel.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>
#include <string_view>
#include <vector>

namespace clipvane {

namespace {

// Sort keys of many texts. Under a folding collation a key is the case-folded text's UTF-8 up to its first
// NUL (what the collator's own key compares), kept in one buffer: no allocation per key, and comparisons
// that stay in one block of memory. Otherwise the collator's keys.
class SortKeys {
public:
    SortKeys(const ListCollation& collation, qsizetype expected) : m_collation(collation) {
        if (m_collation.foldsCase()) {
            m_offsets.reserve(std::size_t(expected) + 1);
            m_offsets.push_back(0);
            m_bytes.reserve(std::size_t(expected) * 48);
        } else {
            m_keys.reserve(std::size_t(expected));
        }
    }

    void add(const QString& text) {
        if (!m_collation.foldsCase()) {
            m_keys.push_back(m_collation.sortKey(text));
            return;
        }
        bool ascii = true;
        for (QChar c : text)
            if (c.unicode() >= 0x80) {
                ascii = false;
                break;
            }
        if (ascii) {
            for (QChar c : text) {
                char b = char(c.unicode());
                if (b == 0)
                    break;
                if (b >= 'A' && b <= 'Z')
                    b = char(b - 'A' + 'a');
                m_bytes.push_back(b);
            }
        } else {
            const QByteArray utf8 = text.toCaseFolded().toUtf8();
            const qsizetype nul = utf8.indexOf('\0');
            m_bytes.insert(m_bytes.end(), utf8.constData(), utf8.constData() + (nul < 0 ? utf8.size() : nul));
        }
        m_offsets.push_back(m_bytes.size());
    }

    bool inBuffer() const { return m_collation.foldsCase(); }
    std::string_view bytes(std::size_t i) const {
        return {m_bytes.data() + m_offsets[i], m_offsets[i + 1] - m_offsets[i]};
    }

    int compare(std::size_t a, std::size_t b) const {
        if (!m_collation.foldsCase())
            return m_keys[a].compare(m_keys[b]);
        return bytes(a).compare(bytes(b)); // bytes compare unsigned, as UTF-8 needs
    }

private:
    const ListCollation& m_collation;
    std::vector<char> m_bytes;
    std::vector<std::size_t> m_offsets;
    std::vector<QCollatorSortKey> m_keys;
};

// The sorted-unique order of texts given as a sorted-unique run followed by a tail in any order. The
// tail alone is sorted (stably: the first of equals first) and thinned, then merged with the run; a run
// entry beats an equal tail entry, as it came first. Answers indices into run + tail.
template <typename TextAt>
std::vector<int> mergedUniqueOrder(int run, int n, const TextAt& textAt, const ListCollation& collation) {
    SortKeys keys(collation, n);
    for (int i = 0; i < n; ++i)
        keys.add(textAt(i));
    std::vector<int> tail(std::size_t(n - run));
    std::iota(tail.begin(), tail.end(), run);
    // Equal keys keep their list order, so the first of equals comes first.
    if (keys.inBuffer()) {
        // The keys' places sorted along with the indices: one block of memory to walk, no lookups.
        struct Item {
            std::string_view key;
            int index;
        };
        std::vector<Item> items;
        items.reserve(tail.size());
        for (int i : tail)
            items.push_back({keys.bytes(std::size_t(i)), i});
        std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            const int c = a.key.compare(b.key);
            return c < 0 || (c == 0 && a.index < b.index);
        });
        for (std::size_t i = 0; i < items.size(); ++i)
            tail[i] = items[i].index;
    } else {
        std::sort(tail.begin(), tail.end(), [&](int a, int b) {
            const int c = keys.compare(std::size_t(a), std::size_t(b));
            return c < 0 || (c == 0 && a < b);
        });
    }
    std::vector<int> order;
    order.reserve(std::size_t(n));
    int r = 0;
    for (std::size_t t = 0; t < tail.size(); ++t) {
        const int idx = tail[t];
        if (t > 0 && keys.compare(std::size_t(tail[t - 1]), std::size_t(idx)) == 0)
            continue; // an equal tail entry came first
        int c = 1;
        while (r < run && (c = keys.compare(std::size_t(r), std::size_t(idx))) < 0)
            order.push_back(r++);
        if (r < run && c == 0)
            continue; // the run's entry came first
        order.push_back(idx);
    }
    while (r < run)
        order.push_back(r++);
    return order;
}

// The run and the tail as one sorted list without duplicates: what a sort from scratch gives.
void mergeSort(CheckListModel& list, int run, const ListCollation& collation) {
    const QVector<CheckEntry>& entries = list.entries();
    const std::vector<int> order = mergedUniqueOrder(
        run, int(entries.size()), [&](int i) -> const QString& { return entries[i].text; }, collation);
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
    // A few entries after a sorted run (the usual capture) go in by binary search; more are sorted on their
    // own and merged with the run. Both give exactly what a sort from scratch gives.
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
        mergeSort(list, prefix, collator);
        return;
    }
    list.setAllTicked(false);
    list.setSelected(-1);
}

QStringList sortUniqueTexts(const QStringList& texts) {
    const ListCollation collator;
    const std::vector<int> order = mergedUniqueOrder(
        0, int(texts.size()), [&](int i) -> const QString& { return texts[i]; }, collator);
    QStringList out;
    out.reserve(qsizetype(order.size()));
    for (int idx : order)
        out.append(texts[idx]);
    return out;
}

} // namespace clipvane
