#pragma once
#include "platform/WebView.h"

#include <QHash>
#include <QPointer>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>
#include <memory>

class QWebEngineView;

namespace clipvane {

class QtWebView;

// The page of a QtWebView: reports navigations, refuses mail links (the window hands them to the
// desktop's mail handler), asks for new windows and takes the frames' harvest answers from the console.
class QtWebPage final : public QWebEnginePage {
    Q_OBJECT
public:
    QtWebPage(QtWebView& owner, QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;

private:
    QtWebView& m_owner;
};

// Asks for a fresh copy (no-cache request headers) on the next top-level request once armed.
class FreshRequests final : public QWebEngineUrlRequestInterceptor {
public:
    void arm() { m_armed = true; }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    std::atomic<bool> m_armed{false};
};

// The web view on Qt WebEngine.
//
// Link harvests never pass through the page's own scripts. Each view has a secret key written into the
// script it runs in an isolated world of every frame; only those scripts know it, and only answers that
// carry it are read. The top document's harvest reads every frame it may read itself; a frame it may not
// read gets a request with a one-time ticket, which that frame's isolated script takes before any page
// script can see the message and answers on the console with the key, the ticket and its own content.
// A ticket counts for the one frame it was sent to, once.
class QtWebView final : public QObject, public WebView {
    Q_OBJECT
public:
    QtWebView();
    ~QtWebView() override;

    QWidget* widget() override;
    void setEvents(WebViewEvents* events) override { m_events = events; }
    void navigate(const QString& address, bool fresh) override;
    void goBack() override;
    void goForward() override;
    void refresh() override;
    void stop() override;
    void harvest(int harvest, bool allFrames) override;

    QtWebPage* page() const { return m_page; }

private:
    friend class QtWebPage;
    // Events go out from the event loop, never from inside the engine's call.
    template <typename F> void post(F&& f);
    void updateHistoryState();
    void consoleMessage(const QString& message);
    void harvestAnswer(QStringView rest);
    void deliver(int harvest, const FramePath& path, const QVariantMap& node);
    void frameComplete(const QString& url);
    void loadFinished(const QString& url, bool ok);

    QPointer<QWebEngineView> m_view;
    QtWebPage* m_page = nullptr;
    WebViewEvents* m_events = nullptr;
    std::unique_ptr<FreshRequests> m_fresh;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    QString m_key; // known to this view's isolated scripts only
    struct Ticket {
        int harvest;
        FramePath path;
    };
    QHash<QString, Ticket> m_tickets;    // requests sent to frames, not answered yet
    QHash<QString, QVariantMap> m_early; // answers that overtook the harvest that sent their ticket
    int m_navigation = 0;                // the address bar's navigations, to tell a stale fallback
    bool m_loading = false;
    QStringList m_framesDone; // frames completed while the top document loads, reported after it
};

// Qt WebEngine's sandbox cannot start for root: switched off then, with a word on the terminal.
void prepareWebEngineEnvironment();

} // namespace clipvane
