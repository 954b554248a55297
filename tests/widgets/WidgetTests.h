#pragma once
// What the button tests share.

#include "OleColor.h"

#include <QColor>
#include <QImage>

// A pixel of a surface as an OleColor, so that failures print numbers.
inline OleColor PixelAt(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return MakeOleColor(c.red(), c.green(), c.blue());
}
