#pragma once
// Drawing primitives with the pixel rules the button's line recipes are
// written for: a line paints its start point but not its end point, a framed
// rectangle is a 1-pixel border inside its box, a filled one covers
// x .. x + width - 1. Everything is clipped to the image.

#include "OleColor.h"

#include <QImage>

class GdiCanvas {
public:
    explicit GdiCanvas(QImage& image); // Format_RGB32 or Format_ARGB32

    QImage& image() { return image_; }

    void DrawRect(int x, int y, int width, int height, OleColor color, bool frameOnly);
    void DrawLine(int x1, int y1, int x2, int y2, OleColor color);
    void PutPixel(int x, int y, OleColor color);
    // An ellipse in the box x, y, width, height with a 2-pixel outline.
    void DrawEllipse(int x, int y, int width, int height, OleColor pen, OleColor fill);

    // Pen position for connected lines: LineTo paints from the current
    // position up to, not including, the new one, then moves there.
    void MoveTo(int x, int y);
    void LineTo(int x, int y, OleColor color);

private:
    void fillSpan(int x1, int x2, int y, QRgb rgb); // x1 .. x2 - 1

    QImage& image_;
    int penX_ = 0;
    int penY_ = 0;
};
