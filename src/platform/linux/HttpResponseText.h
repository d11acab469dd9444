#pragma once
#include "platform/HttpClient.h"

#include <QByteArray>
#include <QString>
#include <chrono>

// What a person reads of an HTTP answer or of a check that got none.
namespace clipvane::httptext {

// The standard reason phrase of a status code, or null for a code without one.
const char* standardPhrase(int status);
// Text from outside shown to a person: printable ASCII only, runs of anything else as one space, short.
QString printable(const QByteArray& text, qsizetype cap = 80);
// The code and its standard phrase, or the server's own phrase for a code without one.
QString statusReason(int status, const QByteArray& phrase);
QString seconds(std::chrono::milliseconds t);
HttpStatusResult failedWith(HttpFailure failure, const QString& reason);
HttpStatusResult timedOut(std::chrono::milliseconds limit);
// Retry-After as delta-seconds or as an HTTP date; negative when absent or unreadable.
qint64 retryAfterSeconds(const QByteArray& value);

} // namespace clipvane::httptext
