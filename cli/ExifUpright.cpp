// Turning a stored crop upright; apart from the orientation arithmetic so
// that the command line's fast path, which works on bitmaps, needs no Qt GUI.

#include "ExifOrientation.h"

namespace ExifOrientation {

namespace {

struct Pixel24 {
    uchar bytes[3];
};

template <typename Pixel>
QImage Turned(const QImage& stored, int orientation)
{
    const QSize size = UprightSize(stored.size(), orientation);
    QImage upright(size, stored.format());
    if (upright.isNull())
        return upright;
    upright.setColorTable(stored.colorTable());
    for (int y = 0; y < size.height(); ++y) {
        auto* dst = reinterpret_cast<Pixel*>(upright.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const QPoint from = StoredPoint(x, y, stored.size(), orientation);
            dst[x] = reinterpret_cast<const Pixel*>(stored.constScanLine(from.y()))[from.x()];
        }
    }
    return upright;
}

} // namespace

QImage Upright(const QImage& stored, int orientation)
{
    if (orientation < 2 || orientation > 8 || stored.isNull())
        return stored;
    switch (stored.depth()) {
    case 8: return Turned<quint8>(stored, orientation);
    case 24: return Turned<Pixel24>(stored, orientation);
    case 32: return Turned<quint32>(stored, orientation);
    default: return {};
    }
}

} // namespace ExifOrientation
