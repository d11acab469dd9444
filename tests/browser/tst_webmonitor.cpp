// The browser window's wiring on the application's doubles, with a scripted web view.
#include "AppFixture.h"
#include "BrowserDoubles.h"
#include "browser/BrowserSession.h"
#include "history/HistoryTable.h"
#include "ui/Main/Main.h"
#include "ui/WebMonitor.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace clipvane;
using namespace clipvane::test;

namespace {

struct Rig {
    ScriptedWebViewFactory views;
    AppFixture app;
    Rig() {
        app.webViews = &views;
        app.start();
    }
    TFormNav& w() { return *app.app().formNav(); }
    ScriptedWebView& shown() {
        w().show();
        return *views.made.first();
    }
};

} // namespace

class TestWebMonitor : public QObject {
    Q_OBJECT
private slots:
    void createdHiddenWithItsControls();
    void firstShowingMakesTheViewAndHearsIt();
    void enterNavigatesWithAnyModifier_data();
    void enterNavigatesWithAnyModifier();
    void sliderAndSizing();
    void captureFillsTheListAndCount();
    void newWindowsAreCapped();
};

void TestWebMonitor::createdHiddenWithItsControls() {
    Rig r;
    TFormNav& w = r.w();
    QVERIFY(!w.isVisible());
    QVERIFY(r.views.made.isEmpty()); // no engine before the window is shown
    QCOMPARE(w.windowTitle(), QStringLiteral("Clipvane integrated browser"));
    QCOMPARE(w.PageControl->tabText(0), QStringLiteral("URL page capture"));
    QCOMPARE(w.Edit1->text(), QStringLiteral("about:blank"));
    QCOMPARE(w.SBMainPanels[0]->text(), QStringLiteral("URL Count:"));
    QCOMPARE(w.SBMainPanels[1]->text(), QStringLiteral("0"));
    const QList<QPair<const char*, bool>> buttons{
        {"cyCheckAll", true},     {"cyUncheckAll", true},      {"cyDelete", false},
        {"cyValidateURL", false}, {"cyAdvSpeedButton1", true}, {"cyAdvSpeedButton2", true},
        {"cyPageCapture", false}, {"cyAllPageCapture", false}, {"cyAdvSpeedButton3", true},
        {"cyStop", false},        {"cyRefresh", false},        {"cyNavBack", false},
        {"cyNavForward", false},  {"cyNavigate", true}};
    for (const auto& [name, enabled] : buttons) {
        auto* b = w.findChild<QToolButton*>(QLatin1String(name));
        QVERIFY2(b, name);
        QCOMPARE(b->isEnabled(), enabled);
        QVERIFY2(!b->icon().isNull(), name);
    }
    QCOMPARE(hintOf(w.cyValidateURL), hintOf(r.app.main().cyValidateCheckedURL));
    QCOMPARE(longHintAt(w.cyNavBack), QStringLiteral("Navigate one page backward"));
    QCOMPARE(longHintAt(w.TBResize),
             QStringLiteral("Slide to the left/right to increase/decrease the width of the "
                            "captured URL list above"));
}

void TestWebMonitor::firstShowingMakesTheViewAndHearsIt() {
    Rig r;
    ScriptedWebView& view = r.shown();
    r.w().hide();
    r.w().show();
    QCOMPARE(r.views.made.size(), 1);
    QVERIFY(view.page->isVisible());
    view.events->beforeNavigate(QStringLiteral("http://a.example/"));
    QCOMPARE(r.w().Edit1->text(), QStringLiteral("http://a.example/"));
    QCOMPARE(r.w().SBNavText->text(), QStringLiteral("Navigating to: http://a.example/ ..."));
    QVERIFY(r.w().cyPageCapture->isEnabled());
    view.events->navigateComplete(QStringLiteral("http://a.example/"));
    QVERIFY(r.w().cyRefresh->isEnabled());
    QVERIFY(!r.w().cyStop->isEnabled());
}

void TestWebMonitor::enterNavigatesWithAnyModifier_data() {
    QTest::addColumn<int>("modifiers");
    QTest::newRow("none") << int(Qt::NoModifier);
    QTest::newRow("shift") << int(Qt::ShiftModifier);
    QTest::newRow("ctrl") << int(Qt::ControlModifier);
    QTest::newRow("alt") << int(Qt::AltModifier);
}

