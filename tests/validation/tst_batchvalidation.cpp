#include "Doubles.h"
#include "core/CheckListModel.h"
#include "core/Options.h"
#include "core/SortUnique.h"
#include "validation/BatchValidation.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"
#include "validation/ValidationReport.h"

#include <QSignalSpy>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

struct Host final : BatchValidationHost {
    CheckListModel list;
    QStringList progress;
    QList<bool> toolBar;
    QStringList changedWhenLeft; // the list's texts at each markSourceChanged
    CheckListModel& sourceList() override { return list; }
    void setToolBarEnabled(bool enabled) override { toolBar.append(enabled); }
    void setProgressText(const QString& text) override { progress.append(text); }
    void markSourceChanged() override { changedWhenLeft.append(list.texts().join(QLatin1Char(','))); }

    // Entries "name" or "name*" (ticked).
    void fill(const QStringList& names) {
        for (const QString& n : names) {
            const bool ticked = n.endsWith(QLatin1Char('*'));
            list.append(ticked ? n.chopped(1) : n);
            if (ticked)
                list.setTicked(list.count() - 1, true);
        }
    }
    QStringList shown() const {
        QStringList out;
        for (const CheckEntry& e : list.entries())
            out.append(e.text + (e.ticked ? QStringLiteral("*") : QString()));
        return out;
    }
};

// Answers every status request at once with 200, except those whose address names "silent": they never
// answer while the batch lives.
class SilentHostHttp final : public HttpClient {
public:
    HttpStatusResult fetchStatus(const HttpStatusRequest&) override { return {true, 200}; }
    HttpGetResult get(const HttpGetRequest&) override { return {}; }
    std::unique_ptr<HttpStatusBatch>
    startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits, QObject* context,
                     std::function<void(HttpStatusResults)> onResults) override {
        struct Batch final : HttpStatusBatch {
            std::shared_ptr<bool> alive = std::make_shared<bool>(true);
            ~Batch() override { *alive = false; }
        };
        auto batch = std::make_unique<Batch>();
        for (int i = 0; i < int(requests.size()); ++i) {
            if (requests[i].url.contains(QLatin1String("silent")))
                continue;
            QMetaObject::invokeMethod(
                context,
                [alive = batch->alive, onResults, i] {
                    if (*alive)
                        onResults({{i, {true, 200}}});
                },
                Qt::QueuedConnection);
        }
        return batch;
    }
};

} // namespace

// The validate command over the check engine, with the HTTP client's batches answered from a table.
class TestBatchValidation : public QObject {
    Q_OBJECT

    FakeConnectivity connectivity;
    FakeHttpClient http;
    ScriptedDialogs dialogs;
    Options options;
    std::unique_ptr<UrlChecker> urlChecker;
    std::unique_ptr<CheckEngine> engine;
    std::unique_ptr<ValidationReport> report;
    std::unique_ptr<BatchValidator> validator;

    // Every name not listed as failing answers 200.
    void serve(const QStringList& names, const QStringList& failing = {}) {
        for (const QString& n : names)
            http.statuses.insert(QStringLiteral("http://") + n.chopped(n.endsWith(QLatin1Char('*')) ? 1 : 0),
                                 failing.contains(n.chopped(n.endsWith(QLatin1Char('*')) ? 1 : 0)) ? 404
                                                                                                   : 200);
    }

    bool runToEnd(Host& host, bool deleteMode) {
        QSignalSpy done(validator.get(), &BatchValidator::runFinished);
        if (!validator->start(host, deleteMode))
            return false;
        return done.wait(5000);
    }

private slots:
    void init() {
        connectivity.connected = true;
        http = {};
        dialogs.shown.clear();
        options.setValidateClipboardUrl(false);
        urlChecker = std::make_unique<UrlChecker>(connectivity, http, options);
        engine = std::make_unique<CheckEngine>(connectivity, http, *urlChecker);
        report = std::make_unique<ValidationReport>(dialogs, *engine);
        validator = std::make_unique<BatchValidator>(connectivity, dialogs, *engine, *report);
    }
    void cleanup() {
        validator.reset();
        report.reset();
        engine.reset();
        QVERIFY(dialogs.allAnswersUsed());
    }

    void reportHoldsTheTickedInReverseOrder() {
        Host host;
        const QStringList names = {"a", "b*", "c", "d*"};
        host.fill(names);
        serve(names);
        report->setSyncIndex(1);
        QSignalSpy wanted(validator.get(), &BatchValidator::reportWanted);
        QVERIFY(runToEnd(host, false));
        QCOMPARE(report->valid().texts(), QStringList({"d", "b"}));
        QVERIFY(report->invalid().isEmpty());
        QCOMPARE(wanted.count(), 1);
        QCOMPARE(report->syncIndex(), 0);
        QCOMPARE(host.toolBar, QList<bool>({false, true}));
        QCOMPARE(host.progress.first(), QStringLiteral("Validating URL 1 of 2"));
        QVERIFY(host.progress.contains(QStringLiteral("Validating URL 2 of 2")));
        QCOMPARE(host.progress.last(), QString());
        QCOMPARE(host.shown(), names); // nothing changes in the source without delete mode
        QCOMPARE(http.batchLimits.last().total, 128);
        QCOMPARE(http.batchLimits.last().perHost, 6);
    }

