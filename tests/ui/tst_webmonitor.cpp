// The browser window's wiring on the application's doubles, with a scripted web view.
#include "../browser/BrowserDoubles.h"
#include "AppFixture.h"
#include "FindControl.h"
#include "browser/BrowserSession.h"
#include "history/HistoryTable.h"
#include "ui/Main/MainWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/QtDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

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
    BrowserWindow& w() { return *app.app().browserWindow(); }
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
    void listKeysActOnlyInTheList_data();
    void listKeysActOnlyInTheList();
    void addressBarKeepsLongAddresses();
    void minimumIsTheOuterSize_data();
    void minimumIsTheOuterSize();
    void longUrlShownInAScrollableBox();
    void pendingCaptureRowsAreSavedAtExit();
};

void TestWebMonitor::createdHiddenWithItsControls() {
    Rig r;
    BrowserWindow& w = r.w();
    QVERIFY(!w.isVisible());
    QVERIFY(r.views.made.isEmpty()); // no engine before the window is shown
    QCOMPARE(w.windowTitle(), QStringLiteral("Clipvane integrated browser"));
    QCOMPARE(ctl<QTabWidget>(w, "PageControl")->tabText(0), QStringLiteral("URL page capture"));
    QCOMPARE(ctl<QLineEdit>(w, "Edit1")->text(), QStringLiteral("about:blank"));
    QCOMPARE(ctl<QLabel>(w, "SBMainPanel0")->text(), QStringLiteral("URL Count:"));
    QCOMPARE(ctl<QLabel>(w, "SBMainPanel1")->text(), QStringLiteral("0"));
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
    QCOMPARE(hintOf(ctl<QToolButton>(w, "cyValidateURL")),
             hintOf(ctl<QToolButton>(r.app.main(), "cyValidateCheckedURL")));
    QCOMPARE(longHintAt(ctl<QToolButton>(w, "cyNavBack")), QStringLiteral("Navigate one page backward"));
    QCOMPARE(longHintAt(ctl<QSlider>(w, "TBResize")),
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
    QCOMPARE(ctl<QLineEdit>(r.w(), "Edit1")->text(), QStringLiteral("http://a.example/"));
    QCOMPARE(ctl<QLabel>(r.w(), "SBNavText")->text(), QStringLiteral("Navigating to: http://a.example/ ..."));
    QVERIFY(ctl<QToolButton>(r.w(), "cyPageCapture")->isEnabled());
    view.events->navigateComplete(QStringLiteral("http://a.example/"));
    QVERIFY(ctl<QToolButton>(r.w(), "cyRefresh")->isEnabled());
    QVERIFY(!ctl<QToolButton>(r.w(), "cyStop")->isEnabled());
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
    ctl<QLineEdit>(r.w(), "Edit1")->setText(QStringLiteral("http://typed.example/"));
    QTest::keyClick(ctl<QLineEdit>(r.w(), "Edit1"), Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(view.navigations.size(), 1);
    QCOMPARE(view.navigations[0].address, QStringLiteral("http://typed.example/"));
    QVERIFY(view.navigations[0].fresh);
}

void TestWebMonitor::sliderAndSizing() {
    Rig r;
    BrowserWindow& w = r.w();
    QCOMPARE(w.minimumSize(), QSize(800, 594));
    w.resize(1200, 700);
    r.shown();
    // Only a desktop smaller than that makes it give way (the test screen is 800 wide).
    QVERIFY(w.minimumWidth() >= 780 && w.minimumHeight() >= 560);
    QCOMPARE(ctl<QSlider>(w, "TBResize")->minimum(), BrowserWindow::kListPanelWidth);
    QCOMPARE(ctl<QWidget>(w, "Panel1")->width(), BrowserWindow::kListPanelWidth);
    QTRY_COMPARE(ctl<QSlider>(w, "TBResize")->maximum(), w.width() - 10);
    ctl<QSlider>(w, "TBResize")->setValue(600);
    QCOMPARE(ctl<QWidget>(w, "Panel1")->width(), 600);
    // Narrowing the window past the thumb takes the thumb, and the list panel, down to the new bound.
    ctl<QSlider>(w, "TBResize")->setValue(1150);
    w.resize(800, 600);
    QTRY_COMPARE(ctl<QSlider>(w, "TBResize")->maximum(), w.width() - 10);
    QVERIFY(w.width() <= 800);
    // (the test screen may have narrowed the window a little further on the way)
    QVERIFY(ctl<QSlider>(w, "TBResize")->value() <= ctl<QSlider>(w, "TBResize")->maximum() &&
            ctl<QSlider>(w, "TBResize")->value() >= ctl<QSlider>(w, "TBResize")->maximum() - 10);
    QCOMPARE(ctl<QWidget>(w, "Panel1")->width(), ctl<QSlider>(w, "TBResize")->value());
    w.resize(100, 100);
    QCOMPARE(w.size(), w.minimumSize());
}

void TestWebMonitor::captureFillsTheListAndCount() {
    Rig r;
    ScriptedWebView& view = r.shown();
    view.events->beforeNavigate(QStringLiteral("http://a.example/"));
    QTest::mouseClick(ctl<QToolButton>(r.w(), "cyPageCapture"), Qt::LeftButton);
    QCOMPARE(view.harvests.size(), 1);
    HarvestedFrame top;
    top.links = {QStringLiteral("http://b.example/"), QStringLiteral("http://a.example/x")};
    view.events->harvestFrame(view.lastHarvest(), {}, top);
    QCOMPARE(ctl<QLabel>(r.w(), "SBMainPanel1")->text(), QStringLiteral("2"));
    QCOMPARE(r.w().session().list().textAt(0), QStringLiteral("http://a.example/x"));
    QVERIFY(ctl<CheckListView>(r.w(), "CheckListBoxURL")->horizontalHeader()->minimumSectionSize() > 25);
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
    BrowserWindow* second = r.app.app().browserWindows()[1];
    QVERIFY(second->isVisible());
    QCOMPARE(ctl<QLineEdit>(second, "Edit1")->text(), QStringLiteral("about:blank"));
    QVERIFY(&second->session().list() != &r.w().session().list());

    // A burst of requests beyond the limit: one box, said from the event loop, then the status line.
    r.app.dialogs.answer(Answer::Ok);
    for (int i = 0; i < 200; ++i)
        QVERIFY(!first.events->newWindow());
    QVERIFY(r.app.dialogs.shown.isEmpty());
    QTRY_COMPARE(r.app.dialogs.shown.size(), 1);
    QCOMPARE(r.app.dialogs.shown[0].text, QString::fromLatin1(kTooManyBrowserWindows));
    QCOMPARE(ctl<QLabel>(r.w(), "SBMainPanel2")->text(), QString::fromLatin1(kTooManyBrowserWindows));
    QTest::qWait(50);
    QCOMPARE(r.app.dialogs.shown.size(), 1);
    QCOMPARE(int(r.app.app().browserWindows().size()), kMaxBrowserWindows);

    // Closed windows do not count: the next request is served by one of them, with an empty list.
    second->session().list().appendTexts({QStringLiteral("http://old.example/")});
    second->close();
    QVERIFY(!second->isVisible());
    // Closing stops its page.
    ScriptedWebView* secondView = r.views.made[1];
    QCOMPARE(secondView->navigations.last().address, QStringLiteral("about:blank"));
    WebView* again = first.events->newWindow();
    QCOMPARE(r.views.made.size(), kMaxBrowserWindows + 1);
    QVERIFY(again == r.views.made.last());
    QVERIFY(second->isVisible());
    QVERIFY(r.views.made.last()->events == &second->session());
    QCOMPARE(second->session().list().count(), 0);
    QCOMPARE(int(r.app.app().browserWindows().size()), kMaxBrowserWindows);
}

void TestWebMonitor::listKeysActOnlyInTheList_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("leftInList"); // after the key in the list, of two items, the second selected
    QTest::newRow("Ctrl+L clears") << int(Qt::Key_L) << 0;
    QTest::newRow("Ctrl+D deletes the selected item") << int(Qt::Key_D) << 1;
}

void TestWebMonitor::listKeysActOnlyInTheList() {
    QFETCH(int, key);
    QFETCH(int, leftInList);
    Rig r;
    r.shown();
    BrowserWindow& w = r.w();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    CheckListModel& list = w.session().list();
    list.appendTexts({QStringLiteral("http://a.example/"), QStringLiteral("http://b.example/")});
    list.setSelected(1);
    // In the address bar the key is the line edit's own.
    ctl<QLineEdit>(w, "Edit1")->setFocus();
    QTRY_VERIFY(ctl<QLineEdit>(w, "Edit1")->hasFocus());
    QTest::keyClick(ctl<QLineEdit>(w, "Edit1"), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(list.count(), 2);
    ctl<CheckListView>(w, "CheckListBoxURL")->setFocus();
    QTRY_VERIFY(ctl<CheckListView>(w, "CheckListBoxURL")->hasFocus());
    QTest::keyClick(ctl<CheckListView>(w, "CheckListBoxURL"), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(list.count(), leftInList);
}

void TestWebMonitor::addressBarKeepsLongAddresses() {
    Rig r;
    ScriptedWebView& view = r.shown();
    const QString url = QStringLiteral("http://a.example/") + QString(200000, u'x');
    view.events->beforeNavigate(url);
    QCOMPARE(ctl<QLineEdit>(r.w(), "Edit1")->text(), url);
    r.w().session().navigateTo(url);
    QCOMPARE(view.navigations.last().address, url);
}

void TestWebMonitor::minimumIsTheOuterSize_data() {
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QSize>("client");
    QTest::newRow("no frame") << QSize(0, 0) << QSize(1920, 1080) << QSize(800, 594);
    QTest::newRow("decorated") << QSize(8, 36) << QSize(1920, 1080) << QSize(792, 558);
    QTest::newRow("small desktop") << QSize(8, 36) << QSize(640, 480) << QSize(632, 444);
}

void TestWebMonitor::minimumIsTheOuterSize() {
    QFETCH(QSize, frame);
    QFETCH(QSize, desktop);
    QFETCH(QSize, client);
    QCOMPARE(BrowserWindow::minimumClientSize(frame, desktop), client);
}

void TestWebMonitor::longUrlShownInAScrollableBox() {
    Rig r;
    ScriptedWebView& view = r.shown();
    Q_UNUSED(view);
    const QString url = QStringLiteral("http://a.example/") + QString(200000, u'y');
    QtDialogs dialogs;
    QElapsedTimer clock;
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto* box = QApplication::activeModalWidget();
        QVERIFY(box);
        QCOMPARE(box->objectName(), QStringLiteral("LongTextBox"));
        auto* text = box->findChild<QPlainTextEdit*>(QStringLiteral("LongText"));
        QVERIFY(text);
        QCOMPARE(text->toPlainText(), url);
        QVERIFY(text->isReadOnly());
        QVERIFY(text->textInteractionFlags() & Qt::TextSelectableByMouse);
        QVERIFY(box->width() <= 1000);
        seen = true;
        box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    clock.start();
    QCOMPARE(dialogs.message(MessageKind::Plain, url, Buttons::Ok), Answer::Ok);
    QVERIFY(seen);
    qInfo("the box for a 200,000-character URL came and went in %lld ms", clock.elapsed());
    QVERIFY(!isLongMessage(QStringLiteral("http://a.example/short")));
}

void TestWebMonitor::pendingCaptureRowsAreSavedAtExit() {
    Rig r;
    ScriptedWebView& view = r.shown();
    ctl<QCheckBox>(r.app.main(), "CBSaveHistory")->setChecked(true);
    r.app.resolver.answers = {{"a.example", "10.0.0.1"}};
    view.events->beforeNavigate(QStringLiteral("http://a.example/"));
    r.w().session().cyPageCaptureClick();
    HarvestedFrame top;
    top.links = {QStringLiteral("http://a.example/1"), QStringLiteral("http://a.example/2")};
    view.events->harvestFrame(view.lastHarvest(), {}, top);
    // The host's answer has not reached the table yet when the session ends.
    QCOMPARE(r.app.app().history()->rowCount() - 2, 0);
    r.app.main().close();
    const QByteArray file = r.app.folder.read("Capture History.csv");
    QVERIFY(file.contains("http://a.example/1"));
    QVERIFY(file.contains("http://a.example/2"));
    QVERIFY(file.contains("10.0.0.1"));
}

QTEST_MAIN(TestWebMonitor)
#include "tst_webmonitor.moc"
