#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace clipvane {

class Connectivity;
class HttpClient;

inline constexpr char kDisconnected[] = "Disconnected";

// The public address panel of the main window and its two timers' logic: the watch tick (every second,
// always) and the refresh tick (every second while refreshRunning()). The window shows panelText() and runs
// its refresh timer exactly while refreshRunning() is true; the signals tell it when either changes.
// The request itself runs on a worker thread: a silent echo service or resolver never holds the window.
class AddressWatch : public QObject {
    Q_OBJECT
public:
    using Yield = std::function<void()>;
    AddressWatch(Connectivity& connectivity, HttpClient& http, QString serviceUrl, Yield yield,
                 QObject* parent = nullptr);
    // Abandons a request still running and waits for its thread (about a second at most).
    ~AddressWatch() override;

    // Start-up: when connected, the panel is empty until the address comes (it stays empty when the request
    // fails), else "Disconnected"; the refresh stops. The request starts firstAskDelayMs later: loading the
    // HTTP stack (libcurl, TLS) on a worker would compete with the window's own start for the processor
    // and the dynamic loader.
    void showAtStartup(int firstAskDelayMs = 0);
    // Timer2: "Disconnected" and the refresh running while there is no connection; once it is back, the
    // refresh runs until an address replaced "Disconnected", then stops.
    void watchTick();
    // Timer1: asks again unless a request is still out; a new address replaces the panel text, a failed
    // request leaves it.
    void refreshTick();

    QString panelText() const { return m_panel; }
    bool refreshRunning() const { return m_refreshRunning; }
    // A request running, or the start-up one still to start.
    bool requestPending() const { return m_worker != nullptr || m_firstAsk.isActive(); }

signals:
    void panelTextChanged(const QString& text);
    void refreshRunningChanged(bool running);
    // A request ended (whatever its answer); tests and the benchmark wait for it.
    void requestFinished();

private:
    void askInBackground();
    void answered(const QString& address);
    void setPanel(const QString& text);
    void setRefreshRunning(bool running);

    Connectivity& m_connectivity;
    HttpClient& m_http;
    QString m_serviceUrl;
    Yield m_yield;
    QString m_panel;
    bool m_refreshRunning = false;
    std::unique_ptr<QThread> m_worker;
    QTimer m_firstAsk;
    std::atomic<bool> m_abandon{false};
};

} // namespace clipvane
