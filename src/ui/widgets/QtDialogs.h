#pragma once
#include "core/Dialogs.h"

namespace clipvane {

// The dialogs service on QMessageBox and QFileDialog.
class QtDialogs final : public Dialogs {
public:
    Answer message(MessageKind kind, const QString& text, Buttons buttons) override;
    FileDialogResult openFile(const FileDialogRequest& request) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
};

// A message longer than this, or with a line longer than the second, is shown in a scrollable plain-text
// box: a label would lay out all of it, and clip it, before it shows.
inline constexpr qsizetype kLongMessage = 4000;
inline constexpr qsizetype kLongMessageLine = 300;
bool isLongMessage(const QString& text);

// The filters as Qt name filters: each label as written, then the patterns the dialog filters by ("*.*"
// means every file, as it does on Windows), which the dialog keeps out of sight.
QStringList qtNameFilters(const QString& filters);

// The extension a filter's pattern gives a typed name without one: "*.html" -> "html", "*" and "*.*" ->
// none, a pattern naming no single extension -> `otherwise`.
QString filterExtension(const QString& pattern, const QString& otherwise);

} // namespace clipvane
