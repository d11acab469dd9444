#include "ListFiles.h"

#include "core/CheckListModel.h"
#include "core/Dialogs.h"
#include "core/SortUnique.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTime>

namespace clipvane {

// ---- Formats

ListFormat formatForFilter(int filter) {
    switch (filter) {
    case 2:
        return ListFormat::HtmlLink;
    case 3:
        return ListFormat::HtmlText;
    default:
        return ListFormat::Plain;
    }
}

QString htmlTitleFor(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString escapeHtml(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\'':
            out += QLatin1String("&#39;");
            break;
        case u'\r':
            out += QLatin1String("&#13;");
            break;
        case u'\n':
            out += QLatin1String("&#10;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

CreationStamp creationStampNow() {
    const QLocale locale;
    // Date and time are read from the clock separately.
    const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    const QString time = locale.toString(QTime::currentTime(), QLocale::LongFormat);
    return {date, time};
}

bool isLinkableAddress(const QString& entry) {
    // A page opened in a browser must not run or open what was copied: only web addresses become links
    // (a relative address would point into the page's own folder).
    for (const char* scheme : {"http://", "https://", "ftp://"})
        if (entry.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    return false;
}

QString buildHtmlPage(const QStringList& entries, ListFormat format, const QString& title,
                      const CreationStamp& stamp) {
    QStringList lines;
    lines.reserve(entries.size() + 7);
    lines << QStringLiteral("<!DOCTYPE html>") << QStringLiteral("<html>") << QStringLiteral("<body>")
          << QStringLiteral("<h1>") + escapeHtml(title) + QStringLiteral("</h1>")
          << QStringLiteral("<h5>Creation stamp: ") + escapeHtml(stamp.date) + QLatin1Char(' ') +
                 escapeHtml(stamp.time) + QStringLiteral("</h5>");
    for (const QString& e : entries) {
        const QString text = escapeHtml(e);
        if (format == ListFormat::HtmlLink && isLinkableAddress(e))
            lines << QStringLiteral("<p><a href=\"") + text + QStringLiteral("\">") + text +
                         QStringLiteral("</a></p>");
        else
            lines << QStringLiteral("<p>") + text + QStringLiteral("</p>");
    }
    lines << QStringLiteral("</body>") << QStringLiteral("</html>");
    return lines.join(QStringLiteral("\r\n"));
}

// ---- Dialogs

FileDialogRequest saveListAsDialog(const QString& folder, const QString& name) {
    FileDialogRequest r;
    r.filters = QString::fromLatin1(kSaveListFilters);
    r.initialFilter = 5;
    r.initialFolder = folder;
    r.initialName = name;
    r.defaultExtension = QStringLiteral("list");
    r.confirmOverwrite = true;
    return r;
}

FileDialogRequest openListDialog(const QString& folder, const QString& name) {
    FileDialogRequest r;
    r.filters = QString::fromLatin1(kOpenListFilters);
    // The stored filter number points one past the four filters: the list filter, the last one, stands in.
    r.initialFilter = 4;
    r.initialFolder = folder;
    r.initialName = name;
    r.defaultExtension = QStringLiteral("list");
    r.confirmOverwrite = false;
    return r;
}

FileDialogRequest browserSaveListAsDialog(const QString& folder) {
    FileDialogRequest r = saveListAsDialog(folder, QString::fromLatin1(kBrowserListName));
    return r;
}

FileDialogRequest browserOpenListDialog(const QString& folder) {
    FileDialogRequest r = openListDialog(folder, QString());
    r.filters = QString::fromLatin1(kBrowserOpenListFilters);
    r.initialFilter = 3;
    return r;
}

namespace {

// A dialog starts where the user last confirmed it, as a file dialog object remembers its file name.
void remember(FileDialogRequest& request, const FileDialogResult& result) {
    const QFileInfo chosen(result.path);
    request.initialFolder = chosen.absolutePath();
    request.initialName = chosen.fileName();
    if (result.filter >= 1)
        request.initialFilter = result.filter;
}

} // namespace

// ---- ListDocument

ListDocument::ListDocument(CheckListModel& list, Dialogs& dialogs, ListFileWindow& window, bool& listModified,
                           QString& htmlTitle)
    : m_list(list), m_dialogs(dialogs), m_window(window), m_listModified(listModified),
      m_htmlTitle(htmlTitle) {}

ListFileContent ListDocument::replaceFromFile(const QString& path) {
    ListFileContent content = ReadListFile(path);
    if (content.ok) {
        m_list.replaceTexts(content.lines);
        m_listEncoding = content.encoding;
        content.lines = {}; // the list holds them now
    }
    return content;
}

ListFileContent ListDocument::appendFromFile(const QString& path) {
    // The page buffer is emptied first; it remembers the encoding of what is read through it.
    ListFileContent content = ReadListFile(path);
    if (content.ok) {
        m_pageEncoding = content.encoding;
        m_list.appendTexts(content.lines);
    }
    return content;
}

WriteResult ListDocument::writePlain(const QString& path) const {
    return WriteListFile(path, m_list.entries(), m_listEncoding);
}

WriteResult ListDocument::URLSaveToHTML(const QString& path, int filter) {
    const ListFormat format = formatForFilter(filter);
    if (format == ListFormat::Plain)
        return {true, {}};
    m_htmlTitle = htmlTitleFor(path);
    const QString page = buildHtmlPage(m_list.texts(), format, m_htmlTitle, stampClock());
    return writeFileAtomically(path, encodeText(page, m_pageEncoding));
}

void ListDocument::saveAs() {
    if (!m_window.validateBeforeSave())
        return;
    const FileDialogResult chosen = m_dialogs.saveFile(saveDialog);
    if (!chosen.accepted)
        return;
    remember(saveDialog, chosen);
    if (formatForFilter(chosen.filter) != ListFormat::Plain) {
        const WriteResult written = URLSaveToHTML(chosen.path, chosen.filter);
        if (!written.ok)
            m_window.RaiseLastError(written.error);
        return;
    }
    const WriteResult written = writePlain(chosen.path);
    if (!written.ok) {
        m_window.RaiseLastError(written.error);
        return;
    }
    afterPlainSaveAs();
}

void ListDocument::replaceWithDialog() {
    const FileDialogResult chosen = m_dialogs.openFile(openDialog);
    if (!chosen.accepted)
        return;
    remember(openDialog, chosen);
    const ListFileContent read = replaceFromFile(chosen.path);
    if (!read.ok) {
        m_window.RaiseLastError(read.error);
        return;
    }
    m_listModified = false;
    m_window.setListStatus(QStringLiteral("Open"));
}

void ListDocument::open() {
    if (m_list.isEmpty()) {
        replaceWithDialog();
        m_window.refreshListCommands();
        return;
    }
    const Answer a = m_dialogs.message(MessageKind::Information, QString::fromLatin1(kOpenAppendQuestion),
                                       Buttons::YesNoAbort);
    if (a == Answer::Yes) {
        const FileDialogResult chosen = m_dialogs.openFile(openDialog);
        // A cancelled dialog leaves the list as it was (no sort, no modified mark).
        if (chosen.accepted) {
            remember(openDialog, chosen);
            const ListFileContent read = appendFromFile(chosen.path);
            if (!read.ok) {
                m_window.RaiseLastError(read.error);
            } else {
                SortUnique(m_list);
                m_listModified = true;
                m_window.setListStatus(QStringLiteral("Append"));
            }
        }
    } else if (a == Answer::No) {
        replaceWithDialog();
    }
    m_window.refreshListCommands();
}

// ---- MainListFiles

MainListFiles::MainListFiles(CheckListModel& list, Dialogs& dialogs, ListFileWindow& window,
                             bool& listModified, QString& htmlTitle, const QString& defaultListPath)
    : ListDocument(list, dialogs, window, listModified, htmlTitle), m_defaultPath(defaultListPath) {}

void MainListFiles::presetDialogs() {
    // The default list's folder is the application folder (the per-user data folder when the program's
    // own folder is not writable).
    const QFileInfo file(m_defaultPath);
    saveDialog = saveListAsDialog(file.absolutePath(), file.fileName());
    openDialog = openListDialog(file.absolutePath(), file.fileName());
}

void MainListFiles::writeEmptyList(bool errorOnFailure) {
    const WriteResult written = writePlain(m_defaultPath);
    if (written.ok) {
        m_window.setReloadEnabled(true);
        m_listModified = false;
        m_window.setListStatus(QStringLiteral("Save"));
        return;
    }
    m_window.RaiseLastError(written.error);
    if (errorOnFailure) {
        m_listModified = true;
        m_window.setListStatus(QStringLiteral("Error"));
    }
}

void MainListFiles::save() {
    if (m_list.isEmpty()) {
        // An empty list has nothing to validate: once the question is answered the command is done. A saved
        // list on disk is never replaced by an empty one without asking.
        if (!QFileInfo::exists(m_defaultPath)) {
            if (m_dialogs.message(MessageKind::Confirmation, QString::fromLatin1(kSaveEmptyQuestion),
                                  Buttons::YesNo) == Answer::Yes)
                writeEmptyList(false);
            return;
        }
        const QString question =
            m_defaultPath + QStringLiteral(" exist.\r\nOverwrite this list with this empty one?");
        if (m_dialogs.message(MessageKind::Information, question, Buttons::YesNo) == Answer::Yes)
            writeEmptyList(true);
        return;
    }
    if (!m_window.validateBeforeSave())
        return;
    const WriteResult written = writePlain(m_defaultPath);
    if (!written.ok) {
        m_window.RaiseLastError(written.error);
        return;
    }
    m_window.setReloadEnabled(true);
    m_listModified = false;
    m_window.setListStatus(QStringLiteral("Save"));
}

void MainListFiles::afterPlainSaveAs() {
    if (QFileInfo::exists(m_defaultPath))
        m_window.setReloadEnabled(true);
}

bool MainListFiles::replaceFromDefault() {
    const ListFileContent read = replaceFromFile(m_defaultPath);
    if (!read.ok) {
        m_window.RaiseLastError(read.error);
        return false;
    }
    m_listModified = false;
    m_window.setListStatus(QStringLiteral("Open"));
    m_window.refreshListCommands();
    return true;
}

void MainListFiles::reloadMissing() {
    m_dialogs.message(MessageKind::Warning,
                      QFileInfo(m_defaultPath).fileName() + QString::fromLatin1(kReloadMissingSuffix),
                      Buttons::Abort);
    m_window.setReloadEnabled(false);
}

void MainListFiles::reload() {
    if (m_listModified) {
        if (!m_list.isEmpty()) {
            const Answer a = m_dialogs.message(
                MessageKind::Information, QString::fromLatin1(kReloadAppendQuestion), Buttons::YesNoAbort);
            if (a == Answer::Yes) {
                const ListFileContent read = appendFromFile(m_defaultPath);
                if (!read.ok) {
                    m_window.RaiseLastError(read.error);
                } else {
                    m_window.setListStatus(QStringLiteral("Append"));
                    SortUnique(m_list);
                }
            } else if (a == Answer::No) {
                if (!QFileInfo::exists(m_defaultPath))
                    reloadMissing();
                else
                    replaceFromDefault();
            }
        }
        m_window.refreshListCommands();
        return;
    }
    if (!QFileInfo::exists(m_defaultPath)) {
        reloadMissing();
        m_listModified = false;
        m_window.setListStatus(QStringLiteral("Error"));
    } else {
        replaceFromDefault();
    }
    m_window.refreshListCommands();
}

void MainListFiles::AcceptFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString ext = dot < 0 ? QString() : name.mid(dot).toUpper();
        int minimumLines = 0;
        if (ext == QLatin1String(".TXT") || ext == QLatin1String(".LIST") || ext == QLatin1String(".HTML"))
            minimumLines = 1;
        else if (ext == QLatin1String(".HTM"))
            minimumLines = 4;
        else
            continue;
        // Read through the drop reader: the list's and the page buffer's encodings stay as they were.
        const ListFileContent read = ReadListFile(path);
        if (!read.ok) {
            // The rest of this drop is not read.
            m_dialogs.message(MessageKind::Error,
                              QStringLiteral("Cannot open file \"%1\". %2")
                                  .arg(QDir::toNativeSeparators(path), read.error.description),
                              Buttons::Ok);
            return;
        }
        if (read.lines.size() >= minimumLines)
            m_list.appendTexts(read.lines);
        SortUnique(m_list);
    }
}

bool MainListFiles::writeDefaultList() {
    return writePlain(m_defaultPath).ok;
}

} // namespace clipvane
