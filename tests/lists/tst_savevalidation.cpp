#include "Doubles.h"
#include "core/CheckListModel.h"
#include "core/Options.h"
#include "core/SortUnique.h"
#include "lists/SaveValidation.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"

#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

Q_DECLARE_METATYPE(clipvane::Answer)
Q_DECLARE_METATYPE(clipvane::SaveValidationOption)

namespace {

class FakePanel final : public SaveValidationPanel {
public:
    void setPanelVisible(bool v) override { visible = v; }
    void setBlinking(bool on) override { blinking = on; }
    void setUrlInValidation(const QString& t) override {
        url = t;
        if (!t.isEmpty())
            urls.append(t);
    }
    void setLeftToValidate(const QString& t) override { left = t; }
    void setCount(const QString& t) override { counts.append(t); }
    void setCountVisible(bool v) override { countVisible = v; }
    void setProgressMaximum(int m) override { maximum = m; }
    void setProgressPosition(int p) override { positions.append(p); }
    void setRejectionReason(const QString& r) override {
        if (!r.isEmpty())
            reasons.append(url + QLatin1Char(' ') + r);
    }

    bool visible = false;
    bool blinking = false;
    bool countVisible = true;
    QString url, left;
    QStringList urls, counts, reasons;
    int maximum = -1;
    QList<int> positions;
};

struct Fixture {
    Options options;
    FakeConnectivity connectivity;
    FakeHttpClient http;
    ScriptedDialogs dialogs;
    UrlChecker checker{connectivity, http, options};
    CheckListModel list;
    FakePanel panel;
    bool tabEnabled = true;
    int yields = 0;
    std::function<void()> onYield;
    SaveValidator validator{connectivity, checker, dialogs,
                            [this] {
                                ++yields;
                                if (onYield)
                                    onYield();
                            },
                            [this](bool e) { tabEnabled = e; }};

    CheckEngine engine{connectivity, http, checker};

    Fixture(bool onEngine = false) {
        options.setValidateClipboardUrl(false);
        connectivity.connected = true;
        if (onEngine)
            validator.setEngine(&engine);
    }
    // Entries "http://<name>" that pass (200) or fail (404).
    void entries(const QStringList& names, const QStringList& failing = {}) {
        for (const QString& n : names) {
            list.append("http://" + n);
            http.statuses.insert("http://" + n, failing.contains(n) ? 404 : 200);
        }
    }
    QStringList requested() const {
        QStringList out;
        for (const HttpStatusRequest& r : http.statusRequests)
            out.append(r.url.mid(7));
        return out;
    }
    QStringList names() const {
        QStringList out;
        for (const QString& t : list.texts())
            out.append(t.mid(7));
        return out;
    }
    // A capture as the pipeline makes it: appended, then the list sorted without duplicates.
    void capture(const QString& name) {
        list.append("http://" + name);
        SortUnique(list);
    }
};

} // namespace

class TstSaveValidation : public QObject {
    Q_OBJECT
private slots:
    // Every entry, from the last to the first: the count goes down, failing entries go.
    void allEntries() {
        Fixture f;
        f.entries({"a", "b", "c"}, {"b"});
        bool tabDuringCheck = true;
        bool panelDuringCheck = false;
        f.http.onRequest = [&](const QString&) {
            tabDuringCheck = f.tabEnabled;
            panelDuringCheck = f.panel.visible && f.panel.blinking;
        };
        QVERIFY(f.validator.validateMainList(f.list, SaveValidationOption::AllEntries, f.panel));
        QCOMPARE(f.names(), QStringList({"a", "c"}));
        QCOMPARE(f.requested(), QStringList({"c", "b", "a"}));
        QCOMPARE(f.panel.counts, QStringList({"0", "2", "1", "0"}));
        QCOMPARE(f.panel.urls, QStringList({"http://c", "http://b", "http://a"}));
        QCOMPARE(f.panel.left, QString("URL left to validate:"));
        QCOMPARE(f.panel.maximum, 3);
        QCOMPARE(f.panel.positions, QList<int>({1, 2, 3, 3}));
        QVERIFY(!tabDuringCheck);
        QVERIFY(panelDuringCheck);
        QVERIFY(f.tabEnabled);
        QVERIFY(!f.panel.visible);
        QVERIFY(!f.panel.blinking);
        QCOMPARE(f.connectivity.calls, 1 + 3); // once for the step, once per CheckUrl
        QVERIFY(f.dialogs.shown.isEmpty());
    }

