// The decoded rectangle as a picture; apart from the decoder so that the
// command line's quick road, which decodes into bitmaps, needs no Qt GUI.

#include "JpegRegionPictures.h"

namespace JpegRegion {

std::optional<QImage> Decode(const uchar* data, std::size_t size, const QRect& rect)
{
    if (rect.isEmpty())
        return std::nullopt;
    QImage region(rect.size(), QImage::Format_RGB32);
    if (region.isNull())
        return std::nullopt;
    if (!DecodeRows(data, size, {rect.x(), rect.y(), rect.width(), rect.height()}, Layout::Bgrx,
                    [&region](int y) { return region.scanLine(y); }))
        return std::nullopt;
    return region;
}

} // namespace JpegRegion
