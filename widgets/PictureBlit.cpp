#include "PictureBlit.h"

#include "Numbers.h"

#include <algorithm>

int GreyLevel(int red, int green, int blue)
{
    const double redPart = static_cast<double>(Numbers::RoundHalfEven(0.3 * red));
    return static_cast<int>(Numbers::RoundHalfEven(0.59 * green + redPart + 0.11 * blue));
}

void BlitPicture(QImage& destination, int x, int y, int width, int height, const QImage& bitmap,
                 const BlitOptions& o)
{
    if (bitmap.isNull())
        return;
    if (width < 0)
        width = bitmap.width();
    if (height < 0)
        height = bitmap.height();
    width = std::min(width, bitmap.width());
    height = std::min(height, bitmap.height());
    const QImage source = bitmap.format() == QImage::Format_RGB32 ? bitmap
                                                                   : bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb mask = qRgb(o.maskRgb & 0xFF, (o.maskRgb >> 8) & 0xFF, (o.maskRgb >> 16) & 0xFF) & 0xFFFFFF;
    const QRgb solid = o.silhouette
        ? qRgb(*o.silhouette & 0xFF, (*o.silhouette >> 8) & 0xFF, (*o.silhouette >> 16) & 0xFF)
        : 0;

    const int x0 = std::max(0, -x);
    const int y0 = std::max(0, -y);
    const int x1 = std::min(width, destination.width() - x);
    const int y1 = std::min(height, destination.height() - y);
    for (int row = y0; row < y1; ++row) {
        const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        auto* dst = reinterpret_cast<QRgb*>(destination.scanLine(y + row)) + x;
        for (int col = x0; col < x1; ++col) {
            const QRgb p = src[col] & 0xFFFFFF;
            if (o.useMaskColor && p == mask)
                continue;
            const int r = qRed(p);
            const int g = qGreen(p);
            const int b = qBlue(p);
            if (o.silhouette) {
                if (!o.darkOnly || r + g + b <= 384)
                    dst[col] = solid;
            } else if (o.greyscale) {
                const int grey = GreyLevel(r, g, b);
                dst[col] = qRgb(grey, grey, grey);
            } else if (o.blend) {
                const QRgb d = dst[col];
                dst[col] = qRgb((2 * r + qRed(d)) / 3, (2 * g + qGreen(d)) / 3, (2 * b + qBlue(d)) / 3);
            } else {
                dst[col] = p | 0xFF000000u;
            }
        }
    }
}
