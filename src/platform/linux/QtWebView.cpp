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
#include <QWebEngineView>
#include <cstdio>
#include <unistd.h>

// Qt's own setter of the application-wide shared context (exported by Qt GUI, used by Qt's modules).
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace clipvane {

namespace {

constexpr char kAnswerPrefix[] = "clipvane-harvest ";

// Runs in every frame, in a world of its own that the page's scripts cannot reach. A frame that the top
// document may not read (another origin) answers a request from it on the console, which goes to the
// application and nowhere else; the request carries nothing but a number.
constexpr char kFrameScript[] = R"JS(
(function () {
  if (window.__clipvaneHarvest) return;
  window.__clipvaneHarvest = true;
  window.addEventListener('message', function (e) {
    var d = e.data;
    if (!d || typeof d !== 'object' || d.clipvaneHarvest !== 1 || typeof d.nonce !== 'string') return;
    var b = document.body, fs = !!b && b.localName === 'frameset';
    var links = fs ? [] : Array.prototype.map.call(document.links, function (l) { return String(l.href); });
    console.log('clipvane-harvest ' + d.nonce + ' ' + d.index + ' ' + JSON.stringify({frameset: fs, links: links}));
  }, true);
})();
)JS";

// Walks the frames from the top, depth first, numbering them in that order. A frame of the same origin is
// read directly; any other is asked to answer for itself.
constexpr char kHarvestScript[] = R"JS(
(function (nonce, allFrames) {
  var out = [];
  function own(doc, checkBody) {
    var b = doc.body, fs = checkBody && !!b && b.localName === 'frameset';
    return {frameset: fs, links: fs ? [] : Array.prototype.map.call(doc.links, function (l) { return String(l.href); })};
  }
  function walk(w) {
    var index = out.length, entry = {};
    out.push(entry);
    var doc = null;
    try { doc = w.document; } catch (e) { doc = null; }
    if (doc) {
      var r = own(doc, allFrames);
      entry.links = r.links; entry.frameset = r.frameset; entry.read = true;
    } else {
      try { w.postMessage({clipvaneHarvest: 1, nonce: nonce, index: index}, '*'); } catch (e) {}
    }
    if (!allFrames) return;
    var n = 0;
    try { n = w.length; } catch (e) { n = 0; }
    for (var j = 0; j < n; ++j) {
      var child = null;
      try { child = w[j]; } catch (e) { child = null; }
      if (child) walk(child); else out.push({});
    }
  }
  walk(window);
  return out;
})
)JS";

HarvestedFrame frameFrom(const QJsonObject& o) {
    HarvestedFrame f;
    f.frameset = o.value(QLatin1String("frameset")).toBool();
    const QJsonArray links = o.value(QLatin1String("links")).toArray();
    f.links.reserve(links.size());
    for (const QJsonValue& l : links)
        f.links.append(l.toString());
    return f;
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
    if (message.startsWith(QLatin1String(kAnswerPrefix)))
        m_owner.harvestAnswer(message);
}

// ---- QtWebView

QtWebView::QtWebView() {
    prepareWebEngineEnvironment();
    m_view = new QWebEngineView();
    m_page = new QtWebPage(*this, m_view);
    QWebEngineScript script;
    script.setName(QStringLiteral("clipvane-harvest"));
    script.setSourceCode(QString::fromLatin1(kFrameScript));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    m_page->scripts().insert(script);
    m_view->setPage(m_page);

    QObject::connect(m_page, &QWebEnginePage::loadingChanged, this,
                     [this](const QWebEngineLoadingInfo& info) {
                         const QString url = info.url().toString(QUrl::FullyEncoded);
                         switch (info.status()) {
                         case QWebEngineLoadingInfo::LoadSucceededStatus:
                             post([this, url] {
                                 if (m_events)
                                     m_events->navigateComplete(url);
                             });
                             break;
                         case QWebEngineLoadingInfo::LoadFailedStatus:
                             post([this, url] {
                                 if (m_events)
                                     m_events->navigateError(url);
                             });
                             break;
                         case QWebEngineLoadingInfo::LoadStoppedStatus:
                         case QWebEngineLoadingInfo::LoadStartedStatus:
                             break;
                         }
                         updateHistoryState();
                     });
    QObject::connect(m_page, &QWebEnginePage::urlChanged, this, [this] { updateHistoryState(); });
}

QtWebView::~QtWebView() {
    m_events = nullptr;
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
    QWebEngineHttpRequest request(url);
    request.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    request.setHeader(QByteArrayLiteral("Pragma"), QByteArrayLiteral("no-cache"));
    m_page->load(request);
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
    m_nonce = QString::number(QRandomGenerator::global()->generate64(), 36) + u'-' + QString::number(harvest);
    const QString call = QString::fromLatin1(kHarvestScript) +
                         QStringLiteral("('%1', %2)").arg(m_nonce, allFrames ? "true" : "false");
    QPointer<QtWebView> self(this);
    m_page->runJavaScript(call, QWebEngineScript::ApplicationWorld, [self, harvest](const QVariant& result) {
        if (!self || !self->m_events)
            return;
        const QVariantList frames = result.toList();
        if (frames.isEmpty()) {
            self->m_events->harvestFailed(harvest, QStringLiteral("The page on display could not be read."));
            return;
        }
        self->m_events->harvestFrames(harvest, int(frames.size()));
        for (int i = 0; i < frames.size(); ++i) {
            const QVariantMap f = frames[i].toMap();
            if (!f.value(QStringLiteral("read")).toBool())
                continue;
            HarvestedFrame content;
            content.frameset = f.value(QStringLiteral("frameset")).toBool();
            content.links = f.value(QStringLiteral("links")).toStringList();
            if (!self->m_events)
                return;
            self->m_events->harvestFrame(harvest, i, content);
        }
    });
}

void QtWebView::harvestAnswer(const QString& message) {
    // "clipvane-harvest <nonce> <frame> <json>"
    const QStringView rest = QStringView(message).mid(qsizetype(sizeof kAnswerPrefix) - 1);
    const qsizetype s1 = rest.indexOf(u' ');
    const qsizetype s2 = s1 < 0 ? -1 : rest.indexOf(u' ', s1 + 1);
    if (s2 < 0 || rest.left(s1) != m_nonce)
        return;
    bool ok = false;
    const int frame = rest.mid(s1 + 1, s2 - s1 - 1).toInt(&ok);
    const QJsonDocument doc = QJsonDocument::fromJson(rest.mid(s2 + 1).toUtf8());
    if (!ok || !doc.isObject())
        return;
    const int harvest = m_nonce.section(u'-', 1).toInt();
    const HarvestedFrame content = frameFrom(doc.object());
    post([this, harvest, frame, content] {
        if (m_events)
            m_events->harvestFrame(harvest, frame, content);
    });
}

} // namespace clipvane
