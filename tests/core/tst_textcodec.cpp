#include "core/TextCodec.h"

#include <QTest>

using namespace clipvane;

Q_DECLARE_METATYPE(clipvane::TextEncoding)

namespace {

QString u(const char16_t* s) {
    return QString::fromUtf16(s);
}

} // namespace

class TestTextCodec : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void roundTrip_data();
    void roundTrip();
    void windows1252MapsEveryByteBothWays();
};

void TestTextCodec::decode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextEncoding>("encoding");

    QTest::newRow("empty") << QByteArray() << QString() << TextEncoding::Ansi;
    QTest::newRow("ASCII") << QByteArray("http://a\r\n") << QString("http://a\r\n") << TextEncoding::Ansi;
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF"
                                              "caf\xC3\xA9")
                                << u(u"café") << TextEncoding::Utf8Bom;
    QTest::newRow("UTF-8 mark, ASCII after it") << QByteArray("\xEF\xBB\xBF"
                                                              "a")
                                                << QString("a") << TextEncoding::Utf8Bom;
    QTest::newRow("UTF-8 mark and nothing else")
        << QByteArray("\xEF\xBB\xBF") << QString() << TextEncoding::Utf8Bom;
    QTest::newRow("UTF-16 LE mark") << QByteArray("\xFF\xFE"
                                                  "a\0\xAC\x20",
                                                  6)
                                    << u(u"a€") << TextEncoding::Utf16LE;
    QTest::newRow("UTF-16 LE mark and nothing else")
        << QByteArray("\xFF\xFE") << QString() << TextEncoding::Utf16LE;
    QTest::newRow("UTF-16 BE mark") << QByteArray("\xFE\xFF\0a\x20\xAC", 6) << u(u"a€")
                                    << TextEncoding::Utf16BE;
    QTest::newRow("UTF-16 BE mark and nothing else")
        << QByteArray("\xFE\xFF") << QString() << TextEncoding::Utf16BE;
    QTest::newRow("UTF-16 LE surrogate pair")
        << QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6) << u(u"😀") << TextEncoding::Utf16LE;
    QTest::newRow("mark-less valid UTF-8")
        << QByteArray("caf\xC3\xA9 \xE2\x82\xAC") << u(u"café €") << TextEncoding::Ansi;
    QTest::newRow("mark-less Windows-1252")
        << QByteArray("caf\xE9 \x80") << u(u"café €") << TextEncoding::Ansi;
    QTest::newRow("invalid UTF-8 is Windows-1252")
        << QByteArray("\xC3\xA9\xE9") << u(u"Ã©é") << TextEncoding::Ansi;
    QTest::newRow("truncated UTF-8 is Windows-1252")
        << QByteArray("caf\xC3") << u(u"cafÃ") << TextEncoding::Ansi;
    QTest::newRow("encoded surrogate is Windows-1252")
        << QByteArray("\xED\xA0\x80") << u(u"í\u00A0€") << TextEncoding::Ansi;
    QTest::newRow("half a UTF-8 mark") << QByteArray("\xEF\xBB"
                                                     "a")
                                       << u(u"ï»a") << TextEncoding::Ansi;
    QTest::newRow("unassigned Windows-1252 bytes")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << u(u"\u0081\u008D\u008F\u0090\u009D") << TextEncoding::Ansi;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n", 5) << QString::fromUtf16(u"a\0b\r\n", 5)
                               << TextEncoding::Ansi;
}

void TestTextCodec::decode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(TextEncoding, encoding);
    const DecodedText decoded = decodeText(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.encoding, encoding);
}

