#include "UrlVerdict.h"

namespace clipvane {

QString NormaliseUrl(const QString& text) {
    if (text.contains(QLatin1String("http://"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("https://"), Qt::CaseInsensitive))
        return text;
    return QStringLiteral("http://") + text;
}

QString webAddressOf(const QString& text) {
    const QString url = NormaliseUrl(text);
    if (url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return url;
    return {};
}

} // namespace clipvane
