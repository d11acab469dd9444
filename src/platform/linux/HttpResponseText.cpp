#include "HttpResponseText.h"

#include <QDateTime>
#include <algorithm>

namespace clipvane::httptext {

// The text a person reads for a status: the code and its standard reason phrase, or the server's own
// phrase (printable ASCII only) for a code without one.
const char* standardPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 202:
        return "Accepted";
    case 203:
        return "Non-Authoritative Information";
    case 204:
        return "No Content";
    case 205:
        return "Reset Content";
    case 206:
        return "Partial Content";
    case 300:
        return "Multiple Choices";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 305:
        return "Use Proxy";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 402:
        return "Payment Required";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 406:
        return "Not Acceptable";
    case 407:
        return "Proxy Authentication Required";
    case 408:
        return "Request Timeout";
    case 409:
        return "Conflict";
    case 410:
        return "Gone";
    case 411:
        return "Length Required";
    case 412:
        return "Precondition Failed";
    case 413:
        return "Content Too Large";
    case 414:
        return "URI Too Long";
    case 415:
        return "Unsupported Media Type";
    case 416:
        return "Range Not Satisfiable";
    case 417:
        return "Expectation Failed";
    case 421:
        return "Misdirected Request";
    case 422:
        return "Unprocessable Content";
    case 425:
        return "Too Early";
    case 426:
        return "Upgrade Required";
    case 428:
        return "Precondition Required";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 451:
        return "Unavailable For Legal Reasons";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    case 505:
        return "HTTP Version Not Supported";
    case 511:
        return "Network Authentication Required";
    default:
        return nullptr;
    }
}

// Text from outside shown to a person: printable ASCII only, runs of anything else as one space, short.
QString printable(const QByteArray& text, qsizetype cap) {
    QString out;
    bool gap = false;
    for (const char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        if (u >= 0x21 && u <= 0x7e) {
            if (gap && !out.isEmpty())
                out += QLatin1Char(' ');
            gap = false;
            out += QLatin1Char(char(u));
        } else {
            gap = true;
        }
        if (out.size() >= cap)
            break;
    }
    return out.left(cap);
}

QString statusReason(int status, const QByteArray& phrase) {
    if (const char* known = standardPhrase(status))
        return QString::number(status) + QLatin1Char(' ') + QLatin1String(known);
    const QString own = printable(phrase);
    return own.isEmpty() ? QString::number(status) : QString::number(status) + QLatin1Char(' ') + own;
}

QString seconds(std::chrono::milliseconds t) {
    if (t.count() % 1000 == 0)
        return QString::number(t.count() / 1000);
    return QString::number(double(t.count()) / 1000.0, 'f', 1);
}

HttpStatusResult failedWith(HttpFailure failure, const QString& reason) {
    return {false, 0, failure, reason};
}

HttpStatusResult timedOut(std::chrono::milliseconds limit) {
    return failedWith(HttpFailure::TimedOut,
                      QStringLiteral("time-out after ") + seconds(limit) + QStringLiteral(" s"));
}

// Retry-After as delta-seconds or as an HTTP date; negative when absent or unreadable.
qint64 retryAfterSeconds(const QByteArray& value) {
    const QByteArray v = value.trimmed();
    if (v.isEmpty())
        return -1;
    bool number = false;
    const qint64 s = v.toLongLong(&number);
    if (number)
        return s >= 0 ? s : -1;
    // An HTTP date ends in "GMT", which the RFC 2822 reader wants as an offset.
    QString date = QString::fromLatin1(v);
    if (date.endsWith(QLatin1String(" GMT")))
        date = date.chopped(4) + QLatin1String(" +0000");
    const QDateTime at = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!at.isValid())
        return -1;
    return std::max<qint64>(0, QDateTime::currentDateTimeUtc().secsTo(at));
}

} // namespace clipvane::httptext
