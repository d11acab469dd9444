#include "AddressWatch.h"

#include "NetworkAddress.h"

namespace clipvane {

AddressWatch::AddressWatch(Connectivity& connectivity, HttpClient& http, QString serviceUrl, Yield yield,
                           QObject* parent)
    : QObject(parent), m_connectivity(connectivity), m_http(http), m_serviceUrl(std::move(serviceUrl)),
      m_yield(std::move(yield)) {}

void AddressWatch::showAtStartup() {
    m_panel = IsInternetConnected(m_connectivity) ? GetPublicIp(m_http, m_serviceUrl)
                                                  : QString::fromLatin1(kDisconnected);
    emit panelTextChanged(m_panel);
    m_refreshRunning = false;
    emit refreshRunningChanged(false);
}

void AddressWatch::watchTick() {
    if (m_yield)
        m_yield();
    if (!IsInternetConnected(m_connectivity)) {
        setPanel(QString::fromLatin1(kDisconnected));
        setRefreshRunning(true);
    } else {
        // While the panel still reads "Disconnected" the refresh runs, even when it never started: a start
        // without a connection that comes back before the first tick would otherwise keep that text for good.
        setRefreshRunning(m_panel == QLatin1String(kDisconnected));
    }
}

void AddressWatch::refreshTick() {
    if (m_yield)
        m_yield();
    // Without a connection the request cannot succeed: making it anyway would only load the HTTP stack
    // (libcurl and TLS, megabytes) into an offline session. The first tick with a connection asks.
    if (!IsInternetConnected(m_connectivity))
        return;
    const QString address = GetPublicIp(m_http, m_serviceUrl);
    if (!address.isEmpty())
        setPanel(address);
}

void AddressWatch::setPanel(const QString& text) {
    if (text == m_panel)
        return;
    m_panel = text;
    emit panelTextChanged(m_panel);
}

void AddressWatch::setRefreshRunning(bool running) {
    if (running == m_refreshRunning)
        return;
    m_refreshRunning = running;
    emit refreshRunningChanged(running);
}

} // namespace clipvane
