#pragma once
#include "platform/HttpClient.h"

#include <QStringList>
#include <memory>

namespace clipvane {

// Loads the HTTP module on its first request and forwards to it. When the module cannot be loaded,
// every request fails (as a network failure does) and one warning is logged.
class LazyHttpClient final : public HttpClient {
public:
    // The folders searched for the module, in order.
    explicit LazyHttpClient(QStringList moduleFolders);
    ~LazyHttpClient() override;
    HttpStatusResult fetchStatus(const HttpStatusRequest& request) override;
    HttpGetResult get(const HttpGetRequest& request) override;
    std::unique_ptr<HttpStatusBatch>
    startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                     std::function<void(HttpStatusResults)> onResults) override;
    bool isLoaded() const { return m_client != nullptr; }

private:
    HttpClient* client();

    QStringList m_folders;
    std::unique_ptr<HttpClient> m_client;
    bool m_tried = false;
};

} // namespace clipvane
