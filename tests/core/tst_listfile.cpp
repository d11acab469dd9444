#include "TempAppFolder.h"
#include "Unprivileged.h"
#include "core/ListFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace clipvane;
using clipvane::test::readAll;
using clipvane::test::writeAll;

Q_DECLARE_METATYPE(clipvane::TextEncoding)

namespace {

QString u(const char16_t* s) {
    return QString::fromUtf16(s);
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

bool isCharDevice(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

// Limits the size of files this process writes, for as long as it lives; writing past it fails with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

enum class WriteCase {
    MissingFolder,
    ParentIsAFile,
    TargetIsAFolder,
    UnwritableFolder,
    FullDevice,
    FileTooLarge
};

} // namespace

Q_DECLARE_METATYPE(WriteCase)

class TestListFile : public QObject {
    Q_OBJECT
private slots:
    void splitLines_data();
    void splitLines();
    void readListFile_data();
    void readListFile();
    void writeListFile_data();
    void writeListFile();
    void readFailures_data();
    void readFailures();
    void writeFailures_data();
    void writeFailures();
    void readerMatchesTheWholeTextDecoder();
    void writerMatchesTheWholeTextEncoder();
};

void TestListFile::splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("one line, no break") << "a" << QStringList{"a"};
    QTest::newRow("CR LF") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("CR") << "a\rb\r" << QStringList{"a", "b"};
    QTest::newRow("LF") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("mixed") << "a\r\nb\rc\nd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("last line without break") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("empty lines are entries") << "a\r\n\r\nb\n\nc" << QStringList{"a", "", "b", "", "c"};
    QTest::newRow("only a break") << "\r\n" << QStringList{""};
    QTest::newRow("two breaks at the end") << "a\n\n" << QStringList{"a", ""};
    QTest::newRow("LF then CR is two breaks") << "a\n\rb" << QStringList{"a", "", "b"};
    QTest::newRow("CR then CR LF") << "\r\r\n" << QStringList{"", ""};
    QTest::newRow("blanks kept") << "  a \t\r\n b" << QStringList{"  a \t", " b"};
    QTest::newRow("NUL kept inside a line") << QString::fromUtf16(u"a\0b\r\n\0", 6)
                                            << QStringList{QString::fromUtf16(u"a\0b", 3), QString(QChar(0))};
    QTest::newRow("other breaks are text")
        << u(u"a\u2028b\u0085c\fd") << QStringList{u(u"a\u2028b\u0085c\fd")};
}

void TestListFile::splitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(clipvane::splitLines(text), lines);
}

void TestListFile::readListFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<TextEncoding>("encoding");

    QTest::newRow("empty file") << QByteArray() << QStringList() << TextEncoding::Ansi;
    QTest::newRow("Windows-1252") << QByteArray("caf\xE9\r\nhttp://b\r\n")
                                  << QStringList{u(u"café"), "http://b"} << TextEncoding::Ansi;
    QTest::newRow("mark-less UTF-8") << QByteArray("caf\xC3\xA9\nx") << QStringList{u(u"café"), "x"}
                                     << TextEncoding::Ansi;
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF"
                                              "a\r\n\xE4\xB8\xAD\r\n")
                                << QStringList{"a", u(u"中")} << TextEncoding::Utf8Bom;
    QTest::newRow("UTF-8 mark only") << QByteArray("\xEF\xBB\xBF") << QStringList() << TextEncoding::Utf8Bom;
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE"
                                             "a\0\r\0\n\0b\0",
                                             10)
                               << QStringList{"a", "b"} << TextEncoding::Utf16LE;
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\0a\0\r\0b", 8) << QStringList{"a", "b"}
                               << TextEncoding::Utf16BE;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\r\nc", 6)
                               << QStringList{QString::fromUtf16(u"a\0b", 3), "c"} << TextEncoding::Ansi;
    QTest::newRow("an HTML page, line by line")
        << QByteArray("<!DOCTYPE html>\r\n<html>\r\n<p><a href=\"x\">x</a></p>\r\n</html>")
        << QStringList{"<!DOCTYPE html>", "<html>", "<p><a href=\"x\">x</a></p>", "</html>"}
        << TextEncoding::Ansi;
}

