#include "Doubles.h"
#include "TempAppFolder.h"
#include "core/CapturedList.h"
#include "core/Options.h"
#include "lists/MainControls.h"
#include "lists/MainListSession.h"

#include <QDir>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

namespace {

// The window's side, recorded: what the session shows, and which ways out it takes.
struct Controls final : MainControls {
    bool validateBeforeSave() override { return true; }
    void RaiseLastError(const OsError&) override { ++errors; }
    void setListStatus(const QString& s) override { status = s; }
    void setReloadEnabled(bool on) override { reloadEnabled = on; }
    void setMemoText(const QString& t) override { memo = t; }
    void launchUrl(const QString& url) override { launched.append(url); }
    bool trayAvailable() const override { return tray; }
    void minimiseApplication() override { ++minimised; }
    void closeWindow() override {
        if (session && session->closeRequested())
            ++closed;
    }
    void saveOptionsOnExit() override { ++optionSaves; }
    void saveHistoryOnExit() override { ++historySaves; }

    MainListSession* session = nullptr;
    bool tray = true;
    QString status = QStringLiteral("unset"), memo = QStringLiteral("unset");
    bool reloadEnabled = true;
    QStringList launched;
    int errors = 0, minimised = 0, closed = 0, optionSaves = 0, historySaves = 0;
};

struct Rig {
    TempAppFolder folder;
    ScriptedDialogs dialogs;
    Options options;
    CapturedList list;
    Controls controls;
    MainListSession session{list, options, dialogs, controls, folder.file(QStringLiteral("Clipvane.list"))};
    Rig() { controls.session = &session; }
};

enum class Way { ExitButton, TrayExit, CloseBox };

} // namespace

Q_DECLARE_METATYPE(Way)

class TstMainListSession : public QObject {
    Q_OBJECT
private slots:
    void loadAtStartup_data() {
        QTest::addColumn<bool>("option");
        QTest::addColumn<QByteArray>("file"); // null: no file; "dir": a folder in its place
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("reloadEnabled");
        QTest::addColumn<int>("errors");
        QTest::newRow("list read") << true << QByteArray("b\r\na\r\n") << QStringList{"b", "a"} << "Open"
                                   << true << 0;
        QTest::newRow("no list: a new one") << true << QByteArray() << QStringList{} << "New" << false << 0;
        QTest::newRow("unreadable") << true << QByteArray("dir") << QStringList{"kept"} << "Error" << true
                                    << 1;
        QTest::newRow("option off") << false << QByteArray("b\r\n") << QStringList{"kept"} << "unset" << true
                                    << 0;
    }
    void loadAtStartup() {
        QFETCH(bool, option);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        QFETCH(QString, status);
        QFETCH(bool, reloadEnabled);
        QFETCH(int, errors);
        Rig r;
        if (file == "dir")
            QDir(r.folder.path()).mkdir(QStringLiteral("Clipvane.list"));
        else if (!file.isNull())
            r.folder.write(QStringLiteral("Clipvane.list"), file);
        r.options.setLoadDefaultList(option);
        if (errors)
            r.dialogs.answer(Answer::Ok);
        r.list.model.appendTexts({QStringLiteral("kept")});
        r.session.loadAtStartup();
        QCOMPARE(r.list.model.texts(), entries);
        QCOMPARE(r.controls.status, status);
        QCOMPARE(r.controls.reloadEnabled, reloadEnabled);
        QCOMPARE(r.controls.errors + int(r.dialogs.shown.size()), errors);
        QCOMPARE(r.controls.memo, QString(file.isNull() && option ? "" : "unset"));
        QVERIFY(!r.list.modified);
    }

