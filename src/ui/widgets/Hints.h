#pragma once
#include <QObject>
#include <QString>

class QWidget;

namespace clipvane {

// Hints are written "short|long": the short part (when not empty) is the tooltip, the long part is
// shown in the active window's HintPanel.
void setHint(QWidget* widget, const QString& hint);
QString hintOf(const QWidget* widget); // the whole hint text as set
// The long hint of the widget or of its nearest enclosing control (within its window) that has one.
QString longHintAt(const QWidget* widget);

// ShowHintInPanel: follows the mouse over every window and shows the long hint under it in the
// active window's HintPanel (a QLabel of that name). Windows without one, and the moments when no
// window is active, are left alone. Installed once on the application.
class HintTracker : public QObject {
    Q_OBJECT
public:
    explicit HintTracker(QObject* parent = nullptr);
    bool eventFilter(QObject* watched, QEvent* event) override;
    static void ShowHintInPanel(const QWidget* under);
};

} // namespace clipvane
