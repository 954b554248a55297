#include "ExifOrientation.h"

#include <cstring>

namespace ExifOrientation {

namespace {

constexpr WORD OrientationTag = 0x0112;

bool SwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

} // namespace

QPoint StoredPoint(int x, int y, QSize stored, int orientation)
{
    const int w = stored.width();
    const int h = stored.height();
    switch (orientation) {
    case 2: return {w - 1 - x, y};         // mirrored left to right
    case 3: return {w - 1 - x, h - 1 - y}; // upside down
    case 4: return {x, h - 1 - y};         // mirrored top to bottom
    case 5: return {y, x};                 // mirrored along the main diagonal
    case 6: return {y, h - 1 - x};         // stored a quarter turn anticlockwise
    case 7: return {w - 1 - y, h - 1 - x}; // mirrored along the other diagonal
    case 8: return {w - 1 - y, x};         // stored a quarter turn clockwise
    default: return {x, y};
    }
}

std::optional<int> Of(FIBITMAP* header)
{
    if (!header || FreeImage_GetMetadataCount(FIMD_EXIF_MAIN, header) == 0)
        return 1;
    FITAG* tag = nullptr;
    FreeImage_GetMetadata(FIMD_EXIF_MAIN, header, "Orientation", &tag);
    if (!tag || FreeImage_GetTagID(tag) != OrientationTag)
        return 1;
    const void* value = FreeImage_GetTagValue(tag);
    if (!value || FreeImage_GetTagLength(tag) < sizeof(WORD))
        return std::nullopt;
    // The loader reads the first 16 bits of the value whatever the tag's type.
    WORD orientation = 0;
    std::memcpy(&orientation, value, sizeof orientation);
    return orientation >= 1 && orientation <= 8 ? int(orientation) : 1;
}

QSize UprightSize(QSize stored, int orientation)
{
    return SwapsSides(orientation) ? stored.transposed() : stored;
}

QRect StoredRect(const QRect& upright, QSize stored, int orientation)
{
    const QPoint a = StoredPoint(upright.left(), upright.top(), stored, orientation);
    const QPoint b = StoredPoint(upright.right(), upright.bottom(), stored, orientation);
    return QRect(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())), QPoint(qMax(a.x(), b.x()), qMax(a.y(), b.y())));
}

} // namespace ExifOrientation
