#include "QtWebView.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QOpenGLContext>
#include <QQuickWindow>
#include <QRandomGenerator>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineView>
#include <cstdio>
#include <unistd.h>
#include <utility>

// Qt's own setter of the application-wide shared context (exported by Qt GUI, used by Qt's modules).
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace clipvane {

namespace {

constexpr char kAnswerPrefix[] = "clipvane-harvest ";
constexpr char kFramePrefix[] = "clipvane-frame ";

// Reads one document: its links in tree order (open shadow roots included, where a link or a frame may
// sit as well), whether it is a frame set, and its frames, each read in place when this world may read
// it, otherwise sent a request with a fresh ticket. Shared by the top document's harvest and by every
// frame's answer.
constexpr char kWalker[] = R"JS(
function clipvaneWalk(doc, allFrames) {
  var XHTML = 'http://www.w3.org/1999/xhtml';
  function ticket() {
    var a = new Uint32Array(4);
    crypto.getRandomValues(a);
    return Array.prototype.map.call(a, function (x) { return x.toString(16); }).join('-');
  }
  function child(e) {
    var w = null, d = null;
    try { w = e.contentWindow; } catch (x) { w = null; }
    if (!w) return {skipped: true};
    try { d = e.contentDocument; } catch (x) { d = null; }
    if (d) return read(d);
    var t = ticket();
    try { w.postMessage({clipvaneHarvest: 1, ticket: t}, '*'); } catch (x) { return {skipped: true}; }
    return {ticket: t};
  }
  function scan(root, node) {
    var all = root.querySelectorAll('*');
    for (var i = 0, n = all.length; i < n; ++i) {
      var e = all[i], t = e.localName;
      if (t === 'a' || t === 'area') {
        if (!node.frameset && e.namespaceURI === XHTML && e.hasAttribute('href')) node.links.push(String(e.href));
      } else if (allFrames && (t === 'iframe' || t === 'frame') && e.namespaceURI === XHTML) {
        node.frames.push(child(e));
      }
      // An open shadow root's content stands where its host does, before the host's own children.
      var sr = e.shadowRoot;
      if (sr) scan(sr, node);
    }
  }
  function read(d) {
    var b = d.body;
    var node = {read: true, frameset: allFrames && !!b && b.localName === 'frameset', links: [], frames: []};
    scan(d, node);
    return node;
  }
  return read(doc);
}
)JS";

// Runs in every frame, in the isolated world. A request is taken before the page's own listeners (this one
// is the first on the window) and never reaches them; it counts only when it really came from a frame
// around this one. A frame other than the top also says when its document is there (an empty or inline
// frame, "about:", has nothing to say).
constexpr char kFrameScript[] = R"JS(
(function (key) {
  if (window.__clipvaneFrame) return;
  window.__clipvaneFrame = true;
  %1
  function fromAncestor(s) {
    for (var w = window; w !== w.parent; ) { w = w.parent; if (w === s) return true; }
    return false;
  }
  window.addEventListener('message', function (e) {
    var d = e.data;
    if (!d || typeof d !== 'object' || d.clipvaneHarvest !== 1) return;
    e.stopImmediatePropagation();
    if (!e.isTrusted || typeof d.ticket !== 'string' || !fromAncestor(e.source)) return;
    console.log('clipvane-harvest ' + key + ' ' + d.ticket + ' ' + JSON.stringify(clipvaneWalk(document, true)));
  }, true);
  if (window !== window.top && !/^about:/.test(location.href))
    document.addEventListener('DOMContentLoaded', function () {
      console.log('clipvane-frame ' + key + ' ' + location.href);
    }, true);
})('%2');
)JS";

QString newKey() {
    QString key;
    for (int i = 0; i < 4; ++i)
        key += QString::number(QRandomGenerator::system()->generate64(), 36);
    return key;
}

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

void prepareWebEngineEnvironment() {
    static bool done = false;
    if (done)
        return;
    done = true;
    // The engine draws through a context shared with the application's. Asking Qt for one before the
    // application starts (Qt::AA_ShareOpenGLContexts) loads the OpenGL stack at every start-up, for a
    // window that may never be shown; the module makes it when it is loaded instead.
    if (!QOpenGLContext::globalShareContext()) {
        auto* shared = new QOpenGLContext(); // lives as long as the process, as Qt's own would
        shared->create();
        qt_gl_set_global_share_context(shared);
        QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);
    }
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("Clipvane: running as root, so the web engine's sandbox is switched off.\n", stderr);
    }
}

// ---- QtWebPage

QtWebPage::QtWebPage(QtWebView& owner, QObject* parent) : QWebEnginePage(parent), m_owner(owner) {}

bool QtWebPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
    const QString text = url.toString(QUrl::FullyEncoded);
    m_owner.post([&o = m_owner, text] {
        if (o.m_events)
            o.m_events->beforeNavigate(text);
    });
    // The engine would hand mail links to the desktop itself; the window does that through the shell.
    return url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) != 0;
}