void TestListFile::readListFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(TextEncoding, encoding);
    QTemporaryDir dir;
    const QString path = dir.filePath("in.list");
    QVERIFY(writeAll(path, bytes));
    const ListFileContent read = ReadListFile(path);
    QVERIFY(read.ok);
    QCOMPARE(read.lines, lines);
    QCOMPARE(read.encoding, encoding);
}

void TestListFile::writeListFile_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty list") << QStringList() << TextEncoding::Ansi << QByteArray();
    QTest::newRow("one empty entry") << QStringList{""} << TextEncoding::Ansi << QByteArray("\r\n");
    QTest::newRow("ANSI, CR LF after each")
        << QStringList{"a", u(u"café")} << TextEncoding::Ansi << QByteArray("a\r\ncaf\xE9\r\n");
    QTest::newRow("ANSI falls back to UTF-8 with its mark")
        << QStringList{"a", u(u"中")} << TextEncoding::Ansi
        << QByteArray("\xEF\xBB\xBF"
                      "a\r\n\xE4\xB8\xAD\r\n");
    QTest::newRow("UTF-8 with its mark")
        << QStringList{u(u"é")} << TextEncoding::Utf8Bom << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n");
    QTest::newRow("UTF-16 LE with its mark") << QStringList{"a"} << TextEncoding::Utf16LE
                                             << QByteArray("\xFF\xFE"
                                                           "a\0\r\0\n\0",
                                                           8);
    QTest::newRow("UTF-16 BE with its mark")
        << QStringList{"a"} << TextEncoding::Utf16BE << QByteArray("\xFE\xFF\0a\0\r\0\n", 8);
    // Windows-1252 bytes that would read back as something else: the mark keeps the text as it is.
    QTest::newRow("ANSI bytes like a UTF-16 mark")
        << QStringList{u(u"ÿþhttp://a.test/"), "http://b.test/"} << TextEncoding::Ansi
        << QByteArray("\xEF\xBB\xBF\xC3\xBF\xC3\xBEhttp://a.test/\r\nhttp://b.test/\r\n");
    QTest::newRow("ANSI bytes like a UTF-8 mark") << QStringList{u(u"ï»¿x")} << TextEncoding::Ansi
                                                  << QByteArray("\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFx\r\n");
    QTest::newRow("ANSI bytes that are UTF-8")
        << QStringList{u(u"Ã©")} << TextEncoding::Ansi << QByteArray("\xEF\xBB\xBF\xC3\x83\xC2\xA9\r\n");
    // A first entry that starts with the mark's character keeps it: only the file's own mark goes.
    QTest::newRow("first entry starts with U+FEFF, UTF-8")
        << QStringList{QChar(0xFEFF) + QString("a"), "b"} << TextEncoding::Utf8Bom
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                      "a\r\nb\r\n");
    QTest::newRow("first entry starts with U+FEFF, ANSI")
        << QStringList{QChar(0xFEFF) + QString("a")} << TextEncoding::Ansi
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                      "a\r\n");
    QTest::newRow("first entry starts with U+FEFF, UTF-16 LE")
        << QStringList{QChar(0xFEFF) + QString("a")} << TextEncoding::Utf16LE
        << QByteArray("\xFF\xFE\xFF\xFE"
                      "a\0\r\0\n\0",
                      10);
    QTest::newRow("entries written as they are")
        << QStringList{" <a href=\"x\"> ", "&amp;"} << TextEncoding::Ansi
        << QByteArray(" <a href=\"x\"> \r\n&amp;\r\n");
}

// The exact bytes, then the same lines and encoding read back: a list read from a marked file is saved
// with the same mark.
void TestListFile::writeListFile() {
    QFETCH(QStringList, lines);
    QFETCH(TextEncoding, encoding);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("out.list");
    QVERIFY(writeAll(path, "previous content, longer than the new one\r\n"));

    const WriteResult written = WriteListFile(path, lines, encoding);
    QVERIFY(written.ok);
    QCOMPARE(readAll(path), bytes);
    QCOMPARE(entries(dir.path()), QStringList{"out.list"});

    const ListFileContent read = ReadListFile(path);
    QVERIFY(read.ok);
    QCOMPARE(read.lines, lines.size() == 1 && lines[0].isEmpty() ? QStringList{""} : lines);
    const WriteResult again = WriteListFile(path, read.lines, read.encoding);
    QVERIFY(again.ok);
    QCOMPARE(readAll(path), bytes);
}

