#include "BrowserHistoryWriter.h"

#include "history/HistoryTable.h"
#include "history/HostRules.h"

#include <QSet>
#include <algorithm>

namespace clipvane {

BrowserHistoryWriter::BrowserHistoryWriter(HistoryTable& table, HostResolver& resolver, int lookupsAtOnce,
                                           QObject* parent)
    : QObject(parent), m_table(table), m_resolver(resolver) {
    m_pool.setMaxThreadCount(std::max(1, lookupsAtOnce));
}

BrowserHistoryWriter::~BrowserHistoryWriter() {
    m_pool.clear();
    m_pool.waitForDone();
}

int BrowserHistoryWriter::pendingRows() const {
    int n = 0;
    for (const Batch& b : m_batches)
        n += int(b.urls.size()) - b.next;
    return n;
}

namespace {

// The host of each url (empty where the row needs no lookup) and the distinct hosts to look up.
struct Hosts {
    QStringList ofUrl;
    QStringList lookups;
};

Hosts hostsOf(const QStringList& urls) {
    Hosts h;
    h.ofUrl.reserve(urls.size());
    QSet<QString> seen;
    for (const QString& url : urls) {
        const QString host = ExtractHost(url);
        // A row without a domain is "N/A" throughout and asks nobody.
        if (DomainOfHost(host).isEmpty()) {
            h.ofUrl.append(QString());
            continue;
        }
        h.ofUrl.append(host);
        if (!seen.contains(host)) {
            seen.insert(host);
            h.lookups.append(host);
        }
    }
    return h;
}

} // namespace

void BrowserHistoryWriter::write(const QStringList& urls) {
    if (urls.isEmpty())
        return;
    Batch batch;
    batch.id = ++m_lastBatch;
    batch.captured = m_table.now();
    batch.urls = urls;
    const quint64 id = batch.id;
    m_batches.push_back(std::move(batch));
    // Tens of thousands of links take a while to sort by host: done on a worker too.
    m_pool.start([this, id, urls] {
        const Hosts hosts = hostsOf(urls);
        QMetaObject::invokeMethod(
            this, [this, id, hosts] { prepared(id, hosts.ofUrl, hosts.lookups); }, Qt::QueuedConnection);
    });
}

void BrowserHistoryWriter::prepared(quint64 id, const QStringList& hosts, const QStringList& lookups) {
    const auto b =
        std::find_if(m_batches.begin(), m_batches.end(), [id](const Batch& x) { return x.id == id; });
    if (b == m_batches.end() || b->prepared)
        return;
    b->hosts = hosts;
    for (const QString& host : lookups)
        b->answers.insert(host, std::nullopt);
    b->prepared = true;
    for (const QString& host : lookups) {
        HostResolver* resolver = &m_resolver;
        m_pool.start([this, resolver, id, host] {
            const QString address = ResolveHostIPv4(host, *resolver);
            {
                QMutexLocker lock(&m_answersLock);
                m_answers.append({id, host, address});
            }
            QMetaObject::invokeMethod(
                this,
                [this] {
                    takeAnswers();
                    flush();
                },
                Qt::QueuedConnection);
        });
    }
    flush();
}

void BrowserHistoryWriter::takeAnswers() {
    QList<Answer> answers;
    {
        QMutexLocker lock(&m_answersLock);
        answers.swap(m_answers);
    }
    for (const Answer& a : answers)
        for (Batch& b : m_batches)
            if (b.id == a.batch) {
                b.answers[a.host] = a.address;
                break;
            }
}

void BrowserHistoryWriter::finishPending(int milliseconds) {
    QList<QPair<quint64, QStringList>> unprepared;
    for (const Batch& b : m_batches)
        if (!b.prepared)
            unprepared.append({b.id, b.urls});
    for (const auto& [id, urls] : unprepared) {
        const Hosts hosts = hostsOf(urls);
        prepared(id, hosts.ofUrl, hosts.lookups);
    }
    // The lookups get the time given, then those not started are dropped: their rows say "Unresolved.".
    m_pool.waitForDone(milliseconds);
    m_pool.clear();
    takeAnswers();
    QList<BrowserHistoryRow> rows;
    for (Batch& b : m_batches) {
        for (; b.next < b.urls.size(); ++b.next) {
            const QString& host = b.hosts[b.next];
            QString address;
            if (!host.isEmpty()) {
                const std::optional<QString>& answer = b.answers[host];
                address = answer ? *answer : QStringLiteral("Unresolved.");
            }
            rows.append({b.urls[b.next], address, b.captured});
        }
    }
    m_batches.clear();
    m_table.addBrowserEntries(rows);
    emit drained();
}

void BrowserHistoryWriter::flush() {
    if (m_flushing)
        return;
    m_flushing = true;
    // The rows whose hosts have answered go in together, a thousand at most each turn: the window stays
    // responsive while tens of thousands go in, and a grid showing the table lays them out in few steps.
    QList<BrowserHistoryRow> rows;
    bool waiting = false;
    while (!m_batches.empty() && !waiting) {
        Batch& b = m_batches.front();
        if (!b.prepared)
            break;
        while (b.next < b.urls.size()) {
            const QString& host = b.hosts[b.next];
            QString address;
            if (!host.isEmpty()) {
                const std::optional<QString>& answer = b.answers[host];
                if (!answer) {
                    waiting = true;
                    break;
                }
                address = *answer;
            }
            if (rows.size() == kRowsPerTurn)
                break;
            rows.append({b.urls[b.next], address, b.captured});
            ++b.next;
        }
        if (waiting || rows.size() == kRowsPerTurn)
            break;
        m_batches.pop_front();
    }
    m_table.addBrowserEntries(rows);
    m_flushing = false;
    if (rows.size() == kRowsPerTurn && !m_batches.empty()) {
        if (!m_flushQueued) {
            m_flushQueued = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_flushQueued = false;
                    flush();
                },
                Qt::QueuedConnection);
        }
        return;
    }
    if (m_batches.empty())
        emit drained();
}

} // namespace clipvane
