#include "LazyWebViewFactory.h"

#include <QDir>
#include <QLibrary>

namespace clipvane {

LazyWebViewFactory::LazyWebViewFactory(QStringList moduleFolders) : m_folders(std::move(moduleFolders)) {}

std::unique_ptr<WebView> LazyWebViewFactory::create(QString* error) {
    if (!m_tried) {
        m_tried = true;
        QStringList reasons;
        for (const QString& folder : m_folders) {
            // The module stays loaded for the life of the process: its code backs every view.
            QLibrary module(QDir(folder).filePath(QStringLiteral("libclipvane_webengine")));
            m_create = reinterpret_cast<Create>(module.resolve("clipvaneCreateWebView"));
            if (m_create)
                break;
            reasons.append(module.errorString());
        }
        if (!m_create)
            m_error = QStringLiteral("The web engine module could not be loaded (%1).")
                          .arg(reasons.join(QLatin1String("; ")));
    }
    if (!m_create) {
        if (error)
            *error = m_error;
        return nullptr;
    }
    return std::unique_ptr<WebView>(m_create());
}

} // namespace clipvane
