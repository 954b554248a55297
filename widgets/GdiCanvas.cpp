#include "GdiCanvas.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

QRgb ToRgb(OleColor c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

} // namespace

GdiCanvas::GdiCanvas(QImage& image)
    : image_(image)
{
}

void GdiCanvas::fillSpan(int x1, int x2, int y, QRgb rgb)
{
    if (y < 0 || y >= image_.height())
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, image_.width());
    if (x1 >= x2)
        return;
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(line + x1, line + x2, rgb);
}

void GdiCanvas::PutPixel(int x, int y, OleColor color)
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = ToRgb(color);
}

void GdiCanvas::DrawRect(int x, int y, int width, int height, OleColor color, bool frameOnly)
{
    if (width <= 0 || height <= 0)
        return;
    const QRgb rgb = ToRgb(color);
    if (!frameOnly) {
        for (int row = y; row < y + height; ++row)
            fillSpan(x, x + width, row, rgb);
        return;
    }
    fillSpan(x, x + width, y, rgb);
    fillSpan(x, x + width, y + height - 1, rgb);
    for (int row = y + 1; row < y + height - 1; ++row) {
        fillSpan(x, x + 1, row, rgb);
        fillSpan(x + width - 1, x + width, row, rgb);
    }
}

void GdiCanvas::DrawLine(int x1, int y1, int x2, int y2, OleColor color)
{
    const QRgb rgb = ToRgb(color);
    if (y1 == y2) {
        if (x1 <= x2)
            fillSpan(x1, x2, y1, rgb);
        else
            fillSpan(x2 + 1, x1 + 1, y1, rgb);
        return;
    }
    // Bresenham, stopping one step short of the end point.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        PutPixel(x, y, color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void GdiCanvas::MoveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
}

void GdiCanvas::LineTo(int x, int y, OleColor color)
{
    DrawLine(penX_, penY_, x, y, color);
    MoveTo(x, y);
}

void GdiCanvas::DrawEllipse(int x, int y, int width, int height, OleColor pen, OleColor fill)
{
    if (width <= 2 || height <= 2)
        return;
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor::fromRgb(ToRgb(pen)), 2));
    p.setBrush(QColor::fromRgb(ToRgb(fill)));
    // A 2-pixel pen centred on this outline keeps the ellipse inside its box.
    p.drawEllipse(QRectF(x + 1, y + 1, width - 2, height - 2));
}
