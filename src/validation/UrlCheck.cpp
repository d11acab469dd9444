#include "UrlCheck.h"

#include "core/SessionState.h"
#include "platform/Connectivity.h"
#include "platform/HttpClient.h"

namespace clipvane {

HttpStatusRequest checkRequest(const QString& normalisedUrl) {
    HttpStatusRequest request;
    request.url = normalisedUrl;
    request.userAgent = kCheckUserAgent;
    request.headers = {QByteArrayLiteral("Cache-Control: no-cache"), QByteArrayLiteral("Pragma: no-cache")};
    request.maxRedirects = 20;
    return request;
}

bool onlineVerdict(const HttpStatusResult& result) {
    return result.ok && isAcceptedStatus(result.status);
}

QString rejectionReason(const HttpStatusResult& result) {
    if (onlineVerdict(result))
        return {};
    if (!result.reason.isEmpty())
        return result.reason;
    return result.ok ? QString::number(result.status) : QStringLiteral("no answer");
}

bool offlineVerdict(SessionState& session, const QString& normalisedUrl) {
    if (session.ClipboardValidationOn)
        return false;
    session.LastCheckedUrl = normalisedUrl;
    return true;
}

UrlChecker::UrlChecker(Connectivity& connectivity, HttpClient& http, SessionState& session)
    : m_connectivity(connectivity), m_http(http), m_session(session) {}

bool UrlChecker::CheckUrl(const QString& text) {
    const QString url = NormaliseUrl(text);
    if (!m_connectivity.isInternetConnected())
        return offlineVerdict(m_session, url);
    const HttpStatusResult result = m_http.fetchStatus(checkRequest(url));
    m_session.LastCheckedUrl = url;
    return onlineVerdict(result);
}

} // namespace clipvane
