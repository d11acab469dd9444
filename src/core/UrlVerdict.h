#pragma once
#include <QString>

namespace clipvane {

// The agent every URL check sends.
inline constexpr char kCheckUserAgent[] = "RizeRAD:/1.0";

// "http://" in front unless "http://" or "https://" occurs anywhere in the text (any letter case).
QString NormaliseUrl(const QString& text);

// Whether the final status of an online check accepts the address.
constexpr bool isAcceptedStatus(int status) {
    return status == 200 || status == 302;
}

// The normalised text when it is a web address (http or https) free of control characters, else an empty
// text.
QString webAddressOf(const QString& text);

} // namespace clipvane
