#include "RenameFailure.h"
#include "TempAppFolder.h"
#include "Unprivileged.h"
#include "prefs/IniFile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace clipvane;
using clipvane::test::RenameFailure;
using clipvane::test::TempAppFolder;

namespace {

QByteArray utf16(const QString& text, QStringConverter::Encoding e) {
    QStringEncoder enc(e, QStringConverter::Flag::Stateless);
    return enc.encode(text);
}

} // namespace

class TstIniFile : public QObject {
    Q_OBJECT

private slots:
    void valueEncodings_data();
    void valueEncodings();
    void valuesReadBackAsWritten_data();
    void valuesReadBackAsWritten();
    void namesMatchWithoutCase();
    void writesInPlaceAppendsAndKeepsForeignLines();
    void firstOfDuplicatesCounts();
    void keysOutsideSectionsAreNotFound();
    void oddFiles_data();
    void oddFiles();
    void createsFileOnFirstWriteOnly();
    void keepsLineBreaksAndLastLineWithoutBreak();
    void encodingsArePreserved_data();
    void encodingsArePreserved();
    void junkBytesSurviveAWrite();
    void ansiFileKeepsItsEncoding_data();
    void ansiFileKeepsItsEncoding();
    void otherLinesReadAsBefore_data();
    void otherLinesReadAsBefore();
    void textIsCutAt2047Characters();
    void megabyteLines();
    void failedWriteLeavesFileAsItWas();
    void renameFailure();
    void unreadableFileIsNeverOverwritten();
    void permissionsAreHonoured();
};

// Every stored form of a value and what each type reads from it.
void TstIniFile::valueEncodings_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("line"); // the key's line, empty: no such key
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<QVariant>("expected");

    auto row = [](const char* name, const char* type, const QByteArray& line, QVariant def,
                  QVariant expected) {
        QTest::newRow(name) << QString::fromLatin1(type) << line << def << expected;
    };
    row("bool 1", "bool", "K=1", false, true);
    row("bool 0", "bool", "K=0", true, false);
    row("bool 2 is true", "bool", "K=2", false, true);
    row("bool -1 is true", "bool", "K=-1", false, true);
    row("bool hex $0 is false", "bool", "K=$0", true, false);
    row("bool 0x10 is true", "bool", "K=0x10", false, true);
    row("bool spaces trimmed", "bool", "K =  1  ", false, true);
    row("bool word gives default", "bool", "K=true", false, false);
    row("bool word gives default (true)", "bool", "K=no", true, true);
    row("bool empty gives default", "bool", "K=", true, true);
    row("bool missing gives default", "bool", "", true, true);
    row("bool fraction gives default", "bool", "K=0.0", true, true);

    row("int decimal", "int", "K=42", -1, 42);
    row("int leading zeros", "int", "K=007", -1, 7);
    row("int negative", "int", "K=-7", 0, -7);
    row("int plus sign", "int", "K=+7", 0, 7);
    row("int dollar hex", "int", "K=$FF", 0, 255);
    row("int 0x hex", "int", "K=0x1f", 0, 31);
    row("int 0X hex", "int", "K=0X1F", 0, 31);
    row("int negative hex", "int", "K=-$10", 0, -16);
    row("int hex wraps to 32 bits", "int", "K=$FFFFFFFF", 0, -1);
    row("int hex over 32 bits", "int", "K=$100000000", 5, 5);
    row("int max", "int", "K=2147483647", 0, 2147483647);
    row("int min", "int", "K=-2147483648", 0, int(-2147483648LL));
    row("int over max", "int", "K=2147483648", 5, 5);
    row("int huge", "int", "K=99999999999999999999999", 5, 5);
    row("int bare $", "int", "K=$", 5, 5);
    row("int bare 0x", "int", "K=0x", 5, 5);
    row("int trailing junk", "int", "K=12abc", 5, 5);
    row("int inner space", "int", "K=1 2", 5, 5);
    row("int hex digit in decimal", "int", "K=1f", 5, 5);
    row("int non-ASCII digits", "int", "K=\xd9\xa1\xd9\xa2", 5, 5);
    row("int missing", "int", "", 5, 5);

    row("text as is", "text", "K=hello world", "d", "hello world");
    row("text trimmed", "text", "K=   padded   ", "d", "padded");
    row("text double quotes removed", "text", "K=\" spaced \"", "d", " spaced ");
    row("text single quotes removed", "text", "K='single'", "d", "single");
    row("text unmatched quote kept", "text", "K=\"half", "d", "\"half");
    row("text equals signs kept", "text", "K=a=b=c", "d", "a=b=c");
    row("text semicolon kept", "text", "K=a;b", "d", "a;b");
    row("text empty is empty, not default", "text", "K=", "d", "");
    row("text missing gives default", "text", "", "d", "d");
    row("text backslashes kept", "text", "K=http:\\\\host", "d", "http:\\\\host");
}