QWebEnginePage* QtWebPage::createWindow(WebWindowType) {
    if (!m_owner.m_events)
        return nullptr;
    auto* target = dynamic_cast<QtWebView*>(m_owner.m_events->newWindow());
    return target ? target->page() : nullptr;
}

void QtWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                         const QString&) {
    m_owner.consoleMessage(message);
}

void FreshRequests::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame || !m_armed.exchange(false))
        return;
    info.setHttpHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    info.setHttpHeader(QByteArrayLiteral("Pragma"), QByteArrayLiteral("no-cache"));
}

// ---- QtWebView

QtWebView::QtWebView() : m_fresh(std::make_unique<FreshRequests>()), m_key(newKey()) {
    prepareWebEngineEnvironment();
    m_view = new QWebEngineView();
    m_page = new QtWebPage(*this, m_view);
    m_page->setUrlRequestInterceptor(m_fresh.get());
    QWebEngineScript script;
    script.setName(QStringLiteral("clipvane-harvest"));
    script.setSourceCode(QString::fromLatin1(kFrameScript).arg(QString::fromLatin1(kWalker), m_key));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    m_page->scripts().insert(script);
    m_view->setPage(m_page);

    QObject::connect(m_page, &QWebEnginePage::loadingChanged, this,
                     [this](const QWebEngineLoadingInfo& info) {
                         const QString url = info.url().toString(QUrl::FullyEncoded);
                         switch (info.status()) {
                         case QWebEngineLoadingInfo::LoadStartedStatus:
                             m_loading = true;
                             m_framesDone.clear();
                             break;
                         case QWebEngineLoadingInfo::LoadSucceededStatus:
                             loadFinished(url, true);
                             break;
                         case QWebEngineLoadingInfo::LoadFailedStatus:
                             loadFinished(url, false);
                             break;
                         case QWebEngineLoadingInfo::LoadStoppedStatus:
                             m_loading = false;
                             break;
                         }
                         updateHistoryState();
                     });
    QObject::connect(m_page, &QWebEnginePage::urlChanged, this, [this] { updateHistoryState(); });
}

QtWebView::~QtWebView() {
    m_events = nullptr;
    if (m_page)
        m_page->setUrlRequestInterceptor(nullptr);
    delete m_view.data();
}

QWidget* QtWebView::widget() {
    return m_view.data();
}

template <typename F> void QtWebView::post(F&& f) {
    QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
}

void QtWebView::updateHistoryState() {
    QWebEngineHistory* h = m_page->history();
    const bool back = h->canGoBack();
    const bool forward = h->canGoForward();
    if (back != m_canGoBack) {
        m_canGoBack = back;
        post([this, back] {
            if (m_events)
                m_events->commandStateChange(kNavigateBack, back);
        });
    }
    if (forward != m_canGoForward) {
        m_canGoForward = forward;
        post([this, forward] {
            if (m_events)
                m_events->commandStateChange(kNavigateForward, forward);
        });
    }
}

void QtWebView::navigate(const QString& address, bool fresh) {
    const QUrl url(address, QUrl::TolerantMode);
    if (!fresh) {
        m_page->load(url);
        return;
    }
    const int navigation = ++m_navigation;
    QPointer<QtWebView> self(this);
    auto fallback = [self, navigation, url] {
        if (!self || self->m_navigation != navigation)
            return;
        ++self->m_navigation; // once
        QWebEngineHttpRequest request(url);
        request.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
        request.setHeader(QByteArrayLiteral("Pragma"), QByteArrayLiteral("no-cache"));
        self->m_page->load(request);
    };
    // The address bar's page takes the place of the one on display instead of adding to the back and
    // forward history: the document replaces itself. Where it cannot (nothing shown yet, another kind of
    // address, a page whose scripts do not run or stay busy) the engine loads it as usual.
    if (!isWebAddress(url) || m_page->history()->count() == 0) {
        fallback();
        return;
    }
    m_fresh->arm();
    const QString target = url.toString(QUrl::FullyEncoded);
    const QString call =
        QStringLiteral("location.replace(%1); true")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray{target}).toJson(QJsonDocument::Compact))
                     .mid(1)
                     .chopped(1));
    m_page->runJavaScript(call, QWebEngineScript::ApplicationWorld,
                          [self, navigation, fallback](const QVariant& r) {
                              if (!self || self->m_navigation != navigation)
                                  return;
                              if (r.toBool())
                                  ++self->m_navigation; // under way: the fallback below stands down
                              else
                                  fallback();
                          });
    QTimer::singleShot(1000, this, fallback);
}

void QtWebView::goBack() {
    m_page->triggerAction(QWebEnginePage::Back);
}

void QtWebView::goForward() {
    m_page->triggerAction(QWebEnginePage::Forward);
}

