#include "QtDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QVBoxLayout>

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

namespace {

QMessageBox::StandardButtons standardButtons(Buttons buttons) {
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
    return set;
}

Answer answerOf(QMessageBox::StandardButton button) {
    switch (button) {
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

} // namespace

bool isLongMessage(const QString& text) {
    if (text.size() > kLongMessage)
        return true;
    qsizetype line = 0;
    for (QChar c : text) {
        line = c == u'\n' ? 0 : line + 1;
        if (line > kLongMessageLine)
            return true;
    }
    return false;
}

namespace {

// A text too long for a message box (a URL of megabytes): shown at once in a scrollable, selectable
// plain-text box instead of being laid out whole in a label.
QMessageBox::StandardButton longTextBox(MessageKind kind, const QString& text,
                                        QMessageBox::StandardButtons set) {
    QDialog box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("LongTextBox"));
    box.setWindowTitle(QApplication::applicationDisplayName());
    auto* layout = new QVBoxLayout(&box);
    QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
    switch (kind) {
    case MessageKind::Plain:
        break;
    case MessageKind::Information:
        icon = QStyle::SP_MessageBoxInformation;
        break;
    case MessageKind::Warning:
        icon = QStyle::SP_MessageBoxWarning;
        break;
    case MessageKind::Error:
        icon = QStyle::SP_MessageBoxCritical;
        break;
    case MessageKind::Confirmation:
        icon = QStyle::SP_MessageBoxQuestion;
        break;
    }
    if (icon != QStyle::SP_CustomBase) {
        auto* picture = new QLabel(&box);
        const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        picture->setPixmap(box.style()->standardIcon(icon, nullptr, &box).pixmap(size, size));
        layout->addWidget(picture);
    }
    auto* view = new QPlainTextEdit(&box);
    view->setObjectName(QStringLiteral("LongText"));
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view->setWordWrapMode(QTextOption::WrapAnywhere);
    view->setPlainText(text);
    layout->addWidget(view, 1);
    auto* bar = new QDialogButtonBox(QDialogButtonBox::StandardButtons(int(set)), &box);
    layout->addWidget(bar);
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    QObject::connect(bar, &QDialogButtonBox::clicked, &box, [&](QAbstractButton* b) {
        answer = QMessageBox::StandardButton(int(bar->standardButton(b)));
        box.accept();
    });
    box.resize(640, 360);
    box.exec();
    return answer;
}

} // namespace

Answer QtDialogs::message(MessageKind kind, const QString& text, Buttons buttons) {
    if (isLongMessage(text))
        return answerOf(longTextBox(kind, text, standardButtons(buttons)));
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
    box.setStandardButtons(standardButtons(buttons));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return answerOf(clicked ? box.standardButton(clicked) : QMessageBox::NoButton);
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
