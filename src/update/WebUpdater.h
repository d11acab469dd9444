#pragma once
#include "BuildInfo.h"
#include "UpdateCheck.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace clipvane {

class Connectivity;
class Dialogs;
class HostResolver;
class HttpClient;
class LocalMachine;
class Shell;

struct WebUpdateServices {
    Connectivity& connectivity;
    HttpClient& http;
    HostResolver& resolver;
    LocalMachine& machine;
    Shell& shell;
    Dialogs& dialogs;
};

// The web update window's logic: its four value labels, the version check, the download and the update
// log. The fetch and the address look-up of the offline warning run on a worker thread; their results
// come back through the event loop, so the window stays responsive, and a check asked for while one is
// under way starts none.
class WebUpdater : public QObject {
    Q_OBJECT
public:
    WebUpdater(WebUpdateServices services, UpdateAddresses addresses, QString localVersion, Edition edition,
               QObject* parent = nullptr);
    // Abandons a fetch under way and waits for its thread.
    ~WebUpdater() override;

    QString editionText() const { return m_edition.bits; }  // Label5
    QString localVersion() const { return m_localVersion; } // Label6
    QString webVersion() const { return m_webVersion; }     // Label7
    QString status() const { return m_status; }             // Label8

    // A check, its offline warning or a question of the download is under way.
    bool isBusy() const { return m_state != State::Idle; }
    // One of the window's own message boxes is open.
    bool isShowingMessage() const { return m_showingMessage; }

    void check();    // cyCheckUpdateClick
    void download(); // cyDownloadUpdateClick
    void openLog();  // cyCheckLogClick

signals:
    void labelsChanged();
    // A check or a download ended, with whatever it showed or opened.
    void finished();

private:
    enum class State { Idle, Fetching, LookingUpAddress, Asking };

    void warnOffline();
    void showOfflineWarning(const QString& lanAddress);
    void fetched(const QString& webVersion);
    void continueDownload();
    void setLabels(const QString& webVersion, const QString& status);
    void runInBackground(std::function<QString()> work, void (WebUpdater::*done)(const QString&));
    void endBackground();

    WebUpdateServices m_services;
    UpdateAddresses m_addresses;
    QString m_localVersion;
    Edition m_edition;
    QString m_webVersion;
    QString m_status;
    State m_state = State::Idle;
    bool m_downloadAfterCheck = false;
    bool m_showingMessage = false;
    std::atomic<bool> m_abandon{false};
    std::unique_ptr<QThread> m_worker;
};

} // namespace clipvane
