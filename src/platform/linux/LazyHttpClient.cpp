#include "LazyHttpClient.h"

#include <QDir>
#include <QLibrary>
#include <QtDebug>

namespace clipvane {

LazyHttpClient::LazyHttpClient(QStringList moduleFolders) : m_folders(std::move(moduleFolders)) {}

LazyHttpClient::~LazyHttpClient() = default;

bool LazyHttpClient::isLoaded() const {
    const std::lock_guard lock(m_loading);
    return m_client != nullptr;
}

HttpClient* LazyHttpClient::client() {
    const std::lock_guard lock(m_loading);
    if (m_tried)
        return m_client.get();
    m_tried = true;
    using Create = HttpClient* (*)();
    for (const QString& folder : m_folders) {
        // The module stays loaded for the life of the process: its code backs m_client.
        QLibrary module(QDir(folder).filePath(QStringLiteral("libclipvane_http")));
        if (auto create = reinterpret_cast<Create>(module.resolve("clipvaneCreateHttpClient"))) {
            m_client.reset(create());
            return m_client.get();
        }
    }
    qWarning("Clipvane: the HTTP module could not be loaded from %s; web requests will fail.",
             qPrintable(m_folders.join(QLatin1String(", "))));
    return nullptr;
}

HttpStatusResult LazyHttpClient::fetchStatus(const HttpStatusRequest& request) {
    HttpClient* c = client();
    return c ? c->fetchStatus(request) : HttpStatusResult{};
}

HttpGetResult LazyHttpClient::get(const HttpGetRequest& request) {
    HttpClient* c = client();
    return c ? c->get(request) : HttpGetResult{};
}

} // namespace clipvane
