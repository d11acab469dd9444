#include "NetworkAddress.h"

#include "platform/HttpClient.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace clipvane {

QString publicIpFromReply(const QByteArray& body) {
    const QString text = QString::fromUtf8(body);
    QByteArray ascii;
    ascii.reserve(text.size());
    for (QChar c : text)
        ascii.append(c.unicode() < 0x80 ? char(c.unicode()) : '?');
    const QJsonDocument doc = QJsonDocument::fromJson(ascii);
    if (!doc.isObject())
        return {};
    const QJsonValue ip = doc.object().value(QLatin1String("ip"));
    return ip.isString() ? ip.toString() : QString();
}

QString GetPublicIp(HttpClient& http, const QString& serviceUrl) {
    HttpGetRequest request;
    request.url = serviceUrl;
    request.maxBodyBytes = 1 << 20;
    request.followRedirects = false;
    const HttpGetResult reply = http.get(request);
    if (!reply.ok || reply.status < 200 || reply.status > 299)
        return {};
    return publicIpFromReply(reply.body);
}

} // namespace clipvane
