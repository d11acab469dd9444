#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace clipvane {

QStringList qtNameFilters(const QString& filters) {
    QStringList out;
    for (const FilterEntry& f : parseFilters(filters)) {
        QString pattern = f.pattern;
        pattern.replace(QLatin1String("*.*"), QLatin1String("*"));
        // The dialog hides the trailing "(patterns)" it filters by, so the label shows exactly as written,
        // its own parentheses included.
        out.append(f.label + QStringLiteral(" (") + pattern.replace(QLatin1Char(';'), QLatin1Char(' ')) +
                   QLatin1Char(')'));
    }
    return out;
}

QString filterExtension(const QString& pattern, const QString& otherwise) {
    const QString p = pattern.trimmed();
    if (p == QLatin1String("*") || p == QLatin1String("*.*"))
        return {};
    static const QRegularExpression oneExtension(QStringLiteral("^\\*\\.([^*?\\[\\];. ]+)$"));
    const QRegularExpressionMatch m = oneExtension.match(p);
    return m.hasMatch() ? m.captured(1) : otherwise;
}

Answer QtDialogs::message(MessageKind kind, const QString& text, Buttons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationDisplayName());
    // Texts carry copied and read data: never rich text, never a live link.
    box.setTextFormat(Qt::PlainText);
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

// A typed name without extension gets the extension of the filter chosen when the dialog is confirmed;
// "Any file" adds none.
class FilterSuffixDialog final : public QFileDialog {
public:
    FilterSuffixDialog(QWidget* parent, const FileDialogRequest& request)
        : QFileDialog(parent, request.title, request.initialFolder), m_filters(parseFilters(request.filters)),
          m_defaultExtension(request.defaultExtension) {}

    // The index of the filter selected, -1 for none. With the details hidden the dialog answers the label.
    qsizetype chosenFilter() const {
        const QString selected = selectedNameFilter();
        const qsizetype whole = nameFilters().indexOf(selected);
        if (whole >= 0)
            return whole;
        for (qsizetype i = 0; i < m_filters.size(); ++i)
            if (m_filters[i].label.simplified() == selected)
                return i;
        return -1;
    }

    void accept() override {
        const qsizetype chosen = chosenFilter();
        setDefaultSuffix(chosen >= 0 && chosen < m_filters.size()
                             ? filterExtension(m_filters[chosen].pattern, m_defaultExtension)
                             : m_defaultExtension);
        QFileDialog::accept();
    }

private:
    QList<FilterEntry> m_filters;
    QString m_defaultExtension;
};

FileDialogResult runFileDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    FilterSuffixDialog dialog(QApplication::activeWindow(), request);
    // The platform's own dialogs rewrite the filter labels; ours show them as written.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = qtNameFilters(request.filters);
    dialog.setNameFilters(filters);
    if (request.initialFilter >= 1 && request.initialFilter <= filters.size())
        dialog.selectNameFilter(filters[request.initialFilter - 1]);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (!request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {true, dialog.selectedFiles().constFirst(), int(dialog.chosenFilter()) + 1};
}

} // namespace

FileDialogResult QtDialogs::openFile(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

FileDialogResult QtDialogs::saveFile(const FileDialogRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

} // namespace clipvane
