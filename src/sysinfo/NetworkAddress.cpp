#include "NetworkAddress.h"

#include "platform/Connectivity.h"
#include "platform/HttpClient.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace clipvane {

namespace {

constexpr qint64 kMaxReplyBytes = 1 << 20;

// Dotted decimal: four numbers 0 to 255, without leading zeros (which some readers take for octal).
bool isIPv4(QStringView text) {
    const QList<QStringView> parts = text.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QStringView p : parts) {
        if (p.isEmpty() || p.size() > 3 || (p.size() > 1 && p.front() == u'0'))
            return false;
        int value = 0;
        for (const QChar c : p) {
            if (c < u'0' || c > u'9')
                return false;
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value > 255)
            return false;
    }
    return true;
}

bool isHexGroup(QStringView g) {
    if (g.isEmpty() || g.size() > 4)
        return false;
    for (const QChar c : g)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    return true;
}

// Eight groups of one to four hex digits, at most one "::" standing for one or more zero groups, and an
// IPv4 address in place of the last two groups. No zone ("%eth0"): a public address has none.
bool isIPv6(QStringView text) {
    if (text.size() < 2)
        return false;
    const qsizetype gap = text.indexOf(u"::");
    if (gap >= 0 && text.indexOf(u"::", gap + 1) >= 0)
        return false;
    auto groupsOf = [](QStringView side, int& groups, bool mayEndWithIPv4) {
        groups = 0;
        if (side.isEmpty())
            return true;
        const QList<QStringView> parts = side.split(u':');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (mayEndWithIPv4 && i == parts.size() - 1 && parts[i].contains(u'.')) {
                if (!isIPv4(parts[i]))
                    return false;
                groups += 2;
            } else if (isHexGroup(parts[i])) {
                ++groups;
            } else {
                return false;
            }
        }
        return true;
    };
    int before = 0, after = 0;
    if (gap < 0)
        return groupsOf(text, before, true) && before == 8;
    return groupsOf(text.first(gap), before, false) && groupsOf(text.sliced(gap + 2), after, true) &&
           before + after <= 7;
}

} // namespace

bool isIpAddress(QStringView text) {
    return isIPv4(text) || isIPv6(text);
}

bool IsInternetConnected(Connectivity& connectivity) {
    return connectivity.isInternetConnected();
}

QString publicIpFromReply(const QByteArray& body) {
    if (body.isEmpty() || body.size() > kMaxReplyBytes)
        return {};
    const QString text = QString::fromUtf8(body);
    QByteArray ascii;
    ascii.reserve(text.size());
    for (QChar c : text)
        ascii.append(c.unicode() < 0x80 ? char(c.unicode()) : '?');
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(ascii, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return {};
    const QJsonObject object = doc.object();
    if (!object.contains(QLatin1String("ip")))
        return {};
    // Whatever else the service put there (escapes included) never reaches the status bar.
    const QJsonValue ip = object.value(QLatin1String("ip"));
    if (ip.isString() && isIpAddress(ip.toString()))
        return ip.toString();
    return QString::fromLatin1(kNotAnAddress);
}

QString GetPublicIp(HttpClient& http, const QString& serviceUrl, const std::atomic<bool>* abandon) {
    HttpGetRequest request;
    request.url = serviceUrl;
    request.maxBodyBytes = kMaxReplyBytes;
    request.followRedirects = false;
    request.abandon = abandon;
    const HttpGetResult reply = http.get(request);
    if (!reply.ok || reply.status < 200 || reply.status > 299)
        return {};
    return publicIpFromReply(reply.body);
}

} // namespace clipvane
