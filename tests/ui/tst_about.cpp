#include "FindControl.h"
#include "WindowFixture.h"
#include "ui/About/AboutBox.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
#include "update/BuildInfo.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

using namespace clipvane;
using namespace clipvane::test;

namespace {

// The About box alone on the doubles.
struct Rig {
    WindowFixture<AboutBox> app;
    Rig() {
        ExternalAddresses a;
        a.website = QStringLiteral("http://www.quorbel.example");
        a.authorEmail = QStringLiteral("author@quorbel.example");
        app.addresses = a;
        app.machine.residentBytes = 8192000;
        app.make();
    }
    AboutBox& w() { return app.window(); }
};

} // namespace

class TstAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void creation() {
        Rig r;
        AboutBox& w = r.w();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.windowTitle(), QStringLiteral("About"));
        QCOMPARE(w.size(), QSize(299, 479));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(ctl<QLabel>(w, "ProductName")->text(), QStringLiteral("Clipvane"));
        QCOMPARE(ctl<QLabel>(w, "Version")->text(), QStringLiteral("Version ") + localVersion());
        QCOMPARE(ctl<QLabel>(w, "Label1")->text(), buildEdition().label);
        QCOMPARE(ctl<QLabel>(w, "Label2")->text(), QStringLiteral("Total memory used: 8,000 KB"));
        QVERIFY(!ctl<QTimer>(w, "Timer1")->isActive());
        QCOMPARE(ctl<QTimer>(w, "Timer1")->interval(), 100);
        QCOMPARE(ctl<QWidget>(w, "ProgramIcon")->size(), QSize(49, 45));
        QCOMPARE(ctl<QWidget>(w, "Image1")->size(), QSize(90, 89));
        QCOMPARE(ctl<QPlainTextEdit>(w, "Memo1")->size(), QSize(274, 241));
        QCOMPARE(longHintAt(ctl<QLabel>(w, "Label2")), QStringLiteral("Clipvane's true workset memory"));
        QCOMPARE(longHintAt(ctl<QPlainTextEdit>(w, "Memo1")),
                 QStringLiteral("Please read this license carefully"));
        QCOMPARE(longHintAt(ctl<QWidget>(w, "Panel1")), QStringLiteral("Hover a control to know more"));
        const QList<std::tuple<QToolButton*, int>> buttons{{ctl<QToolButton>(w, "cyEmailAuthor"), 8},
                                                           {ctl<QToolButton>(w, "cyAdvSpeedButton1"), 83},
                                                           {ctl<QToolButton>(w, "cyAdvSpeedButton2"), 158},
                                                           {ctl<QToolButton>(w, "cyClose"), 234}};
        for (const auto& [button, left] : buttons) {
            QCOMPARE(button->x(), left);
            QCOMPARE(button->size(), QSize(48, 48));
            QVERIFY(!button->icon().isNull());
        }
    }

    // The licence is the project's LICENSE, compiled in, and cannot be edited.
    void licence() {
        Rig r;
        QFile file(QStringLiteral(CLIPVANE_SOURCE_DIR "/LICENSE"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith(QStringLiteral("MIT License")));
        // Word for word; the box wraps it to its width.
        QCOMPARE(ctl<QPlainTextEdit>(r.w(), "Memo1")->toPlainText().simplified(), text.simplified());
        QCOMPARE(ctl<QPlainTextEdit>(r.w(), "Memo1")->toPlainText().count(QStringLiteral("\n\n")),
                 text.count(QStringLiteral("\n\n")));
        QVERIFY(ctl<QPlainTextEdit>(r.w(), "Memo1")->isReadOnly());
        QCOMPARE(ctl<QPlainTextEdit>(r.w(), "Memo1")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(ctl<QLabel>(r.w(), "Notice")->text().contains(QStringLiteral("free software")));
        QVERIFY(ctl<QLabel>(r.w(), "Notice")->text().contains(QStringLiteral("MIT License")));
    }

    // The memory figure is refreshed while the box is shown, and only then.
    void memoryWhileShown() {
        Rig r;
        AboutBox& w = r.w();
        r.app.machine.residentBytes = 12345678;
        w.show();
        QVERIFY(ctl<QTimer>(w, "Timer1")->isActive());
        QTRY_COMPARE(ctl<QLabel>(w, "Label2")->text(),
                     QStringLiteral("Total software memory used: 12,056.3 KB"));
        r.app.machine.residentBytes = std::nullopt;
        QTRY_COMPARE(ctl<QLabel>(w, "Label2")->text(), QStringLiteral("Total software memory used: unknown"));
        ctl<QToolButton>(w, "cyClose")->click();
        QVERIFY(!w.isVisible());
        QVERIFY(!ctl<QTimer>(w, "Timer1")->isActive());
        const int reads = r.app.machine.memoryReads;
        QTest::qWait(250);
        QCOMPARE(r.app.machine.memoryReads, reads);
    }

    // The tray and small window icons are drawn from the drawing made for their size: the full one's two
    // arrows run together there. Larger sizes (the About box's 64 px) keep the full drawing.
    void applicationIconBySize() {
        const auto drawn = [](const char* file, int size) {
            QSvgRenderer svg(QStringLiteral(":/icons/") + QLatin1String(file));
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            svg.render(&p);
            p.end();
            return image;
        };
        const QIcon icon = applicationIcon();
        for (int size : {16, 22, 24, 32, 64}) {
            const QImage shown =
                icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QCOMPARE(shown, drawn(size <= 24 ? "clipvane-small.svg" : "clipvane.svg", size));
        }
    }

    void emailAndHomePage() {
        Rig r;
        ctl<QToolButton>(r.w(), "cyEmailAuthor")->click();
        QCOMPARE(r.app.shell.mailed,
                 QStringList{QStringLiteral("mailto:author@quorbel.example?subject=Clipvane%20Version%20") +
                             localVersion() + QStringLiteral("%20") + buildEdition().bits.left(2) +
                             QStringLiteral("bits%20Edition")});
        ctl<QLabel>(r.w(), "Version")->setText(QStringLiteral("Version ")); // a build without a version
        ctl<QToolButton>(r.w(), "cyEmailAuthor")->click();
        QCOMPARE(r.app.shell.mailed.last(),
                 QStringLiteral("mailto:author@quorbel.example?subject=Clipvane%20Version%20%20") +
                     buildEdition().bits.left(2) + QStringLiteral("bits%20Edition"));
        ctl<QToolButton>(r.w(), "cyAdvSpeedButton1")->click();
        QCOMPARE(r.app.shell.opened,
                 QList<QUrl>{QUrl(QStringLiteral("http://www.quorbel.example/Quorbel/Clipvane.html"))});
        QVERIFY(r.app.dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
