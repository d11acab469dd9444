#pragma once
#include <QByteArray>
#include <QString>
#include <atomic>

namespace clipvane {

class Connectivity;
class HttpClient;

// The system's own answer to "is there an Internet connection". Sends nothing; a failing answer is "no".
bool IsInternetConnected(Connectivity& connectivity);

// The address the echo service reports from its JSON reply, or an empty text on any failure: no reply, a
// status other than 2xx (a redirection included: none is followed), a body over 1 MiB, or a body that
// publicIpFromReply refuses. Bounded by the HTTP client's time-outs.
// `abandon`, when set from another thread, ends the request within about a second.
QString GetPublicIp(HttpClient& http, const QString& serviceUrl, const std::atomic<bool>* abandon = nullptr);

// The reply body to an address: ASCII (other characters as "?"), a JSON object, its string member "ip".
// A number, an object or an empty text under "ip" is no address.
QString publicIpFromReply(const QByteArray& body);

} // namespace clipvane
