#include "LazyHttpClient.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMetaObject>
#include <QObject>
#include <QtDebug>

namespace clipvane {

LazyHttpClient::LazyHttpClient(QStringList moduleFolders, Unavailable unavailable)
    : m_folders(std::move(moduleFolders)), m_unavailable(std::move(unavailable)) {}

QStringList LazyHttpClient::moduleFolders(const QString& executableFolder, const QString& installedRelative,
                                          const QString& buildFolder) {
    const QDir exe(executableFolder);
    QStringList folders{QDir::cleanPath(exe.absolutePath()),
                        QDir::cleanPath(exe.absoluteFilePath(installedRelative))};
    if (!buildFolder.isEmpty()) {
        const QString build = QDir::cleanPath(QDir(buildFolder).absolutePath());
        if (!folders.contains(build))
            folders.append(build);
    }
    return folders;
}

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
    using CreateWithTimeouts = HttpClient* (*)(const HttpTimeouts*);
    QStringList reasons;
    for (const QString& folder : m_folders) {
        // The module stays loaded for the life of the process: its code backs m_client.
        QLibrary module(QDir(folder).filePath(QStringLiteral("libclipvane_http")));
        if (m_timeouts) {
            if (auto create = reinterpret_cast<CreateWithTimeouts>(
                    module.resolve("clipvaneCreateHttpClientWithTimeouts"))) {
                m_client.reset(create(&*m_timeouts));
                return m_client.get();
            }
        } else if (auto create = reinterpret_cast<Create>(module.resolve("clipvaneCreateHttpClient"))) {
            m_client.reset(create());
            return m_client.get();
        }
        if (QFileInfo::exists(module.fileName()) ||
            QFileInfo::exists(module.fileName() + QLatin1String(".so")))
            reasons.append(module.errorString());
    }
    QString report = QStringLiteral("The HTTP module libclipvane_http could not be loaded: every web check "
                                    "fails and the public address stays unknown.\r\nSearched: ") +
                     m_folders.join(QLatin1String(", "));
    if (!reasons.isEmpty())
        report += QStringLiteral("\r\n") + reasons.join(QStringLiteral("\r\n"));
    qWarning("Clipvane: %s", qPrintable(report));
    if (m_unavailable)
        m_unavailable(QString::fromLatin1(kHttpModuleMissingStatus), report);
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