void TstIniFile::valueEncodings() {
    QFETCH(QString, type);
    QFETCH(QByteArray, line);
    QFETCH(QVariant, defaultValue);
    QFETCH(QVariant, expected);
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), "[S]\r\nOther=9\r\n" + line + "\r\n");
    const IniFile ini(folder.file(QStringLiteral("a.ini")));
    if (type == QLatin1String("bool"))
        QCOMPARE(ini.readBool(u"S", u"K", defaultValue.toBool()), expected.toBool());
    else if (type == QLatin1String("int"))
        QCOMPARE(ini.readInteger(u"S", u"K", defaultValue.toInt()), expected.toInt());
    else
        QCOMPARE(ini.readString(u"S", u"K", defaultValue.toString()), expected.toString());
}

void TstIniFile::valuesReadBackAsWritten_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("plain") << "http://www.example.org/a?b=c&d"
                           << "http://www.example.org/a?b=c&d";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("leading space") << "  lead"
                                   << "  lead";
    QTest::newRow("trailing space") << "trail  "
                                    << "trail  ";
    QTest::newRow("quoted") << "\"q\""
                            << "\"q\"";
    QTest::newRow("single quoted") << "'x'"
                                   << "'x'";
    QTest::newRow("one quote") << "\""
                               << "\"";
    QTest::newRow("equals") << "a=b"
                            << "a=b";
    QTest::newRow("brackets") << "[Section]"
                              << "[Section]";
    QTest::newRow("non-ASCII") << QStringLiteral("Zürich 日本") << QStringLiteral("Zürich 日本");
    // A value is one line: a break would start a line of its own, even a section.
    QTest::newRow("line breaks") << "a\r\n[Clipboard]\nb\rc"
                                 << "a [Clipboard] b c";
}

void TstIniFile::valuesReadBackAsWritten() {
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    TempAppFolder folder;
    const QString path = folder.file(QStringLiteral("a.ini"));
    {
        IniFile ini(path);
        QVERIFY(ini.writeString(u"S", u"K", value));
        QVERIFY(ini.writeString(u"S", u"After", QStringLiteral("x")));
    }
    const IniFile again(path);
    QCOMPARE(again.readString(u"S", u"K", QStringLiteral("default")), readBack);
    QCOMPARE(again.readString(u"S", u"After", QString()), QStringLiteral("x"));
    QCOMPARE(again.value(u"Clipboard", u"b"), std::nullopt);
}

void TstIniFile::namesMatchWithoutCase() {
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), "[on line]\r\nvalidate clipboard url = 0\r\n[ÄRGER]\r\nÖL=1\r\n");
    const QString path = folder.file(QStringLiteral("a.ini"));
    IniFile ini(path);
    QCOMPARE(ini.readBool(u"On line", u"Validate Clipboard URL", true), false);
    QCOMPARE(ini.readBool(u"ärger", u"öl", false), true);
    QVERIFY(ini.writeBool(u"ON LINE", u"VALIDATE CLIPBOARD URL", true));
    // Replaced in place, the name as the file spelled it.
    QCOMPARE(folder.read(QStringLiteral("a.ini")),
             QByteArray("[on line]\r\nvalidate clipboard url =1\r\n[ÄRGER]\r\nÖL=1\r\n"));
}

