#include "PictureBox.h"

#include <QPainter>
#include <QStyle>

namespace clipvane {

PictureBox::PictureBox(QIcon picture, QSize proportions, QWidget* parent)
    : QWidget(parent), m_picture(std::move(picture)), m_proportions(proportions) {}

void PictureBox::paintEvent(QPaintEvent*) {
    const QSize fitted = m_proportions.scaled(contentsRect().size(), Qt::KeepAspectRatio);
    if (fitted.isEmpty())
        return;
    QPainter painter(this);
    const QRect target = QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, fitted, contentsRect());
    m_picture.paint(&painter, target, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

} // namespace clipvane
