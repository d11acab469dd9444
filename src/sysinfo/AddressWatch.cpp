#include "AddressWatch.h"

#include "NetworkAddress.h"

#include <QThread>

namespace clipvane {

AddressWatch::AddressWatch(Connectivity& connectivity, HttpClient& http, QString serviceUrl, Yield yield,
                           QObject* parent)
    : QObject(parent), m_connectivity(connectivity), m_http(http), m_serviceUrl(std::move(serviceUrl)),
      m_yield(std::move(yield)) {
    m_firstAsk.setSingleShot(true);
    connect(&m_firstAsk, &QTimer::timeout, this, &AddressWatch::askInBackground);
}

AddressWatch::~AddressWatch() {
    m_abandon = true;
    if (m_worker)
        m_worker->wait();
}

void AddressWatch::showAtStartup(int firstAskDelayMs) {
    if (IsInternetConnected(m_connectivity)) {
        m_panel.clear();
        emit panelTextChanged(m_panel);
        m_firstAsk.start(firstAskDelayMs);
    } else {
        m_panel = QString::fromLatin1(kDisconnected);
        emit panelTextChanged(m_panel);
    }
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
    askInBackground();
}

void AddressWatch::askInBackground() {
    m_firstAsk.stop();
    if (m_worker)
        return; // one request at a time: a slow answer is not asked for again every second
    HttpClient* http = &m_http;
    const QString url = m_serviceUrl;
    const std::atomic<bool>* abandon = &m_abandon;
    // The watch outlives the thread (its destructor waits for it); the answer posted to it is dropped
    // when the watch is gone by the time the event loop gets to it.
    m_worker.reset(QThread::create([this, http, url, abandon] {
        const QString address = GetPublicIp(*http, url, abandon);
        QMetaObject::invokeMethod(
            this, [this, address] { answered(address); }, Qt::QueuedConnection);
    }));
    m_worker->start();
}

void AddressWatch::answered(const QString& address) {
    if (m_worker) {
        m_worker->wait();
        m_worker.reset();
    }
    if (!address.isEmpty())
        setPanel(address);
    emit requestFinished();
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
