#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>
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

// What the panel shows when the service's "ip" is no address.
inline constexpr char kNotAnAddress[] = "N/A";

// The reply body to an address: ASCII (other characters as "?"), a JSON object, its string member "ip".
// An "ip" that is not a valid IPv4 or IPv6 address (a number, an object, an empty text, any other text)
// gives "N/A"; a body that is no JSON object, or has no "ip", gives an empty text.
QString publicIpFromReply(const QByteArray& body);

// A dotted IPv4 address or an IPv6 address in its text forms, and nothing else.
bool isIpAddress(QStringView text);

} // namespace clipvane