void TstIniFile::writesInPlaceAppendsAndKeepsForeignLines() {
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), "; written by hand\r\n"
                                          "\r\n"
                                          "[A]\r\n"
                                          "x=1\r\n"
                                          "foreign = kept ; as it was\r\n"
                                          "no equals sign here\r\n"
                                          "\r\n"
                                          "[B]\r\n"
                                          "y=2\r\n");
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QVERIFY(ini.writeString(u"A", u"x", QStringLiteral("9")));       // in place
    QVERIFY(ini.writeString(u"A", u"z", QStringLiteral("3")));       // end of its section, before the gap
    QVERIFY(ini.writeString(u"C", u"k", QStringLiteral("v")));       // a new section at the end
    QVERIFY(ini.writeString(u"B", u"y", QStringLiteral("  two  "))); // quoted to keep its spaces
    QCOMPARE(folder.read(QStringLiteral("a.ini")), QByteArray("; written by hand\r\n"
                                                              "\r\n"
                                                              "[A]\r\n"
                                                              "x=9\r\n"
                                                              "foreign = kept ; as it was\r\n"
                                                              "no equals sign here\r\n"
                                                              "z=3\r\n"
                                                              "\r\n"
                                                              "[B]\r\n"
                                                              "y=\"  two  \"\r\n"
                                                              "[C]\r\n"
                                                              "k=v\r\n"));
    QCOMPARE(ini.readString(u"A", u"foreign", QString()), QStringLiteral("kept ; as it was"));
}

void TstIniFile::firstOfDuplicatesCounts() {
    TempAppFolder folder;
    const QByteArray before = "[S]\r\nk=first\r\nk=second\r\n[s]\r\nk=third\r\nonly=here\r\n";
    folder.write(QStringLiteral("a.ini"), before);
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QCOMPARE(ini.readString(u"S", u"k", QString()), QStringLiteral("first"));
    // The second section of the same name is not consulted.
    QCOMPARE(ini.value(u"S", u"only"), std::nullopt);
    QVERIFY(ini.writeString(u"S", u"k", QStringLiteral("new")));
    QVERIFY(ini.writeString(u"S", u"only", QStringLiteral("1")));
    QCOMPARE(folder.read(QStringLiteral("a.ini")),
             QByteArray("[S]\r\nk=new\r\nk=second\r\nonly=1\r\n[s]\r\nk=third\r\nonly=here\r\n"));
}

void TstIniFile::keysOutsideSectionsAreNotFound() {
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), "k=outside\r\n[S]\r\n");
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QCOMPARE(ini.readString(u"S", u"k", QStringLiteral("d")), QStringLiteral("d"));
    QVERIFY(ini.writeString(u"S", u"k", QStringLiteral("in")));
    QCOMPARE(folder.read(QStringLiteral("a.ini")), QByteArray("k=outside\r\n[S]\r\nk=in\r\n"));
}

void TstIniFile::oddFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("read");              // S/k, 7 when missing
    QTest::addColumn<QByteArray>("afterWrite"); // S/k = 1
    QTest::newRow("empty") << QByteArray() << 7 << QByteArray("[S]\r\nk=1\r\n");
    QTest::newRow("no sections") << QByteArray("just text\nk=0") << 7
                                 << QByteArray("just text\nk=0\n[S]\nk=1\n");
    QTest::newRow("blank lines only") << QByteArray("\r\n\r\n") << 7 << QByteArray("\r\n\r\n[S]\r\nk=1\r\n");
    QTest::newRow("spaces around the header")
        << QByteArray("  [ S ]  \r\n k = 0 \r\n") << 0 << QByteArray("  [ S ]  \r\n k =1\r\n");
    QTest::newRow("header without bracket")
        << QByteArray("[S\r\nk=0\r\n") << 0 << QByteArray("[S\r\nk=1\r\n");
    QTest::newRow("empty section name")
        << QByteArray("[]\r\nk=0\r\n") << 7 << QByteArray("[]\r\nk=0\r\n[S]\r\nk=1\r\n");
    QTest::newRow("commented key") << QByteArray("[S]\r\n;k=0\r\n#k=0\r\n") << 7
                                   << QByteArray("[S]\r\n;k=0\r\n#k=0\r\nk=1\r\n");
}