    // The same step with its checks started together on the engine: the same labels, deletions and order.
    void allEntriesOnTheEngine() {
        Fixture f(true);
        f.entries({"a", "b", "c"}, {"b"});
        QVERIFY(f.validator.validateMainList(f.list, SaveValidationOption::AllEntries, f.panel));
        QCOMPARE(f.names(), QStringList({"a", "c"}));
        QCOMPARE(f.requested(), QStringList({"c", "b", "a"}));
        QCOMPARE(f.panel.counts, QStringList({"0", "2", "1", "0"}));
        QCOMPARE(f.panel.urls, QStringList({"http://c", "http://b", "http://a"}));
        QCOMPARE(f.panel.reasons, QStringList({"http://b 404"})); // the deleted entry says why
        QCOMPARE(f.panel.positions, QList<int>({1, 2, 3, 3}));
        QVERIFY(f.tabEnabled);
        QVERIFY(!f.panel.visible);
        QCOMPARE(f.http.batchLimits.size(), 1);
    }

    void tickedEntries() {
        Fixture f;
        f.entries({"a", "b", "c"}, {"a", "b"});
        f.list.setTicked(1, true);
        QVERIFY(f.validator.validateMainList(f.list, SaveValidationOption::TickedEntries, f.panel));
        QCOMPARE(f.names(), QStringList({"a", "c"})); // a fails too, but is not ticked
        QCOMPARE(f.requested(), QStringList{"b"});
        QCOMPARE(f.panel.left, QString("Validating checked URL."));
        QVERIFY(!f.panel.countVisible);
        QCOMPARE(f.panel.maximum, 1);
        QCOMPARE(f.panel.positions, QList<int>({1, 1, 1, 1})); // advanced for every entry, up to the maximum
    }

