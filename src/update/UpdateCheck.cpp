#include "UpdateCheck.h"

#include "platform/HostResolver.h"
#include "platform/LocalMachine.h"

#include <QList>
#include <algorithm>

namespace clipvane {

namespace {

bool isDigits(QStringView part) {
    if (part.isEmpty())
        return false;
    for (const QChar c : part)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Numbers compare by value whatever their length or leading zeros; anything else compares as text.
int compareParts(QStringView a, QStringView b) {
    if (isDigits(a) && isDigits(b)) {
        while (a.size() > 1 && a.front() == u'0')
            a = a.sliced(1);
        while (b.size() > 1 && b.front() == u'0')
            b = b.sliced(1);
        if (a.size() != b.size())
            return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

} // namespace

QString printableVersion(const QString& text) {
    QString out;
    out.reserve(text.size());
    const QList<uint> codePoints = text.toUcs4();
    for (const uint c : codePoints) {
        const auto category = QChar::category(char32_t(c));
        const bool printable = QChar::isPrint(char32_t(c)) && category != QChar::Separator_Line &&
                               category != QChar::Separator_Paragraph;
        if (printable)
            out.append(QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1));
        else
            out.append(QChar::ReplacementCharacter);
    }
    return out;
}

int compareVersions(const QString& a, const QString& b) {
    const QList<QStringView> left = QStringView(a).split(u'.');
    const QList<QStringView> right = QStringView(b).split(u'.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        // A missing part counts as 0: 1.2 is 1.2.0.0.
        const QStringView l = i < left.size() ? left[i] : QStringView(u"0");
        const QStringView r = i < right.size() ? right[i] : QStringView(u"0");
        if (const int c = compareParts(l, r); c != 0)
            return c < 0 ? -1 : 1;
    }
    return 0;
}

CheckOutcome judgeVersion(const QString& webVersion, const QString& localVersion) {
    // The page's text reaches a label: only printable characters, so that it cannot reorder or hide what
    // the label says.
    const QString shown = printableVersion(webVersion);
    if (shown.isEmpty())
        return {QString::fromLatin1(kUnknown), QString::fromLatin1(kCheckFailed)};
    const bool newer = compareVersions(webVersion, localVersion) > 0;
    return {shown, QString::fromLatin1(newer ? kOutOfDate : kUpToDate)};
}

UpdateAddresses UpdateAddresses::forSite(const QString& website) {
    QString site = website;
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    const QString folder = site + QStringLiteral("/Quorbel/");
    return {folder + QStringLiteral("Cvn.html"), folder + QStringLiteral("Clipvane_Update.html"),
            folder + QStringLiteral("Download/"), folder + QStringLiteral("Clipvane_Linux.html"),
            folder + QStringLiteral("Clipvane.html")};
}

QString UpdateAddresses::downloadFor(const QString& editionPackage) const {
#ifdef Q_OS_WIN
    return downloadFolder + editionPackage;
#else
    Q_UNUSED(editionPackage);
    return linuxPackagePage;
#endif
}

QString LanAddressText(LocalMachine& machine, HostResolver& resolver) {
    const QString host = machine.hostName();
    const QString address = host.isEmpty() ? QString() : resolver.resolveIPv4(host);
    if (address.isEmpty())
        return QStringLiteral("No. IP Address");
    return QStringLiteral("LAN IP Address: ") + address;
}

} // namespace clipvane
