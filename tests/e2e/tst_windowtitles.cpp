// What the window manager is given as each window's title is exactly the window's caption: no name of the
// application added to it.
#include "AppFixture.h"
#include "ui/About/AboutBox.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/FixedDriveInfo/DriveInfoWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "ui/WebMonitor/BrowserWindow.h"
#include "ui/WebUpdate/UpdateWindow.h"
#include "ui/widgets/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace clipvane;
using namespace clipvane::test;

namespace {

// The title the X server holds for the window.
QString xTitle(QWidget& w) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), QString::number(w.winId())});
    if (!p.waitForFinished(5000))
        return QStringLiteral("<xdotool did not answer>");
    return QString::fromUtf8(p.readAllStandardOutput()).chopped(1);
}

// Runs `act` on the modal dialog of type T once it is exposed.
template <typename T> void onModal(const std::function<void(T&)>& act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !QTest::qWaitForWindowExposed(dialog, 0))
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start();
}

} // namespace

class TstWindowTitles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
        initApplicationIdentity(); // as the executable starts
    }

    void windowsCarryTheirCaptionAlone_data() {
        QTest::addColumn<int>("window");
        const char* names[] = {"MainWindow",
                               "ValidationReportWindow",
                               "AboutBox",
                               "BrowserChoiceWindow",
                               "DriveInfoWindow",
                               "BrowserWindow",
                               "CaptureHistoryWindow",
                               "UpdateWindow"};
        for (int i = 0; i < 8; ++i)
            QTest::newRow(names[i]) << i;
    }
    void windowsCarryTheirCaptionAlone() {
        QFETCH(int, window);
        AppFixture app;
        app.start();
        ClipvaneApp& a = app.app();
        QWidget* windows[] = {a.mainWindow(),           a.reportWindow(),    a.aboutBox(),
                              a.browserChoiceWindow(),  a.driveInfoWindow(), a.browserWindow(),
                              a.captureHistoryWindow(), a.updateWindow()};
        QWidget& w = *windows[window];
        QVERIFY(!w.windowTitle().isEmpty());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(xTitle(w), w.windowTitle());
        w.hide();
    }

    void mainWindowIsCalledClipvane() {
        AppFixture app;
        app.startShown();
        QTRY_COMPARE(xTitle(app.main()), QString("Clipvane"));
    }

    void dialogsCarryTheirCaptionAlone_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("title");
        QTest::newRow("save dialog") << true << "Save As";
        QTest::newRow("open dialog") << false << "Open";
    }
    void dialogsCarryTheirCaptionAlone() {
        QFETCH(bool, save);
        QFETCH(QString, title);
        QString shown;
        onModal<QFileDialog>([&](QFileDialog& d) {
            shown = xTitle(d);
            d.reject();
        });
        QtDialogs dialogs;
        FileDialogRequest request;
        request.filters = QStringLiteral("URL list (*.list)|*.list");
        request.initialFolder = QDir::tempPath();
        if (save)
            dialogs.saveFile(request);
        else
            dialogs.openFile(request);
        QCOMPARE(shown, title);
    }

    void messageBoxIsCalledClipvane() {
        QString shown;
        onModal<QMessageBox>([&](QMessageBox& box) {
            shown = xTitle(box);
            box.reject();
        });
        QtDialogs dialogs;
        dialogs.message(MessageKind::Information, QStringLiteral("A question"), Buttons::Ok);
        QCOMPARE(shown, QString("Clipvane"));
    }
};

QTEST_MAIN(TstWindowTitles)
#include "tst_windowtitles.moc"
