#pragma once
#include <QLocale>
#include <QString>
#include <optional>

namespace clipvane {

inline constexpr char kTotalMemoryUsed[] = "Total memory used: ";
inline constexpr char kTotalSoftwareMemoryUsed[] = "Total software memory used: ";

// Bytes as kilobytes (bytes / 1024) to the nearest tenth, with the locale's grouping and decimal
// separator, the decimal part left out when it is 0: 12,345,678 bytes are "12,056.3" in English.
QString kilobytesText(quint64 bytes, const QLocale& locale = QLocale());

// prefix + number + " KB", or prefix + "unknown" when the figure could not be read.
QString memoryText(const char* prefix, std::optional<quint64> bytes, const QLocale& locale = QLocale());

} // namespace clipvane
