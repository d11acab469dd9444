#include "CheckEngine.h"

#include "UrlCheck.h"
#include "platform/Connectivity.h"

#include <QPointer>

namespace clipvane {

CheckRun::CheckRun(QStringList texts, Connectivity& connectivity, UrlChecker& checker)
    : m_texts(std::move(texts)), m_outcomes(m_texts.size()), m_connectivity(connectivity),
      m_checker(checker) {}

CheckRun::~CheckRun() = default;

QString CheckRun::reasonOf(int index) const {
    if (index < 0 || index >= m_outcomes.size())
        return {};
    const Outcome& o = m_outcomes[index];
    if (!o.delivered || o.accepted)
        return {};
    return o.online ? rejectionReason(o.result) : QString::fromLatin1(kOfflineReason);
}

void CheckRun::take(const HttpStatusResults& results) {
    // One answer of the connection test for what arrived together: a check made while the connection is
    // gone gets CheckUrl's offline verdict.
    const bool online = m_connectivity.isInternetConnected();
    for (const auto& [index, result] : results) {
        if (index < 0 || index >= m_outcomes.size() || m_outcomes[index].in)
            continue;
        Outcome& o = m_outcomes[index];
        o.in = true;
        o.online = online;
        o.result = result;
        ++m_completed;
    }
    QPointer<CheckRun> self(this);
    emit progressed(m_completed);
    if (self)
        deliverInOrder();
}

void CheckRun::takeAllOffline() {
    for (Outcome& o : m_outcomes) {
        o.in = true;
        o.online = false;
    }
    m_completed = count();
    QPointer<CheckRun> self(this);
    emit progressed(m_completed);
    if (self)
        deliverInOrder();
}

void CheckRun::deliverInOrder() {
    if (m_delivering)
        return; // a slot let pending messages run: the outer call goes on delivering
    m_delivering = true;
    QPointer<CheckRun> self(this);
    while (m_delivered < count() && m_outcomes[m_delivered].in) {
        const int index = m_delivered++;
        const Outcome& o = m_outcomes[index];
        const QString& url = m_texts[index];
        bool accepted;
        if (o.online) {
            m_checker.checkedOnline(url);
            accepted = onlineVerdict(o.result);
        } else {
            accepted = m_checker.offlineVerdict(url);
        }
        m_outcomes[index].delivered = true;
        m_outcomes[index].accepted = accepted;
        emit checked(index, accepted);
        if (!self)
            return;
    }
    m_delivering = false;
    if (isFinished() && !m_finishedSent) {
        m_finishedSent = true;
        m_batch.reset();
        emit finished();
    }
}

CheckEngine::CheckEngine(Connectivity& connectivity, HttpClient& http, UrlChecker& checker,
                         HttpBatchLimits limits)
    : m_connectivity(connectivity), m_http(http), m_checker(checker), m_limits(limits) {}

std::unique_ptr<CheckRun> CheckEngine::start(const QStringList& texts) {
    QStringList urls;
    urls.reserve(texts.size());
    for (const QString& t : texts)
        urls.append(NormaliseUrl(t));
    std::unique_ptr<CheckRun> run(new CheckRun(urls, m_connectivity, m_checker));
    CheckRun* r = run.get();
    if (urls.isEmpty() || !m_connectivity.isInternetConnected()) {
        // No request at all, as CheckUrl sends none offline; still answered from the event loop.
        QMetaObject::invokeMethod(
            r, [r] { r->takeAllOffline(); }, Qt::QueuedConnection);
        return run;
    }
    QList<HttpStatusRequest> requests;
    requests.reserve(urls.size());
    for (const QString& url : urls)
        requests.append(checkRequest(url));
    r->m_batch = m_http.startStatusBatch(std::move(requests), m_limits, r,
                                         [r](HttpStatusResults results) { r->take(results); });
    return run;
}

} // namespace clipvane
