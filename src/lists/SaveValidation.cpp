#include "SaveValidation.h"

#include "core/CheckListModel.h"
#include "core/Dialogs.h"
#include "platform/Connectivity.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QVector>

namespace clipvane {

namespace {

constexpr qint64 kYieldIntervalMs = 10;

struct Held {
    quint64 id;
    QString text;
    bool ticked;
};

QVector<Held> holdEntries(const CheckListModel& list) {
    QVector<Held> held;
    held.reserve(list.count());
    for (const CheckEntry& e : list.entries())
        held.append({e.id, e.text, e.ticked});
    return held;
}

// The entry's row now, or -1 when it is gone. Unless something changed the list, it is still where it was.
int rowNow(const CheckListModel& list, quint64 id, int wasAt) {
    if (wasAt < list.count() && list.idAt(wasAt) == id)
        return wasAt;
    return list.rowOfId(id);
}

} // namespace

// The verdicts of one step: from the engine, all started at once, or from CheckUrl as each is asked for.
class SaveValidator::Checks {
public:
    Checks(SaveValidator& v, const QVector<Held>& held, bool tickedOnly) : m_v(v) {
        if (!v.m_engine)
            return;
        QStringList texts;
        for (int i = int(held.size()) - 1; i >= 0; --i)
            if (!tickedOnly || held[i].ticked) {
                m_position.insert(held[i].id, int(texts.size()));
                texts.append(held[i].text);
            }
        m_verdicts.resize(texts.size());
        m_in.resize(texts.size());
        m_run = v.m_engine->start(texts);
        QObject::connect(m_run.get(), &CheckRun::checked, [this](int index, bool accepted) {
            m_verdicts[index] = accepted;
            m_in[index] = true;
        });
    }

    bool CheckUrl(const Held& e) {
        if (!m_run)
            return m_v.m_checker.CheckUrl(e.text);
        const int k = m_position.value(e.id, -1);
        if (k < 0)
            return m_v.m_checker.CheckUrl(e.text);
        // Waiting lets pending messages run as the walk's own yields do; the window stays responsive.
        while (!m_in[k])
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return m_verdicts[k];
    }

