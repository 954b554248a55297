#include "CaptureWindow.h"

#include <QPainter>

CaptureWindow::CaptureWindow(QWidget* parent)
    : QWidget(parent)
{
    // Every pixel is painted each time: nothing of the parent shows through.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CaptureWindow::setFrame(const QImage& frame)
{
    frame_ = frame;
    update();
}

void CaptureWindow::setScale(bool on)
{
    if (scale_ == on)
        return;
    scale_ = on;
    update();
}

void CaptureWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (frame_.isNull())
        return;
    if (scale_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), frame_);
    } else {
        painter.drawImage(QPoint(0, 0), frame_);
    }
}
