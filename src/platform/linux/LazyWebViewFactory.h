#pragma once
#include "platform/WebView.h"

#include <QStringList>

namespace clipvane {

// Loads the web engine module on the first view asked for. When it cannot be loaded, every request
// answers null with the reason.
class LazyWebViewFactory final : public WebViewFactory {
public:
    // The folders searched for the module, in order.
    explicit LazyWebViewFactory(QStringList moduleFolders);
    std::unique_ptr<WebView> create(QString* error) override;
    bool isLoaded() const { return m_create != nullptr; }

private:
    using Create = WebView* (*)();
    QStringList m_folders;
    Create m_create = nullptr;
    bool m_tried = false;
    QString m_error;
};

} // namespace clipvane
