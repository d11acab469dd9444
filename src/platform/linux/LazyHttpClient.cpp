#include "LazyHttpClient.h"

#include <QDir>
#include <QLibrary>
#include <QMetaObject>
#include <QObject>
#include <QtDebug>

namespace clipvane {

LazyHttpClient::LazyHttpClient(QStringList moduleFolders) : m_folders(std::move(moduleFolders)) {}

LazyHttpClient::~LazyHttpClient() = default;

HttpClient* LazyHttpClient::client() {
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

std::unique_ptr<HttpStatusBatch>
LazyHttpClient::startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                                 std::function<void(HttpStatusResults)> onResults) {
    if (HttpClient* c = client())
        return c->startStatusBatch(std::move(requests), limits, context, std::move(onResults));
    // No module: every request fails, delivered as a batch would deliver it.
    HttpStatusResults failed;
    for (int i = 0; i < int(requests.size()); ++i)
        failed.append(qMakePair(i, HttpStatusResult{}));
    auto alive = std::make_shared<bool>(true);
    QMetaObject::invokeMethod(
        context,
        [alive, onResults = std::move(onResults), failed] {
            if (*alive)
                onResults(failed);
        },
        Qt::QueuedConnection);
    struct Failed final : HttpStatusBatch {
        std::shared_ptr<bool> alive;
        ~Failed() override { *alive = false; }
    };
    auto batch = std::make_unique<Failed>();
    batch->alive = alive;
    return batch;
}

} // namespace clipvane
