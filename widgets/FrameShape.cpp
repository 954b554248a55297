#include "FrameShape.h"

#include <QPainter>

FrameShape::FrameShape(QWidget* parent, QColor color)
    : QWidget(parent)
    , color_(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FrameShape::setColor(QColor color)
{
    color_ = color;
    update();
}

void FrameShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(color_);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}