void QtWebView::refresh() {
    m_page->triggerAction(QWebEnginePage::Reload);
}

void QtWebView::stop() {
    m_page->triggerAction(QWebEnginePage::Stop);
}

void QtWebView::harvest(int harvest, bool allFrames) {
    // Tickets of harvests long gone are of no use any more.
    for (auto it = m_tickets.begin(); it != m_tickets.end();)
        it = it->harvest <= harvest - 64 ? m_tickets.erase(it) : std::next(it);
    const QString call =
        QStringLiteral("(function () { %1; return clipvaneWalk(document, %2); })()")
            .arg(QString::fromLatin1(kWalker), allFrames ? QStringLiteral("true") : QStringLiteral("false"));
    QPointer<QtWebView> self(this);
    m_page->runJavaScript(call, QWebEngineScript::ApplicationWorld, [self, harvest](const QVariant& result) {
        if (!self || !self->m_events)
            return;
        const QVariantMap top = result.toMap();
        if (!top.value(QStringLiteral("read")).toBool()) {
            self->m_events->harvestFailed(harvest, QStringLiteral("The page on display could not be read."));
            return;
        }
        self->deliver(harvest, {}, top);
    });
}

void QtWebView::deliver(int harvest, const FramePath& path, const QVariantMap& node) {
    HarvestedFrame content;
    content.frameset = node.value(QStringLiteral("frameset")).toBool();
    content.links = node.value(QStringLiteral("links")).toStringList();
    const QVariantList frames = node.value(QStringLiteral("frames")).toList();
    content.frames = int(frames.size());
    post([this, harvest, path, content] {
        if (m_events)
            m_events->harvestFrame(harvest, path, content);
    });
    for (int j = 0; j < frames.size(); ++j) {
        const QVariantMap child = frames[j].toMap();
        const FramePath at = path + FramePath{j};
        if (child.value(QStringLiteral("read")).toBool()) {
            deliver(harvest, at, child);
            continue;
        }
        const QString ticket = child.value(QStringLiteral("ticket")).toString();
        if (ticket.isEmpty())
            continue; // no document to ask: never arrives, counted as skipped
        const auto early = m_early.constFind(ticket);
        if (early != m_early.constEnd()) {
            const QVariantMap answer = *early;
            m_early.erase(early);
            deliver(harvest, at, answer);
        } else {
            m_tickets.insert(ticket, {harvest, at});
        }
    }
}

void QtWebView::consoleMessage(const QString& message) {
    // Only this view's isolated scripts know the key: a page that writes the same words is ignored.
    const QStringView m(message);
    if (m.startsWith(QLatin1String(kAnswerPrefix))) {
        const QStringView rest = m.mid(qsizetype(sizeof kAnswerPrefix) - 1);
        if (rest.startsWith(m_key) && rest.mid(m_key.size()).startsWith(u' '))
            harvestAnswer(rest.mid(m_key.size() + 1));
    } else if (m.startsWith(QLatin1String(kFramePrefix))) {
        const QStringView rest = m.mid(qsizetype(sizeof kFramePrefix) - 1);
        if (rest.startsWith(m_key) && rest.mid(m_key.size()).startsWith(u' '))
            frameComplete(rest.mid(m_key.size() + 1).toString());
    }
}

void QtWebView::harvestAnswer(QStringView rest) {
    // "<ticket> <json>"
    const qsizetype space = rest.indexOf(u' ');
    if (space <= 0)
        return;
    const QString ticket = rest.left(space).toString();
    const QJsonDocument doc = QJsonDocument::fromJson(rest.mid(space + 1).toUtf8());
    if (!doc.isObject())
        return;
    const QVariantMap answer = doc.object().toVariantMap();
    const auto it = m_tickets.find(ticket);
    if (it == m_tickets.end()) {
        // The answer overtook the harvest that holds its ticket; a few are kept until it comes.
        if (m_early.size() >= 256)
            m_early.clear();
        m_early.insert(ticket, answer);
        return;
    }
    const Ticket t = *it;
    m_tickets.erase(it); // a ticket counts once
    deliver(t.harvest, t.path, answer);
}

void QtWebView::frameComplete(const QString& url) {
    // A frame's document is there. While the top document still loads, its frames are told after it, as
    // they would have started after it.
    if (m_loading) {
        m_framesDone.append(url);
        return;
    }
    post([this, url] {
        if (m_events)
            m_events->navigateComplete(url);
    });
}

void QtWebView::loadFinished(const QString& url, bool ok) {
    m_loading = false;
    const QStringList frames = std::exchange(m_framesDone, {});
    post([this, url, ok] {
        if (m_events)
            ok ? m_events->navigateComplete(url) : m_events->navigateError(url);
    });
    for (const QString& frame : frames)
        post([this, frame] {
            if (m_events)
                m_events->navigateComplete(frame);
        });
}

} // namespace clipvane
