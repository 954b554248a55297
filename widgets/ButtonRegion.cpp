#include "ButtonRegion.h"

namespace {

QRegion WithoutPixels(QRegion region, std::initializer_list<QPoint> pixels)
{
    for (const QPoint& p : pixels)
        region -= QRegion(p.x(), p.y(), 1, 1);
    return region;
}

} // namespace

QRegion MakeRegion(int buttonType, int W, int H)
{
    const QRegion full(0, 0, W, H);
    if (W <= 0 || H <= 0)
        return full;
    const int r = W - 1;
    const int b = H - 1;
    switch (buttonType) {
    case 1:
    case 14:
        return WithoutPixels(full, {{0, 0}, {r, 0}, {0, b}, {r, b}});
    case 5:
        return WithoutPixels(full, {{0, b}, {r, 0}});
    case 3:
    case 4:
        return WithoutPixels(full, {{0, 0}, {1, 0}, {0, 1},
                                    {r, 0}, {r - 1, 0}, {r, 1},
                                    {0, b}, {1, b}, {0, b - 1},
                                    {r, b}, {r - 1, b}, {r, b - 1}});
    case 13:
        return QRegion(0, 0, W, H, QRegion::Ellipse);
    default:
        return full;
    }
}