    void doubleClick_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("launched");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("launch") << 0 << 1 << QStringList{"http://b.example/"} << QStringList{};
        QTest::newRow("show whole") << 1 << 1 << QStringList{} << QStringList{"http://b.example/"};
        QTest::newRow("no mode chosen") << -1 << 1 << QStringList{} << QStringList{};
        QTest::newRow("nothing selected") << 0 << -1 << QStringList{} << QStringList{};
    }
    void doubleClick() {
        QFETCH(int, mode);
        QFETCH(int, selected);
        QFETCH(QStringList, launched);
        QFETCH(QStringList, shown);
        Rig r;
        r.list.model.appendTexts({QStringLiteral("http://a.example/"), QStringLiteral("http://b.example/")});
        r.list.model.setSelected(selected);
        r.options.setDoubleClickMode(mode);
        for (qsizetype i = 0; i < shown.size(); ++i)
            r.dialogs.answer(Answer::Ok);
        r.session.doubleClicked();
        QCOMPARE(r.controls.launched, launched);
        QCOMPARE(r.dialogs.texts(), shown);
    }

    // Every way out, by the list's state, the answer to its question and the tray options.
    void exitDecision_data() {
        QTest::addColumn<Way>("way");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");  // -1: no question asked
        QTest::addColumn<bool>("toTray"); // "Exit minimise the software to tray" and "System Tray"
        QTest::addColumn<bool>("trayOnDesktop");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("listWritten");
        const int yes = int(Answer::Yes), no = int(Answer::No), abort = int(Answer::Abort);
        QTest::newRow("button, saved list")
            << Way::ExitButton << false << -1 << false << true << true << false << false;
        QTest::newRow("button, yes") << Way::ExitButton << true << yes << false << true << true << false
                                     << true;
        QTest::newRow("button, no") << Way::ExitButton << true << no << false << true << true << false
                                    << false;
        QTest::newRow("button, abort")
            << Way::ExitButton << true << abort << false << true << false << false << false;
        QTest::newRow("button, box closed")
            << Way::ExitButton << true << int(Answer::Closed) << false << true << false << false << false;
        QTest::newRow("button, to the tray")
            << Way::ExitButton << true << -1 << true << true << false << true << false;
        QTest::newRow("button, no tray on the desktop")
            << Way::ExitButton << false << -1 << true << false << true << false << false;
        QTest::newRow("close box, yes")
            << Way::CloseBox << true << yes << false << true << true << false << true;
        QTest::newRow("close box, abort")
            << Way::CloseBox << true << abort << false << true << false << false << false;
        QTest::newRow("close box, to the tray")
            << Way::CloseBox << true << -1 << true << true << false << true << false;
        QTest::newRow("tray exit, unsaved list")
            << Way::TrayExit << true << -1 << false << true << true << false << false;
        QTest::newRow("tray exit, exit to tray on")
            << Way::TrayExit << true << -1 << true << true << true << false << false;
    }
    void exitDecision() {
        QFETCH(Way, way);
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(bool, toTray);
        QFETCH(bool, trayOnDesktop);
        QFETCH(bool, closes);
        QFETCH(bool, minimised);
        QFETCH(bool, listWritten);
        Rig r;
        r.list.model.appendTexts({QStringLiteral("a.example")});
        r.list.modified = modified;
        r.options.setSaveOptionsOnExit(true);
        r.options.setSaveHistoryOnExit(true);
        r.options.setExitToTray(toTray);
        r.options.setExitToTrayChoice(toTray);
        r.options.setSystemTray(toTray);
        r.controls.tray = trayOnDesktop;
        if (answer >= 0)
            r.dialogs.answer(Answer(answer));

        switch (way) {
        case Way::ExitButton:
            r.session.exitCommand();
            break;
        case Way::TrayExit:
            r.session.exitFromTray();
            break;
        case Way::CloseBox:
            if (r.session.closeRequested())
                ++r.controls.closed;
            break;
        }
        QCOMPARE(r.controls.closed, closes ? 1 : 0);
        QCOMPARE(r.controls.minimised, minimised ? 1 : 0);
        QCOMPARE(r.dialogs.shown.size(), answer >= 0 ? 1 : 0);
        QCOMPARE(QFile::exists(r.folder.file(QStringLiteral("Clipvane.list"))), listWritten);
        // The options are saved once on the way out, whether the question came first or not; the history
        // only when the window closes.
        QCOMPARE(r.controls.optionSaves, closes ? 1 : 0);
        QCOMPARE(r.controls.historySaves, closes ? 1 : 0);
        // The tray menu's Exit closes for this session only: the stored choice stays.
        QCOMPARE(r.options.exitToTrayChoice(), toTray);
        if (way == Way::TrayExit)
            QVERIFY(!r.options.exitToTray());
    }
};

QTEST_MAIN(TstMainListSession)
#include "tst_mainlistsession.moc"
