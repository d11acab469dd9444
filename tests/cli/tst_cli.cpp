#include "Doubles.h"
#include "LocalHttpServer.h"
#include "TempAppFolder.h"
#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
#include "cli/InputLists.h"
#include "core/ListFile.h"
#include "core/Options.h"
#include "core/UrlVerdict.h"
#include "lists/ListFiles.h"
#include "platform/linux/CurlHttpClient.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace clipvane;
using namespace clipvane::cli;
using namespace clipvane::test;
using namespace std::chrono_literals;

using Action = ParsedCommandLine::Action;
Q_DECLARE_METATYPE(Action)

namespace {

HttpTimeouts shortTimeouts() {
    HttpTimeouts t;
    t.connect = 1000ms;
    t.idle = 1000ms;
    t.total = 1500ms;
    return t;
}

struct CheckOutput {
    int status = -1;
    QByteArray out;
    QString err;
};

CheckOutput check(const QStringList& arguments, Connectivity& connectivity, HttpClient& http,
                  const QByteArray& standardInput = {}, int* stdinReads = nullptr, bool progress = false) {
    const ParsedCommandLine parsed = parseCommandLine(QStringList{QStringLiteral("Clipvane")} + arguments);
    if (parsed.action != Action::Check) {
        qWarning("not a check: %s", qPrintable(parsed.error));
        return {};
    }
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    CheckIo io;
    io.out = &out;
    io.err = &err;
    io.progress = progress;
    io.readStandardInput = [&] {
        if (stdinReads)
            ++*stdinReads;
        return FileBytes{true, {}, standardInput};
    };
    CheckOutput result;
    result.status = runCheck(parsed.check, connectivity, http, io);
    result.out = out.data();
    result.err = QString::fromUtf8(err.data());
    return result;
}

// A small CSV reader (RFC 4180), to show that what we write reads back.
QList<QStringList> parseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(std::exchange(field, {}));
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row.append(std::exchange(field, {}));
            rows.append(std::exchange(row, {}));
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void parsing_data();
    void parsing();
    void versionAndHelp();

    void inputFormats_data();
    void inputFormats();
    void unreadableInputs_data();
    void unreadableInputs();
    void unreadableByPermission();
    void standardInputReadOnce();

    void sameVerdictsAsTheEngine();
    void formatsReadBack();
    void shownSideAndValidList();
    void validListKeepsTheInputEncoding();
    void validListThatCannotBeWritten();
    void offlineStopsBeforeAnyRequest();
    void progressOnlyWhenAsked();
    void limitsReachTheEngine();
};

