#include "BrowserHistoryWriter.h"

#include "history/HistoryTable.h"

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

void BrowserHistoryWriter::write(const QStringList& urls) {
    if (urls.isEmpty())
        return;
    Batch batch;
    batch.id = ++m_lastBatch;
    batch.urls = urls;
    batch.hosts.reserve(urls.size());
    QStringList lookups;
    for (const QString& url : urls) {
        const QString host = ExtractHost(url);
        // A row without a domain is "N/A" throughout and asks nobody.
        if (DomainOfHost(host).isEmpty()) {
            batch.hosts.append(QString());
            continue;
        }
        batch.hosts.append(host);
        if (!batch.answers.contains(host)) {
            batch.answers.insert(host, std::nullopt);
            lookups.append(host);
        }
    }
    const quint64 id = batch.id;
    m_batches.push_back(std::move(batch));
    for (const QString& host : lookups) {
        HostResolver* resolver = &m_resolver;
        m_pool.start([this, resolver, id, host] {
            const QString address = ResolveHostIPv4(host, *resolver);
            QMetaObject::invokeMethod(
                this, [this, id, host, address] { answered(id, host, address); }, Qt::QueuedConnection);
        });
    }
    flush();
}

void BrowserHistoryWriter::answered(quint64 batch, const QString& host, const QString& address) {
    for (Batch& b : m_batches)
        if (b.id == batch) {
            b.answers[host] = address;
            break;
        }
    flush();
}

void BrowserHistoryWriter::flush() {
    if (m_flushing)
        return;
    m_flushing = true;
    int written = 0;
    while (!m_batches.empty()) {
        Batch& b = m_batches.front();
        while (b.next < b.urls.size()) {
            const QString& host = b.hosts[b.next];
            QString address;
            if (!host.isEmpty()) {
                const std::optional<QString>& answer = b.answers[host];
                if (!answer) {
                    m_flushing = false;
                    return;
                }
                address = *answer;
            }
            // A few hundred rows at a time: the window stays responsive while thousands go in.
            if (written == kRowsPerTurn) {
                m_flushing = false;
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
            m_table.AddBrowserHistoryEntry(b.urls[b.next], address);
            ++b.next;
            ++written;
        }
        m_batches.pop_front();
    }
    m_flushing = false;
    emit drained();
}

} // namespace clipvane
