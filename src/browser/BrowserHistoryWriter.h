#pragma once
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <deque>
#include <optional>

namespace clipvane {

class HistoryTable;
class HostResolver;

// Writes the Capture History rows of the page link captures. Host names are resolved off the GUI thread,
// several at a time and each distinct host once per capture; the rows go into the table as the answers
// come in, always in the order of the links.
class BrowserHistoryWriter : public QObject {
    Q_OBJECT
public:
    // The resolver is called from worker threads.
    BrowserHistoryWriter(HistoryTable& table, HostResolver& resolver, int lookupsAtOnce = 8,
                         QObject* parent = nullptr);
    ~BrowserHistoryWriter() override; // waits for the lookups under way

    // One row per url, behind every row asked for before.
    void write(const QStringList& urls);
    int pendingRows() const;

signals:
    void drained(); // every row asked for is in the table

private:
    struct Batch {
        quint64 id = 0;
        QStringList urls;
        QStringList hosts;                              // per url; empty when the row needs no lookup
        QHash<QString, std::optional<QString>> answers; // host -> its address text (empty: failed)
        int next = 0;                                   // the first url without its row
    };
    void answered(quint64 batch, const QString& host, const QString& address);
    void flush();

    HistoryTable& m_table;
    HostResolver& m_resolver;
    std::deque<Batch> m_batches;
    quint64 m_lastBatch = 0;
    bool m_flushing = false;
    bool m_flushQueued = false;
    static constexpr int kRowsPerTurn = 200;
    QThreadPool m_pool;
};

} // namespace clipvane
