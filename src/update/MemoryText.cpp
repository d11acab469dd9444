#include "MemoryText.h"

namespace clipvane {

QString kilobytesText(quint64 bytes, const QLocale& locale) {
    // Tenths of a kilobyte, rounded half up, in integers so that no figure loses precision.
    const quint64 tenths = bytes / 1024 * 10 + ((bytes % 1024) * 10 + 512) / 1024;
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    QString text = grouped.toString(tenths / 10);
    if (const quint64 digit = tenths % 10)
        text += grouped.decimalPoint() + grouped.toString(digit);
    return text;
}

QString memoryText(const char* prefix, std::optional<quint64> bytes, const QLocale& locale) {
    const QString start = QString::fromLatin1(prefix);
    if (!bytes)
        return start + QStringLiteral("unknown");
    return start + kilobytesText(*bytes, locale) + QStringLiteral(" KB");
}

} // namespace clipvane
