#pragma once
// Compositing of a button picture into the button's surface, pixel by pixel
// over whole scan lines: mask-colour transparency, solid silhouettes (of all
// or only the dark pixels), greyscale and a two-thirds blend.

#include "OleColor.h"

#include <QImage>

#include <optional>

struct BlitOptions {
    OleColor maskRgb = MakeOleColor(192, 192, 192);
    bool useMaskColor = true;            // pixels of the mask colour keep the destination
    std::optional<OleColor> silhouette;  // paint opaque pixels in this colour
    bool darkOnly = false;               // silhouette only where r + g + b <= 384
    bool greyscale = false;
    bool blend = false;                  // (2 * picture + destination) / 3
};

// bitmap is opaque (Format_RGB32), destination Format_RGB32; the picture's
// top-left goes to x, y; a negative width or height is taken from the bitmap.
void BlitPicture(QImage& destination, int x, int y, int width, int height, const QImage& bitmap,
                 const BlitOptions& options);

// round(0.59 * green + round(0.3 * red) + 0.11 * blue), halves to even.
int GreyLevel(int red, int green, int blue);
