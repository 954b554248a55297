#pragma once
// Where the photo's 0.828 selection goes for a face found in the picture,
// by the composition of passport portraits: the face centred across, the
// eye line at 60 % of the photo's height from its bottom, the head from
// chin to crown 75 % of it.
//
// The cascade's face box spans about the brows to the chin and leaves out
// hair and forehead, so the crown and the chin are estimates from it: the
// crown CrownAboveBox box heights above the box's top, the chin
// ChinBelowBoxTop box heights below it, a head of 1.6 box heights (adult
// heads, hair included, measure about 1.5 to 1.75 of the box FaceFinder
// confirms). On the public-domain astronaut portrait the box is 99 pixels
// from y 65: crown 17.5 and chin 175.9 estimated, 16 and 177 measured on
// the picture (top of the hair, lower edge of the chin).

#include "FaceFinder.h"

#include <QRect>
#include <QSize>

namespace PortraitGeometry {

inline constexpr double CrownAboveBox = 0.48;
inline constexpr double ChinBelowBoxTop = 1.12;
// The eye line when the eyes themselves were not found.
inline constexpr double EyesBelowBoxTop = 0.36;

inline constexpr double HeadShare = 0.75;         // chin to crown, of the photo's height
inline constexpr double EyeLineFromBottom = 0.60; // of the photo's height
inline constexpr double Proportion = 0.828;       // width / height

// The head of a found face, in picture pixels.
struct Head {
    double crown;
    double chin;
    double eyeLine;
    double centreX; // between the eyes, or the box's middle
};
Head HeadOf(const FaceFinder::Face& face);

// The selection for the head inside a picture of size bounds, never larger
// than largest (the editor's view): height from the head, width from the
// height by the editor's proportion rule, the eye line at its place; moved
// inside the picture where it would leave it. Empty when the picture is
// too small for a selection of 20 pixels.
QRect PhotoSelection(const Head& head, QSize bounds, QSize largest);

} // namespace PortraitGeometry
