#include "platform/linux/QtClipboard.h"

#include <QMimeData>
#include <QTest>
#include <QUrl>

using namespace clipvane;

class TstClipboardContent : public QObject {
    Q_OBJECT
private slots:
    void mimeDataToContent_data() {
        QTest::addColumn<QString>("text");      // empty: no text/plain
        QTest::addColumn<QByteArray>("secret"); // the password manager's hint
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("hasText");
        QTest::addColumn<bool>("isSecret");
        QTest::addColumn<QString>("captured");
        QTest::newRow("plain text") << "http://a.example/" << QByteArray() << QStringList{} << true << false
                                    << "http://a.example/";
        QTest::newRow("secret") << "hunter2" << QByteArray("secret") << QStringList{} << false << true << "";
        QTest::newRow("other hint") << "x" << QByteArray("public") << QStringList{} << true << false << "x";
        QTest::newRow("local files with their paths as text")
            << "/home/u/a.txt" << QByteArray() << QStringList{"file:///home/u/a.txt"} << false << false << "";
        QTest::newRow("a web link with its text")
            << "http://a.example/" << QByteArray() << QStringList{"http://a.example/"} << true << false
            << "http://a.example/";
        QTest::newRow("NUL ends the text")
            << QString("abc") + QChar(0) + "def" << QByteArray() << QStringList{} << true << false << "abc";
        QTest::newRow("no text at all") << QString() << QByteArray() << QStringList{} << false << false << "";
    }
    void mimeDataToContent() {
        QFETCH(QString, text);
        QFETCH(QByteArray, secret);
        QFETCH(QStringList, urls);
        QFETCH(bool, hasText);
        QFETCH(bool, isSecret);
        QFETCH(QString, captured);
        QMimeData mime;
        if (!urls.isEmpty()) {
            QList<QUrl> list;
            for (const QString& u : urls)
                list.append(QUrl(u));
            mime.setUrls(list);
        }
        if (!text.isNull())
            mime.setText(text);
        if (!secret.isNull())
            mime.setData("x-kde-passwordManagerHint", secret);
        const ClipboardContent c = contentOf(&mime);
        QCOMPARE(c.hasText, hasText);
        QCOMPARE(c.secret, isSecret);
        QCOMPARE(c.text, captured);
    }

    void nothingOnTheClipboard() {
        const ClipboardContent c = contentOf(nullptr);
        QVERIFY(!c.hasText);
    }
};

QTEST_GUILESS_MAIN(TstClipboardContent)
#include "tst_clipboardcontent.moc"
