#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

namespace clipvane {

// The line of the update page that announces the version on the line after it.
inline constexpr char kVersionMarker[] = "<p>***version***</p>";

// The page text split at CR LF pairs: the line after the last line that is exactly the marker, an empty
// line when the marker is the last line; nothing when no line is the marker.
std::optional<QString> versionLineOf(QStringView pageText);

// The published version: characters 4 to 10 of the version line (fewer when it is shorter), counted in
// characters, so a character outside the BMP is never cut in half. Empty when the page holds none.
QString webVersionOf(QStringView pageText);

// The same from the response body, decoded as text files are (a mark, else UTF-8 when valid, else
// Windows-1252). Pure: safe on any bytes.
QString webVersionFromBody(const QByteArray& body);

} // namespace clipvane
