// The decoded rectangle as a FreeImage bitmap, for the quick road.

#include "JpegRegionPictures.h"

namespace JpegRegion {

FIBITMAP* DecodeBitmap(const uchar* data, std::size_t size, const QRect& rect)
{
    if (rect.isEmpty())
        return nullptr;
    FIBITMAP* bitmap = FreeImage_Allocate(rect.width(), rect.height(), 24);
    if (!bitmap)
        return nullptr;
    // FreeImage keeps its rows bottom up.
    const int last = rect.height() - 1;
    if (!DecodeRows(data, size, {rect.x(), rect.y(), rect.width(), rect.height()}, Layout::Bgr,
                    [bitmap, last](int y) { return static_cast<uchar*>(FreeImage_GetScanLine(bitmap, last - y)); })) {
        FreeImage_Unload(bitmap);
        return nullptr;
    }
    return bitmap;
}

} // namespace JpegRegion
