#pragma once
#include "core/UrlVerdict.h"

#include <QString>

namespace clipvane {

class Connectivity;
class HttpClient;
struct SessionState;

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
