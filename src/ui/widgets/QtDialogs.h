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

// "Any file (*.*)" with pattern "*.*" as a Qt name filter: "*.*" means every file, as it does on Windows.
QStringList qtNameFilters(const QString& filters);

} // namespace clipvane
