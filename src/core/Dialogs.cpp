#include "Dialogs.h"

namespace clipvane {

QList<FilterEntry> parseFilters(const QString& filters) {
    QList<FilterEntry> out;
    const QStringList parts = filters.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out.append({parts[i], parts[i + 1]});
    return out;
}

} // namespace clipvane
