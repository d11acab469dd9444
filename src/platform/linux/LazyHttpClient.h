#pragma once
#include "platform/HttpClient.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace clipvane {

inline constexpr char kHttpModuleMissingStatus[] = "No HTTP module";

// Loads the HTTP module on its first request and forwards to it. When the module cannot be loaded,
// every request fails (as a network failure does) and the handler hears of it once.
class LazyHttpClient final : public HttpClient {
public:
    // The short status text and the full report of a module that cannot be loaded.
    using Unavailable = std::function<void(const QString& status, const QString& report)>;

    // The folders searched for the module, in order.
    explicit LazyHttpClient(QStringList moduleFolders, Unavailable unavailable = {});
    // Where the module lives relative to the executable: beside it (the build tree, a copied folder),
    // then the installed private library folder (relative to the executable's folder), then the build
    // folder compiled in when there is one.
    static QStringList moduleFolders(const QString& executableFolder, const QString& installedRelative,
                                     const QString& buildFolder = {});
    void setUnavailableHandler(Unavailable handler) { m_unavailable = std::move(handler); }
    // Time-outs other than the module's defaults; takes effect when given before the first request.
    void setTimeouts(const HttpTimeouts& timeouts) { m_timeouts = timeouts; }
    ~LazyHttpClient() override;
    HttpStatusResult fetchStatus(const HttpStatusRequest& request) override;
    HttpGetResult get(const HttpGetRequest& request) override;
    std::unique_ptr<HttpStatusBatch>
    startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                     std::function<void(HttpStatusResults)> onResults) override;
    bool isLoaded() const;

private:
    HttpClient* client();

    QStringList m_folders;
    // Requests may come from several threads at once (the update check runs on a worker).
    mutable std::mutex m_loading;
    Unavailable m_unavailable;
    std::unique_ptr<HttpClient> m_client;
    std::optional<HttpTimeouts> m_timeouts;
    bool m_tried = false;
};

} // namespace clipvane
