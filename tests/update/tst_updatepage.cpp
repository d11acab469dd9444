#include "update/UpdateCheck.h"
#include "update/UpdatePage.h"

#include <QTest>

using namespace clipvane;

namespace {

const QByteArray kMarker = "<p>***version***</p>";

QByteArray page(std::initializer_list<QByteArray> lines, const QByteArray& separator = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + separator;
    return out;
}

} // namespace

class TstUpdatePage : public QObject {
    Q_OBJECT
private slots:
    void webVersionFromThePage_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("version");
        QTest::newRow("marker and version line")
            << page({"<html><body>", kMarker, "<p>1.2.3.3</p>", "</body></html>"}) << "1.2.3.3";
        QTest::newRow("characters 4 to 10, whatever follows")
            << page({kMarker, "<p>1.2.3.3 is out!</p>"}) << "1.2.3.3";
        QTest::newRow("the last marker wins")
            << page({kMarker, "<p>1.0.0.0</p>", "text", kMarker, "<p>1.2.3.4</p>"}) << "1.2.3.4";
        QTest::newRow("a marker right after a marker is the version line")
            << page({kMarker, kMarker, "<p>1.2.3.5</p>"}) << "1.2.3.5";
        QTest::newRow("no final line break") << QByteArray(kMarker + "\r\n<p>1.2.3.3</p>") << "1.2.3.3";
        QTest::newRow("a blank before the marker is no marker")
            << page({" " + kMarker, "<p>1.2.3.3</p>"}) << "";
        QTest::newRow("a blank after the marker is no marker")
            << page({kMarker + " ", "<p>1.2.3.3</p>"}) << "";
        QTest::newRow("other letter case is no marker")
            << page({"<P>***VERSION***</P>", "<p>1.2.3.3</p>"}) << "";
        QTest::newRow("marker inside a line is no marker")
            << page({"<div>" + kMarker + "</div>", "<p>1.2.3.3</p>"}) << "";
        QTest::newRow("LF only: one long line, no marker") << page({kMarker, "<p>1.2.3.3</p>"}, "\n") << "";
        QTest::newRow("CR only") << page({kMarker, "<p>1.2.3.3</p>"}, "\r") << "";
        QTest::newRow("marker as the last line") << QByteArray("<p>x</p>\r\n" + kMarker) << "";
        QTest::newRow("marker, then the final line break") << page({"<p>x</p>", kMarker}) << "";
        QTest::newRow("an earlier version is lost to a last marker at the end")
            << QByteArray(page({kMarker, "<p>1.2.3.3</p>"}) + kMarker) << "";
        QTest::newRow("empty version line") << page({kMarker, "", "<p>1.2.3.3</p>"}) << "";
        QTest::newRow("version line of 3 characters") << page({kMarker, "<p>"}) << "";
        QTest::newRow("version line of 5 characters") << page({kMarker, "<p>1."}) << "1.";
        QTest::newRow("no marker at all") << QByteArray("<html>1.2.3.3</html>") << "";
        QTest::newRow("empty page") << QByteArray() << "";
        QTest::newRow("non-ASCII version line, UTF-8")
            << page({kMarker, "<p>1.2.\xc3\xa9.3</p>"}) << QString::fromUtf8("1.2.\xc3\xa9.3");
        QTest::newRow("non-ASCII version line, Windows-1252")
            << page({kMarker, "<p>1.2.\x80.3</p>"}) << QString::fromUtf8("1.2.\xe2\x82\xac.3");
        // A character outside the BMP counts once and is never cut in half.
        QTest::newRow("characters beyond the BMP") << page({kMarker, "<p>1.2.3.\xf0\x9f\x99\x82</p>"})
                                                   << QString::fromUtf8("1.2.3.\xf0\x9f\x99\x82");
        QTest::newRow("byte-order mark before the page")
            << QByteArray("\xef\xbb\xbf" + page({kMarker, "<p>1.2.3.3</p>"})) << "1.2.3.3";
        QTest::newRow("NUL bytes are data")
            << page({kMarker, QByteArray("<p>1\0002.3.3</p>", 14)}) << QString::fromLatin1("1\0002.3.3", 7);
    }
    void webVersionFromThePage() {
        QFETCH(QByteArray, body);
        QFETCH(QString, version);
        QCOMPARE(webVersionFromBody(body), version);
    }

    // Megabytes of lines: the rule stays linear and finds the version near the end.
    void longPage() {
        QByteArray body;
        const QByteArray filler = "<p>" + QByteArray(200, 'x') + "</p>\r\n";
        while (body.size() < 10 * 1024 * 1024)
            body += filler;
        body += page({kMarker, "<p>9.9.9.9</p>"});
        QCOMPARE(webVersionFromBody(body), QStringLiteral("9.9.9.9"));
    }

    void judgeTheVersion_data() {
        QTest::addColumn<QString>("web");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("shownWeb");
        QTest::addColumn<QString>("status");
        QTest::newRow("equal") << "1.2.3.3"
                               << "1.2.3.3"
                               << "1.2.3.3"
                               << "Up to date";
        // Only a newer web version is out of date: a local build ahead of the site is not.
        QTest::newRow("local newer") << "1.2.3.3"
                                     << "1.2.3.4"
                                     << "1.2.3.3"
                                     << "Up to date";
        QTest::newRow("local older") << "1.2.3.3"
                                     << "1.2.3.2"
                                     << "1.2.3.3"
                                     << "Out of date";
        QTest::newRow("numbers as numbers, web newer") << "1.10.0"
                                                       << "1.9.0.0"
                                                       << "1.10.0"
                                                       << "Out of date";
        QTest::newRow("numbers as numbers, web older") << "1.9.0.0"
                                                       << "1.10.0"
                                                       << "1.9.0.0"
                                                       << "Up to date";
        QTest::newRow("leading zeros") << "01.2.3"
                                       << "1.2.3.0"
                                       << "01.2.3"
                                       << "Up to date";
        QTest::newRow("older major beats newer minor") << "1.9.9.9"
                                                       << "2.0.0.0"
                                                       << "1.9.9.9"
                                                       << "Up to date";
        QTest::newRow("letter case counts") << "1.2.3.a"
                                            << "1.2.3.A"
                                            << "1.2.3.a"
                                            << "Out of date";
        QTest::newRow("no local version") << "1.2.3.3"
                                          << ""
                                          << "1.2.3.3"
                                          << "Out of date";
        QTest::newRow("no web version") << ""
                                        << "1.2.3.3"
                                        << "Unknown"
                                        << "Check failed";
        // The label shows printable characters only: escapes and bidirectional overrides cannot act.
        QTest::newRow("escape") << QStringLiteral("2.\x1b[8m0") << "1.0.0.0" << QStringLiteral("2.\uFFFD[8m0")
                                << "Out of date";
        QTest::newRow("right-to-left override") << QStringLiteral("\u202E0.0.0.9") << "1.0.0.0"
                                                << QStringLiteral("\uFFFD0.0.0.9") << "Out of date";
        QTest::newRow("NUL, CR, line separator")
            << QStringLiteral("1") + QChar(0) + QChar(u'\r') + QChar(0x2028) << "1.0.0.0"
            << QStringLiteral("1\uFFFD\uFFFD\uFFFD") << "Out of date";
        QTest::newRow("character outside the BMP kept whole")
            << QStringLiteral("1.\U0001F600") << "1.0" << QStringLiteral("1.\U0001F600") << "Out of date";
        QTest::newRow("unpaired surrogate") << QString(QChar(0xD800)) + "1"
                                            << "1.0" << QStringLiteral("\uFFFD1") << "Out of date";
        QTest::newRow("neither") << ""
                                 << ""
                                 << "Unknown"
                                 << "Check failed";
    }
    void judgeTheVersion() {
        QFETCH(QString, web);
        QFETCH(QString, local);
        QFETCH(QString, shownWeb);
        QFETCH(QString, status);
        QCOMPARE(judgeVersion(web, local), (CheckOutcome{shownWeb, status}));
    }

    void addressesOnTheMakersSite() {
        for (const QString& site :
             {QStringLiteral("http://www.quorbel.example"), QStringLiteral("http://www.quorbel.example/")}) {
            const UpdateAddresses a = UpdateAddresses::forSite(site);
            QCOMPARE(a.updatePage, QStringLiteral("http://www.quorbel.example/Quorbel/Cvn.html"));
            QCOMPARE(a.updateLog, QStringLiteral("http://www.quorbel.example/Quorbel/Clipvane_Update.html"));
            QCOMPARE(a.homePage, QStringLiteral("http://www.quorbel.example/Quorbel/Clipvane.html"));
            QVERIFY(a.downloadFolder.startsWith(QStringLiteral("http://www.quorbel.example/Quorbel/")));
            QVERIFY(a.downloadFolder.endsWith(QLatin1Char('/')));
            QCOMPARE(a.linuxPackagePage,
                     QStringLiteral("http://www.quorbel.example/Quorbel/Clipvane_Linux.html"));
            // The edition's archive is for Windows: a Linux build never offers it.
            QCOMPARE(a.downloadFor(QStringLiteral("Clipvane_64bits.zip")), a.linuxPackagePage);
        }
    }
};

QTEST_GUILESS_MAIN(TstUpdatePage)
#include "tst_updatepage.moc"