void TestCli::parsing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>(
        "detail"); // "format/shown/total/perHost/timeoutMs/output", or the error's words

    const HttpBatchLimits d;
    const QString defaults = QStringLiteral("plain/all/%1/%2/-/").arg(d.total).arg(d.perHost);
    QTest::newRow("no arguments: the window") << QStringList{} << Action::Gui << QStringList{} << QString();
    QTest::newRow("arguments of the window")
        << QStringList{"-platform", "xcb", "somefile"} << Action::Gui << QStringList{} << QString();
    QTest::newRow("--help") << QStringList{"--help"} << Action::Help << QStringList{} << QString();
    QTest::newRow("-h wins over a check")
        << QStringList{"--check", "x", "-h"} << Action::Help << QStringList{} << QString();
    QTest::newRow("-?") << QStringList{"-?"} << Action::Help << QStringList{} << QString();
    QTest::newRow("--version") << QStringList{"--version"} << Action::Version << QStringList{} << QString();
    QTest::newRow("-v") << QStringList{"-v"} << Action::Version << QStringList{} << QString();
    QTest::newRow("check defaults") << QStringList{"--check", "a.example", "-", "l.list"} << Action::Check
                                    << QStringList{"a.example", "-", "l.list"} << defaults;
    QTest::newRow("every option") << QStringList{"--check",   "--format=json", "--concurrency",
                                                 "64",        "--per-host",    "2",
                                                 "--timeout", "2.5",           "--invalid-only",
                                                 "-o",        "out.list",      "u"}
                                  << Action::Check << QStringList{"u"}
                                  << QStringLiteral("json/invalid/64/2/2500/out.list");
    QTest::newRow("options after inputs, csv, valid only")
        << QStringList{"--check", "u", "--format", "csv", "--valid-only", "--output=v.list"} << Action::Check
        << QStringList{"u"} << QStringLiteral("csv/valid/%1/%2/-/v.list").arg(d.total).arg(d.perHost);
    QTest::newRow("-- ends the options")
        << QStringList{"--check", "--", "--format"} << Action::Check << QStringList{"--format"} << defaults;

    QTest::newRow("check without inputs")
        << QStringList{"--check"} << Action::UsageError << QStringList{} << QStringLiteral("needs a file");
    QTest::newRow("option without check") << QStringList{"--format", "csv", "u"} << Action::UsageError
                                          << QStringList{} << QStringLiteral("need --check");
    QTest::newRow("unknown option") << QStringList{"--check", "--fast", "u"} << Action::UsageError
                                    << QStringList{} << QStringLiteral("fast");
    QTest::newRow("unknown format") << QStringList{"--check", "--format", "xml", "u"} << Action::UsageError
                                    << QStringList{} << QStringLiteral("xml");
    QTest::newRow("format without value") << QStringList{"--check", "u", "--format"} << Action::UsageError
                                          << QStringList{} << QStringLiteral("format");
    QTest::newRow("per host above 6") << QStringList{"--check", "--per-host", "7", "u"} << Action::UsageError
                                      << QStringList{} << QStringLiteral("--per-host");
    QTest::newRow("per host 0") << QStringList{"--check", "--per-host", "0", "u"} << Action::UsageError
                                << QStringList{} << QStringLiteral("--per-host");
    QTest::newRow("concurrency not a number")
        << QStringList{"--check", "--concurrency", "lots", "u"} << Action::UsageError << QStringList{}
        << QStringLiteral("--concurrency");
    QTest::newRow("concurrency 0") << QStringList{"--check", "--concurrency", "0", "u"} << Action::UsageError
                                   << QStringList{} << QStringLiteral("--concurrency");
    QTest::newRow("negative timeout") << QStringList{"--check", "--timeout", "-1", "u"} << Action::UsageError
                                      << QStringList{} << QStringLiteral("--timeout");
    QTest::newRow("timeout nan") << QStringList{"--check", "--timeout", "nan", "u"} << Action::UsageError
                                 << QStringList{} << QStringLiteral("--timeout");
    QTest::newRow("both sides") << QStringList{"--check", "--valid-only", "--invalid-only", "u"}
                                << Action::UsageError << QStringList{} << QStringLiteral("together");
}

void TestCli::parsing() {
    QFETCH(QStringList, args);
    QFETCH(Action, action);
    QFETCH(QStringList, inputs);
    QFETCH(QString, detail);
    const ParsedCommandLine p = parseCommandLine(QStringList{QStringLiteral("Clipvane")} + args);
    QCOMPARE(p.action, action);
    if (action == Action::UsageError) {
        QVERIFY2(p.error.contains(detail), qPrintable(p.error));
        return;
    }
    if (action != Action::Check)
        return;
    const CheckOptions& c = p.check;
    QCOMPARE(c.inputs, inputs);
    const char* formats[] = {"plain", "csv", "json"};
    const char* shown[] = {"all", "valid", "invalid"};
    const QString got =
        QStringLiteral("%1/%2/%3/%4/%5/%6")
            .arg(QLatin1String(formats[int(c.format)]), QLatin1String(shown[int(c.shown)]))
            .arg(c.limits.total)
            .arg(c.limits.perHost)
            .arg(c.timeout ? QString::number(c.timeout->count()) : QStringLiteral("-"), c.validListPath);
    QCOMPARE(got, detail);
}

