#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace clipvane {

QStringList qtNameFilters(const QString& filters) {
    QStringList out;
    for (const FilterEntry& f : parseFilters(filters)) {
        QString pattern = f.pattern;
        pattern.replace(QLatin1String("*.*"), QLatin1String("*"));
        QString label = f.label;
        const qsizetype open = label.lastIndexOf(QLatin1Char('('));
        if (open >= 0)
            label.truncate(open);
        out.append(label.trimmed() + QStringLiteral(" (") +
                   pattern.replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return out;
}

Answer QtDialogs::message(MessageKind kind, const QString& text, Buttons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setTextFormat(Qt::PlainText); // messages quote addresses and file names: never markup
    box.setText(text);
    switch (kind) {
    case MessageKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case Buttons::Ok:
        set = QMessageBox::Ok;
        break;
    case Buttons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::YesCancel:
        set = QMessageBox::Yes | QMessageBox::Cancel;
        break;
    case Buttons::YesNoAbort:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Abort;
        break;
    case Buttons::Abort:
        set = QMessageBox::Abort;
        break;
    case Buttons::Cancel:
        set = QMessageBox::Cancel;
        break;
    }
    box.setStandardButtons(set);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    switch (clicked ? box.standardButton(clicked) : QMessageBox::NoButton) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Abort:
        return Answer::Abort;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Closed;
    }
}

namespace {

FileDialogResult runFileDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialFolder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = qtNameFilters(request.filters);
    dialog.setNameFilters(filters);
    if (request.initialFilter >= 1 && request.initialFilter <= filters.size())
        dialog.selectNameFilter(filters[request.initialFilter - 1]);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {true, dialog.selectedFiles().constFirst(), int(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

} // namespace

FileDialogResult QtDialogs::openFile(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

FileDialogResult QtDialogs::saveFile(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

} // namespace clipvane
