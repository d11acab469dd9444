#pragma once
#include <QString>
#include <QStringList>

namespace clipvane {

enum class MessageKind { Plain, Information, Warning, Error, Confirmation };
enum class Buttons { Ok, YesNo, YesCancel, YesNoAbort, Abort, Cancel };
enum class Answer { Ok, Yes, No, Abort, Cancel, Closed };

// A file dialog as the windows describe it. Filters are written "Label|pattern|Label|pattern...";
// filter numbers count from 1.
struct FileDialogRequest {
    QString title;
    QString filters;
    int initialFilter = 1;
    QString initialFolder;
    QString initialName;
    QString defaultExtension; // "list", without dot: for a filter whose pattern names no single extension
    bool confirmOverwrite = true;
};

struct FileDialogResult {
    bool accepted = false;
    QString path;
    int filter = 0; // the filter selected when the dialog was confirmed
};

// Every modal question and file dialog of the system goes through here, so tests can script the answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer message(MessageKind kind, const QString& text, Buttons buttons) = 0;
    virtual FileDialogResult openFile(const FileDialogRequest& request) = 0;
    virtual FileDialogResult saveFile(const FileDialogRequest& request) = 0;
};

// "Any file (*.*)|*.*|HTML (*.html)|*.html" -> labels and patterns.
struct FilterEntry {
    QString label;
    QString pattern;
};
QList<FilterEntry> parseFilters(const QString& filters);

} // namespace clipvane
