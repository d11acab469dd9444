#pragma once
#include "core/UrlVerdict.h"

#include <QString>

namespace clipvane {

class Connectivity;
class HttpClient;
struct HttpStatusRequest;
struct HttpStatusResult;
struct SessionState;

// The request of an online check of an already normalised URL: the agent, no cache, 20 redirections.
HttpStatusRequest checkRequest(const QString& normalisedUrl);
// The verdict of an online check on what the server gave.
bool onlineVerdict(const HttpStatusResult& result);
// Why an online check rejected what the server gave ("404 Not Found", "time-out after 15 s"); empty when
// it accepted it.
QString rejectionReason(const HttpStatusResult& result);
// Why a check without a connection rejected its text.
inline constexpr char kOfflineReason[] = "no Internet connection";
// The verdict without a connection: the option alone decides. LastCheckedUrl takes `normalisedUrl`
// exactly when the text is accepted.
bool offlineVerdict(SessionState& session, const QString& normalisedUrl);

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
