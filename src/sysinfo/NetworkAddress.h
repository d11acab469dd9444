#pragma once
#include <QByteArray>
#include <QString>

namespace clipvane {

class HttpClient;

// The address the echo service reports from its JSON reply, or an empty text on any failure.
QString GetPublicIp(HttpClient& http, const QString& serviceUrl);

// The reply body to an address: ASCII (other characters as "?"), a JSON object, its string member "ip".
QString publicIpFromReply(const QByteArray& body);

} // namespace clipvane
