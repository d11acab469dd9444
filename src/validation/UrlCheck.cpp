#include "UrlCheck.h"

#include "core/Options.h"
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

bool UrlChecker::offlineVerdict(const QString& normalisedUrl) {
    if (m_options.validateClipboardUrl())
        return false;
    m_lastCheckedUrl = normalisedUrl;
    return true;
}

UrlChecker::UrlChecker(Connectivity& connectivity, HttpClient& http, const Options& options)
    : m_connectivity(connectivity), m_http(http), m_options(options) {}

bool UrlChecker::CheckUrl(const QString& text) {
    const QString url = NormaliseUrl(text);
    if (!m_connectivity.isInternetConnected())
        return offlineVerdict(url);
    const HttpStatusResult result = m_http.fetchStatus(checkRequest(url));
    m_lastCheckedUrl = url;
    return onlineVerdict(result);
}

} // namespace clipvane
