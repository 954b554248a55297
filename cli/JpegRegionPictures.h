#pragma once
// The decoded rectangle of a JPEG (JpegRegion.h) as a Qt picture or as a
// FreeImage bitmap.

#include "JpegRegion.h"

#include <FreeImage.h>

#include <QImage>
#include <QRect>

#include <optional>

namespace JpegRegion {

// The pixels of rect as a Format_RGB32 image; nothing where DecodeRows
// fails.
std::optional<QImage> Decode(const uchar* data, std::size_t size, const QRect& rect);

// The same pixels as a new 24-bit FreeImage bitmap, the caller's; null
// where DecodeRows fails.
FIBITMAP* DecodeBitmap(const uchar* data, std::size_t size, const QRect& rect);

// A new 24-bit bitmap of width x height whose rows fill writes, top row
// first, through the target it is given (Layout::Bgr); null where the
// bitmap cannot be had or fill returns false.
FIBITMAP* FillBitmap(int width, int height, const std::function<bool(const RowTarget&)>& fill);

} // namespace JpegRegion