void TestWebMonitor::enterNavigatesWithAnyModifier() {
    QFETCH(int, modifiers);
    Rig r;
    ScriptedWebView& view = r.shown();
    r.w().Edit1->setText(QStringLiteral("http://typed.example/"));
    QTest::keyClick(r.w().Edit1, Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(view.navigations.size(), 1);
    QCOMPARE(view.navigations[0].address, QStringLiteral("http://typed.example/"));
    QVERIFY(view.navigations[0].fresh);
}

void TestWebMonitor::sliderAndSizing() {
    Rig r;
    TFormNav& w = r.w();
    QCOMPARE(w.minimumSize(), QSize(800, 594));
    w.resize(1200, 700);
    r.shown();
    // Only a desktop smaller than that makes it give way (the test screen is 800 wide).
    QVERIFY(w.minimumWidth() >= 780 && w.minimumHeight() >= 560);
    QCOMPARE(w.TBResize->minimum(), TFormNav::kListPanelWidth);
    QCOMPARE(w.Panel1->width(), TFormNav::kListPanelWidth);
    QTRY_COMPARE(w.TBResize->maximum(), w.width() - 10);
    w.TBResize->setValue(600);
    QCOMPARE(w.Panel1->width(), 600);
    // Narrowing the window past the thumb takes the thumb, and the list panel, down to the new bound.
    w.TBResize->setValue(1150);
    w.resize(800, 600);
    QTRY_COMPARE(w.TBResize->maximum(), w.width() - 10);
    QVERIFY(w.width() <= 800);
    // (the test screen may have narrowed the window a little further on the way)
    QVERIFY(w.TBResize->value() <= w.TBResize->maximum() &&
            w.TBResize->value() >= w.TBResize->maximum() - 10);
    QCOMPARE(w.Panel1->width(), w.TBResize->value());
    w.resize(100, 100);
    QCOMPARE(w.size(), w.minimumSize());
}

void TestWebMonitor::captureFillsTheListAndCount() {
    Rig r;
    ScriptedWebView& view = r.shown();
    view.events->beforeNavigate(QStringLiteral("http://a.example/"));
    QTest::mouseClick(r.w().cyPageCapture, Qt::LeftButton);
    QCOMPARE(view.harvests.size(), 1);
    HarvestedFrame top;
    top.links = {QStringLiteral("http://b.example/"), QStringLiteral("http://a.example/x")};
    view.events->harvestFrames(view.lastHarvest(), 1);
    view.events->harvestFrame(view.lastHarvest(), 0, top);
    QCOMPARE(r.w().SBMainPanels[1]->text(), QStringLiteral("2"));
    QCOMPARE(r.w().session().list().textAt(0), QStringLiteral("http://a.example/x"));
    QVERIFY(r.w().CheckListBoxURL->horizontalHeader()->minimumSectionSize() > 25);
    QTRY_COMPARE(r.app.app().history()->rowCount() - 2, 2);
    QCOMPARE(r.app.app().history()->cell(1, 3), QStringLiteral("Browser"));
}

void TestWebMonitor::newWindowsAreCapped() {
    Rig r;
    ScriptedWebView& first = r.shown();
    for (int i = 1; i < kMaxBrowserWindows; ++i)
        QVERIFY(first.events->newWindow());
    QCOMPARE(int(r.app.app().browserWindows().size()), kMaxBrowserWindows);
    QCOMPARE(r.views.made.size(), kMaxBrowserWindows);
    TFormNav* second = r.app.app().browserWindows()[1];
    QVERIFY(second->isVisible());
    QCOMPARE(second->Edit1->text(), QStringLiteral("about:blank"));
    QVERIFY(&second->session().list() != &r.w().session().list());

    r.app.dialogs.answer(Answer::Ok);
    QVERIFY(!first.events->newWindow());
    QVERIFY(r.app.dialogs.shown.isEmpty()); // said later, from the event loop
    QTRY_COMPARE(r.app.dialogs.shown.size(), 1);
    QCOMPARE(r.app.dialogs.shown[0].text, QString::fromLatin1(kTooManyBrowserWindows));
    QCOMPARE(int(r.app.app().browserWindows().size()), kMaxBrowserWindows);
}

QTEST_MAIN(TestWebMonitor)
#include "tst_webmonitor.moc"