    // Why the entry's check rejected it; empty when unknown (checked by CheckUrl alone) or accepted.
    QString reasonOf(const Held& e) const {
        const int k = m_position.value(e.id, -1);
        return m_run && k >= 0 ? m_run->reasonOf(k) : QString();
    }

private:
    SaveValidator& m_v;
    std::unique_ptr<CheckRun> m_run;
    QHash<quint64, int> m_position;
    QVector<bool> m_verdicts, m_in;
};

SaveValidator::SaveValidator(Connectivity& connectivity, UrlChecker& checker, Dialogs& dialogs, Yield yield,
                             EnableOptions enableOptionsTab)
    : m_connectivity(connectivity), m_checker(checker), m_dialogs(dialogs), m_yield(std::move(yield)),
      m_enableOptionsTab(std::move(enableOptionsTab)) {}

void SaveValidator::disableOptions() {
    if (m_running++ == 0 && m_enableOptionsTab)
        m_enableOptionsTab(false);
}

void SaveValidator::enableOptions() {
    // A step that ran inside another one leaves the tab disabled for the outer one.
    if (--m_running == 0 && m_enableOptionsTab)
        m_enableOptionsTab(true);
}

void SaveValidator::walkWithoutChecks(int count) {
    // Nothing is checked: pending messages run between entries, but not more often than the window can
    // show them, so that a list of a million entries is not held up by a million passes of the loop.
    QElapsedTimer sinceYield;
    for (int i = count - 1; i >= 0; --i) {
        if (sinceYield.isValid() && sinceYield.elapsed() < kYieldIntervalMs)
            continue;
        m_yield();
        sinceYield.start();
    }
}

bool SaveValidator::askWithoutConnection() {
    return m_dialogs.message(MessageKind::Warning, QString::fromLatin1(kNoConnectionSaveQuestion),
                             Buttons::YesCancel) == Answer::Yes;
}

bool SaveValidator::validateMainList(CheckListModel& list, SaveValidationOption option,
                                     SaveValidationPanel& panel) {
    const bool connected = m_connectivity.isInternetConnected();
    if (option == SaveValidationOption::None) {
        disableOptions();
        walkWithoutChecks(list.count());
        enableOptions();
        panel.setPanelVisible(false);
        return true;
    }
    if (!connected)
        return askWithoutConnection();

    panel.setPanelVisible(true);
    panel.setBlinking(true);
    const bool tickedOnly = option == SaveValidationOption::TickedEntries;
    int n = tickedOnly ? list.tickedCount() : list.count();
    panel.setCount(QStringLiteral("0"));
    panel.setUrlInValidation(QString());
    if (n == 0) {
        panel.setPanelVisible(false);
        panel.setBlinking(false);
        m_dialogs.message(MessageKind::Information, QString::fromLatin1(kNothingToValidate), Buttons::Ok);
        return false;
    }
    const int maximum = n;
    int position = 1;
    panel.setProgressMaximum(maximum);
    panel.setProgressPosition(position);
    disableOptions();

    const QVector<Held> held = holdEntries(list);
    Checks checks(*this, held, tickedOnly);
    for (int i = int(held.size()) - 1; i >= 0; --i) {
        const Held& e = held[i];
        m_yield();
        if (!tickedOnly) {
            panel.setCountVisible(true);
            panel.setLeftToValidate(QStringLiteral("URL left to validate:"));
            --n;
            panel.setCount(QString::number(n));
            panel.setUrlInValidation(e.text);
            panel.setRejectionReason(QString());
            m_yield();
            if (rowNow(list, e.id, i) >= 0 && !checks.CheckUrl(e)) {
                list.removeId(e.id);
                panel.setRejectionReason(checks.reasonOf(e));
            }
        } else {
            panel.setLeftToValidate(QStringLiteral("Validating checked URL."));
            panel.setCountVisible(false);
            m_yield();
            if (e.ticked && rowNow(list, e.id, i) >= 0) {
                panel.setUrlInValidation(e.text);
                panel.setRejectionReason(QString());
                if (!checks.CheckUrl(e)) {
                    list.removeId(e.id);
                    panel.setRejectionReason(checks.reasonOf(e));
                }
            }
        }
        position = std::min(position + 1, maximum);
        panel.setProgressPosition(position);
    }

    enableOptions();
    panel.setPanelVisible(false);
    panel.setBlinking(false);
    return true;
}

bool SaveValidator::validateBrowserList(CheckListModel& list, SaveValidationOption option,
                                        const std::function<void(const QString&)>& setStatusPanel2) {
    const bool connected = m_connectivity.isInternetConnected();
    if (option == SaveValidationOption::None) {
        disableOptions();
        walkWithoutChecks(list.count());
        enableOptions();
        return true;
    }
    if (!connected)
        return askWithoutConnection();

    const bool tickedOnly = option == SaveValidationOption::TickedEntries;
    int n = tickedOnly ? list.tickedCount() : list.count();
    if (n == 0) {
        m_dialogs.message(MessageKind::Information, QString::fromLatin1(kNothingToValidate), Buttons::Ok);
        return false;
    }
    disableOptions();
    const QVector<Held> held = holdEntries(list);
    Checks checks(*this, held, tickedOnly);
    for (int i = int(held.size()) - 1; i >= 0; --i) {
        const Held& e = held[i];
        m_yield();
        --n;
        m_yield();
        if (tickedOnly && !e.ticked)
            continue; // unticked entries are never deleted
        const int row = rowNow(list, e.id, i);
        if (row < 0)
            continue;
        const int shown = tickedOnly ? row + 1 : n;
        setStatusPanel2(QStringLiteral("Validating  URL# ") + QString::number(shown) + QLatin1Char(' ') +
                        e.text);
        if (!checks.CheckUrl(e))
            list.removeId(e.id);
    }
    enableOptions();
    return true;
}

} // namespace clipvane
