#include "UrlCheck.h"

#include "core/SessionState.h"
#include "platform/Connectivity.h"
#include "platform/HttpClient.h"

namespace clipvane {

UrlChecker::UrlChecker(Connectivity& connectivity, HttpClient& http, SessionState& session)
    : m_connectivity(connectivity), m_http(http), m_session(session) {}

bool UrlChecker::CheckUrl(const QString& text) {
    const QString url = NormaliseUrl(text);
    if (!m_connectivity.isInternetConnected()) {
        if (m_session.ClipboardValidationOn)
            return false;
        m_session.LastCheckedUrl = url;
        return true;
    }
    HttpStatusRequest request;
    request.url = url;
    request.userAgent = kCheckUserAgent;
    request.headers = {QByteArrayLiteral("Cache-Control: no-cache"), QByteArrayLiteral("Pragma: no-cache")};
    request.maxRedirects = 20;
    const HttpStatusResult result = m_http.fetchStatus(request);
    m_session.LastCheckedUrl = url;
    return result.ok && isAcceptedStatus(result.status);
}

} // namespace clipvane
