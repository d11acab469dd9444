#pragma once
#include <QDateTime>
#include <QHash>
#include <QMutex>
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
// come in, always in the order of the links, dated by the moment of their capture.
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
    // Before the history is saved at exit: waits for the lookups under way at most `milliseconds`, then
    // writes every row still waiting, "Unresolved." where its host has not answered. Nothing is dropped.
    void finishPending(int milliseconds);

signals:
    void drained(); // every row asked for is in the table

private:
    struct Batch {
        quint64 id = 0;
        QDateTime captured;
        QStringList urls;
        QStringList hosts;                              // per url; empty when the row needs no lookup
        QHash<QString, std::optional<QString>> answers; // host -> its address text (empty: failed)
        int next = 0;                                   // the first url without its row
        bool prepared = false;                          // hosts known and their lookups started
    };
    struct Answer {
        quint64 batch;
        QString host;
        QString address;
    };
    void prepared(quint64 id, const QStringList& hosts, const QStringList& lookups);
    void takeAnswers();
    void flush();

    HistoryTable& m_table;
    HostResolver& m_resolver;
    std::deque<Batch> m_batches;
    quint64 m_lastBatch = 0;
    bool m_flushing = false;
    bool m_flushQueued = false;
    static constexpr int kRowsPerTurn = 1000;
    QMutex m_answersLock; // the lookups' answers, handed over from the worker threads
    QList<Answer> m_answers;
    QThreadPool m_pool;
};

} // namespace clipvane
