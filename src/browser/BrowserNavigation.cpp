#include "BrowserNavigation.h"

#include "BrowserControls.h"
#include "platform/Shell.h"
#include "platform/WebView.h"

#include <algorithm>

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace clipvane {

namespace {

// "host", "host:port", "127.0.0.1:8080", "[::1]:80": what may stand before the path of an address typed
// without its scheme.
bool looksLikeHost(QStringView text) {
    static const QRegularExpression host(QStringLiteral(
        "^(?:[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?)*"
        "|\\[[0-9A-Fa-f:.]+\\])(?::\\d{1,5})?$"));
    if (!host.match(text.toString()).hasMatch())
        return false;
    const QStringView name = text.left(text.startsWith(u'[') ? text.indexOf(u']') + 1 : text.indexOf(u':'));
    return name.contains(u'.') || name.startsWith(u'[') || text.contains(u':') ||
           name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString navigableAddress(const QString& text, const QString& searchHost) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    const bool hasSpace = std::any_of(t.begin(), t.end(), [](QChar c) { return c.isSpace(); });
    // A scheme of its own ("about:blank", "mailto:x", "http://x") stays as typed; "host:8080" has none.
    // With blanks in it, only "scheme://" counts: "note: buy milk" is words.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?!\\d)"));
    static const QRegularExpression schemeSlashes(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    const qsizetype colon = t.indexOf(u':');
    const bool ownScheme = colon > 0 && scheme.match(t).hasMatch() && !t.left(colon).contains(u'.');
    if (ownScheme && (!hasSpace || schemeSlashes.match(t).hasMatch()))
        return hasSpace ? QUrl(t, QUrl::TolerantMode).toString(QUrl::FullyEncoded) : t;
    if (!hasSpace) {
        if (t.contains(u'.') || t.contains(u':') || t.contains(u'/') ||
            t.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
            return QUrl::fromUserInput(t).toString(QUrl::FullyEncoded);
    } else {
        // "127.0.0.1:8080/a b": a host and a path with blanks in it is still an address.
        const qsizetype slash = t.indexOf(u'/');
        if (slash > 0 && looksLikeHost(QStringView(t).left(slash)))
            return QUrl(QStringLiteral("http://") + t, QUrl::TolerantMode).toString(QUrl::FullyEncoded);
    }
    QUrl search;
    search.setScheme(QStringLiteral("https"));
    search.setHost(searchHost);
    search.setPath(QStringLiteral("/"));
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("q"), t);
    search.setQuery(q);
    return search.toString(QUrl::FullyEncoded);
}

bool isMailLink(const QString& url) {
    return url.size() >= 7 && url.left(7).compare(QLatin1String("mailto:"), Qt::CaseInsensitive) == 0;
}

BrowserNavigation::BrowserNavigation(BrowserControls& controls, Shell& shell, QString searchHost, Yield yield)
    : m_controls(controls), m_shell(shell), m_searchHost(std::move(searchHost)), m_yield(std::move(yield)) {}

void BrowserNavigation::showFresh() {
    for (BrowserButton b : {BrowserButton::Stop, BrowserButton::PageCapture, BrowserButton::AllPageCapture,
                            BrowserButton::Refresh, BrowserButton::NavBack, BrowserButton::NavForward})
        m_controls.setButtonEnabled(b, false);
}

void BrowserNavigation::cyNavigateClick() {
    if (m_yield)
        m_yield();
    // The text as it stands after the pending messages ran: what the user sees when the engine starts.
    const QString address = navigableAddress(m_controls.addressText(), m_searchHost);
    if (m_view && !address.isEmpty())
        m_view->navigate(address, true);
}

void BrowserNavigation::home(const QString& homePage) {
    const QString address = navigableAddress(homePage, m_searchHost);
    if (m_view && !address.isEmpty())
        m_view->navigate(address, false);
}

void BrowserNavigation::cyNavBackClick() {
    if (m_view)
        m_view->goBack();
}

void BrowserNavigation::cyNavForwardClick() {
    if (m_view)
        m_view->goForward();
}

void BrowserNavigation::cyRefreshClick() {
    if (m_view)
        m_view->refresh();
}

void BrowserNavigation::cyStopClick() {
    if (m_view)
        m_view->stop();
    m_controls.setNavigationStatus(QLatin1String(kNavigationInterrupted) + m_controls.addressText() +
                                   QLatin1String(" ..."));
}

void BrowserNavigation::beforeNavigate(const QString& url) {
    const QString previous = m_controls.addressText();
    m_controls.setAddressText(url);
    m_controls.setNavigationStatus(QLatin1String(kNavigatingTo) + url + QLatin1String(" ..."));
    m_controls.setButtonEnabled(BrowserButton::Stop, true);
    m_controls.setButtonEnabled(BrowserButton::PageCapture, true);
    m_controls.setButtonEnabled(BrowserButton::AllPageCapture, true);
    if (m_yield)
        m_yield();
    // The event's own address decides, not the bar's text after the yield: another event may have
    // changed the bar meanwhile.
    if (isMailLink(url)) {
        m_controls.setButtonEnabled(BrowserButton::Stop, false);
        m_controls.setAddressText(previous);
        m_controls.setNavigationStatus(previous);
        m_shell.openMailTo(url);
    }
}

void BrowserNavigation::navigateComplete(const QString& url) {
    m_controls.setNavigationStatus(url);
    m_controls.setButtonEnabled(BrowserButton::Refresh, true);
    m_controls.setButtonEnabled(BrowserButton::Stop, false);
}

void BrowserNavigation::navigateError(const QString& url) {
    m_controls.setNavigationStatus(QLatin1String(kNavigationErrorTo) + url);
    m_controls.setButtonEnabled(BrowserButton::Stop, false);
}

void BrowserNavigation::commandStateChange(int command, bool enable) {
    if (command == WebView::kNavigateForward)
        m_controls.setButtonEnabled(BrowserButton::NavForward, enable);
    else if (command == WebView::kNavigateBack)
        m_controls.setButtonEnabled(BrowserButton::NavBack, enable);
}

} // namespace clipvane
