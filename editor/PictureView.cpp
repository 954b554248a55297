#include "PictureView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

int ButtonMask(Qt::MouseButtons buttons)
{
    int mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

QRegion RegionOf(const Figure& figure)
{
    QRegion region;
    for (const QRect& r : figure)
        region += r;
    return region;
}

} // namespace

Figure SelectionFigure(int left, int top, int right, int bottom)
{
    Figure figure;
    // Outline: each pixel once, so the XOR of the box is clean at the corners.
    figure << QRect(QPoint(left, top), QPoint(right, top));
    if (bottom != top)
        figure << QRect(QPoint(left, bottom), QPoint(right, bottom));
    if (bottom - top >= 2) {
        figure << QRect(QPoint(left, top + 1), QPoint(left, bottom - 1));
        if (right != left)
            figure << QRect(QPoint(right, top + 1), QPoint(right, bottom - 1));
    }
    for (int i = 1; i <= 8; ++i) {
        for (int k = 0; k < i; ++k) // the line's end point is not drawn
            figure << QRect(right - 1 - k, bottom - i + k, 1, 1);
    }
    for (int j = 1; j <= 8; ++j) {
        for (int k = 0; k < j; ++k)
            figure << QRect(left + 1 + k, top + j - k, 1, 1);
    }
    return figure;
}

PictureView::PictureView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Out of the tab order, so that the window's keyboard use stays as it
    // was; a click on the picture lets the arrow keys frame.
    setFocusPolicy(Qt::ClickFocus);
}

void PictureView::setPicture(const QImage& picture)
{
    picture_ = picture;
    figures_.clear();
    resize(picture_.size());
    update();
}

void PictureView::turnPicture()
{
    picture_ = picture_.mirrored(true, true);
    update();
}

void PictureView::toggleFigure(const Figure& figure)
{
    const qsizetype at = figures_.indexOf(figure);
    if (at >= 0)
        figures_.removeAt(at);
    else
        figures_.append(figure);
    update(RegionOf(figure));
}

void PictureView::paintArea(QPainter& painter, const QRect& area) const
{
    const QRect visible = area & picture_.rect();
    if (visible.isEmpty())
        return;
    // Only the exposed pixels are converted for drawing, never the whole page.
    painter.drawImage(visible.topLeft(), picture_.copy(visible));
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (const Figure& figure : figures_)
        for (const QRect& r : figure)
            if (r.intersects(visible))
                painter.fillRect(r & visible, pen_);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PictureView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    for (const QRect& r : event->region())
        paintArea(painter, r);
}

QImage PictureView::rendered(const QRect& area) const
{
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    paintArea(painter, area);
    return image;
}

void PictureView::mousePressEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit mouseDown(ButtonMask(event->buttons()), float(p.x()), float(p.y()));
}

void PictureView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit mouseMove(ButtonMask(event->buttons()), float(p.x()), float(p.y()));
}

void PictureView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit mouseUp(ButtonMask(event->button()), float(p.x()), float(p.y()));
}

void PictureView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        emit arrowKey(event->key(), event->modifiers());
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