void TstIniFile::oddFiles() {
    QFETCH(QByteArray, content);
    QFETCH(int, read);
    QFETCH(QByteArray, afterWrite);
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), content);
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QVERIFY(ini.exists());
    QCOMPARE(ini.readInteger(u"S", u"k", 7), read);
    QVERIFY(ini.writeInteger(u"S", u"k", 1));
    QCOMPARE(folder.read(QStringLiteral("a.ini")), afterWrite);
}

void TstIniFile::createsFileOnFirstWriteOnly() {
    TempAppFolder folder;
    const QString path = folder.file(QStringLiteral("new.ini"));
    {
        const IniFile ini(path);
        QVERIFY(!ini.exists());
        QCOMPARE(ini.readInteger(u"S", u"k", 3), 3);
    }
    QVERIFY(!QFile::exists(path)); // reading creates nothing
    IniFile ini(path);
    QVERIFY(ini.writeInteger(u"S", u"k", -12));
    QVERIFY(ini.exists());
    QCOMPARE(folder.read(QStringLiteral("new.ini")), QByteArray("[S]\r\nk=-12\r\n"));
}

void TstIniFile::keepsLineBreaksAndLastLineWithoutBreak() {
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), "[A]\nx=1");
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QVERIFY(ini.writeString(u"A", u"y", QStringLiteral("2")));
    QVERIFY(ini.writeString(u"B", u"z", QStringLiteral("3")));
    QCOMPARE(folder.read(QStringLiteral("a.ini")), QByteArray("[A]\nx=1\ny=2\n[B]\nz=3\n"));
}

void TstIniFile::encodingsArePreserved_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("expected"); // after writing S/n = "ß€"
    const QString before = QStringLiteral("; Café ☕\r\n[S]\r\nk=v\r\n");
    const QString after = QStringLiteral("; Café ☕\r\n[S]\r\nk=v\r\nn=ß€\r\n");
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" + before.toUtf8() << "\xEF\xBB\xBF" + after.toUtf8();
    QTest::newRow("UTF-8 without mark") << before.toUtf8() << after.toUtf8();
    QTest::newRow("UTF-16 LE with mark") << "\xFF\xFE" + utf16(before, QStringConverter::Utf16LE)
                                         << "\xFF\xFE" + utf16(after, QStringConverter::Utf16LE);
    QTest::newRow("UTF-16 BE with mark") << "\xFE\xFF" + utf16(before, QStringConverter::Utf16BE)
                                         << "\xFE\xFF" + utf16(after, QStringConverter::Utf16BE);
    QTest::newRow("UTF-16 LE without mark")
        << utf16(before, QStringConverter::Utf16LE) << utf16(after, QStringConverter::Utf16LE);
    QTest::newRow("UTF-16 BE without mark")
        << utf16(before, QStringConverter::Utf16BE) << utf16(after, QStringConverter::Utf16BE);
    QTest::newRow("Windows-1252") << QByteArray("; Caf\xe9\r\n[S]\r\nk=v\r\n")
                                  << QByteArray("; Caf\xe9\r\n[S]\r\nk=v\r\nn=\xdf\x80\r\n");
}

void TstIniFile::encodingsArePreserved() {
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, expected);
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), original);
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QCOMPARE(ini.readString(u"s", u"K", QString()), QStringLiteral("v"));
    QVERIFY(ini.writeString(u"S", u"n", QStringLiteral("ß€")));
    QCOMPARE(folder.read(QStringLiteral("a.ini")), expected);
    QCOMPARE(IniFile(folder.file(QStringLiteral("a.ini"))).readString(u"S", u"n", QString()),
             QStringLiteral("ß€"));
}