void TestCli::versionAndHelp() {
    QVERIFY(versionText().startsWith(QStringLiteral("Clipvane " CLIPVANE_VERSION " (")));
    QVERIFY(versionText().contains(QStringLiteral("bits Edition)")));
    for (const char* option : {"--check", "--format", "--concurrency", "--per-host", "--timeout",
                               "--valid-only", "--invalid-only", "-o, --output"})
        QVERIFY2(helpText().contains(QLatin1String(option)), option);
}

void TestCli::inputFormats_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("addresses");

    QTest::newRow("plain list, CR LF, blank lines left out")
        << QByteArray("http://a.example/\r\n\r\nb.example\r\n   \r\nhttps://c.example/x y\r\n")
        << QStringList{"http://a.example/", "b.example", "https://c.example/x y"};
    QTest::newRow("lone LF and CR, no break at the end")
        << QByteArray("a.example\nb.example\rc.example")
        << QStringList{"a.example", "b.example", "c.example"};
    QTest::newRow("UTF-16 LE with its mark")
        << (QByteArray("\xFF\xFE", 2) +
            QByteArray(reinterpret_cast<const char*>(u"http://ü.example/\r\nb\r\n"), 2 * 22))
        << QStringList{QStringLiteral("http://ü.example/"), "b"};
    QTest::newRow("UTF-8 without a mark")
        << QByteArray("http://caf\xC3\xA9.example/\n") << QStringList{QStringLiteral("http://café.example/")};

    const QStringList entries{"http://a.example/?x=1&y=<2>", "https://b.example/'q'", "not a link",
                              "ftp://f/"};
    const CreationStamp stamp{QStringLiteral("1/2/26"), QStringLiteral("10:00:00")};
    QTest::newRow("our link page: its entries, entities decoded")
        << buildHtmlPage(entries, ListFormat::HtmlLink, QStringLiteral("t"), stamp).toUtf8() << entries;
    QTest::newRow("our text page")
        << buildHtmlPage(entries, ListFormat::HtmlText, QStringLiteral("t"), stamp).toUtf8() << entries;
    QTest::newRow("another page: its web links only")
        << QByteArray(
               "<!doctype html>\n<HTML><body><p>Intro http://not.a.link/</p>\n"
               "<a class=x HREF=\"https://one.example/a?b=1&amp;c=2\">one</a>"
               "<a href='http://two.example/'>two</a> <a href=http://three.example/>3</a>\n"
               "<a href=\"/relative\">r</a><a href=\"mailto:x@y\">m</a><a href=\"javascript:go()\">j</a>"
               "<a name=\"top\">no href</a></body></HTML>")
        << QStringList{"https://one.example/a?b=1&c=2", "http://two.example/", "http://three.example/"};
    QTest::newRow("an empty file") << QByteArray() << QStringList{};
}

void TestCli::inputFormats() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, addresses);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.list"));
    QVERIFY(writeAll(path, bytes));
    const InputAddresses read = collectAddresses({path}, [] { return FileBytes{}; });
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.addresses, addresses);
    // Standard input reads the same bytes the same way.
    const InputAddresses piped = collectAddresses({QStringLiteral("-")}, [&] {
        return FileBytes{true, {}, bytes};
    });
    QCOMPARE(piped.addresses, addresses);
}

void TestCli::unreadableInputs_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    QTest::newRow("a folder") << QStringLiteral("folder") << QString();
    QTest::newRow("a pipe (never opened: it would block)") << QStringLiteral("fifo") << QString();
    QTest::newRow("a link to nothing") << QStringLiteral("dangling") << QString();
    QTest::newRow("a list name that does not exist")
        << QStringLiteral("missing.list") << QStringLiteral("no such file");
    QTest::newRow("a path that does not exist")
        << QStringLiteral("sub/../nowhere") << QStringLiteral("no such file");
}

void TestCli::unreadableInputs() {
    QFETCH(QString, name);
    QFETCH(QString, why);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("dangling"))));
    const QString path = dir.filePath(name);

    FakeConnectivity connectivity;
    connectivity.connected = true;
    FakeHttpClient http;
    const CheckOutput r =
        check({QStringLiteral("--check"), QStringLiteral("a.example"), path}, connectivity, http);
    QCOMPARE(r.status, int(kUsageOrFileError));
    QVERIFY2(r.err.contains(path) && r.err.contains(why), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QVERIFY(http.statusRequests.isEmpty() && http.batchLimits.isEmpty()); // nothing checked
}

