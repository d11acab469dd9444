#include "Collation.h"

#include <QLocale>

namespace clipvane {

QCollator listCollator() {
    QCollator c{QLocale()};
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

} // namespace clipvane
