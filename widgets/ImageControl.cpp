#include "ImageControl.h"

#include <QMouseEvent>
#include <QPainter>

ImageControl::ImageControl(QWidget* parent)
    : QWidget(parent)
{
}

void ImageControl::setPicture(const QImage& picture)
{
    picture_ = picture;
    if (!stretch_)
        takeNaturalSize();
    update();
}

void ImageControl::clearPicture()
{
    picture_ = QImage();
    update();
}

void ImageControl::setStretch(bool on)
{
    stretch_ = on;
    if (!stretch_)
        takeNaturalSize();
    update();
}

void ImageControl::takeNaturalSize()
{
    if (!picture_.isNull())
        resize(picture_.size());
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), picture_);
    } else {
        painter.drawImage(0, 0, picture_);
    }
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    // Taken here, so a click on the control never reaches the window below.
    event->accept();
    pressed_ = event->button() == Qt::LeftButton;
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool click = pressed_ && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}
