#pragma once
// Finds the handwritten signature in a picture: the ink is what the
// black-and-white signature file makes black (grey level below the
// threshold, grey by Rec. 709 weights). Long straight printed lines are
// taken away first (at the page's tilt; the strokes that cross them are
// gathered again across the gap); specks, printed text, large print and
// pictures are left out; the strokes larger than print, written together,
// with the most ink are the signature, with their dots and underline.

#include <QImage>
#include <QRect>

namespace SignatureFinder {

struct Found {
    QRect ink;       // the smallest rectangle holding the signature's ink
    QRect selection; // ink with a small margin that touches no other ink
};

// Whether the grey level of the colour makes it ink at the threshold, the
// way the black-and-white file decides it.
bool IsInk(QRgb colour, int threshold);

// Nothing (empty rectangles) when the picture has no signature.
Found Find(const QImage& picture, int threshold);

} // namespace SignatureFinder
