#include "history/HostRules.h"

#include <QTest>

using namespace clipvane;

// The host of a URL and the Domain column: pure text rules, the table's address column is in
// tst_historytable.
class TstHostRules : public QObject {
    Q_OBJECT
private slots:
    void extractHost_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("host");
        QTest::newRow("plain") << "http://www.example.com/path"
                               << "www.example.com";
        QTest::newRow("no path") << "https://example.com"
                                 << "example.com";
        QTest::newRow("case kept") << "HTTP://WWW.Example.COM/"
                                   << "WWW.Example.COM";
        QTest::newRow("user info and port") << "https://user:pw@host.example:8080/x"
                                            << "host.example";
        QTest::newRow("last @ counts") << "http://a@b@host.example/"
                                       << "host.example";
        QTest::newRow("@ in the path stays out") << "http://host.example/a@b"
                                                 << "host.example";
        QTest::newRow("port only") << "http://host.example:8080"
                                   << "host.example";
        QTest::newRow("several colons") << "http://host:1:2/"
                                        << "host";
        QTest::newRow("IPv6 literal") << "http://[::1]:80/x"
                                      << "::1";
        QTest::newRow("IPv6 with user") << "http://u@[fe80::1%25eth0]:8/"
                                        << "fe80::1%25eth0";
        QTest::newRow("unclosed bracket") << "http://[::1/x"
                                          << "[";
        QTest::newRow("backslash as slash") << "http://host.example\\path"
                                            << "host.example";
        QTest::newRow("backslash before ?") << "http://h\\x?y"
                                            << "h";
        QTest::newRow("? then /") << "http://host.example?q=/x"
                                  << "host.example";
        QTest::newRow("# then /") << "http://host.example#frag/x"
                                  << "host.example";
        QTest::newRow("? then #") << "http://host.example?a#b"
                                  << "host.example";
        QTest::newRow("# then ? keeps the #") << "http://host.example#a?b"
                                              << "host.example#a";
        QTest::newRow("backslash after # stays") << "http://a#b\\c?d"
                                                 << "a#b\\c";
        QTest::newRow("backslash after ?") << "http://host.example?x\\y"
                                           << "host.example";
        QTest::newRow("no ://") << "host.example/path"
                                << "";
        QTest::newRow("mailto") << "mailto:x@y.example"
                                << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("scheme only") << "http://"
                                     << "";
        QTest::newRow("file URL") << "file:///etc/passwd"
                                  << "";
        QTest::newRow("first :// counts") << "x://a://b"
                                          << "a";
        QTest::newRow("other scheme") << "ftp://files.example/"
                                      << "files.example";
        QTest::newRow("outside ASCII") << "http://bücher.example/"
                                       << "bücher.example";
        const QString longHost = QString(5000, 'a') + ".example";
        QTest::newRow("host of thousands") << "http://" + longHost + "/p" << longHost;
    }
    void extractHost() {
        QFETCH(QString, url);
        QFETCH(QString, host);
        QCOMPARE(ExtractHost(url), host);
    }

    void domainOfHost_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("domain");
        QTest::newRow("www dot name") << "www.example.com"
                                      << "example.com";
        QTest::newRow("www alone") << "www"
                                   << "";
        QTest::newRow("www dot") << "www."
                                 << "";
        QTest::newRow("www then letters") << "wwwexample.com"
                                          << "com";
        QTest::newRow("www2") << "www2.example.com"
                              << "example.com";
        QTest::newRow("www without dot") << "wwwx"
                                         << "";
        QTest::newRow("capitals") << "WWW.example.com"
                                  << "WWW.example.com";
        QTest::newRow("mixed case") << "Www.example.com"
                                    << "Www.example.com";
        QTest::newRow("no www") << "example.com"
                                << "example.com";
        QTest::newRow("short") << "ww"
                               << "ww";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("later dots kept") << "www.a.b.c"
                                         << "a.b.c";
        QTest::newRow("IPv6") << "::1"
                              << "::1";
        QTest::newRow("outside ASCII") << "www.bücher.example"
                                       << "bücher.example";
    }
    void domainOfHost() {
        QFETCH(QString, host);
        QFETCH(QString, domain);
        QCOMPARE(DomainOfHost(host), domain);
    }
};

QTEST_MAIN(TstHostRules)
#include "tst_hostrules.moc"
