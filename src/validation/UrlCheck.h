#pragma once
#include "core/UrlVerdict.h"

#include <QString>

namespace clipvane {

class Connectivity;
class HttpClient;
struct HttpStatusRequest;
struct HttpStatusResult;
class Options;

// The request of an online check of an already normalised URL: the agent, no cache, 20 redirections.
HttpStatusRequest checkRequest(const QString& normalisedUrl);
// The verdict of an online check on what the server gave.
bool onlineVerdict(const HttpStatusResult& result);
// Why an online check rejected what the server gave ("404 Not Found", "time-out after 15 s"); empty when
// it accepted it.
QString rejectionReason(const HttpStatusResult& result);
// Why a check without a connection rejected its text.
inline constexpr char kOfflineReason[] = "no Internet connection";
// The one URL check of the system: online, the server's final status decides (200 or 302);
// offline, "Validate Clipboard URL" alone decides. Leaves the normalised URL in LastCheckedUrl. The check
// engine's runs share its LastCheckedUrl and its offline rule.
class UrlChecker {
public:
    UrlChecker(Connectivity& connectivity, HttpClient& http, const Options& options);
    bool CheckUrl(const QString& text);

    // The verdict without a connection: the option alone decides. LastCheckedUrl takes `normalisedUrl`
    // exactly when the text is accepted.
    bool offlineVerdict(const QString& normalisedUrl);
    // An online verdict on `normalisedUrl` was handed out.
    void checkedOnline(const QString& normalisedUrl) { m_lastCheckedUrl = normalisedUrl; }
    QString lastCheckedUrl() const { return m_lastCheckedUrl; }
    void setLastCheckedUrl(const QString& url) { m_lastCheckedUrl = url; }

private:
    Connectivity& m_connectivity;
    HttpClient& m_http;
    const Options& m_options;
    QString m_lastCheckedUrl;
};

} // namespace clipvane
