#pragma once
#include <QString>

namespace clipvane {

// Addresses outside the machine. Each has a built-in default and one environment variable to override it.
struct ExternalAddresses {
    QString publicIpService; // CLIPVANE_PUBLIC_IP_URL, default http://ipinfo.io/json
    QString website;         // CLIPVANE_WEBSITE_URL, default http://www.quorbel.example
    QString authorEmail;     // CLIPVANE_AUTHOR_EMAIL, default author@quorbel.example
    QString searchHost;      // CLIPVANE_SEARCH_HOST, default www.duckduckgo.com

    static ExternalAddresses fromEnvironment();
};

} // namespace clipvane
