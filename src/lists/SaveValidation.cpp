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

// What a step shows as it walks: the main window's panel or the browser window's status panel 2. The walk
// itself, with its yields, deletions and the order of its checks, is SaveValidator::walk for both.
class SaveValidator::Display {
public:
    virtual ~Display() = default;
    // Before the count of entries to check is known to be more than none.
    virtual void starting() {}
    // The step ends, whichever way (the panel goes; the status panel keeps its last text).
    virtual void finished() {}
    virtual void range(int count) { Q_UNUSED(count) }
    // Between the two yields of an entry; `left` counts the entries after it.
    virtual void coming(const QString& text, int left) {
        Q_UNUSED(text)
        Q_UNUSED(left)
    }
    // The entry is checked now; `shown` is its row + 1 (ticked mode) or the count left (all entries).
    virtual void checking(const QString& text, int shown) {
        Q_UNUSED(text)
        Q_UNUSED(shown)
    }
    virtual void rejected(const QString& reason) { Q_UNUSED(reason) }
    // One entry of the walk passed, checked or not.
    virtual void passed() {}
};

namespace {

class MainListDisplay final : public SaveValidator::Display {
public:
    MainListDisplay(SaveValidationPanel& panel, bool tickedOnly) : m_panel(panel), m_tickedOnly(tickedOnly) {}
    void starting() override {
        m_panel.setPanelVisible(true);
        m_panel.setBlinking(true);
        m_panel.setCount(QStringLiteral("0"));
        m_panel.setUrlInValidation(QString());
    }
    void finished() override {
        m_panel.setPanelVisible(false);
        m_panel.setBlinking(false);
    }
    void range(int count) override {
        m_maximum = count;
        m_panel.setProgressMaximum(m_maximum);
        m_panel.setProgressPosition(m_position);
    }
    void coming(const QString& text, int left) override {
        if (m_tickedOnly) {
            m_panel.setLeftToValidate(QStringLiteral("Validating checked URL."));
            m_panel.setCountVisible(false);
            return;
        }
        m_panel.setCountVisible(true);
        m_panel.setLeftToValidate(QStringLiteral("URL left to validate:"));
        m_panel.setCount(QString::number(left));
        showUnderCheck(text);
    }
    void checking(const QString& text, int) override {
        if (m_tickedOnly)
            showUnderCheck(text);
    }
    void rejected(const QString& reason) override { m_panel.setRejectionReason(reason); }
    void passed() override {
        m_position = std::min(m_position + 1, m_maximum);
        m_panel.setProgressPosition(m_position);
    }

private:
    void showUnderCheck(const QString& text) {
        m_panel.setUrlInValidation(text);
        m_panel.setRejectionReason(QString());
    }

    SaveValidationPanel& m_panel;
    const bool m_tickedOnly;
    int m_maximum = 0;
    int m_position = 1;
};

class BrowserListDisplay final : public SaveValidator::Display {
public:
    explicit BrowserListDisplay(const std::function<void(const QString&)>& setStatusPanel2)
        : m_setStatusPanel2(setStatusPanel2) {}
    void checking(const QString& text, int shown) override {
        m_setStatusPanel2(QStringLiteral("Validating  URL# ") + QString::number(shown) + QLatin1Char(' ') +
                          text);
    }

private:
    const std::function<void(const QString&)>& m_setStatusPanel2;
};

} // namespace

bool SaveValidator::validateMainList(CheckListModel& list, SaveValidationOption option,
                                     SaveValidationPanel& panel) {
    MainListDisplay display(panel, option == SaveValidationOption::TickedEntries);
    return walk(list, option, display);
}

bool SaveValidator::validateBrowserList(CheckListModel& list, SaveValidationOption option,
                                        const std::function<void(const QString&)>& setStatusPanel2) {
    BrowserListDisplay display(setStatusPanel2);
    return walk(list, option, display);
}

bool SaveValidator::walk(CheckListModel& list, SaveValidationOption option, Display& display) {
    const bool connected = m_connectivity.isInternetConnected();
    if (option == SaveValidationOption::None) {
        disableOptions();
        walkWithoutChecks(list.count());
        enableOptions();
        display.finished();
        return true;
    }
    if (!connected)
        return askWithoutConnection();

    const bool tickedOnly = option == SaveValidationOption::TickedEntries;
    int left = tickedOnly ? list.tickedCount() : list.count();
    display.starting();
    if (left == 0) {
        display.finished();
        m_dialogs.message(MessageKind::Information, QString::fromLatin1(kNothingToValidate), Buttons::Ok);
        return false;
    }
    display.range(left);
    disableOptions();

    const QVector<Held> held = holdEntries(list);
    Checks checks(*this, held, tickedOnly);
    for (int i = int(held.size()) - 1; i >= 0; --i) {
        const Held& e = held[i];
        m_yield();
        --left;
        display.coming(e.text, left);
        m_yield();
        // Unticked entries are never checked nor deleted in the ticked mode; gone ones are skipped.
        const int row = tickedOnly && !e.ticked ? -1 : rowNow(list, e.id, i);
        if (row >= 0) {
            display.checking(e.text, tickedOnly ? row + 1 : left);
            if (!checks.CheckUrl(e)) {
                list.removeId(e.id);
                display.rejected(checks.reasonOf(e));
            }
        }
        display.passed();
    }

    enableOptions();
    display.finished();
    return true;
}

} // namespace clipvane
