#include "ExternalAddresses.h"

#include <QProcessEnvironment>

namespace clipvane {

ExternalAddresses ExternalAddresses::fromEnvironment() {
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    auto value = [&](const char* name, const char* fallback) {
        const QString v = env.value(QString::fromLatin1(name));
        return v.isEmpty() ? QString::fromLatin1(fallback) : v;
    };
    return {value("CLIPVANE_PUBLIC_IP_URL", "http://ipinfo.io/json"),
            value("CLIPVANE_WEBSITE_URL", "http://www.quorbel.example"),
            value("CLIPVANE_AUTHOR_EMAIL", "author@quorbel.example"),
            value("CLIPVANE_SEARCH_HOST", "www.duckduckgo.com")};
}

} // namespace clipvane