void TstIniFile::junkBytesSurviveAWrite() {
    TempAppFolder folder;
    // Invalid UTF-8, NULs, and bytes no code page gives a character, without a mark: Windows-1252.
    const QByteArray junk("\xff\x00\x81\x8d\xc3(\r\n\x00\x00\x00\r[S]\r\nk=\x90\x9d\r\n", 23);
    folder.write(QStringLiteral("a.ini"), junk);
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QCOMPARE(ini.readInteger(u"S", u"x", 4), 4);
    QVERIFY(ini.writeString(u"S", u"x", QStringLiteral("1")));
    QCOMPARE(folder.read(QStringLiteral("a.ini")), junk + "x=1\r\n");

    // Text the file's code page cannot hold switches it to UTF-8 with its mark; every character stays.
    folder.write(QStringLiteral("b.ini"), "; caf\xe9\r\n[S]\r\n");
    IniFile b(folder.file(QStringLiteral("b.ini")));
    QVERIFY(b.writeString(u"S", u"home", QStringLiteral("http://日本.example")));
    QCOMPARE(folder.read(QStringLiteral("b.ini")),
             "\xEF\xBB\xBF" + QStringLiteral("; café\r\n[S]\r\nhome=http://日本.example\r\n").toUtf8());
}

// A Windows-1252 file stays Windows-1252 when the new value fits it: the foreign lines keep their bytes.
void TstIniFile::ansiFileKeepsItsEncoding_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("non-ASCII byte in a foreign section")
        << QByteArray("[Foreign]\r\nname=Caf\xe9\r\n[S]\r\nk=v\r\n") << QStringLiteral("1")
        << QByteArray("[Foreign]\r\nname=Caf\xe9\r\n[S]\r\nk=1\r\n");
    QTest::newRow("last byte of the file")
        << QByteArray("[S]\r\nk=v\r\n[Foreign]\r\nname=Caf\xe9") << QStringLiteral("1")
        << QByteArray("[S]\r\nk=1\r\n[Foreign]\r\nname=Caf\xe9");
    QTest::newRow("a C1 byte") << QByteArray("; \x80 \x9d\r\n[S]\r\nk=v\r\n") << QStringLiteral("x")
                               << QByteArray("; \x80 \x9d\r\n[S]\r\nk=x\r\n");
    QTest::newRow("a new section") << QByteArray("[Foreign]\r\nname=\xff\r\n") << QStringLiteral("1")
                                   << QByteArray("[Foreign]\r\nname=\xff\r\n[S]\r\nk=1\r\n");
    QTest::newRow("a value of the code page")
        << QByteArray("[Foreign]\r\nname=\xe9\r\n[S]\r\n") << QStringLiteral("ß€")
        << QByteArray("[Foreign]\r\nname=\xe9\r\n[S]\r\nk=\xdf\x80\r\n");
}

void TstIniFile::ansiFileKeepsItsEncoding() {
    QFETCH(QByteArray, original);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), original);
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QCOMPARE(ini.coding(), IniFile::Coding::Ansi);
    QVERIFY(ini.writeString(u"S", u"k", value));
    QCOMPARE(folder.read(QStringLiteral("a.ini")), expected);
    QCOMPARE(ini.coding(), IniFile::Coding::Ansi);
}

// A write never changes how the other lines read: where the file's encoding cannot keep that, the whole
// file is converted; where its encoding cannot be told, nothing is written.
void TstIniFile::otherLinesReadAsBefore_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("written");
    // Windows-1252 bytes that happen to be valid UTF-8 would read back as "é".
    QTest::newRow("value that looks like UTF-8")
        << QByteArray("[S]\r\nk=v\r\n") << QStringLiteral("http://Ã©.example/") << true;
    // The only line that is not UTF-8 is replaced by ASCII: the rest would turn into UTF-8.
    QTest::newRow("mixed encodings") << QByteArray("; \xc3\xa9t\xc3\xa9\r\n[S]\r\nn=caf\xe9\r\n")
                                     << QStringLiteral("1") << true;
    // A UTF-16 mark and an odd length: the key would be written as bytes the next start cannot read.
    QTest::newRow("UTF-16 mark, odd length")
        << QByteArray("\xFF\xFE") + utf16(QStringLiteral("[S]\r\nk=v\r\n"), QStringConverter::Utf16LE) + "x"
        << QStringLiteral("1") << false;
    QTest::newRow("broken UTF-8 after its mark")
        << QByteArray("\xEF\xBB\xBF[S]\r\nk=\xc3(\r\n") << QStringLiteral("1") << false;
}

