#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class QWidget;

namespace clipvane {

class WebView;

// Where a frame sits in its page: the positions of the frames leading to it, the top document being the
// empty path. Ordered as the page is, depth first: a frame comes before the frames it holds.
using FramePath = QVector<int>;

// What one frame of a page holds for a link capture.
struct HarvestedFrame {
    bool frameset = false; // a frame set document has no links of its own
    QStringList links;     // absolute addresses as the page resolves them, in document order
    int frames = 0;        // the frames it holds (at paths path + [0 .. frames - 1])
};

// The events of a web view. They arrive from the event loop, never from inside the engine's own calls,
// so a handler may let pending messages run; newWindow is the one exception.
class WebViewEvents {
public:
    virtual ~WebViewEvents() = default;
    // Before every navigation, top level and frames alike. Mail links arrive here too: the view never
    // follows them itself.
    virtual void beforeNavigate(const QString& url) = 0;
    virtual void navigateComplete(const QString& url) = 0;
    virtual void navigateError(const QString& url) = 0;
    // WebView::kNavigateForward or WebView::kNavigateBack became possible or impossible.
    virtual void commandStateChange(int command, bool enable) = 0;
    // A page asks for a new window: the view to load it in, or null to refuse. Called from inside the
    // engine: no message boxes, no yields here.
    virtual WebView* newWindow() = 0;

    // A link harvest (WebView::harvest): each frame's content, in any order, the top document included.
    // A frame that cannot be read never arrives; the frame that holds it counts it all the same.
    virtual void harvestFrame(int harvest, const FramePath& path, const HarvestedFrame& content) = 0;
    // The page could not be read at all (no document, or it went away during the harvest).
    virtual void harvestFailed(int harvest, const QString& error) = 0;
};

// An embedded web page view.
class WebView {
public:
    static constexpr int kNavigateForward = 1;
    static constexpr int kNavigateBack = 2;

    virtual ~WebView() = default;
    // The page's widget, for the window to place; owned by the view.
    virtual QWidget* widget() = 0;
    virtual void setEvents(WebViewEvents* events) = 0;
    // fresh: asks every server for a fresh copy (no-cache request headers) instead of the cached one.
    virtual void navigate(const QString& address, bool fresh) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void refresh() = 0;
    virtual void stop() = 0;
    // Starts reading the links of the page on display: the top document only, or every frame at any
    // depth as well. The harvest events carry the caller's number for it; harvests may overlap.
    virtual void harvest(int harvest, bool allFrames) = 0;
};

// Makes the views. The engine is heavy: the production factory loads it on the first request.
class WebViewFactory {
public:
    virtual ~WebViewFactory() = default;
    // A new view, or null when no engine can be loaded (the reason in *error).
    virtual std::unique_ptr<WebView> create(QString* error) = 0;
};

} // namespace clipvane
