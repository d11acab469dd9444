#pragma once
#include <QObject>
#include <QString>
#include <functional>

namespace clipvane {

class Connectivity;
class HttpClient;

inline constexpr char kDisconnected[] = "Disconnected";

// The public address panel of the main window and its two timers' logic: the watch tick (every second,
// always) and the refresh tick (every second while refreshRunning()). The window shows panelText() and runs
// its refresh timer exactly while refreshRunning() is true; the signals tell it when either changes.
class AddressWatch : public QObject {
    Q_OBJECT
public:
    using Yield = std::function<void()>;
    AddressWatch(Connectivity& connectivity, HttpClient& http, QString serviceUrl, Yield yield,
                 QObject* parent = nullptr);

    // Start-up: the address when connected (empty when the request failed), else "Disconnected"; the
    // refresh stops.
    void showAtStartup();
    // Timer2: "Disconnected" and the refresh running while there is no connection; once it is back, the
    // refresh runs until an address replaced "Disconnected", then stops.
    void watchTick();
    // Timer1: a new address replaces the panel text; a failed request leaves it.
    void refreshTick();

    QString panelText() const { return m_panel; }
    bool refreshRunning() const { return m_refreshRunning; }

signals:
    void panelTextChanged(const QString& text);
    void refreshRunningChanged(bool running);

private:
    void setPanel(const QString& text);
    void setRefreshRunning(bool running);

    Connectivity& m_connectivity;
    HttpClient& m_http;
    QString m_serviceUrl;
    Yield m_yield;
    QString m_panel;
    bool m_refreshRunning = false;
};

} // namespace clipvane