void TestListFile::readFailures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::newRow("missing file") << "missing.list" << ENOENT;
    QTest::newRow("a folder") << "folder" << EISDIR;
    QTest::newRow("missing folder") << "nowhere/x.list" << ENOENT;
    QTest::newRow("unreadable file") << "locked.list" << EACCES;
    // What is not a regular file is refused before it is read: a pipe without a writer would block for
    // good, a device never ends.
    QTest::newRow("pipe without a writer") << "fifo" << EINVAL;
    QTest::newRow("endless device") << "/dev/zero" << EINVAL;
    QTest::newRow("larger than 1 GiB") << "huge.list" << EFBIG;
}

void TestListFile::readFailures() {
    QFETCH(QString, name);
    QFETCH(int, error);
    if (error == EACCES)
        SKIP_IF_PRIVILEGED();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QVERIFY(writeAll(dir.filePath("locked.list"), "a\r\n"));
    QVERIFY(QFile::setPermissions(dir.filePath("locked.list"), {}));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    QFile huge(dir.filePath("huge.list"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxReadSize + 1)); // sparse: costs no disk

    const ListFileContent read = ReadListFile(name.startsWith(u'/') ? name : dir.filePath(name));
    QVERIFY(!read.ok);
    QVERIFY(read.lines.isEmpty());
    QCOMPARE(read.error.code, error);
    QVERIFY(!read.error.description.isEmpty());
}

void TestListFile::writeFailures_data() {
    QTest::addColumn<WriteCase>("writeCase");
    QTest::addColumn<int>("error");
    QTest::newRow("missing folder") << WriteCase::MissingFolder << ENOENT;
    QTest::newRow("parent is a file") << WriteCase::ParentIsAFile << ENOTDIR;
    QTest::newRow("target is a folder") << WriteCase::TargetIsAFolder << EISDIR;
    QTest::newRow("unwritable folder") << WriteCase::UnwritableFolder << EACCES;
    QTest::newRow("full device") << WriteCase::FullDevice << ENOSPC;
    QTest::newRow("file size limit") << WriteCase::FileTooLarge << EFBIG;
}

// A failed write reports the real error and leaves the previous file and its folder exactly as they were.
void TestListFile::writeFailures() {
    QFETCH(WriteCase, writeCase);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QByteArray previous = "http://previous\r\n";
    const QStringList lines{"http://a", "http://b", QString(3000, 'x')};
    QString path = dir.filePath("out.list");
    QVERIFY(writeAll(path, previous));

    std::unique_ptr<FileSizeLimit> limit;
    switch (writeCase) {
    case WriteCase::MissingFolder:
        path = dir.filePath("nowhere/out.list");
        break;
    case WriteCase::ParentIsAFile:
        path = dir.filePath("out.list/inner.list");
        break;
    case WriteCase::TargetIsAFolder:
        path = dir.filePath("folder");
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        break;
    case WriteCase::UnwritableFolder:
        SKIP_IF_PRIVILEGED();
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        break;
    case WriteCase::FullDevice:
        // A device node of our own where we may make one, so that a fault cannot replace the system's.
        path = dir.filePath("full");
        if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
            if (::geteuid() == 0)
                QSKIP("cannot make a device node to write to");
            path = QStringLiteral("/dev/full");
        }
        break;
    case WriteCase::FileTooLarge:
        limit = std::make_unique<FileSizeLimit>(1000);
        QVERIFY(limit->ok());
        break;
    }
    const QStringList before = entries(dir.path());

    const WriteResult result = WriteListFile(path, lines, TextEncoding::Ansi);
    limit.reset();
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY(!result.ok);
    QCOMPARE(result.error.code, error);
    QVERIFY(!result.error.description.isEmpty());
    QCOMPARE(readAll(dir.filePath("out.list")), previous);
    QCOMPARE(entries(dir.path()), before);
    if (writeCase == WriteCase::FullDevice)
        QVERIFY(isCharDevice(path));
}

