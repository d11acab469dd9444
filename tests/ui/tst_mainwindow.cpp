// The main window as a whole: its button bars and status bar, the hint panel of every window, the tray
// icon with its menu, minimising and restoring, and the ways out.
#include "AppFixture.h"
#include "FindControl.h"
#include "MainWindowRig.h"
#include "core/CapturedList.h"
#include "core/Options.h"
#include "lists/MainListSession.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/FixedDriveInfo/DriveInfoWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/widgets/CheckListView.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/ValidationPanel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using namespace clipvane;
using namespace clipvane::test;

namespace {

QImage pictureOf(const QToolButton* b, QIcon::Mode mode = QIcon::Normal) {
    return b->icon().pixmap(QSize(32, 32), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

int opaquePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 128;
    return n;
}

bool hasColourNear(const QImage& image, const QColor& want) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() > 200 && qAbs(c.red() - want.red()) < 40 && qAbs(c.green() - want.green()) < 40 &&
                qAbs(c.blue() - want.blue()) < 40)
                return true;
        }
    return false;
}

bool isGrey(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) > 0 && (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)))
                return false;
        }
    return true;
}

// The window's rectangle of a control.
QRect placeOf(const QWidget* w) {
    return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

// A window of another kind with its own hint panel: a framed group with a hint around a control without one.
struct OtherWindow : QWidget {
    QLabel* panel;
    QFrame* group;
    QLabel* inner;
    explicit OtherWindow(bool withHintPanel) {
        setObjectName(QStringLiteral("Other"));
        auto* v = new QVBoxLayout(this);
        group = new QFrame(this);
        group->setMinimumSize(200, 80);
        setHint(group, QStringLiteral("|The group"));
        inner = new QLabel(QStringLiteral("inside"), group);
        inner->setGeometry(10, 10, 60, 30);
        v->addWidget(group);
        panel = new QLabel(this);
        panel->setObjectName(withHintPanel ? QStringLiteral("HintPanel") : QStringLiteral("Caption"));
        panel->setText(QStringLiteral("start"));
        v->addWidget(panel);
        resize(260, 160);
    }
};

void activate(QWidget* w) {
    w->show();
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
}

} // namespace

class TstMainWindow : public QObject {
    Q_OBJECT
private slots:
    // ---- Button bars

