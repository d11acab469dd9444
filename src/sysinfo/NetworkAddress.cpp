#include "NetworkAddress.h"

#include "platform/Connectivity.h"
#include "platform/HttpClient.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace clipvane {

namespace {

constexpr qint64 kMaxReplyBytes = 1 << 20;

} // namespace

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
    const QJsonValue ip = doc.object().value(QLatin1String("ip"));
    return ip.isString() ? ip.toString() : QString();
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
