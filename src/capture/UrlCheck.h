#pragma once
#include <QString>

namespace clipvane {

class Connectivity;
class HttpClient;
struct SessionState;

inline constexpr char kCheckUserAgent[] = "RizeRAD:/1.0";

// "http://" in front unless "http://" or "https://" occurs anywhere in the text (any letter case).
QString NormaliseUrl(const QString& text);

// The one URL check of the system: online, the server's final status decides (200 or 302);
// offline, ClipboardValidationOn alone decides. Leaves the normalised URL in LastCheckedUrl.
class UrlChecker {
public:
    UrlChecker(Connectivity& connectivity, HttpClient& http, SessionState& session);
    bool CheckUrl(const QString& text);

private:
    Connectivity& m_connectivity;
    HttpClient& m_http;
    SessionState& m_session;
};

} // namespace clipvane