void TestCli::unreadableByPermission() {
    if (::geteuid() == 0)
        QSKIP("root reads any file; the unprivileged run covers this");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("secret.list"));
    QVERIFY(writeAll(path, "a.example\n"));
    QVERIFY(QFile::setPermissions(path, {}));
    FakeConnectivity connectivity;
    connectivity.connected = true;
    FakeHttpClient http;
    const CheckOutput r = check({QStringLiteral("--check"), path}, connectivity, http);
    QCOMPARE(r.status, int(kUsageOrFileError));
    QVERIFY2(r.err.contains(path), qPrintable(r.err));
}

void TestCli::standardInputReadOnce() {
    FakeConnectivity connectivity;
    connectivity.connected = true;
    FakeHttpClient http;
    http.statuses = {{"http://a.example", 200}, {"http://b.example", 200}, {"http://c.example", 200}};
    int reads = 0;
    const CheckOutput r =
        check({"--check", "a.example", "-", "c.example", "-"}, connectivity, http, "b.example\n", &reads);
    QCOMPARE(reads, 1);
    QCOMPARE(r.status, int(kAllValid));
    QCOMPARE(r.out, QByteArray("valid\ta.example\nvalid\tb.example\nvalid\tc.example\n"));
}

// Over the local server's routes, every address gets what the GUI's engine gives it, in input order.
void TestCli::sameVerdictsAsTheEngine() {
    LocalHttpServer server;
    server.on("/ok", ScriptedReply::withStatus(200));
    server.on("/found", ScriptedReply::redirect(302, server.urlBytes("/missing")));
    server.on("/moved", ScriptedReply::redirect(301, server.urlBytes("/ok")));
    server.on("/moved-away", ScriptedReply::redirect(301, server.urlBytes("/missing")));
    server.on("/loop", ScriptedReply::redirect(302, server.urlBytes("/loop")));
    server.on("/error", ScriptedReply::withStatus(500));
    server.on("/not-modified", ScriptedReply::withStatus(304));
    server.on("/garbage", ScriptedReply::garbage());
    server.on("/closed", ScriptedReply::closeAtOnce());
    server.on("/reset", ScriptedReply::resetAtOnce());
    server.on("/silent", ScriptedReply::neverAnswer());
    const QString hostPort = server.url({}).mid(7);
    const QStringList texts{server.url("/ok"),          server.url("/found"),
                            server.url("/moved"),       server.url("/missing"),
                            server.url("/moved-away"),  server.url("/loop"),
                            server.url("/error"),       server.url("/not-modified"),
                            server.url("/garbage"),     server.url("/closed"),
                            server.url("/reset"),       server.url("/silent"),
                            hostPort + "/ok",           "HTTPS://" + hostPort + "/ok",
                            "see " + server.url("/ok"), "ftp://" + hostPort + "/ok",
                            server.url("/ok")};

    FakeConnectivity connectivity;
    connectivity.connected = true;
    CurlHttpClient http(shortTimeouts());
    Options options;
    options.setValidateClipboardUrl(false);
    UrlChecker checker(connectivity, http, options);
    CheckEngine engine(connectivity, http, checker);
    const auto run = engine.start(texts);
    QList<bool> expected(texts.size());
    connect(run.get(), &CheckRun::checked, this, [&](int i, bool accepted) { expected[i] = accepted; });
    QSignalSpy finished(run.get(), &CheckRun::finished);
    QVERIFY(finished.wait(20000));
    QVERIFY(expected.contains(true) && expected.contains(false));

    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("in.list"));
    QVERIFY(writeAll(list, texts.join(QStringLiteral("\r\n")).toUtf8()));
    const CheckOutput r = check({"--check", "--format", "json", list}, connectivity, http);
    QCOMPARE(r.status, int(kSomeInvalid));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonArray results = doc[QStringLiteral("results")].toArray();
    QCOMPARE(results.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        const QJsonObject o = results[i].toObject();
        QCOMPARE(o[QStringLiteral("address")].toString(), texts[i]);
        QCOMPARE(o[QStringLiteral("url")].toString(), NormaliseUrl(texts[i]));
        QCOMPARE(o[QStringLiteral("verdict")].toString(),
                 expected[i] ? QStringLiteral("valid") : QStringLiteral("invalid"));
    }
    QCOMPARE(doc[QStringLiteral("checked")].toInt(), texts.size());
    QCOMPARE(doc[QStringLiteral("valid")].toInt(), int(expected.count(true)));
    QCOMPARE(doc[QStringLiteral("invalid")].toInt(), int(expected.count(false)));
    QVERIFY2(r.err.contains(QStringLiteral("Checked %1 addresses: %2 valid, %3 invalid")
                                .arg(texts.size())
                                .arg(expected.count(true))
                                .arg(expected.count(false))),
             qPrintable(r.err));
}

