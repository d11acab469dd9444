#include "HistoryCommands.h"

#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "core/ListFile.h"
#include "history/HistoryFile.h"
#include "history/HistoryTools.h"

#include <QDir>
#include <QFileInfo>

namespace clipvane {

namespace {

const QString kCsvFilter = QStringLiteral("Comma Separated Value file (*.csv)|*.csv");

} // namespace

QString folderForMessage(const QString& folder) {
    QString out = QDir::toNativeSeparators(folder);
    if (!out.endsWith(QDir::separator()))
        out += QDir::separator();
    return out;
}

HistoryFileCommands::HistoryFileCommands(HistoryTable& table, Dialogs& dialogs, AppPaths paths,
                                         std::function<void()> yield)
    : m_table(table), m_dialogs(dialogs), m_paths(std::move(paths)), m_yield(std::move(yield)),
      m_dialogFolder(m_paths.applicationFolder()) {}

void HistoryFileCommands::setReloadEnabled(bool enabled) {
    if (m_reloadEnabled == enabled)
        return;
    m_reloadEnabled = enabled;
    if (reloadEnabledChanged)
        reloadEnabledChanged(enabled);
}

void HistoryFileCommands::CheckButton() {
    setReloadEnabled(QFileInfo::exists(historyPath()));
}

HistoryFileCommands::Load HistoryFileCommands::load(const QString& path, int mode) {
    const HistoryLoadResult r = LoadHistoryFile(m_table, path, LoadMode(mode), m_yield);
    if (r.notText) {
        m_dialogs.message(MessageKind::Error,
                          QDir::toNativeSeparators(path) +
                              QStringLiteral("\r\nis not a text file. Nothing was loaded."),
                          Buttons::Ok);
        return Load::Failed;
    }
    if (!r.ok) {
        RaiseLastError(m_dialogs, r.error);
        return Load::Failed;
    }
    return Load::Done;
}

bool HistoryFileCommands::write(const QString& path, const QString& folderInMessage) {
    const WriteResult r = WriteHistoryFile(m_table, path, m_yield);
    if (!r.ok) {
        m_dialogs.message(MessageKind::Error,
                          QString::fromLatin1(kCannotSaveHistory) + QStringLiteral("\r\n") +
                              folderForMessage(folderInMessage),
                          Buttons::Ok);
        return false;
    }
    return true;
}

bool HistoryFileCommands::startUp(bool loadAtStartup) {
    bool loaded = false;
    if (loadAtStartup && QFileInfo::exists(historyPath())) {
        // Captures made while the windows were being created stay behind the file's rows.
        loaded = load(historyPath(), int(LoadMode::ReplaceKeepRows)) == Load::Done;
        m_defaultFileUnread = !loaded;
        m_tableHoldsFile = loaded;
    }
    m_dialogFolder = m_paths.applicationFolder();
    CheckButton();
    m_table.EnsureBlankLastRow();
    return loaded;
}

bool HistoryFileCommands::cyNewListClick() {
    if (m_table.hasEntries()) {
        const Answer a = m_dialogs.message(MessageKind::Warning, QString::fromLatin1(kSaveBeforeNewQuestion),
                                           Buttons::YesNoAbort);
        if (a != Answer::Yes && a != Answer::No)
            return false;
        // A failed save keeps the table: emptying it then would lose what could not be saved.
        if (a == Answer::Yes && !cySaveHistoryClick())
            return false;
    }
    m_table.ResetHistoryTable();
    return true;
}

bool HistoryFileCommands::cySaveHistoryClick() {
    if (!m_table.hasEntries() &&
        m_dialogs.message(MessageKind::Information, QString::fromLatin1(kSaveEmptyHistoryQuestion),
                          Buttons::YesNo) != Answer::Yes)
        return false;
    if (!write(historyPath(), m_paths.applicationFolder()))
        return false;
    m_defaultFileUnread = false;
    m_tableHoldsFile = true;
    m_dialogs.message(MessageKind::Information,
                      QString::fromLatin1(kHistorySavedTo) + QStringLiteral("\r\n") +
                          folderForMessage(m_paths.applicationFolder()),
                      Buttons::Ok);
    setReloadEnabled(true);
    return true;
}

void HistoryFileCommands::cySaveHistoryAsClick() {
    if (!m_table.hasEntries()) {
        m_dialogs.message(MessageKind::Information, QString::fromLatin1(kNothingToSave), Buttons::Abort);
        return;
    }
    FileDialogRequest request;
    request.filters = kCsvFilter;
    request.defaultExtension = QStringLiteral("csv");
    request.initialName = QStringLiteral("Capture History");
    request.initialFolder = m_dialogFolder;
    const FileDialogResult chosen = m_dialogs.saveFile(request);
    if (!chosen.accepted || chosen.path.isEmpty())
        return;
    write(chosen.path, QFileInfo(chosen.path).absolutePath());
}

bool HistoryFileCommands::cyReloadHistoryClick() {
    if (!QFileInfo::exists(historyPath())) {
        m_dialogs.message(MessageKind::Warning,
                          QString::fromLatin1(kHistoryFileName) + QString::fromLatin1(kDoesNotExistAnymore),
                          Buttons::Ok);
        return false;
    }
    if (load(historyPath(), int(LoadMode::Replace)) != Load::Done)
        return false;
    m_defaultFileUnread = false;
    m_tableHoldsFile = true;
    m_table.EnsureBlankLastRow();
    return true;
}

bool HistoryFileCommands::cyLoadHistoryClick() {
    FileDialogRequest request;
    request.filters = kCsvFilter;
    request.defaultExtension = QStringLiteral("csv");
    request.initialName = QStringLiteral("Capture History");
    request.initialFolder = m_dialogFolder;
    const FileDialogResult chosen = m_dialogs.openFile(request);
    bool loaded = false;
    if (chosen.accepted && !chosen.path.isEmpty()) {
        LoadMode mode = LoadMode::Replace;
        if (m_table.hasEntries()) {
            const Answer a = m_dialogs.message(
                MessageKind::Information, QString::fromLatin1(kAppendHistoryQuestion), Buttons::YesNoAbort);
            if (a != Answer::Yes && a != Answer::No)
                return false;
            mode = a == Answer::Yes ? LoadMode::Append : LoadMode::Replace;
        }
        if (load(chosen.path, int(mode)) != Load::Done)
            return false;
        loaded = true;
    }
    m_table.EnsureBlankLastRow();
    return loaded;
}

void HistoryFileCommands::cyURLSaveClick() {
    if (!m_table.hasEntries()) {
        m_dialogs.message(MessageKind::Information, QString::fromLatin1(kNothingToSave), Buttons::Abort);
        return;
    }
    const QStringList lines = historyUrlLines(m_table);
    FileDialogRequest request;
    request.filters = QStringLiteral("URL list (*.list)|*.list");
    request.defaultExtension = QStringLiteral("list");
    request.initialName = QStringLiteral("Capture History - URL List");
    request.initialFolder = m_paths.applicationFolder();
    const FileDialogResult chosen = m_dialogs.saveFile(request);
    if (!chosen.accepted || chosen.path.isEmpty())
        return;
    const WriteResult r = WriteListFile(chosen.path, lines, TextEncoding::Ansi);
    if (!r.ok)
        RaiseLastError(m_dialogs, r.error);
}

QString HistoryFileCommands::SaveHistory() {
    const QString path = historyPath();
    const auto kept = [&](const char* why) -> QString {
        m_defaultFileUnread = m_keptSaid = true;
        return QDir::toNativeSeparators(path) + QStringLiteral("\r\n") + QString::fromLatin1(why);
    };
    if (m_defaultFileUnread)
        return m_keptSaid ? QString() : kept(kHistoryKeptAtExit);
    QList<PackedEntry> rows = m_table.packedSnapshot();
    qsizetype appended = -1;
    if (!m_tableHoldsFile && QFileInfo::exists(path)) {
        const HistoryFileContent file = ReadHistoryFile(path, m_yield);
        if (!file.ok || file.notText)
            return kept(kHistoryUnreadAtExit);
        // Rows this session added before (a second save on the way out) are replaced, not added twice.
        QList<PackedEntry> earlier = file.rows;
        while (earlier.size() > 1 && earlier.back().isBlank())
            earlier.removeLast();
        if (m_appendedEntries > 0 && earlier.size() > m_appendedEntries)
            earlier.resize(earlier.size() - m_appendedEntries);
        rows = appendedHistoryRows(earlier, rows);
        appended = earlier.isEmpty() ? -1 : rows.size() - earlier.size() - 1;
    }
    const WriteResult r = writeFileAtomically(path, encodeHistoryFile(rows, m_yield));
    if (!r.ok)
        return QString::fromLatin1(kCannotSaveHistory) + QStringLiteral("\r\n") +
               folderForMessage(m_paths.applicationFolder());
    if (appended >= 0)
        m_appendedEntries = appended;
    else
        m_tableHoldsFile = true; // the file holds this table's rows now: a later save replaces them
    return {};
}

} // namespace clipvane