void TstIniFile::otherLinesReadAsBefore() {
    QFETCH(QByteArray, original);
    QFETCH(QString, value);
    QFETCH(bool, written);
    TempAppFolder folder;
    const QString path = folder.file(QStringLiteral("a.ini"));
    folder.write(QStringLiteral("a.ini"), original);
    const QString before = IniFile(path).text();
    const QString key = QStringLiteral("n");
    IniFile ini(path);
    QCOMPARE(ini.writeString(u"S", key, value), written);
    const IniFile again(path);
    if (!written) {
        QCOMPARE(ini.lastError().code, EILSEQ);
        QVERIFY(!ini.lastError().description.isEmpty());
        QCOMPARE(folder.read(QStringLiteral("a.ini")), original);
        return;
    }
    QCOMPARE(again.readString(u"S", key, QString()), value);
    QCOMPARE(again.text(), ini.text());
    // Every line but the written one reads as it did.
    QStringList was = before.split(QStringLiteral("\r\n"));
    QStringList now = again.text().split(QStringLiteral("\r\n"));
    for (const QString& line : was)
        if (!line.startsWith(key + u'='))
            QVERIFY2(now.contains(line), qPrintable(line));
}

void TstIniFile::textIsCutAt2047Characters() {
    TempAppFolder folder;
    const QString longValue = QString(3000, u'a');
    // Never half a character: a pair that straddles the cut goes.
    const QString pairAtCut = QString(2046, u'b') + QStringLiteral("😀") + QStringLiteral("tail");
    folder.write(QStringLiteral("a.ini"), "[S]\r\nlong=" + longValue.toLatin1() +
                                              "\r\npair=" + pairAtCut.toUtf8() +
                                              "\r\nexact=" + QByteArray(2047, 'c') + "\r\n");
    const IniFile ini(folder.file(QStringLiteral("a.ini")));
    QCOMPARE(ini.readString(u"S", u"long", QString()), longValue.left(2047));
    QCOMPARE(ini.readString(u"S", u"pair", QString()), QString(2046, u'b'));
    QCOMPARE(ini.readString(u"S", u"exact", QString()).size(), 2047);
}

void TstIniFile::megabyteLines() {
    TempAppFolder folder;
    const QByteArray huge(4 * 1024 * 1024, 'x');
    const QByteArray digits(2 * 1024 * 1024, '1');
    const QByteArray content = "[S]\r\n" + huge + "\r\nnum=" + digits + "\r\ntext=" + huge + "\r\nk=5\r\n";
    folder.write(QStringLiteral("a.ini"), content);
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QCOMPARE(ini.readInteger(u"S", u"num", -1), -1);
    QCOMPARE(ini.readString(u"S", u"text", QString()).size(), 2047);
    QCOMPARE(ini.readInteger(u"S", u"k", 0), 5);
    QVERIFY(ini.writeInteger(u"S", u"k", 6));
    QByteArray expected = content;
    expected.chop(3);
    QCOMPARE(folder.read(QStringLiteral("a.ini")), expected + "6\r\n");
}

