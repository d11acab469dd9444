#pragma once
#include <QCollator>
#include <QCollatorSortKey>

namespace clipvane {

// The collation of every list and of the history: the user's locale, letter case ignored, with sort keys
// and comparisons that agree with each other under every locale.
// Qt's collator ignores the case setting in the keys it makes for the C locale (its comparison honours
// it), so there both work on case-folded text compared by code point.
class ListCollation {
public:
    ListCollation(); // the user's locale
    explicit ListCollation(const QLocale& locale);
    QCollatorSortKey sortKey(const QString& text) const;
    int compare(const QString& a, const QString& b) const;
    // Whether keys are made from case-folded text (the C locale): they are then that text's UTF-8 bytes,
    // which a caller may keep in a buffer of its own.
    bool foldsCase() const { return m_fold; }

private:
    QCollator m_collator;
    bool m_fold = false;
};

} // namespace clipvane
