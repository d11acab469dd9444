#include "InputLists.h"

#include "core/ListFile.h"
#include "lists/ListFiles.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace clipvane::cli {

namespace {

QString decodeEntities(QStringView text) {
    if (!text.contains(QLatin1Char('&')))
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        const qsizetype semi = c == u'&' ? text.indexOf(u';', i) : -1;
        if (semi < 0 || semi - i > 12) {
            out += c;
            ++i;
            continue;
        }
        const QStringView name = text.sliced(i + 1, semi - i - 1);
        char32_t code = 0;
        if (name == u"amp")
            code = '&';
        else if (name == u"lt")
            code = '<';
        else if (name == u"gt")
            code = '>';
        else if (name == u"quot")
            code = '"';
        else if (name == u"apos")
            code = '\'';
        else if (name.startsWith(u'#')) {
            bool ok = false;
            const uint n = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                               ? name.sliced(2).toUInt(&ok, 16)
                               : name.sliced(1).toUInt(&ok, 10);
            if (ok && n > 0 && n <= 0x10FFFF && !(n >= 0xD800 && n <= 0xDFFF))
                code = n;
        }
        if (code == 0) {
            out += c;
            ++i;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semi + 1;
    }
    return out;
}

bool isBlank(const QString& line) {
    for (const QChar c : line)
        if (!c.isSpace())
            return false;
    return true;
}

// Our own link and text pages: the head lines our writer puts first.
bool isOurPage(const QStringList& lines) {
    return lines.size() >= 5 && lines[0] == QLatin1String("<!DOCTYPE html>") &&
           lines[1] == QLatin1String("<html>") && lines[2] == QLatin1String("<body>") &&
           lines[3].startsWith(QLatin1String("<h1>")) &&
           lines[4].startsWith(QLatin1String("<h5>Creation stamp: "));
}

bool isHtml(const QStringList& lines) {
    for (const QString& line : lines) {
        if (isBlank(line))
            continue;
        const QString head = line.trimmed();
        return head.startsWith(QLatin1String("<!DOCTYPE html"), Qt::CaseInsensitive) ||
               head.startsWith(QLatin1String("<html"), Qt::CaseInsensitive);
    }
    return false;
}

QStringList entriesOfOurPage(const QStringList& lines) {
    static const QRegularExpression link(QStringLiteral("^<p><a href=\"([^\"]*)\">.*</a></p>$"));
    static const QRegularExpression paragraph(QStringLiteral("^<p>(.*)</p>$"));
    QStringList out;
    for (qsizetype i = 5; i < lines.size() && lines[i] != QLatin1String("</body>"); ++i) {
        QRegularExpressionMatch m = link.match(lines[i]);
        if (!m.hasMatch())
            m = paragraph.match(lines[i]);
        if (!m.hasMatch())
            continue;
        const QString entry = decodeEntities(m.capturedView(1));
        if (!isBlank(entry))
            out.append(entry);
    }
    return out;
}

QStringList linksOfPage(const QStringList& lines) {
    static const QRegularExpression anchor(
        QStringLiteral("<a\\s[^>]*?\\bhref\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = lines.join(QLatin1Char('\n'));
    QStringList out;
    for (auto it = anchor.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QStringView raw = !m.capturedView(1).isNull()   ? m.capturedView(1)
                                : !m.capturedView(2).isNull() ? m.capturedView(2)
                                                              : m.capturedView(3);
        const QString href = decodeEntities(raw).trimmed();
        // Relative addresses have no page address to resolve against here; scripts and mail are no web pages.
        if (isLinkableAddress(href))
            out.append(href);
    }
    return out;
}

} // namespace

QStringList addressesFromLines(const QStringList& lines) {
    if (isOurPage(lines))
        return entriesOfOurPage(lines);
    if (isHtml(lines))
        return linksOfPage(lines);
    QStringList out;
    out.reserve(lines.size());
    for (const QString& line : lines)
        if (!isBlank(line))
            out.append(line);
    return out;
}

bool looksLikeFileName(const QString& argument) {
    if (argument.contains(QLatin1String("://")))
        return false;
    for (const char* start : {"/", "./", "../", "~/"})
        if (argument.startsWith(QLatin1String(start)))
            return true;
    // "example.com/page.html" is an address; a bare "links.html" is no host name anyone has.
    if (argument.contains(QLatin1Char('/')))
        return false;
    for (const char* ext : {".list", ".txt", ".html", ".htm"})
        if (argument.endsWith(QLatin1String(ext), Qt::CaseInsensitive))
            return true;
    return false;
}

InputAddresses collectAddresses(const QStringList& inputs,
                                const std::function<FileBytes()>& readStandardInput) {
    InputAddresses result;
    bool stdinRead = false;
    for (const QString& input : inputs) {
        if (input == QLatin1String("-")) {
            if (stdinRead)
                continue; // it has been read to its end already
            stdinRead = true;
            const FileBytes bytes = readStandardInput();
            if (!bytes.ok) {
                result.error = QStringLiteral("cannot read standard input: %1").arg(bytes.error.description);
                return result;
            }
            result.addresses += addressesFromLines(splitLines(decodeText(bytes.bytes).text));
            continue;
        }
        const QFileInfo info(input);
        if (info.exists() || info.isSymLink()) {
            const ListFileContent content = ReadListFile(input);
            if (!content.ok) {
                result.error = QStringLiteral("cannot read %1: %2").arg(input, content.error.description);
                return result;
            }
            result.addresses += addressesFromLines(content.lines);
            result.encoding = content.encoding;
            continue;
        }
        if (looksLikeFileName(input)) {
            result.error = QStringLiteral("cannot read %1: no such file").arg(input);
            return result;
        }
        result.addresses.append(input);
    }
    result.ok = true;
    return result;
}

} // namespace clipvane::cli