void TestTextCodec::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ANSI, empty") << QString() << TextEncoding::Ansi << QByteArray();
    QTest::newRow("ANSI, Windows-1252 characters")
        << u(u"café €™\r\n") << TextEncoding::Ansi << QByteArray("caf\xE9 \x80\x99\r\n");
    QTest::newRow("ANSI, unassigned bytes kept")
        << u(u"\u0081\u009D") << TextEncoding::Ansi << QByteArray("\x81\x9D");
    QTest::newRow("ANSI, a character outside Windows-1252") << u(u"a€中") << TextEncoding::Ansi
                                                            << QByteArray("\xEF\xBB\xBF"
                                                                          "a\xE2\x82\xAC\xE4\xB8\xAD");
    QTest::newRow("ANSI, U+0080 has no Windows-1252 form")
        << u(u"\u0080") << TextEncoding::Ansi << QByteArray("\xEF\xBB\xBF\xC2\x80");
    QTest::newRow("ANSI, Windows-1252 bytes that read as UTF-8")
        << u(u"Ã©") << TextEncoding::Ansi << QByteArray("\xEF\xBB\xBF\xC3\x83\xC2\xA9");
    QTest::newRow("UTF-8, empty") << QString() << TextEncoding::Utf8Bom << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("UTF-8") << u(u"é") << TextEncoding::Utf8Bom << QByteArray("\xEF\xBB\xBF\xC3\xA9");
    QTest::newRow("UTF-16 LE") << u(u"a€") << TextEncoding::Utf16LE
                               << QByteArray("\xFF\xFE"
                                             "a\0\xAC\x20",
                                             6);
    QTest::newRow("UTF-16 BE") << u(u"a€") << TextEncoding::Utf16BE << QByteArray("\xFE\xFF\0a\x20\xAC", 6);
    QTest::newRow("UTF-16 LE, empty") << QString() << TextEncoding::Utf16LE << QByteArray("\xFF\xFE");
}

void TestTextCodec::encode() {
    QFETCH(QString, text);
    QFETCH(TextEncoding, encoding);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeText(text, encoding), bytes);
}

void TestTextCodec::roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextEncoding>("encoding");

    const QList<QPair<const char*, QString>> texts = {
        {"empty", QString()},
        {"ASCII", QStringLiteral("http://example.com/a?b=c\r\n")},
        {"Windows-1252", u(u"Zürich‚ „quoted“ – ©")},
        {"outside Windows-1252", u(u"Ελληνικά 中文 😀")},
        {"NUL", QString::fromUtf16(u"a\0b", 3)},
        // Windows-1252 text whose bytes happen to be valid UTF-8: written as is, it would read back as "é".
        {"looks like UTF-8 in Windows-1252", u(u"Ã©")},
        {"long mojibake", u(u"http://example.com/cafÃ©/naÃ¯ve")},
    };
    const QList<QPair<const char*, TextEncoding>> encodings = {{"ANSI", TextEncoding::Ansi},
                                                               {"UTF-8", TextEncoding::Utf8Bom},
                                                               {"UTF-16 LE", TextEncoding::Utf16LE},
                                                               {"UTF-16 BE", TextEncoding::Utf16BE}};
    for (const auto& t : texts)
        for (const auto& e : encodings)
            QTest::addRow("%s, %s", t.first, e.first) << t.second << e.second;
}

// Whatever is written comes back as the same text.
void TestTextCodec::roundTrip() {
    QFETCH(QString, text);
    QFETCH(TextEncoding, encoding);
    const DecodedText decoded = decodeText(encodeText(text, encoding));
    QCOMPARE(decoded.text, text);
    if (encoding != TextEncoding::Ansi)
        QCOMPARE(decoded.encoding, encoding);
    else
        QVERIFY(decoded.encoding == TextEncoding::Ansi || decoded.encoding == TextEncoding::Utf8Bom);
}

void TestTextCodec::windows1252MapsEveryByteBothWays() {
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    const QString text = fromWindows1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x9F), QChar(0x0178));
    QCOMPARE(text.at(0xE9), QChar(0xE9));
    QByteArray back;
    QVERIFY(toWindows1252(text, back));
    QCOMPARE(back, all);
    QVERIFY(!toWindows1252(u(u"中"), back));
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
