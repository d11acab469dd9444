#pragma once
#include "core/Dialogs.h"
#include "core/ListFile.h"
#include "core/TextCodec.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace clipvane {

class CheckListModel;

// ---- Formats

enum class ListFormat { Plain, HtmlLink, HtmlText };

inline constexpr char kSaveListFilters[] =
    "Any file (*.*)|*.*|HTML (*.html)|*.html|HTML - URL are plain text (*.HTML)|*.html|Text file "
    "(*.txt)|*.txt|URL list (*.list)|*.list";
inline constexpr char kOpenListFilters[] =
    "Any file (*.*)|*.*|HTML file (*.html)|*.html|Text file (*.txt)|*.txt|URL list (*.list)|*.list";
inline constexpr char kBrowserOpenListFilters[] =
    "Any file (*.*)|*.*|Text file (*.txt)|*.txt|URL list (*.list)|*.list";
inline constexpr char kBrowserListName[] = "Web List";

// The save dialog's filter decides the format, whatever the name's extension.
ListFormat formatForFilter(int filter);

// The file's name without its folder and without its extension (from the last dot).
QString htmlTitleFor(const QString& path);

// &, <, >, " and ' as entities; line breaks too, so that a page read back stays one entry per line.
QString escapeHtml(const QString& text);
// Whether a link page makes a live link of the entry: http, https and ftp addresses only; any other
// entry is written as text on its line.
bool isLinkableAddress(const QString& entry);

struct CreationStamp {
    QString date; // the locale's short date
    QString time; // the locale's long time
};
CreationStamp creationStampNow();

// The page of links or of paragraphs: lines joined by CR LF, no break after the last.
QString buildHtmlPage(const QStringList& entries, ListFormat format, const QString& title,
                      const CreationStamp& stamp);

// ---- Dialogs, as the windows preset them

FileDialogRequest saveListAsDialog(const QString& folder, const QString& name);
FileDialogRequest openListDialog(const QString& folder, const QString& name);
FileDialogRequest browserSaveListAsDialog(const QString& folder);
FileDialogRequest browserOpenListDialog(const QString& folder);

// ---- Questions and texts

inline constexpr char kOpenAppendQuestion[] =
    "The Url list is not empty. Do you want to append the saved list to the present one?\r\nYes    = append "
    "the saved list to the current list (no duplicate)\r\nNo     = overwrite the current list with the "
    "selected saved list";
inline constexpr char kReloadAppendQuestion[] =
    "The Url list is not empty. Do you want to append the saved list to the present one?\r\nYes    = append "
    "the saved list to the current list (no duplicate)\r\nNo     = overwrite the current list with the saved "
    "list";
inline constexpr char kSaveEmptyQuestion[] = "The URL list is empty. Do you want to save this empty list?";
inline constexpr char kReloadMissingSuffix[] =
    " does not exists anymore. Reloading saved list is not possible.";

// ---- Commands

// What a list window does around its file commands. The browser window leaves the status, the reload
// button and the refresh alone.
class ListFileWindow {
public:
    virtual ~ListFileWindow() = default;
    // The validation step before a save; false when it cancelled the save.
    virtual bool validateBeforeSave() = 0;
    virtual void RaiseLastError(const OsError& error) = 0;
    virtual void setListStatus(const QString&) {}
    virtual void setReloadEnabled(bool) {}
    virtual void refreshListCommands() {}
};

// The file side of one list window: its list, the encodings that its list and its page buffer remember,
// and its two dialogs (which remember the last folder, name and filter chosen). Save as and open are the
// same for both list windows.
class ListDocument {
public:
    using StampClock = std::function<CreationStamp()>;

    // listModified and htmlTitle are the window's own state (shared state for the main window).
    ListDocument(CheckListModel& list, Dialogs& dialogs, ListFileWindow& window, bool& listModified,
                 QString& htmlTitle);
    virtual ~ListDocument() = default;

    FileDialogRequest saveDialog;
    FileDialogRequest openDialog;
    StampClock stampClock = creationStampNow;

    TextEncoding listEncoding() const { return m_listEncoding; }
    TextEncoding pageEncoding() const { return m_pageEncoding; }

    // Replaces the entries by the file's lines (in file order) and remembers its encoding. The list is
    // untouched when the read fails.
    ListFileContent replaceFromFile(const QString& path);
    // Reads through the page buffer (which remembers the encoding) and appends every line.
    ListFileContent appendFromFile(const QString& path);
    // The list in the plain format, in the encoding the list remembers.
    WriteResult writePlain(const QString& path) const;
    // Builds the page for save-dialog filter 2 or 3 and writes it; other filters build nothing.
    WriteResult URLSaveToHTML(const QString& path, int filter);

    void saveAs();
    void open();

protected:
    virtual void afterPlainSaveAs() {}
    void replaceWithDialog();

    CheckListModel& m_list;
    Dialogs& m_dialogs;
    ListFileWindow& m_window;
    bool& m_listModified;
    QString& m_htmlTitle;
    TextEncoding m_listEncoding = TextEncoding::Ansi;
    TextEncoding m_pageEncoding = TextEncoding::Ansi;
};

// The main window's list files: the default list file, reload and drops on top of save as and open.
class MainListFiles : public ListDocument {
public:
    MainListFiles(CheckListModel& list, Dialogs& dialogs, ListFileWindow& window, bool& listModified,
                  QString& htmlTitle, const QString& defaultListPath);

    // Start-up: both dialogs start in the default list's folder with its name.
    void presetDialogs();

    void save();
    void reload();
    // Files dropped on the window, in the order given.
    void AcceptFiles(const QStringList& paths);
    // The exit command's write: plain format, no validation, no status.
    bool writeDefaultList();

private:
    void afterPlainSaveAs() override;
    void writeEmptyList(bool errorOnFailure);
    bool replaceFromDefault();
    void reloadMissing();

    const QString& m_defaultPath;
};

} // namespace clipvane
