#pragma once
// Finds the handwritten signature in a picture: the ink is what the
// black-and-white signature file makes black (grey level below the
// threshold, grey by Rec. 709 weights), gathered into connected strokes.
// Specks, long straight rules, the printed boxes of a form, printed text
// and pictures (dense dark areas) are left out; the strokes that lie
// together and carry the most ink are the signature.

#include <QImage>
#include <QRect>

namespace SignatureFinder {

// The analysis runs on blocks of pixels so that the longest side of the
// picture counts at most this many blocks.
inline constexpr int WorkSide = 1200;

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
