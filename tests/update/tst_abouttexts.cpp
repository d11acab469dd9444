#include "Doubles.h"
#include "update/BuildInfo.h"
#include "update/MailTo.h"
#include "update/MemoryText.h"
#include "update/UpdateCheck.h"

#include <QRegularExpression>
#include <QTest>
#include <QUrlQuery>
#include <limits>

using namespace clipvane;
using namespace clipvane::test;

class TstAboutTexts : public QObject {
    Q_OBJECT
private slots:
    void kilobytes_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("the box's example") << "en_US" << quint64(12345678) << "12,056.3";
        QTest::newRow("whole kilobytes: no decimal part") << "en_US" << quint64(8192000) << "8,000";
        QTest::newRow("German") << "de_DE" << quint64(12345678) << "12.056,3";
        QTest::newRow("Swiss German") << "de_CH" << quint64(12345678)
                                      << QString::fromUtf8("12\xe2\x80\x99"
                                                           "056.3");
        QTest::newRow("French") << "fr_FR" << quint64(12345678)
                                << QString::fromUtf8("12\xe2\x80\xaf"
                                                     "056,3");
        QTest::newRow("C locale still groups") << "C" << quint64(12345678) << "12,056.3";
        QTest::newRow("nothing") << "en_US" << quint64(0) << "0";
        QTest::newRow("under half a tenth") << "en_US" << quint64(51) << "0";
        QTest::newRow("half a tenth rounds up") << "en_US" << quint64(52) << "0.1";
        QTest::newRow("rounding carries into the whole part") << "en_US" << quint64(1048525) << "1,024";
        QTest::newRow("the largest figure does not overflow")
            << "en_US" << std::numeric_limits<quint64>::max() << "18,014,398,509,481,984";
    }
    void kilobytes() {
        QFETCH(QString, locale);
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(kilobytesText(bytes, QLocale(locale)), text);
    }

    void memoryTexts() {
        const QLocale en(QStringLiteral("en_US"));
        QCOMPARE(memoryText(kTotalMemoryUsed, 8192000, en), QStringLiteral("Total memory used: 8,000 KB"));
        QCOMPARE(memoryText(kTotalSoftwareMemoryUsed, 12345678, en),
                 QStringLiteral("Total software memory used: 12,056.3 KB"));
        QCOMPARE(memoryText(kTotalSoftwareMemoryUsed, std::nullopt, en),
                 QStringLiteral("Total software memory used: unknown"));
    }

    void mailToTheAuthor_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("mailto");
        QTest::newRow("with a version") << "author@quorbel.example"
                                        << "Version 1.2.3.3"
                                        << "mailto:author@quorbel.example?subject="
                                           "Clipvane%20Version%201.2.3.3%2064bits%20Edition";
        // No version: "Version " and nothing, so two blanks before the edition.
        QTest::newRow("without a version")
            << "author@quorbel.example"
            << "Version "
            << "mailto:author@quorbel.example?subject=Clipvane%20Version%20%2064bits%20Edition";
        QTest::newRow("an address cannot add recipients or headers")
            << "a@b.example?cc=x@y.example&bcc=z@y.example#x"
            << "Version 1.0.0.0"
            << "mailto:a@b.example%3Fcc%3Dx@y.example%26bcc%3Dz@y.example%23x?subject="
               "Clipvane%20Version%201.0.0.0%2064bits%20Edition";
        QTest::newRow("line breaks and percent signs are encoded")
            << "a%b@c.example\r\nBcc: d@e.example"
            << "Version 1.0.0.0"
            << "mailto:a%25b@c.example%0D%0ABcc:%20d@e.example?subject="
               "Clipvane%20Version%201.0.0.0%2064bits%20Edition";
        QTest::newRow("non-ASCII as UTF-8")
            << QString::fromUtf8("zo\xc3\xab@quorbel.example") << "Version 1.0.0.0"
            << "mailto:zo%C3%AB@quorbel.example?subject="
               "Clipvane%20Version%201.0.0.0%2064bits%20Edition";
        QTest::newRow("the characters a mailto: address may keep")
            << "first.last+tag_1~x!$'()*,;:@quorbel.example"
            << "Version 1.0.0.0"
            << "mailto:first.last+tag_1~x!$'()*,;:@quorbel.example?subject="
               "Clipvane%20Version%201.0.0.0%2064bits%20Edition";
    }
    void mailToTheAuthor() {
        QFETCH(QString, address);
        QFETCH(QString, version);
        QFETCH(QString, mailto);
        QCOMPARE(authorMailTo(address, version, editionFor(64).label), mailto);
        // It reads back as a strict mailto: address with the subject as written.
        const QUrl url = QUrl::fromEncoded(mailto.toLatin1(), QUrl::StrictMode);
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("Clipvane ") + version + QStringLiteral(" 64bits Edition"));
    }

    void editions() {
        const Edition e64 = editionFor(64);
        QCOMPARE(e64.bits, QStringLiteral("64Bits"));
        QCOMPARE(e64.label, QStringLiteral("64bits Edition"));
        QCOMPARE(e64.package, QStringLiteral("Clipvane_64bits.zip"));
        const Edition e32 = editionFor(32);
        QCOMPARE(e32.bits, QStringLiteral("32Bits"));
        QCOMPARE(e32.label, QStringLiteral("32bits Edition"));
        QCOMPARE(e32.package, QStringLiteral("Clipvane_32bits.zip"));
        QCOMPARE(buildEdition().bits, editionFor(int(sizeof(void*)) * 8).bits);
        // The build's version: four one-digit numbers.
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d\\.\\d\\.\\d\\.\\d$")).match(localVersion()).hasMatch(),
            qPrintable(localVersion()));
    }

    void lanAddressText() {
        FakeLocalMachine machine;
        FakeResolver resolver;
        machine.host = QStringLiteral("desk");
        resolver.answers[QStringLiteral("desk")] = QStringLiteral("192.168.1.20");
        QCOMPARE(LanAddressText(machine, resolver), QStringLiteral("LAN IP Address: 192.168.1.20"));
        QCOMPARE(resolver.asked, QStringList{QStringLiteral("desk")});

        machine.host = QStringLiteral("nowhere");
        QCOMPARE(LanAddressText(machine, resolver), QStringLiteral("No. IP Address"));

        machine.host.clear(); // the name could not be read: nothing is looked up
        resolver.asked.clear();
        QCOMPARE(LanAddressText(machine, resolver), QStringLiteral("No. IP Address"));
        QVERIFY(resolver.asked.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstAboutTexts)
#include "tst_abouttexts.moc"
