#pragma once
// The one place where pixels cross between FreeImage and Qt. FreeImage keeps
// rows bottom-up with the colour bytes in its own order (blue, green, red on
// little-endian machines); a QImage is top-down. Everything else converts
// through these two functions.

#include <FreeImage.h>

#include <QImage>

namespace BitmapRows {

// An opaque copy of a standard bitmap in the leanest format that keeps its
// colours: palette bitmaps (1, 4, 8 bits) as Format_Indexed8, 16 and 24 bits
// as Format_BGR888, 32 bits as Format_RGB32 (alpha is not kept). A null
// image when the bitmap is null, has no pixels, is of a non-standard type or
// the copy cannot be allocated.
QImage ToImage(FIBITMAP* bitmap);

// The picture of a bitmap the caller hands over. 8-bit palette and 24-bit
// bitmaps are turned top-down in place and shown from their own memory, so
// a scanned page is held once, not twice; the bitmap is released when the
// last copy of the picture goes. Other bitmaps are copied (as ToImage) and
// released at once. Null, with the bitmap released, on failure.
QImage AdoptImage(FIBITMAP* bitmap);

// A new 24-bit bitmap with the picture's pixels; any alpha is dropped (the
// colour is kept as it is, not darkened by it). Null for a null picture or
// when the bitmap cannot be allocated. The caller owns the result.
FIBITMAP* ToBitmap24(const QImage& picture);

} // namespace BitmapRows