    void deleteModeRemovesOnlyTheInvalidTicked() {
        Host host;
        const QStringList names = {"a*", "b*", "c", "d*", "e*", "f*"};
        host.fill(names);
        serve(names, {"b", "e"});
        QSignalSpy wanted(validator.get(), &BatchValidator::reportWanted);
        QVERIFY(runToEnd(host, true));
        QCOMPARE(host.shown(), QStringList({"a*", "c", "d*", "f*"}));
        QCOMPARE(wanted.count(), 0);
        // The host hears of each deletion as it happens, so its count and modified mark follow the list.
        QCOMPARE(host.changedWhenLeft, QStringList({"a,b,c,d,f", "a,c,d,f"}));
        QCOMPARE(report->invalid().texts(), QStringList({"e", "b"}));
        // Each invalid entry says why it failed: the engine's reason is the entry's hint.
        QCOMPARE(report->invalid().hintAt(0), QStringLiteral("404"));
        QCOMPARE(report->invalid().hintAt(1), QStringLiteral("404"));
        QVERIFY(
            report->invalid().data(report->invalid().index(0), Qt::ToolTipRole).toString().contains("404"));
    }

    void withoutDeleteModeTheSourceIsNotChanged() {
        Host host;
        host.fill({"a*", "b*"});
        serve({"a", "b"}, {"a"});
        QVERIFY(runToEnd(host, false));
        QVERIFY(host.changedWhenLeft.isEmpty());
    }

    // Answers come in a burst while one check never answers: the progress text still catches up with
    // them, shortly after the last one, instead of staying at the first count shown.
    void progressFollowsAnswersBehindASilentCheck() {
        Host host;
        SilentHostHttp silentHttp;
        CheckEngine silentEngine(connectivity, silentHttp, *urlChecker);
        ValidationReport silentReport(dialogs, silentEngine);
        BatchValidator silentValidator(connectivity, dialogs, silentEngine, silentReport);
        QStringList names;
        for (int i = 1; i <= 15; ++i)
            names.append(QStringLiteral("h%1*").arg(i));
        names.append(QStringLiteral("silent*")); // the first checked: the list is walked from its end
        host.fill(names);
        QVERIFY(silentValidator.start(host, false));
        QTRY_COMPARE_WITH_TIMEOUT(host.progress.last(), QStringLiteral("Validating URL 16 of 16"), 1000);
        QCOMPARE(silentValidator.runsInProgress(), 1);
    }

    void progressGoesOneAboveWhileUntickedLeadersPass() {
        Host host;
        const QStringList names = {"u1", "u2", "t1*", "t2*"};
        host.fill(names);
        serve(names);
        QVERIFY(runToEnd(host, false));
        QCOMPARE(host.progress.mid(host.progress.size() - 2),
                 QStringList({QStringLiteral("Validating URL 3 of 2"), QString()}));
    }

    void twoTickedCopiesAreBothListed() {
        Host host;
        host.fill({"x*", "x*"});
        serve({"x"});
        QVERIFY(runToEnd(host, false));
        QCOMPARE(report->valid().texts(), QStringList({"x", "x"}));
        QCOMPARE(http.statusRequests.size(), 2);
    }

    void offlineAtTheStartChangesNothing() {
        report->setResults({"kept"}, {"old"});
        Host host;
        host.fill({"a*"});
        connectivity.connected = false;
        dialogs.answer(Answer::Abort);
        QVERIFY(!validator->start(host, true));
        QCOMPARE(dialogs.shown.last().text, QString::fromLatin1(kCannotValidateOffline));
        QCOMPARE(dialogs.shown.last().buttons, Buttons::Abort);
        QCOMPARE(report->valid().texts(), QStringList({"kept"}));
        QCOMPARE(report->invalid().texts(), QStringList({"old"}));
        QVERIFY(host.toolBar.isEmpty());
        QCOMPARE(host.shown(), QStringList({"a*"}));
    }

    // Captures arrive while the run is under way and re-sort the list (which also clears every tick):
    // the run still deletes exactly the invalid entries it was given, and keeps the captured ones.
    void captureResortsTheListInTheMiddleOfADeleteRun() {
        Host host;
        const QStringList names = {"m*", "c*", "x", "k*", "a*"};
        host.fill(names);
        serve(names, {"c", "a"});
        int captures = 0;
        http.onRequest = [&](const QString&) {
            if (captures++ < 2) {
                host.list.append(captures == 1 ? QStringLiteral("b") : QStringLiteral("0"));
                SortUnique(host.list);
            }
        };
        QVERIFY(runToEnd(host, true));
        QCOMPARE(host.list.texts(), QStringList({"0", "b", "k", "m", "x"}));
        QCOMPARE(report->invalid().texts(), QStringList({"a", "c"}));
        QCOMPARE(report->valid().texts(), QStringList({"k", "m"}));
    }

    // A second run, from the other window, starts and ends inside the first: the report shows one run's
    // results, never a mix, and each run deletes only from its own list.
    void overlappingRunsKeepTheirResultsApart() {
        Host main, other;
        main.fill({"m1*", "m2*"});
        other.fill({"o1*", "o2*"});
        serve({"m1", "m2", "o1", "o2"}, {"o1", "m2"});
        bool started = false;
        QSignalSpy done(validator.get(), &BatchValidator::runFinished);
        http.onRequest = [&](const QString&) {
            if (!started) {
                started = true;
                validator->start(other, true);
            }
        };
        QVERIFY(validator->start(main, true));
        QTRY_COMPARE(done.count(), 2);
        QCOMPARE(main.list.texts(), QStringList({"m1"}));
        QCOMPARE(other.list.texts(), QStringList({"o2"}));
        const QStringList all = report->valid().texts() + report->invalid().texts();
        QVERIFY(all == QStringList({"m1", "m2"}) || all == QStringList({"o2", "o1"}));
    }
};

QTEST_GUILESS_MAIN(TestBatchValidation)
#include "tst_batchvalidation.moc"