namespace {

// Bytes that make line splitting and decoding hard: breaks, non-ASCII bytes, whole and cut-off UTF-8
// sequences, marks in the middle, NUL.
QByteArray trickyBytes(QRandomGenerator& rng, int length) {
    static const QByteArray pieces[] = {"a",
                                        "\r",
                                        "\n",
                                        "\r\n",
                                        QByteArray("\0", 1),
                                        "\xE9",
                                        "\x80",
                                        "\xC3\xA9",
                                        "\xE4\xB8\xAD",
                                        "\xE4\xB8",
                                        "\xF0\x9F\x98\x80",
                                        "\xEF\xBB\xBF",
                                        "\xED\xA0\x80",
                                        "\xC0\xAF",
                                        "\xFF"};
    QByteArray out;
    while (out.size() < length)
        out += pieces[rng.bounded(int(std::size(pieces)))];
    return out;
}

QString trickyText(QRandomGenerator& rng, int length) {
    static const char16_t chars[] = {u'a',   u'Z',   u' ',   u'\xE9', u'\xFF', 0x20AC, 0x0081, 0x2122,
                                     0x4E2D, 0xFEFF, 0xD83D, 0xDE00,  u'\t',   u'<',   0};
    QString out;
    for (int i = 0; i < length; ++i)
        out += QChar(chars[rng.bounded(int(std::size(chars)))]);
    return out;
}

} // namespace

// The reader goes through the file in pieces; whatever the pieces cut, it gives what decoding the whole
// text and splitting it gives.
void TestListFile::readerMatchesTheWholeTextDecoder() {
    QTemporaryDir dir;
    const QString path = dir.filePath("in.list");
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes = trickyBytes(rng, int(rng.bounded(40)));
        switch (round % 5) {
        case 0:
            bytes.prepend("\xEF\xBB\xBF");
            break;
        case 1: // mostly ASCII with one non-ASCII piece: valid UTF-8 or not
            bytes = QByteArray("ab\r\ncd\n") + (round % 2 ? "\xC3\xA9" : "\xE9") + "\r\nx";
            break;
        case 2:
            bytes.replace(char(0xFF), "");
            bytes.replace(char(0x80), "");
            break;
        default:
            break;
        }
        QVERIFY(writeAll(path, bytes));
        const DecodedText whole = decodeText(bytes);
        const QStringList expected = clipvane::splitLines(whole.text);
        for (qsizetype chunk : {1, 2, 3, 5, 64, 1 << 20}) {
            const ListFileContent read = readListFileInChunks(path, chunk);
            QVERIFY(read.ok);
            QVERIFY2(read.lines == expected && read.encoding == whole.encoding,
                     qPrintable(QString("bytes %1, pieces of %2").arg(QString(bytes.toHex(' '))).arg(chunk)));
        }
    }
}

// The writer encodes line by line in chunks; it writes exactly what encoding the joined text gives.
void TestListFile::writerMatchesTheWholeTextEncoder() {
    // Many small atomic writes: in memory where possible, as each one is synced to its disk.
    QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/tst_listfile-XXXXXX")
                                                : QDir::tempPath() + QStringLiteral("/tst_listfile-XXXXXX"));
    const QString path = dir.filePath("out.list");
    QRandomGenerator rng(7);
    QList<QStringList> cases;
    for (int round = 0; round < 300; ++round) {
        QStringList lines;
        const int n = int(rng.bounded(5));
        for (int i = 0; i < n; ++i)
            lines.append(round % 3 == 0 ? QString(int(rng.bounded(4)), QChar(u'\xE9'))
                                        : trickyText(rng, int(rng.bounded(8))));
        cases.append(lines);
    }
    cases.append({QString(1 << 20, QChar(u'x')), QStringLiteral("\u00E9"), QString(3 << 19, QChar(0x4E2D))});
    cases.append(QStringList(300000, QStringLiteral("caf\u00E9")));
    for (const QStringList& lines : cases) {
        QString joined;
        for (const QString& l : lines)
            joined += l + QStringLiteral("\r\n");
        for (TextEncoding encoding :
             {TextEncoding::Ansi, TextEncoding::Utf8Bom, TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
            QVERIFY(WriteListFile(path, lines, encoding).ok);
            QVERIFY2(readAll(path) == encodeText(joined, encoding),
                     qPrintable(
                         QString("encoding %1, lines %2").arg(int(encoding)).arg(lines.join('|').left(200))));
        }
    }
}

QTEST_GUILESS_MAIN(TestListFile)
#include "tst_listfile.moc"
