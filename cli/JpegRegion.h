#pragma once
// A rectangle of a baseline or progressive JPEG decoded on its own, pixel
// for pixel as FreeImage's whole-picture load gives it, without decoding
// the rows below it or the columns beside it: the command line needs a
// small crop of a large scan in a fraction of the time a full decode takes.
// Plain C++ over libjpeg, so that the command line's launcher can decode
// before any other library is loaded; JpegRegionPictures.h gives the
// decoded rectangle as a picture or a bitmap.

#include <cstddef>
#include <functional>

namespace JpegRegion {

// Picture pixels, counted in the picture as it is stored (before any EXIF
// orientation).
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// How a decoded row is laid out: blue, green, red, and for Bgrx a filler.
enum class Layout { Bgrx, Bgr };
int BytesPerPixel(Layout layout);
// Where row y of rect (0 at its top) goes: width * BytesPerPixel bytes.
using RowTarget = std::function<unsigned char*(int y)>;

// Decodes rect top row first with the colours of the source picture
// loader's picture (a grey picture's levels in all three channels). False
// when an exact result cannot be promised: not a JPEG, CMYK or another
// colour space, rect outside the picture, or the decoder reports damage or
// a premature end (the whole load is then the one to decide what the
// operator is told); the target may then hold some rows.
bool DecodeRows(const unsigned char* data, std::size_t size, const Rect& rect, Layout layout,
                const RowTarget& target);

} // namespace JpegRegion
