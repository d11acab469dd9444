#include "UpdatePage.h"

#include "core/TextCodec.h"

namespace clipvane {

std::optional<QString> versionLineOf(QStringView pageText) {
    const QLatin1StringView marker(kVersionMarker);
    const QStringView crlf = u"\r\n";
    std::optional<QString> versionLine;
    bool afterMarker = false;
    qsizetype start = 0;
    for (;;) {
        const qsizetype found = pageText.indexOf(crlf, start);
        const qsizetype end = found < 0 ? pageText.size() : found;
        const QStringView line = pageText.sliced(start, end - start);
        if (afterMarker)
            versionLine = line.toString();
        afterMarker = line == marker;
        if (found < 0)
            break;
        start = end + crlf.size();
    }
    if (afterMarker) // the marker is the last line: nothing follows it
        versionLine = QString();
    return versionLine;
}

QString webVersionOf(QStringView pageText) {
    const std::optional<QString> line = versionLineOf(pageText);
    if (!line)
        return {};
    // Characters 4 to 10: skip three, keep seven.
    qsizetype from = 0;
    int counted = 0;
    auto step = [&](qsizetype i) {
        return i +
               ((line->at(i).isHighSurrogate() && i + 1 < line->size() && line->at(i + 1).isLowSurrogate())
                    ? 2
                    : 1);
    };
    while (from < line->size() && counted < 3) {
        from = step(from);
        ++counted;
    }
    qsizetype to = from;
    counted = 0;
    while (to < line->size() && counted < 7) {
        to = step(to);
        ++counted;
    }
    return line->sliced(from, to - from);
}

QString webVersionFromBody(const QByteArray& body) {
    return webVersionOf(decodeText(body).text);
}

} // namespace clipvane
