// Keyboard use of every window: Tab and Shift+Tab walk the controls in reading order and come round again,
// Ctrl+Tab and Ctrl+Page Down switch tabs wherever the focus is, and lists keep their arrow keys.
#include "AppFixture.h"
#include "FindControl.h"
#include "browser/BrowserSession.h"
#include "core/CheckListModel.h"
#include "history/HistoryTable.h"
#include "ui/About/AboutBox.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/FixedDriveInfo/DriveInfoWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"
#include "ui/WebUpdate/UpdateWindow.h"
#include "ui/widgets/CheckListView.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

// A control's name: its own, or the nearest named enclosing control's with its class (a tab bar, the
// editor inside a spin box).
QString nameOf(QWidget* w) {
    if (!w)
        return QStringLiteral("<none>");
    if (!w->objectName().isEmpty())
        return w->objectName();
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (!p->objectName().isEmpty())
            return p->objectName() + u'/' + QString::fromLatin1(w->metaObject()->className());
    return QString::fromLatin1(w->metaObject()->className());
}

// The controls Tab visits from the first one, once round; empty when it does not come round.
QStringList walk(QWidget* window, Qt::Key key) {
    QStringList names;
    QWidget* start = QApplication::focusWidget();
    for (int i = 0; i < 80; ++i) {
        QWidget* w = QApplication::focusWidget();
        if (!w || w->window() != window)
            return names << QStringLiteral("<left the window>");
        names << nameOf(w);
        QTest::keyClick(w, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        if (QApplication::focusWidget() == start)
            return names;
    }
    return names << QStringLiteral("<no way round>");
}

bool showActive(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

} // namespace

class TstTabOrder : public QObject {
    Q_OBJECT

    AppFixture m_app;

    QWidget* window(const QString& name) {
        ClipvaneApp& a = m_app.app();
        if (name == u"main")
            return a.mainWindow();
        if (name == u"report")
            return a.reportWindow();
        if (name == u"about")
            return a.aboutBox();
        if (name == u"browser choice")
            return a.browserChoiceWindow();
        if (name == u"drives")
            return a.driveInfoWindow();
        if (name == u"browser")
            return a.browserWindow();
        if (name == u"history")
            return a.captureHistoryWindow();
        if (name == u"update")
            return a.updateWindow();
        return nullptr;
    }

private slots:
    void initTestCase() {
        m_app.drives.drives = {{"/", "/dev/sda1", "ext4", DriveType::Fixed},
                               {"/home", "/dev/sda2", "ext4", DriveType::Fixed}};
        m_app.drives.spaces["/"] = {1000, 5000, 900};
        m_app.drives.spaces["/home"] = {1000, 5000, 900};
        m_app.connectivity.connected = true;
        m_app.startShown();
        // Lists with rows: a table view would keep Tab for moving between them.
        CheckListModel& list = m_app.main().list();
        list.replaceTexts({"a.example", "b.example", "c.example"});
        for (int row : {0, 2})
            list.setData(list.index(row), Qt::Checked, Qt::CheckStateRole);
        ctl<CheckListView>(m_app.main(), "CheckListBoxURL")->setCurrentIndex(list.index(1));
        m_app.app().browserWindow()->session().list().replaceTexts(
            {"http://a.example/", "http://b.example/"});
        for (const char* url : {"http://a.example/", "http://b.example/"})
            m_app.app().history()->AddHistoryEntry(QString::fromLatin1(url));
    }

    void tabWalksInReadingOrder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("page"); // the tab shown, in windows with tabs
        QTest::addColumn<QStringList>("order");
        QTest::newRow("main, URL Capture")
            << "main" << 0 << QStringList{"qt_tabwidget_tabbar", "cyNewList",
                                          "cySaveList",          "cySaveListAs",
                                          "cyLoadList",          "cyAdvSpeedButton2",
                                          "cyAdvSpeedButton3",   "cyDeleteChecked",
                                          "cyNavigateURL",       "cyValidateCheckedURL",
                                          "cyAdvSpeedButton6",   "cyAdvSpeedButton8",
                                          "cyAdvSpeedButton1",   "Memo1",
                                          "CheckListBoxURL"};
        // Group by group, left to right and top to bottom; the left column's two groups beside the tall
        // "On line" group come first.
        QTest::newRow("main, Software Options") << "main" << 1
                                                << QStringList{"qt_tabwidget_tabbar",
                                                               "cySaveOptions",
                                                               "cyResetOptions",
                                                               "cyAdvSpeedButton5",
                                                               "cyShowCaptureHistory",
                                                               "cyDownloadUpdate",
                                                               "cyAdvSpeedButton4",
                                                               "CBMonClipboard",
                                                               "RGURLList0",
                                                               "CBOValidateURL",
                                                               "CBOValidateChecked",
                                                               "CBDeleteInvalidURL",
                                                               "CBValidateClipboardURL",
                                                               "CBSave",
                                                               "CBBTheme",
                                                               "CBLoadDefaultList",
                                                               "CBSaveHistory",
                                                               "CBLoadHistory",
                                                               "CBMinimize",
                                                               "Edit1"};
        QTest::newRow("report") << "report" << 0 << QStringList{"cyAdvSpeedButton2", "cyAdvSpeedButton3",
                                                                "RGSync0",           "cyAdvSpeedButton1",
                                                                "cyAdvSpeedButton4", "cyAdvSpeedButton7",
                                                                "CLBValid",          "cySyncURLList",
                                                                "CLBInvalid",        "EditURL"};
        QTest::newRow("about") << "about" << 0
                               << QStringList{"Memo1", "cyEmailAuthor", "cyAdvSpeedButton1",
                                              "cyAdvSpeedButton2", "cyClose"};
        QTest::newRow("browser choice")
            << "browser choice" << 0
            << QStringList{
                   "CBRememberBrowser", "Edit1",       "cyBrowserPathOpen", "Edit2",  "cyAdvSpeedButton1",
                   "cyResetOptions",    "cyDriveInfo", "cyAdvSpeedButton7", "cyClose"};
        QTest::newRow("drives") << "drives" << 0 << QStringList{"SG", "cyClose"};
        QTest::newRow("browser") << "browser" << 0 << QStringList{"qt_tabwidget_tabbar",
                                                                  "cyCheckAll",
                                                                  "cyUncheckAll",
                                                                  "cyAdvSpeedButton1",
                                                                  "cyAdvSpeedButton2",
                                                                  "cyAdvSpeedButton3",
                                                                  "cyNavigate",
                                                                  "CheckListBoxURL",
                                                                  "TBResize",
                                                                  "Edit1"};
        QTest::newRow("history") << "history" << 0
                                 << QStringList{"cyNewList",         "cySaveHistory",  "cySaveHistoryAs",
                                                "cyURLSave",         "cyLoadHistory",  "cyPrintDB",
                                                "cyAutosize",        "cyDeleteRecord", "cyAdvSpeedButton2",
                                                "cyClose",           "SGHistory",      "CBSortHistory",
                                                "cyAdvSpeedButton1", "EditSearch",     "cyAdvSpeedButton4"};
        QTest::newRow("update") << "update" << 0
                                << QStringList{"cyCheckUpdate", "cyDownloadUpdate", "cyCheckLog", "cyClose"};
    }

    // Round and round: forwards in the order given, backwards in the reverse, never stuck in a list.
    void tabWalksInReadingOrder() {
        QFETCH(QString, name);
        QFETCH(int, page);
        QFETCH(QStringList, order);
        QWidget* w = window(name);
        QVERIFY(w);
        if (auto* tabs = w->findChild<QTabWidget*>())
            tabs->setCurrentIndex(page);
        QVERIFY(showActive(w));
        if (!QApplication::focusWidget() || QApplication::focusWidget()->window() != w)
            QTest::keyClick(w, Qt::Key_Tab);
        // Start at the first control, wherever the focus was.
        for (int i = 0; i < 80 && nameOf(QApplication::focusWidget()) != order.first(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(walk(w, Qt::Key_Tab), order);
        QStringList backwards{order.first()};
        for (qsizetype i = order.size() - 1; i > 0; --i)
            backwards << order[i];
        const QStringList back = walk(w, Qt::Key_Backtab);
        QVERIFY2(back == backwards, qPrintable(back.join(u' ')));
        w->hide();
    }

    // Ctrl+Tab and Ctrl+Page Down go to the next tab, Ctrl+Shift+Tab and Ctrl+Page Up back, from the list
    // and from the other controls of either tab; in the list, the arrows still move between rows.
    void tabsSwitchFromAnyControl_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("page");
        QTest::newRow("URL list") << "CheckListBoxURL" << 0;
        QTest::newRow("latest capture") << "Memo1" << 0;
        QTest::newRow("tool button") << "cySaveList" << 0;
        QTest::newRow("home page") << "Edit1" << 1;
        QTest::newRow("theme list") << "CBBTheme" << 1;
        QTest::newRow("check box") << "CBSave" << 1;
    }

    void tabsSwitchFromAnyControl() {
        QFETCH(QString, control);
        QFETCH(int, page);
        MainWindow& f = m_app.main();
        QVERIFY(showActive(&f));
        struct Keys {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
        };
        for (const Keys& k :
             {Keys{Qt::Key_Tab, Qt::ControlModifier}, Keys{Qt::Key_PageDown, Qt::ControlModifier},
              Keys{Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
              Keys{Qt::Key_PageUp, Qt::ControlModifier}}) {
            ctl<QTabWidget>(f, "PageControl1")->setCurrentIndex(page);
            auto* target = ctl<QTabWidget>(f, "PageControl1")->widget(page)->findChild<QWidget*>(control);
            QVERIFY(target);
            target->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), target);
            QTest::keyClick(target, k.key, k.modifiers);
            QCOMPARE(ctl<QTabWidget>(f, "PageControl1")->currentIndex(), 1 - page);
        }
        ctl<QTabWidget>(f, "PageControl1")->setCurrentIndex(0);
        ctl<CheckListView>(f, "CheckListBoxURL")->setFocus();
        ctl<CheckListView>(f, "CheckListBoxURL")->setCurrentIndex(f.list().index(0));
        QTest::keyClick(ctl<CheckListView>(f, "CheckListBoxURL"), Qt::Key_Down);
        QCOMPARE(ctl<CheckListView>(f, "CheckListBoxURL")->currentIndex().row(), 1);
        QTest::keyClick(ctl<CheckListView>(f, "CheckListBoxURL"), Qt::Key_Up);
        QCOMPARE(ctl<CheckListView>(f, "CheckListBoxURL")->currentIndex().row(), 0);
    }
};

QTEST_MAIN(TstTabOrder)
#include "tst_taborder.moc"
