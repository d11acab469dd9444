#include "HostRules.h"

#include "platform/HostResolver.h"

#include <QList>
#include <QUrl>
#include <algorithm>

namespace clipvane {

namespace {

constexpr qsizetype kMaxHostName = 253;
constexpr qsizetype kMaxLabel = 63;

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isDottedIPv4(QStringView host) {
    int parts = 0;
    for (QStringView part : host.tokenize(u'.')) {
        if (++parts > 4 || part.isEmpty() || part.size() > 3)
            return false;
        if (!std::all_of(part.begin(), part.end(), isAsciiDigit) || part.toInt() > 255)
            return false;
    }
    return parts == 4;
}

// The name as the system resolver takes it, or empty when no host can have it: the resolver never sees
// spaces, control characters, over-long names or labels, or text that has no ASCII (IDNA) form.
QByteArray lookupName(const QString& host) {
    // Each character gives at least one in the ASCII form; surrogate pairs count twice here.
    if (host.size() > 2 * kMaxHostName)
        return {};
    const QByteArray ace = QUrl::toAce(host);
    if (ace.isEmpty() || ace.size() > kMaxHostName)
        return {};
    const QList<QByteArray> labels = ace.split('.');
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const QByteArray& label = labels[i];
        // A single trailing dot (the root) is allowed.
        if (label.isEmpty() && !(i == labels.size() - 1 && i > 0))
            return {};
        if (label.size() > kMaxLabel)
            return {};
        for (char c : label) {
            const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                            c == '-' || c == '_';
            if (!ok)
                return {};
        }
    }
    return ace;
}

} // namespace

QString ExtractHost(const QString& url) {
    const qsizetype sep = url.indexOf(QLatin1String("://"));
    if (sep < 0)
        return {};
    const QStringView rest = QStringView(url).mid(sep + 3);
    const qsizetype q = rest.indexOf(u'?');
    const qsizetype h = rest.indexOf(u'#');
    const qsizetype cut = q >= 0 ? q : (h >= 0 ? h : rest.size());
    // Backslashes stand for slashes only before the first "?" or "#", whichever comes first.
    const qsizetype firstMark = (q >= 0 && h >= 0) ? std::min(q, h) : cut;
    qsizetype end = cut;
    for (qsizetype i = 0; i < cut; ++i) {
        if (rest[i] == u'/' || (rest[i] == u'\\' && i < firstMark)) {
            end = i;
            break;
        }
    }
    QStringView authority = rest.left(end);
    const qsizetype at = authority.lastIndexOf(u'@');
    if (at >= 0)
        authority = authority.mid(at + 1);
    const qsizetype open = authority.indexOf(u'[');
    if (open >= 0) {
        const qsizetype close = authority.indexOf(u']', open + 1);
        if (close >= 0)
            return authority.mid(open + 1, close - open - 1).toString();
    }
    const qsizetype colon = authority.indexOf(u':');
    return (colon >= 0 ? authority.left(colon) : authority).toString();
}

QString DomainOfHost(const QString& host) {
    if (!host.startsWith(QLatin1String("www")))
        return host;
    const qsizetype dot = host.indexOf(u'.');
    if (dot < 0 || dot == host.size() - 1)
        return {};
    return host.mid(dot + 1);
}

std::optional<QString> addressWithoutLookup(const QString& host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("127.0.0.1");
    if (isDottedIPv4(host))
        return host;
    return std::nullopt;
}

std::optional<QString> resolverNameOf(const QString& host) {
    // A URL without a host still asks, with the empty name; the platform answers for that.
    if (host.isEmpty())
        return host;
    const QByteArray name = lookupName(host);
    if (name.isEmpty())
        return std::nullopt;
    return QString::fromLatin1(name);
}

QString ResolveHostIPv4(const QString& host, HostResolver& resolver) {
    if (const std::optional<QString> address = addressWithoutLookup(host))
        return *address;
    const std::optional<QString> name = resolverNameOf(host);
    return name ? resolver.resolveIPv4(*name) : QString();
}

} // namespace clipvane