void TestCli::formatsReadBack() {
    FakeConnectivity connectivity;
    connectivity.connected = true;
    FakeHttpClient http;
    const QString odd = QStringLiteral("http://a.example/?q=\"x,y\"");
    const QString escape = QStringLiteral("http://b.example/\x1b]0;title\x07");
    http.statuses = {{odd, 200}, {escape, 404}, {QStringLiteral("http://ü.example"), 200}};
    const QStringList args{odd, escape, QStringLiteral("ü.example")};

    const CheckOutput csv = check(QStringList{"--check", "--format", "csv"} + args, connectivity, http);
    QCOMPARE(csv.status, int(kSomeInvalid));
    const QList<QStringList> rows = parseCsv(QString::fromUtf8(csv.out));
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0], (QStringList{"address", "verdict", "reason"}));
    QCOMPARE(rows[1].mid(0, 2), (QStringList{odd, "valid"}));
    QCOMPARE(rows[2], (QStringList{escape, "invalid", "404"}));
    QCOMPARE(rows[3].mid(0, 2), (QStringList{QStringLiteral("ü.example"), "valid"}));

    const CheckOutput json = check(QStringList{"--check", "--format", "json"} + args, connectivity, http);
    const QJsonArray results = QJsonDocument::fromJson(json.out)[QStringLiteral("results")].toArray();
    QCOMPARE(results.size(), 3);
    QCOMPARE(results[1].toObject()[QStringLiteral("address")].toString(), escape);

    // Plain text goes to terminals: the control characters of an address are shown, not obeyed.
    const CheckOutput plain = check(QStringList{"--check"} + args, connectivity, http);
    QVERIFY(!plain.out.contains('\x1b') && !plain.out.contains('\x07'));
    QCOMPARE(plain.out.split('\n')[1], QByteArray("invalid\thttp://b.example/\\x1b]0;title\\x07\t404"));
    QCOMPARE(plain.out.split('\n')[2], QStringLiteral("valid\tü.example").toUtf8());
}

void TestCli::shownSideAndValidList() {
    FakeConnectivity connectivity;
    connectivity.connected = true;
    FakeHttpClient http;
    http.statuses = {{"http://a.example", 200}, {"http://b.example", 404}, {"http://c.example", 302}};
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("valid.list"));
    const CheckOutput valid = check(
        {"--check", "--valid-only", "-o", list, "a.example", "b.example", "c.example"}, connectivity, http);
    QCOMPARE(valid.status, int(kSomeInvalid));
    QCOMPARE(valid.out, QByteArray("valid\ta.example\nvalid\tc.example\n"));
    QCOMPARE(readAll(list), QByteArray("a.example\r\nc.example\r\n"));
    const CheckOutput invalid =
        check({"--check", "--invalid-only", "a.example", "b.example", "c.example"}, connectivity, http);
    QCOMPARE(invalid.out, QByteArray("invalid\tb.example\t404\n"));
}

