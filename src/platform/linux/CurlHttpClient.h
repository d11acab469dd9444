#pragma once
#include "platform/HttpClient.h"

namespace clipvane {

// HTTP through libcurl. Proxies come from the standard environment variables (curl's own behaviour).
class CurlHttpClient final : public HttpClient {
public:
    explicit CurlHttpClient(HttpTimeouts timeouts = {});
    ~CurlHttpClient() override;
    HttpStatusResult fetchStatus(const HttpStatusRequest& request) override;
    HttpGetResult get(const HttpGetRequest& request) override;
    std::unique_ptr<HttpStatusBatch>
    startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                     std::function<void(HttpStatusResults)> onResults) override;

private:
    HttpTimeouts m_timeouts;
};

} // namespace clipvane
