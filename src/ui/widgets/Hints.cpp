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
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
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
    auto* panel = active->findChild<QLabel*>(QStringLiteral("HintPanel"));
    if (!panel)
        return;
    panel->setText(longHintAt(under));
}

bool HintTracker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter && watched->isWidgetType()) {
        ShowHintInPanel(static_cast<QWidget*>(watched));
    } else if (event->type() == QEvent::Leave && watched->isWidgetType()) {
        // Leaving a child for its parent sends no Enter to the parent: ask what is under the mouse now.
        if (QWidget* under = QApplication::widgetAt(QCursor::pos()))
            ShowHintInPanel(under);
    }
    return false;
}

} // namespace clipvane