void TestCli::validListKeepsTheInputEncoding() {
    FakeConnectivity connectivity;
    connectivity.connected = true;
    FakeHttpClient http;
    http.statuses = {{"http://a.example", 200}, {QStringLiteral("http://€.example"), 200}};
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.list"));
    const QString out = dir.filePath(QStringLiteral("out.list"));
    const auto utf16be = [](const QString& text) {
        QStringEncoder encode(QStringConverter::Utf16BE);
        return QByteArray("\xFE\xFF") + QByteArray(encode(text));
    };
    QVERIFY(writeAll(in, utf16be(QStringLiteral("a.example\n"))));
    QCOMPARE(check({"--check", "-o", out, in}, connectivity, http).status, int(kAllValid));
    QCOMPARE(readAll(out), utf16be(QStringLiteral("a.example\r\n")));
    // Without a marked input, the rule of every writer: Windows-1252 where it holds the text.
    QCOMPARE(check({"--check", "-o", out, QStringLiteral("€.example")}, connectivity, http).status,
             int(kAllValid));
    QCOMPARE(readAll(out), QByteArray("\x80.example\r\n"));
    QCOMPARE(ReadListFile(out).lines, QStringList{QStringLiteral("€.example")});
}

void TestCli::validListThatCannotBeWritten() {
    FakeConnectivity connectivity;
    connectivity.connected = true;
    FakeHttpClient http;
    http.statuses = {{"http://a.example", 200}};
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("no/such/folder.list"));
    const CheckOutput r = check({"--check", "-o", out, "a.example"}, connectivity, http);
    QCOMPARE(r.status, int(kUsageOrFileError));
    QVERIFY2(r.err.contains(out), qPrintable(r.err));
    QCOMPARE(r.out, QByteArray("valid\ta.example\n")); // the verdicts are not lost
}

void TestCli::offlineStopsBeforeAnyRequest() {
    FakeConnectivity connectivity;
    FakeHttpClient http;
    const CheckOutput r = check({"--check", "a.example"}, connectivity, http);
    QCOMPARE(r.status, int(kNoConnection));
    QVERIFY2(r.err.contains(QStringLiteral("no Internet connection")), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QVERIFY(http.batchLimits.isEmpty() && http.statusRequests.isEmpty());
}

void TestCli::progressOnlyWhenAsked() {
    FakeConnectivity connectivity;
    connectivity.connected = true;
    FakeHttpClient http;
    http.statuses = {{"http://a.example", 200}, {"http://b.example", 200}};
    // stderr that is no terminal (a log, a pipe) gets the summary line alone.
    const CheckOutput quiet = check({"--check", "a.example", "b.example"}, connectivity, http);
    QCOMPARE(quiet.err.count(QLatin1Char('\n')), 1);
    QVERIFY(!quiet.err.contains(QLatin1Char('\r')));
    const CheckOutput shown =
        check({"--check", "a.example", "b.example"}, connectivity, http, {}, nullptr, true);
    QVERIFY2(shown.err.contains(QStringLiteral("\rChecking: 2 of 2")), qPrintable(shown.err));
    // The progress line is wiped before the summary takes its place.
    QVERIFY2(shown.err.contains(QStringLiteral("\r\x1b[KChecked 2 addresses")), qPrintable(shown.err));
    QCOMPARE(shown.out, quiet.out);
}

void TestCli::limitsReachTheEngine() {
    LocalHttpServer server;
    ScriptedReply slow = ScriptedReply::withStatus(200);
    slow.delayBeforeHeaders = 100ms;
    server.on("/slow", slow);
    FakeConnectivity connectivity;
    connectivity.connected = true;
    CurlHttpClient http(shortTimeouts());
    const QStringList urls(12, server.url("/slow"));
    QCOMPARE(check(QStringList{"--check", "--per-host", "2"} + urls, connectivity, http).status,
             int(kAllValid));
    QCOMPARE(server.maxConcurrentFor("127.0.0.1"), 2);
    QCOMPARE(check(QStringList{"--check", "--concurrency", "3"} + urls, connectivity, http).status,
             int(kAllValid));
    QCOMPARE(server.maxConcurrent(), 3);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
