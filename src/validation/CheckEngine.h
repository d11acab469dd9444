#pragma once
#include "platform/HttpClient.h"

#include <QObject>
#include <QStringList>
#include <QVector>
#include <memory>

namespace clipvane {

class Connectivity;
class UrlChecker;

// One set of URL checks in progress. Each check is exactly CheckUrl's: the same request and the same
// verdict, online by the server's final status, offline by the option alone (asked as each result comes
// in). Verdicts are handed out in the order of the texts, and LastCheckedUrl follows them in that order,
// so a run ends with the state a run of CheckUrl, one text after another, would leave. Everything is
// delivered from the event loop of the GUI thread, never from inside the call that started the run.
class CheckRun : public QObject {
    Q_OBJECT
public:
    ~CheckRun() override;
    int count() const { return int(m_texts.size()); }
    int completed() const { return m_completed; } // checks answered, in any order
    bool isFinished() const { return m_delivered == count(); }
    // Why the check of that text was rejected, once its verdict is handed out ("404 Not Found",
    // "time-out after 15 s", "name not resolved"); empty while it is not, or when it was accepted.
    // Plain text of printable characters.
    QString reasonOf(int index) const;

signals:
    void checked(int index, bool accepted); // in index order
    void progressed(int completed);         // whenever a check is answered
    void finished();

private:
    friend class CheckEngine;
    struct Outcome {
        bool in = false;
        bool online = false;
        bool delivered = false;
        bool accepted = false;
        HttpStatusResult result;
    };
    CheckRun(QStringList texts, Connectivity& connectivity, UrlChecker& checker);
    void take(const HttpStatusResults& results);
    void takeAllOffline();
    void deliverInOrder();

    QStringList m_texts; // normalised
    QVector<Outcome> m_outcomes;
    Connectivity& m_connectivity;
    UrlChecker& m_checker;
    std::unique_ptr<HttpStatusBatch> m_batch;
    int m_completed = 0;
    int m_delivered = 0;
    bool m_delivering = false;
    bool m_finishedSent = false;
};

// Runs CheckUrl's checks concurrently over the HTTP client's batches: at most 128 at once, 6 per host.
class CheckEngine {
public:
    // The checker's LastCheckedUrl and offline rule are the runs' too.
    CheckEngine(Connectivity& connectivity, HttpClient& http, UrlChecker& checker,
                HttpBatchLimits limits = {});
    // Starts checking the texts (as CheckUrl takes them: normalised here). An empty list finishes at once.
    std::unique_ptr<CheckRun> start(const QStringList& texts);

private:
    Connectivity& m_connectivity;
    HttpClient& m_http;
    UrlChecker& m_checker;
    HttpBatchLimits m_limits;
};

} // namespace clipvane
