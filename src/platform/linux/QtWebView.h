#pragma once
#include "platform/WebView.h"

#include <QPointer>
#include <QWebEnginePage>

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

// The web view on Qt WebEngine.
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
    void harvestAnswer(const QString& message);

    QPointer<QWebEngineView> m_view;
    QtWebPage* m_page = nullptr;
    WebViewEvents* m_events = nullptr;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    QString m_nonce; // tells this view's harvest answers from a page's own console output
};

// Qt WebEngine's sandbox cannot start for root: switched off then, with a word on the terminal.
void prepareWebEngineEnvironment();

} // namespace clipvane
