#include "BlinkLabel.h"

#include <QTimer>

namespace clipvane {

BlinkLabel::BlinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_timer(new QTimer(this)) {
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, [this] { setTextShown(!m_shown); });
}

void BlinkLabel::startAnimation() {
    if (!m_timer->isActive())
        m_timer->start();
}

void BlinkLabel::stopAnimation() {
    m_timer->stop();
    setTextShown(true);
}

bool BlinkLabel::isAnimating() const {
    return m_timer->isActive();
}

void BlinkLabel::setTextShown(bool shown) {
    // The text turns transparent rather than going away, so the layout does not move.
    m_shown = shown;
    QPalette p = palette();
    QColor c = parentWidget() ? parentWidget()->palette().color(QPalette::WindowText)
                              : p.color(QPalette::WindowText);
    c.setAlpha(shown ? 255 : 0);
    p.setColor(QPalette::WindowText, c);
    setPalette(p);
}

} // namespace clipvane
