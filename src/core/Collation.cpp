#include "Collation.h"

#include <QLocale>

namespace clipvane {

ListCollation::ListCollation() : ListCollation(QLocale()) {}

ListCollation::ListCollation(const QLocale& locale)
    : m_collator(locale), m_fold(locale.language() == QLocale::C) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

QCollatorSortKey ListCollation::sortKey(const QString& text) const {
    return m_collator.sortKey(m_fold ? text.toCaseFolded() : text);
}

int ListCollation::compare(const QString& a, const QString& b) const {
    if (m_fold)
        return sortKey(a).compare(sortKey(b));
    return m_collator.compare(a, b);
}

} // namespace clipvane
