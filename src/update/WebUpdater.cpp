#include "WebUpdater.h"

#include "UpdatePage.h"
#include "core/Dialogs.h"
#include "platform/Connectivity.h"
#include "platform/HttpClient.h"
#include "platform/Shell.h"
#include "sysinfo/NetworkAddress.h"

#include <QThread>
#include <QUrl>

namespace clipvane {

namespace {

QString fetchWebVersion(HttpClient& http, const QString& url, const std::atomic<bool>* abandon) {
    HttpGetRequest request;
    request.url = url;
    request.maxBodyBytes = 1 << 20;
    request.followRedirects = false;
    request.abandon = abandon;
    const HttpGetResult reply = http.get(request);
    // A failed request, a redirection (not followed) or an error status is an empty page.
    if (!reply.ok || reply.status < 200 || reply.status > 299)
        return {};
    return webVersionFromBody(reply.body);
}

} // namespace

WebUpdater::WebUpdater(WebUpdateServices services, UpdateAddresses addresses, QString localVersion,
                       Edition edition, QObject* parent)
    : QObject(parent), m_services(services), m_addresses(std::move(addresses)),
      m_localVersion(std::move(localVersion)), m_edition(std::move(edition)),
      m_webVersion(QString::fromLatin1(kUnknown)), m_status(QString::fromLatin1(kUnknown)) {}

WebUpdater::~WebUpdater() {
    m_abandon = true;
    if (m_worker)
        m_worker->wait();
}

void WebUpdater::check() {
    if (isBusy())
        return;
    if (!IsInternetConnected(m_services.connectivity)) {
        warnOffline();
        return;
    }
    setLabels(QString::fromLatin1(kChecking), QString::fromLatin1(kChecking));
    m_state = State::Fetching;
    HttpClient* http = &m_services.http;
    const QString url = m_addresses.updatePage;
    const std::atomic<bool>* abandon = &m_abandon;
    runInBackground([http, url, abandon] { return fetchWebVersion(*http, url, abandon); },
                    &WebUpdater::fetched);
}

void WebUpdater::fetched(const QString& webVersion) {
    const CheckOutcome outcome = judgeVersion(webVersion, m_localVersion);
    setLabels(outcome.webVersion, outcome.status);
    m_state = State::Idle;
    if (m_downloadAfterCheck) {
        m_downloadAfterCheck = false;
        continueDownload();
        return;
    }
    emit finished();
}

void WebUpdater::warnOffline() {
    m_downloadAfterCheck = false;
    m_state = State::LookingUpAddress;
    LocalMachine* machine = &m_services.machine;
    HostResolver* resolver = &m_services.resolver;
    runInBackground([machine, resolver] { return LanAddressText(*machine, *resolver); },
                    &WebUpdater::showOfflineWarning);
}

void WebUpdater::showOfflineWarning(const QString& lanAddress) {
    m_state = State::Asking;
    m_showingMessage = true;
    m_services.dialogs.message(MessageKind::Warning,
                               QString::fromLatin1(kNoConnection) + QLatin1Char('\n') + lanAddress,
                               Buttons::Cancel);
    m_showingMessage = false;
    m_state = State::Idle;
    emit finished();
}

void WebUpdater::download() {
    if (m_state == State::Fetching) {
        m_downloadAfterCheck = true; // the download follows the check under way
        return;
    }
    if (isBusy())
        return;
    if (!IsInternetConnected(m_services.connectivity)) {
        warnOffline();
        return;
    }
    if (m_webVersion == QLatin1String(kUnknown)) {
        m_downloadAfterCheck = true;
        check();
        return;
    }
    continueDownload();
}

void WebUpdater::continueDownload() {
    if (m_status == QLatin1String(kUpToDate)) {
        m_state = State::Asking;
        m_showingMessage = true;
        const Answer answer = m_services.dialogs.message(
            MessageKind::Information, QString::fromLatin1(kDownloadAnyway), Buttons::YesNo);
        m_showingMessage = false;
        m_state = State::Idle;
        if (answer != Answer::Yes) {
            emit finished();
            return;
        }
    }
    m_services.shell.openUrl(QUrl(m_addresses.downloadFor(m_edition.package)));
    emit finished();
}

void WebUpdater::openLog() {
    m_services.shell.openUrl(QUrl(m_addresses.updateLog));
}

void WebUpdater::setLabels(const QString& webVersion, const QString& status) {
    m_webVersion = webVersion;
    m_status = status;
    emit labelsChanged();
}

void WebUpdater::runInBackground(std::function<QString()> work, void (WebUpdater::*done)(const QString&)) {
    m_worker.reset(QThread::create([this, work = std::move(work), done] {
        const QString result = work();
        // Back on the GUI thread; dropped when this object is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, result, done] {
                endBackground();
                (this->*done)(result);
            },
            Qt::QueuedConnection);
    }));
    m_worker->start();
}

void WebUpdater::endBackground() {
    if (m_worker) {
        m_worker->wait();
        m_worker.reset();
    }
}

} // namespace clipvane
