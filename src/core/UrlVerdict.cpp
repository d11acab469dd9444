#include "UrlVerdict.h"

namespace clipvane {

QString NormaliseUrl(const QString& text) {
    if (text.contains(QLatin1String("http://"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("https://"), Qt::CaseInsensitive))
        return text;
    return QStringLiteral("http://") + text;
}

QString webAddressOf(const QString& text) {
    // A control character (NUL, CR, LF, …) is never part of an address: a launched program would get the
    // text cut at a NUL, or a second line.
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return {};
    const QString url = NormaliseUrl(text);
    if (url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return url;
    return {};
}

} // namespace clipvane