    void nothingToValidate_data() {
        QTest::addColumn<SaveValidationOption>("option");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("ticked option, nothing ticked")
            << SaveValidationOption::TickedEntries << QStringList{"a"};
        QTest::newRow("all entries of an empty list") << SaveValidationOption::AllEntries << QStringList{};
    }
    void nothingToValidate() {
        QFETCH(SaveValidationOption, option);
        QFETCH(QStringList, entries);
        for (bool browser : {false, true}) {
            Fixture f;
            f.entries(entries);
            f.dialogs.answer(Answer::Ok);
            const bool goOn = browser ? f.validator.validateBrowserList(f.list, option, [](const QString&) {})
                                      : f.validator.validateMainList(f.list, option, f.panel);
            QVERIFY(!goOn);
            QCOMPARE(
                f.dialogs.texts(),
                QStringList{"No ticked URL to validate and save. (Options: Validate checked URL only)."});
            QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Information);
            QVERIFY(!f.panel.visible);
            QVERIFY(f.tabEnabled);
            QCOMPARE(f.list.count(), entries.size());
        }
    }

    void withoutConnection_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("goOn");
        QTest::newRow("yes saves unvalidated") << Answer::Yes << true;
        QTest::newRow("cancel") << Answer::Cancel << false;
        QTest::newRow("box closed") << Answer::Closed << false;
    }
    void withoutConnection() {
        QFETCH(Answer, answer);
        QFETCH(bool, goOn);
        for (bool browser : {false, true}) {
            Fixture f;
            f.connectivity.connected = false;
            f.entries({"a", "b"}, {"a"});
            f.dialogs.answer(answer);
            const bool result =
                browser ? f.validator.validateBrowserList(f.list, SaveValidationOption::AllEntries,
                                                          [](const QString&) {})
                        : f.validator.validateMainList(f.list, SaveValidationOption::AllEntries, f.panel);
            QCOMPARE(result, goOn);
            QCOMPARE(
                f.dialogs.shown[0].text,
                QString("No Internet connection found. Cannot validate the URL list (Options: Validate URL "
                        "list when saving). Validation of URL list can be done later. Do you still want to "
                        "save this this list?"));
            QCOMPARE(f.dialogs.shown[0].kind, MessageKind::Warning);
            QCOMPARE(f.dialogs.shown[0].buttons, Buttons::YesCancel);
            QCOMPARE(f.list.count(), 2);
            QVERIFY(f.http.statusRequests.isEmpty());
        }
    }

    // Neither option: no question, no panel, nothing checked; pending messages run with the options tab
    // disabled.
    void neitherOption() {
        Fixture f;
        f.connectivity.connected = false;
        f.entries({"a", "b", "c"}, {"a"});
        bool tabDuringWalk = true;
        f.onYield = [&] { tabDuringWalk = f.tabEnabled; };
        QVERIFY(f.validator.validateMainList(f.list, SaveValidationOption::None, f.panel));
        QVERIFY(f.yields >= 1);
        QVERIFY(!tabDuringWalk);
        QVERIFY(f.tabEnabled);
        QVERIFY(!f.panel.visible);
        QCOMPARE(f.list.count(), 3);
        QVERIFY(f.http.statusRequests.isEmpty());
    }

    // A save that starts inside another one's pending messages leaves the tab disabled for the outer one.
    void nestedStepKeepsTheTabDisabled() {
        Fixture f;
        f.entries({"a", "b"});
        bool nested = false;
        bool tabAfterInner = true;
        f.onYield = [&] {
            if (nested)
                return;
            nested = true;
            f.validator.validateMainList(f.list, SaveValidationOption::None, f.panel);
            tabAfterInner = f.tabEnabled;
        };
        QVERIFY(f.validator.validateMainList(f.list, SaveValidationOption::AllEntries, f.panel));
        QVERIFY(!tabAfterInner);
        QVERIFY(f.tabEnabled);
        QVERIFY(!f.validator.isRunning());
    }

    void captureInTheMiddle_data() {
        QTest::addColumn<SaveValidationOption>("option");
        QTest::addColumn<bool>("atRequest"); // the capture arrives while a check waits, or between checks
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<bool>("onEngine");
        for (const bool engine : {false, true}) {
            const char* on = engine ? ", on the engine" : "";
            QTest::addRow("all entries, during a check%s", on)
                << SaveValidationOption::AllEntries << true << QStringList{"0new", "a", "d"}
                << QStringList{"d", "c", "b", "a"} << engine;
            QTest::addRow("all entries, between checks%s", on)
                << SaveValidationOption::AllEntries << false << QStringList{"0new", "a", "d"}
                << QStringList{"d", "c", "b", "a"} << engine;
            // The capture's re-sort clears every tick: the entries ticked when the step began are still
            // checked.
            QTest::addRow("ticked entries, during a check%s", on)
                << SaveValidationOption::TickedEntries << true << QStringList{"0new", "a", "b", "d"}
                << QStringList{"d", "c", "a"} << engine;
        }
    }
    // Sorted entries a..d; while d is checked a capture puts "0new" first and re-sorts. Positions taken
    // before would now point one entry off; the walk still checks and deletes exactly c and b, never the
    // new entry, and keeps it.
    void captureInTheMiddle() {
        QFETCH(SaveValidationOption, option);
        QFETCH(bool, atRequest);
        QFETCH(QStringList, remaining);
        QFETCH(QStringList, requested);
        QFETCH(bool, onEngine);
        Fixture f(onEngine);
        f.entries({"a", "b", "c", "d"}, {"b", "c"});
        SortUnique(f.list);
        if (option == SaveValidationOption::TickedEntries)
            for (int row : {0, 2, 3}) // a, c, d
                f.list.setTicked(row, true);
        bool captured = false;
        auto captureOnce = [&] {
            if (captured)
                return;
            captured = true;
            f.capture("0new");
            f.capture("A"); // a duplicate of an entry held by the walk: the held one survives
        };
        if (atRequest)
            f.http.onRequest = [&](const QString& url) {
                if (url == "http://d")
                    captureOnce();
            };
        else
            f.onYield = [&] {
                if (!f.http.statusRequests.isEmpty())
                    captureOnce();
            };
        const bool goOn = f.validator.validateMainList(f.list, option, f.panel);
        QVERIFY(goOn);
        QVERIFY(captured);
        QCOMPARE(f.names(), remaining);
        QCOMPARE(f.requested(), requested);
    }

    // The browser window: status panel 2 shows the entry's position (ticked) or the count left (all).
    void browserList_data() {
        QTest::addColumn<SaveValidationOption>("option");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<bool>("onEngine");
        for (const bool engine : {false, true}) {
            const char* on = engine ? ", on the engine" : "";
            QTest::addRow("ticked, last unticked%s", on)
                << SaveValidationOption::TickedEntries << QStringList{"a", "c"}
                << QStringList{"Validating  URL# 2 http://b"} << engine;
            QTest::addRow("all%s", on)
                << SaveValidationOption::AllEntries << QStringList{"a"}
                << QStringList{"Validating  URL# 2 http://c", "Validating  URL# 1 http://b",
                               "Validating  URL# 0 http://a"}
                << engine;
        }
    }
    void browserList() {
        QFETCH(SaveValidationOption, option);
        QFETCH(QStringList, remaining);
        QFETCH(QStringList, statuses);
        QFETCH(bool, onEngine);
        Fixture f(onEngine);
        f.entries({"a", "b", "c"}, {"b", "c"});
        f.list.setTicked(1, true); // b; c (failing) is unticked
        bool tabDuringCheck = true;
        f.http.onRequest = [&](const QString&) { tabDuringCheck = f.tabEnabled; };
        QStringList shown;
        QVERIFY(f.validator.validateBrowserList(f.list, option, [&](const QString& s) { shown.append(s); }));
        QCOMPARE(f.names(), remaining);
        QCOMPARE(shown, statuses);
        QVERIFY(!tabDuringCheck);
        QVERIFY(f.tabEnabled);
    }
};

QTEST_GUILESS_MAIN(TstSaveValidation)
#include "tst_savevalidation.moc"
