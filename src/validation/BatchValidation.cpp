#include "BatchValidation.h"

#include "CheckEngine.h"
#include "ValidationReport.h"
#include "core/CheckListModel.h"
#include "core/Dialogs.h"
#include "platform/Connectivity.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <QVector>
#include <utility>

namespace clipvane {

namespace {

constexpr qint64 kProgressIntervalMs = 50;

QString progressText(int running, int total) {
    return QStringLiteral("Validating URL ") + QString::number(running) + QStringLiteral(" of ") +
           QString::number(total);
}

} // namespace

class BatchValidator::Run : public QObject {
public:
    Run(BatchValidator& owner, BatchValidationHost& host, bool deleteMode)
        : QObject(&owner), m_owner(owner), m_host(host), m_deleteMode(deleteMode) {
        CheckListModel& list = host.sourceList();
        QStringList texts;
        int lowestTicked = list.count();
        for (int row = list.count() - 1; row >= 0; --row) {
            if (!list.isTicked(row))
                continue;
            m_ids.append(list.idAt(row));
            texts.append(list.textAt(row));
            lowestTicked = row;
        }
        m_texts = texts;
        m_uncheckedLeaders = lowestTicked > 0;
        m_verdicts.resize(texts.size());
        m_progressTimer.setSingleShot(true);
        connect(&m_progressTimer, &QTimer::timeout, this, &Run::showPending);
        host.setProgressText(progressText(1, total()));
        m_check = owner.m_engine.start(texts);
        connect(m_check.get(), &CheckRun::progressed, this, &Run::progressed);
        connect(m_check.get(), &CheckRun::checked, this, &Run::checked);
        connect(m_check.get(), &CheckRun::finished, this, &Run::finished);
    }

private:
    int total() const { return int(m_texts.size()); }

    void progressed(int completed) {
        if (completed < total()) {
            // Answers come in bursts: the status bar shows the count at most every few frames, not once per
            // answer, so that the window stays smooth.
            m_pending = progressText(completed + 1, total());
            if (!m_sinceShown.isValid() || m_sinceShown.elapsed() >= kProgressIntervalMs)
                showPending();
            else if (!m_progressTimer.isActive())
                m_progressTimer.start(int(kProgressIntervalMs - m_sinceShown.elapsed()));
        } else {
            m_progressTimer.stop();
            m_pending.clear();
            if (m_uncheckedLeaders) // passing the unticked entries at the front
                m_host.setProgressText(progressText(completed + 1, total()));
        }
    }

    void showPending() {
        if (m_pending.isEmpty())
            return;
        m_host.setProgressText(std::exchange(m_pending, QString()));
        m_sinceShown.start();
    }

    void checked(int index, bool accepted) {
        m_verdicts[index] = accepted;
        if (!accepted)
            m_reasons.insert(index, m_check->reasonOf(index));
        if (!accepted && m_deleteMode && m_host.sourceList().removeId(m_ids[index]))
            m_host.markSourceChanged();
    }

    void finished() {
        m_progressTimer.stop();
        QStringList valid, invalid, reasons;
        for (int i = 0; i < total(); ++i) {
            (m_verdicts[i] ? valid : invalid).append(m_texts[i]);
            if (!m_verdicts[i])
                reasons.append(m_reasons.value(i));
        }
        m_host.setProgressText(QString());
        m_host.setToolBarEnabled(true);
        m_owner.m_report.setResults(valid, invalid, reasons);
        --m_owner.m_runs;
        BatchValidator& owner = m_owner;
        const bool report = !m_deleteMode;
        deleteLater();
        if (report) {
            owner.m_report.setSyncIndex(0);
            emit owner.reportWanted();
        }
        emit owner.runFinished();
    }

    BatchValidator& m_owner;
    BatchValidationHost& m_host;
    bool m_deleteMode;
    QVector<quint64> m_ids; // the ticked entries, from the last to the first
    QStringList m_texts;
    QVector<bool> m_verdicts;
    QHash<int, QString> m_reasons; // why each rejected text failed, by index
    bool m_uncheckedLeaders = false;
    QString m_pending;
    QElapsedTimer m_sinceShown;
    QTimer m_progressTimer;
    std::unique_ptr<CheckRun> m_check;
};

BatchValidator::BatchValidator(Connectivity& connectivity, Dialogs& dialogs, CheckEngine& engine,
                               ValidationReport& report)
    : m_connectivity(connectivity), m_dialogs(dialogs), m_engine(engine), m_report(report) {}

BatchValidator::~BatchValidator() = default;

bool BatchValidator::start(BatchValidationHost& host, bool deleteMode) {
    if (!m_connectivity.isInternetConnected()) {
        m_dialogs.message(MessageKind::Information, QString::fromLatin1(kCannotValidateOffline),
                          Buttons::Abort);
        return false;
    }
    m_report.clearLists();
    host.setToolBarEnabled(false);
    ++m_runs;
    new Run(*this, host, deleteMode);
    return true;
}

} // namespace clipvane
