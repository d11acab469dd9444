#include "Hints.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace clipvane {

namespace {
constexpr char kHintProperty[] = "clipvaneHint";
}

void setHint(QWidget* widget, const QString& hint) {
    widget->setProperty(kHintProperty, hint);
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    widget->setToolTip(bar >= 0 ? hint.left(bar) : hint);
}

QString hintOf(const QWidget* widget) {
    return widget ? widget->property(kHintProperty).toString() : QString();
}

QString longHintAt(const QWidget* widget) {
    // Up to the window: a popup's or a dialog's owner window is not an enclosing control.
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        const QString hint = hintOf(w);
        if (hint.isEmpty())
            continue;
        const qsizetype bar = hint.indexOf(QLatin1Char('|'));
        const QString longHint = bar >= 0 ? hint.mid(bar + 1) : hint;
        if (!longHint.isEmpty())
            return longHint;
    }
    return {};
}

HintTracker::HintTracker(QObject* parent) : QObject(parent) {}

void HintTracker::ShowHintInPanel(const QWidget* under) {
    QWidget* active = QApplication::activeWindow();
    if (!active)
        return;
    QWidget* panel = active->findChild<QWidget*>(QStringLiteral("HintPanel"));
    if (!panel)
        return;
    // A label as a rule; any panel with a text will do.
    const QString hint = longHintAt(under);
    if (auto* label = qobject_cast<QLabel*>(panel)) {
        label->setTextFormat(Qt::PlainText);
        if (label->text() != hint)
            label->setText(hint);
    } else if (panel->property("text").isValid()) {
        panel->setProperty("text", hint);
    }
}

bool HintTracker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter && watched->isWidgetType()) {
        ShowHintInPanel(static_cast<QWidget*>(watched));
    } else if (event->type() == QEvent::Leave && watched->isWidgetType()) {
        // Leaving a child for its parent sends no Enter to the parent: ask what is under the mouse now.
        // Nothing of ours under it (the mouse left the windows): there is no hint.
        ShowHintInPanel(QApplication::widgetAt(QCursor::pos()));
    }
    return false;
}

} // namespace clipvane