    void buttons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("enabled"); // at first, with no default list file
        QTest::addColumn<QString>("hint");
        const auto row = [](const char* name, int width, bool enabled, const char* hint) {
            QTest::newRow(name) << QString::fromLatin1(name) << width << enabled << QString::fromLatin1(hint);
        };
        row("cyNewList", 48, true, "|Create a new URL list");
        row("cySaveList", 48, true, "|Save the list to the application folder.");
        row("cySaveListAs", 48, true,
            "|Save the list as: Text, HTML document, List or any type of document in the folder of your "
            "choice.");
        row("cyReloadList", 48, false, "|Reload the software URL list");
        row("cyLoadList", 48, true, "|Open a previous saved list");
        row("cyAdvSpeedButton2", 48, true, "|Tick all the items in the URL list");
        row("cyAdvSpeedButton3", 48, true, "|Untick all the items in the URL list");
        row("cyDeleteChecked", 48, false, "|Delete all ticked item from the Captured URL list");
        row("cyNavigateURL", 48, false, "|Navigate with default browser to the selected item");
        row("cyValidateCheckedURL", 48, false,
            "|Validate all checked URL then show report. Needs Internet connected.");
        row("cyAdvSpeedButton6", 48, true,
            "|Integrated Web Browser, permits to grab all URL from one URL address");
        row("cyAdvSpeedButton8", 48, true,
            "|Show the about box dialog which contains the license and other informations");
        row("cyAdvSpeedButton1", 40, true,
            "|Exit the software. Proposes save and exit if the URL list has not been saved yet.");
        // The options bar: the hints of the buttons that open windows; the others belong to the options page.
        row("cySaveOptions", 48, true, "");
        row("cyReloadOptions", 48, false, "");
        row("cyResetOptions", 48, true, "");
        row("cyAdvSpeedButton5", 48, true,
            "|Open a dialog window to modify the browser use for navigation by the software");
        row("cyShowCaptureHistory", 48, true, "|View Captured URL History");
        row("cyDownloadUpdate", 48, true, "|Download on line the latest update...");
        row("cyAdvSpeedButton4", 48, true, "");
    }
    void buttons() {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(bool, enabled);
        QFETCH(QString, hint);
        AppFixture app;
        app.startShown();
        auto* b = app.main().findChild<QToolButton*>(name);
        QVERIFY(b);
        QCOMPARE(b->size(), QSize(width, 48));
        QCOMPARE(b->isEnabled(), enabled);
        if (!hint.isEmpty())
            QCOMPARE(hintOf(b), hint);
        QVERIFY(hintOf(b).startsWith('|'));
        QVERIFY(b->toolTip().isEmpty());
        // A picture and no caption on the face.
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QVERIFY(!b->accessibleName().isEmpty());
        const QImage picture = pictureOf(b);
        QVERIFY2(opaquePixels(picture) > 40, "the picture draws something");
        QVERIFY2(opaquePixels(picture) < 32 * 32 / 2, "a line drawing, not a block");
        // Disabled, it is grey whatever its accents.
        QVERIFY(isGrey(pictureOf(b, QIcon::Disabled)));
    }

    void picturesAreDrawnInThePaletteInk() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        const QPalette before = QApplication::palette();
        for (const QColor ink : {QColor(255, 0, 255), QColor(0, 255, 255)}) {
            QPalette p = before;
            p.setColor(QPalette::ButtonText, ink);
            QApplication::setPalette(p);
            QVERIFY(hasColourNear(pictureOf(ctl<QToolButton>(f, "cySaveList")), ink));
            QVERIFY(hasColourNear(pictureOf(ctl<QToolButton>(f, "cyAdvSpeedButton5")), ink));
        }
        QApplication::setPalette(before);
        // The accents keep their colours: the exit arrow stays red.
        QVERIFY(hasColourNear(pictureOf(ctl<QToolButton>(f, "cyAdvSpeedButton1")), QColor(0xd2, 0x4a, 0x3c)));
        // The validation panel and the windows carry their pictures too.
        auto* image =
            ctl<ValidationPanel>(f, "PanelValidate")->findChild<QLabel*>(QStringLiteral("ImageValidate"));
        QVERIFY(image);
        QVERIFY(!image->pixmap().isNull());
        QVERIFY(!f.windowIcon().isNull());
        QVERIFY(!QApplication::windowIcon().pixmap(22, 22).isNull());
    }

    // ---- Layout

    void layoutAtSizes_data() {
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("design size") << QSize(717, 436) << QSize(717, 436);
        QTest::newRow("below the minimum") << QSize(500, 300) << QSize(717, 436);
        QTest::newRow("narrower only") << QSize(600, 600) << QSize(717, 600);
        QTest::newRow("larger") << QSize(1100, 700) << QSize(1100, 700);
    }
    void layoutAtSizes() {
        QFETCH(QSize, asked);
        QFETCH(QSize, expected);
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QList<QToolButton*> left{ctl<QToolButton>(f, "cyNewList"), ctl<QToolButton>(f, "cySaveList"),
                                       ctl<QToolButton>(f, "cySaveListAs"),
                                       ctl<QToolButton>(f, "cyReloadList"),
                                       ctl<QToolButton>(f, "cyLoadList")};
        const QList<QToolButton*> right{
            ctl<QToolButton>(f, "cyAdvSpeedButton2"),    ctl<QToolButton>(f, "cyAdvSpeedButton3"),
            ctl<QToolButton>(f, "cyDeleteChecked"),      ctl<QToolButton>(f, "cyNavigateURL"),
            ctl<QToolButton>(f, "cyValidateCheckedURL"), ctl<QToolButton>(f, "cyAdvSpeedButton6"),
            ctl<QToolButton>(f, "cyAdvSpeedButton8"),    ctl<QToolButton>(f, "cyAdvSpeedButton1")};
        QList<int> leftX, rightGap;
        for (QToolButton* b : left)
            leftX << placeOf(b).x();
        for (QToolButton* b : right)
            rightGap << f.width() - placeOf(b).x();

        f.resize(asked);
        QCoreApplication::processEvents();
        QCOMPARE(f.size(), expected);

        // The first group stays at the left edge, the group from tick-all on keeps its distance from the
        // right.
        for (int i = 0; i < left.size(); ++i)
            QCOMPARE(placeOf(left[i]).x(), leftX[i]);
        for (int i = 0; i < right.size(); ++i)
            QCOMPARE(f.width() - placeOf(right[i]).x(), rightGap[i]);
        // No two buttons overlap and all are inside the bar.
        const QList<QToolButton*> all = left + right;
        for (int i = 0; i < all.size(); ++i) {
            QVERIFY(placeOf(ctl<QWidget>(f, "Panel1")).contains(placeOf(all[i])));
            if (i > 0)
                QVERIFY2(placeOf(all[i - 1]).right() < placeOf(all[i]).left(),
                         qPrintable(all[i]->objectName()));
        }
        QCOMPARE(ctl<QWidget>(f, "Panel1")->height(), 60);
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->height(), 41);
        QVERIFY(placeOf(ctl<QLabel>(f, "HintPanel")).bottom() < placeOf(ctl<QStatusBar>(f, "SBMain")).top());
        // The status bar fits the window; the panels keep their design widths or more, but for the progress
        // panel, which keeps room for its longest text, and they do not overlap.
        QCOMPARE(ctl<QStatusBar>(f, "SBMain")->width(), f.width());
        const int widths[] = {90, 90, 130, 30, 200, 24, 50};
        int previousRight = -1;
        for (int i = 0; i < 7; ++i) {
            auto* panel =
                ctl<QStatusBar>(f, "SBMain")->findChild<QLabel*>(QStringLiteral("SBMainPanel%1").arg(i));
            QVERIFY(panel);
            const QRect place = placeOf(panel);
            if (i == 4)
                QVERIFY(panel->contentsRect().width() >=
                        panel->fontMetrics().horizontalAdvance("Validating URL 999 of 999"));
            else
                QVERIFY2(panel->width() >= widths[i], qPrintable(panel->objectName()));
            QVERIFY(place.left() > previousRight);
            QVERIFY(place.right() < f.width());
            previousRight = place.right();
        }
    }

    void statusPanelsShowTheirWholeTexts_data() {
        QTest::addColumn<int>("panel");
        QTest::addColumn<QString>("text");
        QTest::newRow("label 0") << 0 << "URL list status:";
        QTest::newRow("list status") << 1 << "Modified";
        QTest::newRow("label 2") << 2 << "Clipboard monitored:";
        QTest::newRow("monitored") << 3 << "Yes";
        QTest::newRow("label 5") << 5 << "IP:";
        QTest::newRow("whole IPv4 address") << 6 << "255.255.255.255";
        QTest::newRow("disconnected") << 6 << "Disconnected";
        QTest::newRow("validation progress") << 4 << "Validating URL 123 of 456";
    }
    void statusPanelsShowTheirWholeTexts() {
        QFETCH(int, panel);
        QFETCH(QString, text);
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        f.setStatusPanelText(panel, text);
        QCoreApplication::processEvents();
        auto* label =
            ctl<QStatusBar>(f, "SBMain")->findChild<QLabel*>(QStringLiteral("SBMainPanel%1").arg(panel));
        QVERIFY(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(text));
    }

    void aLongAddressNeverWidensTheWindow() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        const int minimum = f.minimumSizeHint().width();
        f.setStatusPanelText(6, QString(5000, QLatin1Char('9')));
        QCoreApplication::processEvents();
        QCOMPARE(f.size(), QSize(717, 436));
        QCOMPARE(f.minimumSizeHint().width(), minimum);
        QCOMPARE(f.statusPanelText(6).size(), 5000);
    }

    // ---- Hint panel

    void hintPanelFollowsTheMouse_data() {
        QTest::addColumn<QString>("target"); // object name, or the list's viewport
        QTest::addColumn<QPoint>("at");      // in the target
        QTest::addColumn<QString>("expected");
        QTest::newRow("button") << "cySaveList" << QPoint(20, 20)
                                << "Save the list to the application folder.";
        QTest::newRow("disabled button")
            << "cyDeleteChecked" << QPoint(20, 20) << "Delete all ticked item from the Captured URL list";
        QTest::newRow("list viewport takes the list's hint")
            << "viewport" << QPoint(30, 30)
            << "Captured URL list. Double click an item to navigate to this URL with the default browser";
        // The space between the two groups of buttons: the bar has no hint, the tabs have one.
        QTest::newRow("leaving a button for its bar")
            << "Panel1" << QPoint(290, 30)
            << "Option Tab: contains all the options and settings of the software";
        QTest::newRow("hint panel")
            << "HintPanel" << QPoint(30, 20)
            << "Here appears all the hints. Hover over a list, button, ... to display a hint about it";
        QTest::newRow("status bar") << "SBMain" << QPoint(5, 5)
                                    << "Status of the list (save, new,...), Status of the clipboard and "
                                       "other various information shows in "
                                       "this status bar";
    }
    void hintPanelFollowsTheMouse() {
        QFETCH(QString, target);
        QFETCH(QPoint, at);
        QFETCH(QString, expected);
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        activate(&f);
        QWidget* w = target == "viewport" ? ctl<CheckListView>(f, "CheckListBoxURL")->viewport()
                                          : f.findChild<QWidget*>(target);
        QVERIFY(w);
        // Start on a button, so that every row is a change of hint.
        QTest::mouseMove(ctl<QToolButton>(f, "cyNewList"), QPoint(24, 24));
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->text(), QString("Create a new URL list"));
        QTest::mouseMove(w, at);
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->text(), expected);
    }

    void hintPanelOfTheActiveWindowOnly() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        OtherWindow other(true);
        other.move(800, 0);
        activate(&other);
        // The hint goes to the active window's panel, the control's own or its group's.
        QTest::mouseMove(other.group, QPoint(150, 60));
        QCOMPARE(other.panel->text(), QString("The group"));
        QTest::mouseMove(other.inner, QPoint(5, 5));
        QCOMPARE(other.panel->text(), QString("The group"));
        const QString mainPanel = ctl<QLabel>(f, "HintPanel")->text();
        QTest::mouseMove(ctl<QToolButton>(f, "cyNewList"), QPoint(24, 24));
        QCOMPARE(other.panel->text(), QString("Create a new URL list"));
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->text(), mainPanel);

        // A window without a hint panel is left alone, and so is every panel.
        OtherWindow plain(false);
        plain.move(0, 500);
        activate(&plain);
        QTest::mouseMove(plain.group, QPoint(150, 60));
        QCOMPARE(plain.panel->text(), QString("start"));
        QCOMPARE(other.panel->text(), QString("Create a new URL list"));
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->text(), mainPanel);

        // No active window: nothing happens.
        QApplication::setActiveWindow(nullptr);
        HintTracker::ShowHintInPanel(ctl<QToolButton>(f, "cySaveList"));
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->text(), mainPanel);
    }

    void hintOfAControlStopsAtItsWindow() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        setHint(&f,
                QStringLiteral("|This is where appears hints. Hover over the form, a button to know more."));
        // The tray menu is owned by the main window but is not one of its controls.
        QCOMPARE(longHintAt(ctl<QMenu>(f, "PopupMenu1")), QString());
        QCOMPARE(longHintAt(ctl<QWidget>(f, "Panel1")),
                 QString("Option Tab: contains all the options and settings of the software"));
        QCOMPARE(longHintAt(f.centralWidget()),
                 QString("This is where appears hints. Hover over the form, a button to know more."));
    }

    void leavingTheWindowsEmptiesThePanel() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        activate(&f);
        QTest::mouseMove(ctl<QToolButton>(f, "cyNewList"), QPoint(24, 24));
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->text(), QString("Create a new URL list"));
        // Off every window: there is no hint any more.
        QCursor::setPos(f.geometry().bottomRight() + QPoint(200, 200));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(ctl<QToolButton>(f, "cyNewList"), &leave);
        QCOMPARE(ctl<QLabel>(f, "HintPanel")->text(), QString());
    }

    // ---- Tray menu

    void trayMenu() {
        AppFixture app;
        app.start();
        MainWindow& f = app.main();
        QCOMPARE(app.tray.menu, ctl<QMenu>(f, "PopupMenu1"));
        QVERIFY(!app.tray.visible);
        const auto captions = [](const QMenu* m) {
            QStringList out;
            for (const QAction* a : m->actions())
                out << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return out;
        };
        QCOMPARE(
            captions(ctl<QMenu>(f, "PopupMenu1")),
            QStringList({"Restore Clipvane", "-", "Clipboard", "-", "Show", "-", "Options", "-", "Exit"}));
        QCOMPARE(captions(ctl<QMenu>(f, "Clipboard1")),
                 QStringList({"Monitor Clipboard URL", "Validate Clipboard URL", "-",
                              "Show clipboard captured URL in a balloon"}));
        QCOMPARE(captions(ctl<QMenu>(f, "ShowCaptureHistory1")),
                 QStringList({"Capture history", "All drive information"}));
        QCOMPARE(captions(ctl<QMenu>(f, "Options1")),
                 QStringList({"Start the software minimised", "Exit minimise the software to tray"}));
        QStringList separators;
        for (const QMenu* m : {ctl<QMenu>(f, "PopupMenu1"), ctl<QMenu>(f, "Clipboard1")})
            for (const QAction* a : m->actions())
                if (a->isSeparator())
                    separators << a->objectName();
        QCOMPARE(separators, QStringList({"N3", "N1", "N5", "N2", "N4"}));
    }

    void trayMenuItems_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("restore") << "RestoreClipvane1"
                                 << "Ctrl+Alt+R" << false << false;
        QTest::newRow("monitor") << "MonClipboard"
                                 << "Ctrl+Alt+C" << true << true;
        // Ticked by the preference's default.
        QTest::newRow("validate") << "ValidateClipboardURL"
                                  << "Ctrl+Alt+V" << true << true;
        QTest::newRow("balloon") << "Showcapture"
                                 << "Ctrl+Alt+S" << true << true;
        QTest::newRow("history") << "Capturehistory1"
                                 << "Ctrl+Alt+H" << false << false;
        QTest::newRow("drives") << "Alldriveinformation1"
                                << "Ctrl+Alt+I" << false << false;
        QTest::newRow("start minimised") << "StartMinimised"
                                         << "" << true << false;
        QTest::newRow("exit to tray") << "ExitToTray"
                                      << "" << true << false;
        QTest::newRow("exit") << "Exit1"
                              << "" << false << false;
    }
    void trayMenuItems() {
        QFETCH(QString, name);
        QFETCH(QString, shortcut);
        QFETCH(bool, checkable);
        QFETCH(bool, ticked);
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        auto* action = f.findChild<QAction*>(name);
        QVERIFY(action);
        QCOMPARE(action->shortcut(), QKeySequence(shortcut));
        QCOMPARE(action->isCheckable(), checkable);
        QCOMPARE(action->isChecked(), ticked);
        if (shortcut.isEmpty() || name == "RestoreClipvane1")
            return;
        // The shortcut acts while the window is shown.
        activate(&f);
        QSignalSpy triggered(action, &QAction::triggered);
        const QKeyCombination key = QKeySequence(shortcut)[0];
        QTest::keyClick(&f, key.key(), key.keyboardModifiers());
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(action->isChecked(), checkable && !ticked);
    }

    void trayMenuTicksFollowTheirTwins() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QAction>(f, "MonClipboard")->trigger();
        QVERIFY(!ctl<QCheckBox>(f, "CBMonClipboard")->isChecked());
        QCOMPARE(f.statusPanelText(3), QString("No"));
        ctl<QCheckBox>(f, "CBMonClipboard")->setChecked(true);
        QVERIFY(ctl<QAction>(f, "MonClipboard")->isChecked());
        QCOMPARE(f.statusPanelText(3), QString("Yes"));
        const bool validating = ctl<QAction>(f, "ValidateClipboardURL")->isChecked();
        ctl<QAction>(f, "ValidateClipboardURL")->trigger();
        QCOMPARE(ctl<QCheckBox>(f, "CBValidateClipboardURL")->isChecked(), !validating);
        QCOMPARE(app.options().validateClipboardUrl(), !validating);
        ctl<QAction>(f, "Capturehistory1")->trigger();
        QVERIFY(app.app().captureHistoryWindow()->isVisible());
        ctl<QAction>(f, "Alldriveinformation1")->trigger();
        QVERIFY(app.app().driveInfoWindow()->isVisible());
        QVERIFY(f.isVisible());
    }

    // ---- Minimise and restore

    void minimiseAndRestore_data() {
        QTest::addColumn<bool>("systemTray"); // "System Tray" ticked
        QTest::addColumn<bool>("trayOnDesktop");
        QTest::addColumn<bool>("byButton"); // the window's minimise button, else a command
        QTest::addColumn<bool>("inTray");
        QTest::newRow("tray, by the button") << true << true << true << true;
        QTest::newRow("tray, by a command") << true << true << false << true;
        QTest::newRow("task bar, by the button") << false << true << true << false;
        QTest::newRow("task bar, by a command") << false << true << false << false;
        QTest::newRow("no tray on the desktop") << true << false << false << false;
        QTest::newRow("no tray, by the button") << true << false << true << false;
    }
    void minimiseAndRestore() {
        QFETCH(bool, systemTray);
        QFETCH(bool, trayOnDesktop);
        QFETCH(bool, byButton);
        QFETCH(bool, inTray);
        AppFixture app;
        app.tray.available = trayOnDesktop;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(systemTray);
        if (byButton)
            f.setWindowState(f.windowState() | Qt::WindowMinimized);
        else
            f.minimiseApplication();
        QTRY_COMPARE(app.tray.visible, inTray);
        QCoreApplication::processEvents();
        QVERIFY(f.isMinimized());
        QCOMPARE(f.isVisible(), !inTray); // never hidden without an icon to bring it back
        if (inTray) {
            QCOMPARE(app.tray.balloons.size(), 1);
            QCOMPARE(app.tray.balloons[0].first, QString("Restoring Clipvane window"));
            QCOMPARE(
                app.tray.balloons[0].second,
                QString("Double click the system tray icon to restore the Clipvane window. Right click for "
                        "context menu"));
            // Restore: a double click, or the menu item.
            if (byButton)
                app.tray.doubleClick();
            else
                ctl<QAction>(f, "RestoreClipvane1")->trigger();
            QVERIFY(f.isVisible());
            QVERIFY(!f.isMinimized());
            QVERIFY(!app.tray.visible);
        } else {
            QVERIFY(app.tray.balloons.isEmpty());
        }
    }

    void minimisingToTheTaskBarRemovesATrayIcon() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        app.tray.visible = true; // left over from a minimise to the tray
        f.minimiseApplication();
        QVERIFY(!app.tray.visible);
        QVERIFY(f.isVisible());
        QVERIFY(f.isMinimized());
    }

    void startMinimised_data() {
        QTest::addColumn<bool>("systemTray");
        QTest::addColumn<bool>("inTray");
        QTest::newRow("to the tray") << true << true;
        QTest::newRow("to the task bar") << false << false;
    }
    void startMinimised() {
        QFETCH(bool, systemTray);
        QFETCH(bool, inTray);
        AppFixture app;
        app.folder.write("Clipvane.ini", QByteArray("[Window Minimize]\r\nSystem Tray=") +
                                             (systemTray ? "1" : "0") +
                                             "\r\n[Context Menu Pop]\r\nStart application minimised=1\r\n");
        MainWindowRig rig(app);
        MainWindow& f = rig.window;
        f.FormCreate();
        QVERIFY(ctl<QAction>(f, "StartMinimised")->isChecked());
        f.showAtStart();
        QCoreApplication::processEvents();
        QVERIFY(f.isMinimized());
        QCOMPARE(app.tray.visible, inTray);
        QCOMPARE(f.isVisible(), !inTray);
        QCOMPARE(app.tray.balloons.size(), inTray ? 1 : 0);
        // The first showing has run: the options it sets are in their controls for a save at exit.
        QVERIFY(!f.firstShowPending());
    }

    // ---- Ways out

    void exitButton_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("toTray"); // "Exit minimise the software to tray" and "System Tray" ticked
        QTest::addColumn<bool>("trayOnDesktop");
        QTest::addColumn<int>("answer"); // -1: no question
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("listWritten");
        QTest::addColumn<int>("optionWrites");
        QTest::newRow("saved list") << false << false << true << -1 << true << false << 1;
        QTest::newRow("yes") << true << false << true << int(Answer::Yes) << true << true << 1;
        QTest::newRow("no") << true << false << true << int(Answer::No) << true << false << 1;
        QTest::newRow("abort") << true << false << true << int(Answer::Abort) << false << false << 0;
        QTest::newRow("box closed") << true << false << true << int(Answer::Closed) << false << false << 0;
        QTest::newRow("to the tray") << true << true << true << -1 << false << false << 0;
        // No tray to go to: the exit button exits.
        QTest::newRow("to the tray, none on the desktop")
            << true << true << false << int(Answer::No) << true << false << 1;
    }
    void exitButton() {
        QFETCH(bool, modified);
        QFETCH(bool, toTray);
        QFETCH(bool, trayOnDesktop);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, listWritten);
        QFETCH(int, optionWrites);
        AppFixture app;
        app.tray.available = trayOnDesktop;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBSave")->setChecked(true);
        ctl<QCheckBox>(f, "CBSaveHistory")->setChecked(true);
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(toTray);
        ctl<QAction>(f, "ExitToTray")->setChecked(toTray);
        app.acceptOffline();
        if (modified)
            app.clipboard.copy("a.example");
        QCOMPARE(app.captured().modified, modified);
        if (answer >= 0)
            app.dialogs.answer(Answer(answer));
        QSignalSpy options(&f, &MainWindow::optionsFileWritten);
        QSignalSpy history(&f, &MainWindow::saveHistoryRequested);
        const QStringList entries = f.list().texts();
        const QString status = f.statusPanelText(1);

        ctl<QToolButton>(f, "cyAdvSpeedButton1")->click();

        // The save on the way out reports in the status line, never in a box.
        QCOMPARE(app.dialogs.shown.size(), answer >= 0 ? 1 : 0);
        if (optionWrites > 0)
            QCOMPARE(ctl<QStatusBar>(f, "SBMain")->currentMessage(), QString("Preferences are saved."));
        QVERIFY(app.dialogs.allAnswersUsed());
        if (answer >= 0) {
            QCOMPARE(app.dialogs.shown[0].kind, MessageKind::Information);
            QCOMPARE(app.dialogs.shown[0].text,
                     QString("The URL list has not been saved yet. Save this list and exit?"));
            QCOMPARE(app.dialogs.shown[0].buttons, Buttons::YesNoAbort);
        }
        const bool inTray = toTray && trayOnDesktop;
        QCOMPARE(app.tray.visible, inTray);
        QCOMPARE(f.isVisible(), !closes && !inTray);
        // The list and the preferences are written once each at most, the history by its option on closing.
        QCOMPARE(app.folder.read("Clipvane.list"), listWritten ? QByteArray("a.example\r\n") : QByteArray());
        QCOMPARE(options.size(), optionWrites);
        QCOMPARE(QFileInfo::exists(app.folder.file("Clipvane.ini")), optionWrites > 0);
        QCOMPARE(history.size(), closes ? 1 : 0);
        QCOMPARE(app.main().listSession().optionsSavedOnExit(), closes && modified);
        if (!closes) {
            // Nothing else changes.
            QCOMPARE(f.list().texts(), entries);
            QCOMPARE(app.captured().modified, modified);
            QCOMPARE(f.statusPanelText(1), status);
        }
    }

    void exitButtonWithoutSavingOptions() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBSave")->setChecked(false);
        app.acceptOffline();
        app.clipboard.copy("a.example");
        app.dialogs.answer(Answer::Yes);
        QSignalSpy options(&f, &MainWindow::optionsFileWritten);
        ctl<QToolButton>(f, "cyAdvSpeedButton1")->click();
        QVERIFY(!f.isVisible());
        QCOMPARE(options.size(), 0);
        QVERIFY(!QFileInfo::exists(app.folder.file("Clipvane.ini")));
        QVERIFY(app.main().listSession().optionsSavedOnExit());
    }

    void trayExit_data() {
        QTest::addColumn<bool>("exitToTray");
        QTest::addColumn<bool>("systemTray");
        QTest::addColumn<bool>("fromTheTray"); // the window hidden in the tray
        QTest::newRow("exit to tray ticked") << true << false << false;
        QTest::newRow("exit to tray and System Tray ticked") << true << true << false;
        QTest::newRow("from the tray") << true << true << true;
        QTest::newRow("exit to tray unticked") << false << true << false;
    }
    void trayExit() {
        QFETCH(bool, exitToTray);
        QFETCH(bool, systemTray);
        QFETCH(bool, fromTheTray);
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBSave")->setChecked(true);
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(systemTray);
        if (exitToTray)
            ctl<QAction>(f, "ExitToTray")->trigger();
        QCOMPARE(app.options().exitToTrayChoice(), exitToTray);
        app.acceptOffline();
        app.clipboard.copy("a.example"); // unsaved: no question all the same
        if (fromTheTray) {
            f.minimiseApplication();
            QVERIFY(!f.isVisible());
        }
        QSignalSpy options(&f, &MainWindow::optionsFileWritten);

        ctl<QAction>(f, "Exit1")->trigger();

        QVERIFY(!f.isVisible());
        QVERIFY(!ctl<QAction>(f, "ExitToTray")->isChecked());
        QCOMPARE(app.options().exitToTrayChoice(), exitToTray);
        // The preference file, written once at the close, records the choice as it was.
        QCOMPARE(options.size(), 1);
        QVERIFY(app.folder.read("Clipvane.ini")
                    .contains(QByteArray("Exit application to tray=") + (exitToTray ? "1" : "0")));
        QVERIFY(app.dialogs.shown.isEmpty());
        QCOMPARE(ctl<QStatusBar>(f, "SBMain")->currentMessage(), QString("Preferences are saved."));
        QVERIFY(app.folder.read("Clipvane.list").isNull());
    }

    // The session's end (a signal, logging out) leaves as the tray menu's Exit does, whatever window or
    // question is up: both exit saves by their options, nothing asked, the report in the status line.
    void sessionEndSavesWithoutAsking() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBSave")->setChecked(true);
        ctl<QCheckBox>(f, "CBSaveHistory")->setChecked(true);
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(true);
        ctl<QAction>(f, "ExitToTray")->setChecked(true);
        app.acceptOffline();
        app.clipboard.copy("http://unsaved.example/");
        app.folder.write("Capture History.csv", "H,h,URL\r\nd,t,http://earlier.example/\r\n");
        QSignalSpy options(&f, &MainWindow::optionsFileWritten);
        app.app().endSession();
        app.app().endSession(); // a second signal changes nothing
        QVERIFY(!f.isVisible());
        QVERIFY(app.dialogs.shown.isEmpty());
        QCOMPARE(options.size(), 1);
        QVERIFY(app.folder.read("Clipvane.ini").contains("Exit application to tray=1"));
        const QByteArray history = app.folder.read("Capture History.csv");
        QVERIFY(history.startsWith("H,h,URL,,,,\r\nd,t,http://earlier.example/,,,,\r\n"));
        QVERIFY(history.contains("http://unsaved.example/"));
        QVERIFY(history.endsWith("\r\n,,,,,,\r\n"));
    }

    // A later launch for the same folder brings this copy's window back, from the tray too.
    void bringToFrontFromTheTray() {
        AppFixture app;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(true);
        f.minimiseApplication();
        QVERIFY(!f.isVisible());
        QVERIFY(app.tray.visible);
        app.app().bringToFront();
        QVERIFY(f.isVisible());
        QVERIFY(!f.isMinimized());
        QVERIFY(!app.tray.visible);
    }

    // The close box asks the exit button's question about an unsaved list; the tray cases stay as they are.
    void closeBox_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("toTray");
        QTest::addColumn<bool>("saveOptions");
        QTest::addColumn<bool>("trayOnDesktop");
        QTest::addColumn<int>("answer"); // -1: no question
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("listWritten");
        const int none = -1;
        QTest::newRow("saved list: closes, options saved")
            << false << false << true << true << none << true << false;
        QTest::newRow("saved list: closes, options not saved")
            << false << false << false << true << none << true << false;
        QTest::newRow("modified, yes: saves and closes")
            << true << false << true << true << int(Answer::Yes) << true << true;
        QTest::newRow("modified, no: closes")
            << true << false << false << true << int(Answer::No) << true << false;
        QTest::newRow("modified, abort: stays")
            << true << false << true << true << int(Answer::Abort) << false << false;
        QTest::newRow("modified, box closed: stays")
            << true << false << true << true << int(Answer::Closed) << false << false;
        QTest::newRow("goes to the tray") << true << true << true << true << none << false << false;
        QTest::newRow("no tray to go to: asks")
            << true << true << true << false << int(Answer::No) << true << false;
    }
    void closeBox() {
        QFETCH(bool, modified);
        QFETCH(bool, toTray);
        QFETCH(bool, saveOptions);
        QFETCH(bool, trayOnDesktop);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, listWritten);
        AppFixture app;
        app.tray.available = trayOnDesktop;
        app.startShown();
        MainWindow& f = app.main();
        ctl<QCheckBox>(f, "CBSave")->setChecked(saveOptions);
        ctl<QCheckBox>(f, "CBSaveHistory")->setChecked(true);
        ctl<QCheckBox>(f, "CBMinimize")->setChecked(toTray);
        ctl<QAction>(f, "ExitToTray")->setChecked(toTray);
        app.acceptOffline();
        if (modified)
            app.clipboard.copy("a.example");
        const bool inTray = toTray && trayOnDesktop;
        if (answer >= 0)
            app.dialogs.answer(Answer(answer));
        const bool writes = closes && saveOptions;
        QSignalSpy options(&f, &MainWindow::optionsFileWritten);
        QSignalSpy history(&f, &MainWindow::saveHistoryRequested);
        QCOMPARE(f.close(), closes);
        QVERIFY(app.dialogs.allAnswersUsed());
        QCOMPARE(app.tray.visible, inTray);
        QCOMPARE(f.isVisible(), !closes && !inTray);
        QCOMPARE(options.size(), writes ? 1 : 0);
        QCOMPARE(history.size(), closes ? 1 : 0);
        QStringList texts;
        if (answer >= 0)
            texts << "The URL list has not been saved yet. Save this list and exit?";
        QCOMPARE(app.dialogs.texts(), texts);
        QCOMPARE(app.folder.read("Clipvane.list"), listWritten ? QByteArray("a.example\r\n") : QByteArray());
        QCOMPARE(app.captured().modified, modified);
    }

    void destroyingTheWindowLeavesTheClipboard() {
        AppFixture app;
        {
            MainWindowRig rig(app);
            rig.window.FormCreate();
            QVERIFY(app.clipboard.joined);
        }
        QVERIFY(!app.clipboard.joined);
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