void TstIniFile::failedWriteLeavesFileAsItWas() {
    TempAppFolder folder;
    const QByteArray before = "[S]\r\nk=1\r\n";
    folder.write(QStringLiteral("a.ini"), before);
    int calls = 0;
    IniFile ini(folder.file(QStringLiteral("a.ini")), [&](const QString& path, const QByteArray& bytes) {
        // The second write fails as a full disk would.
        if (++calls == 2)
            return WriteResult{false, OsError::fromErrno(ENOSPC)};
        return writeFileAtomically(path, bytes);
    });
    QVERIFY(ini.writeString(u"S", u"k", QStringLiteral("2")));
    QVERIFY(!ini.writeString(u"S", u"other", QStringLiteral("x")));
    QCOMPARE(ini.lastError().code, ENOSPC);
    // The first key reached the disk; the failed one left no trace, not even in memory.
    QCOMPARE(folder.read(QStringLiteral("a.ini")), QByteArray("[S]\r\nk=2\r\n"));
    QCOMPARE(ini.value(u"S", u"other"), std::nullopt);
    QVERIFY(ini.writeString(u"S", u"last", QStringLiteral("y")));
    QCOMPARE(folder.read(QStringLiteral("a.ini")), QByteArray("[S]\r\nk=2\r\nlast=y\r\n"));

    // A folder that is not there: nothing to write into, nothing created.
    IniFile nowhere(folder.file(QStringLiteral("missing/a.ini")));
    QVERIFY(!nowhere.writeString(u"S", u"k", QStringLiteral("1")));
    QVERIFY(!QFile::exists(folder.file(QStringLiteral("missing/a.ini"))));
}

// The final rename fails: the write reports the real error, the file's text in memory stays, no temporary
// file is left.
void TstIniFile::renameFailure() {
    TempAppFolder folder;
    folder.write(QStringLiteral("a.ini"), "[S]\r\nk=1\r\n");
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    {
        RenameFailure fail;
        QVERIFY(!ini.writeString(u"S", u"k", QStringLiteral("2")));
        QCOMPARE(fail.targets.size(), 1);
    }
    QCOMPARE(ini.lastError().code, EISDIR);
    QCOMPARE(ini.readString(u"S", u"k", QString()), QStringLiteral("1"));
    QVERIFY(RenameFailure::folderKept(folder.file(QStringLiteral("a.ini"))));
    QCOMPARE(RenameFailure::entries(folder.path()), QStringList({"a.ini"}));
}

void TstIniFile::unreadableFileIsNeverOverwritten() {
    TempAppFolder folder;
    // A folder where the file should be: it exists, cannot be read, and must not be replaced.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("a.ini")));
    IniFile ini(folder.file(QStringLiteral("a.ini")));
    QVERIFY(ini.exists());
    QCOMPARE(ini.readBool(u"S", u"k", true), true);
    QVERIFY(!ini.writeBool(u"S", u"k", false));
    QVERIFY(QFileInfo(folder.file(QStringLiteral("a.ini"))).isDir());

    // A pipe without a writer is refused, not waited on; so is a device that never ends.
    const QString fifo = folder.file(QStringLiteral("b.ini"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
        IniFile special(path);
        QCOMPARE(special.readBool(u"S", u"k", true), true);
        QVERIFY(!special.writeBool(u"S", u"k", false));
        QCOMPARE(special.lastError().code, EINVAL);
    }
    QVERIFY(!QFileInfo(fifo).isFile());
}

void TstIniFile::permissionsAreHonoured() {
    SKIP_IF_PRIVILEGED();
    TempAppFolder folder;
    const QString path = folder.file(QStringLiteral("a.ini"));
    const QByteArray before = "[S]\r\nk=1\r\n";
    folder.write(QStringLiteral("a.ini"), before);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    IniFile readOnly(path);
    QCOMPARE(readOnly.readBool(u"S", u"k", false), true);
    QVERIFY(!readOnly.writeBool(u"S", u"k", false));
    QCOMPARE(folder.read(QStringLiteral("a.ini")), before);

    QFile::setPermissions(path, {});
    IniFile unreadable(path);
    QCOMPARE(unreadable.readBool(u"S", u"k", false), false);
    QVERIFY(!unreadable.writeBool(u"S", u"k", false));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(folder.read(QStringLiteral("a.ini")), before);

    const QString locked = folder.file(QStringLiteral("locked"));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("locked")));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    IniFile inLocked(locked + QStringLiteral("/a.ini"));
    QVERIFY(!inLocked.writeBool(u"S", u"k", true));
    QVERIFY(!QFile::exists(locked + QStringLiteral("/a.ini")));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_inifile.moc"
