#pragma once
// A rectangle of a baseline or progressive JPEG decoded on its own, pixel
// for pixel as FreeImage's whole-picture load gives it, without decoding
// the rows below it or the columns beside it: the command line needs a
// small crop of a large scan in a fraction of the time a full decode takes.

#include <FreeImage.h>

#include <QImage>
#include <QRect>

#include <cstddef>
#include <functional>
#include <optional>

namespace JpegRegion {

// The pixels of rect, counted in the picture as it is stored (before any
// EXIF orientation), top row first, as a Format_RGB32 image with the
// colours of the source picture loader's picture (a grey picture's levels
// in all three channels). Nothing when an exact result cannot be promised:
// not a JPEG, CMYK or another colour space, rect outside the picture, or
// the decoder reports damage or a premature end (the whole load is then
// the one to decide what the operator is told).
std::optional<QImage> Decode(const uchar* data, std::size_t size, const QRect& rect);

// The same pixels as a new 24-bit FreeImage bitmap, the caller's; null when
// Decode would give nothing.
FIBITMAP* DecodeBitmap(const uchar* data, std::size_t size, const QRect& rect);

// How a decoded row is laid out: blue, green, red, and for Bgrx a filler.
enum class Layout { Bgrx, Bgr };
int BytesPerPixel(Layout layout);
// Where row y of rect (0 at its top) goes: width * BytesPerPixel bytes.
using RowTarget = std::function<uchar*(int y)>;
// The decoding both forms share; false where Decode gives nothing (the
// target may then hold some rows).
bool DecodeRows(const uchar* data, std::size_t size, const QRect& rect, Layout layout, const RowTarget& target);

} // namespace JpegRegion
