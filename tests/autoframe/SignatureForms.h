#pragma once
// Generated form pages with a handwritten-looking signature, for measuring
// the signature finder: words with gaps, i-dots, underlines and flourishes
// over a ruled field with a printed label, tinted paper, tilt, grain and
// JPEG; with where the signature's ink and the page's print really are.

#include <QImage>
#include <QRect>

namespace SignatureForms {

enum class Field {
    BoxLabelAbove, // a ruled box, its label printed above it
    BoxLabelInside, // a ruled box with "Firma" in its top-left corner
    RuleLabelBelow, // a signing line, its label under it
    RuleLabelLeft, // "Firma:" and a line after it
    Blank, // no box, no label: a signature on an empty part of the sheet
};

struct Options {
    Field field = Field::BoxLabelAbove;
    double degrees = 0; // tilt of the whole sheet
    int scale = 1; // 1: 300 DPI, 2: 600 DPI
    bool blueInk = true;
    bool crossing = false; // a flourish or the letters cross the field's lines
};

struct Page {
    QImage page;
    QRect ink; // every pixel of the signature that is surely ink at 170
    // Printed pixels (text and lines) of the whole page, 255 where print is.
    QImage print;
};

Page Make(unsigned seed, const Options& options);

// Options drawn from the seed, covering every field, tilt up to 3 degrees
// both ways, both inks and lines crossed or not.
Options Varied(unsigned seed);

// How a selection fares against a page: all the ink in it; and besides,
// no more than MaxMargin (at 300 DPI) on any side and no printed pixel
// outside the ink's own rectangle.
struct Verdict {
    bool allInk = false;
    bool tight = false;
};
inline constexpr int MaxMargin = 40;
Verdict Judge(const Page& page, const QRect& selection);

} // namespace SignatureForms
