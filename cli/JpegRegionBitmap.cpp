// The decoded rectangle as a FreeImage bitmap, for the quick road.

#include "JpegRegionPictures.h"

namespace JpegRegion {

FIBITMAP* FillBitmap(int width, int height, const std::function<bool(const RowTarget&)>& fill)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    if (!bitmap)
        return nullptr;
    // FreeImage keeps its rows bottom up.
    const int last = height - 1;
    if (!fill([bitmap, last](int y) { return static_cast<uchar*>(FreeImage_GetScanLine(bitmap, last - y)); })) {
        FreeImage_Unload(bitmap);
        return nullptr;
    }
    return bitmap;
}

FIBITMAP* DecodeBitmap(const uchar* data, std::size_t size, const QRect& rect)
{
    return FillBitmap(rect.width(), rect.height(), [&](const RowTarget& target) {
        return DecodeRows(data, size, {rect.x(), rect.y(), rect.width(), rect.height()}, Layout::Bgr, target);
    });
}

} // namespace JpegRegion
