// Text copied by another process through the real X clipboard reaches the capture.
#include "AppFixture.h"
#include "platform/linux/QtClipboard.h"
#include "ui/Main/MainWindow.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace clipvane;
using namespace clipvane::test;

class TstX11Clipboard : public QObject {
    Q_OBJECT

    // xclip keeps serving the selection until another owner takes it; each copy is a process of its own.
    QList<QProcess*> m_copiers;

    void copyWithXclip(const QByteArray& text, const QString& target = "UTF8_STRING") {
        auto* p = new QProcess(this);
        p->start("xclip", {"-selection", "clipboard", "-t", target, "-i"});
        QVERIFY(p->waitForStarted());
        p->write(text);
        p->closeWriteChannel();
        m_copiers.append(p);
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable("xclip").isEmpty())
            QSKIP("xclip is not installed");
    }
    void cleanup() {
        for (QProcess* p : m_copiers) {
            p->kill();
            p->waitForFinished();
        }
        qDeleteAll(m_copiers);
        m_copiers.clear();
    }

    void copiedTextIsCaptured() {
        copyWithXclip("present before start-up");
        QTest::qWait(300);

        QtClipboard real; // outlives the application, which leaves it when it ends
        AppFixture app;
        app.useClipboard(&real);
        app.startShown();
        app.acceptOffline();
        MainWindow& f = app.main();
        QTest::qWait(300);
        QVERIFY(f.list().isEmpty()); // what was on the clipboard at start-up is not captured

        copyWithXclip("http://first.example/\nsecond line");
        QTRY_COMPARE_WITH_TIMEOUT(f.list().texts(), QStringList{"http://first.example/"}, 5000);
        QCOMPARE(f.memoText(), QString("http://first.example/\nsecond line"));

        copyWithXclip("caf\xc3\xa9.example");
        QTRY_COMPARE_WITH_TIMEOUT(f.list().count(), 2, 5000);
        QVERIFY(f.list().texts().contains(QString::fromUtf8("caf\xc3\xa9.example")));
        QCOMPARE(f.statusPanelText(1), QString("Modified"));
    }

    void nonTextIsNotCaptured() {
        QtClipboard real; // outlives the application, which leaves it when it ends
        AppFixture app;
        app.useClipboard(&real);
        app.start();
        MainWindow& f = app.main();

        copyWithXclip("http://not-an-image.example/", "image/png");
        QTest::qWait(500);
        QVERIFY(f.list().isEmpty());
    }
};

QTEST_MAIN(TstX11Clipboard)
#include "tst_x11clipboard.moc"
