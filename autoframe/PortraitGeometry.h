#pragma once
// The head of a face from its landmarks and its measured crown, and where
// the photo's 0.828 selection goes for it: the passport composition (head
// from chin to crown 75 % of the photo's height, eye line 60 % from its
// bottom, face centred across, the crown clear of the top edge) when that
// fits inside the photograph, the nearest crop inside the photograph when
// it does not, and never larger than the caller can show.

#include "FaceLandmarks.h"

#include <QRect>
#include <QSize>

namespace PortraitGeometry {

inline constexpr double HeadShare = 0.75;         // chin to crown, of the photo's height
inline constexpr double EyeLineFromBottom = 0.60; // of the photo's height
inline constexpr double Proportion = 0.828;       // width / height
inline constexpr int MinimumSide = 20;

// The head of a found face, in picture pixels.
struct Head {
    double crown = 0;
    double chin = 0;
    double eyeLine = 0;
    double centreX = 0; // between the eyes
    bool crownMeasured = false; // false: the crown is a proportion of the landmarks
    double rollDegrees = 0;     // of the eye line, positive when the right eye is lower
};
Head HeadOf(const FaceLandmarks::Face& face, double crown, bool crownMeasured);

// The editor's rule: the width is the height times the proportion, rounded
// half to even.
int WidthFor(int height);

struct Crop {
    QRect selection; // empty when not even MinimumSide fits
    bool ideal = false;
    bool limitedByLargest = false;
};
// The crop for the head inside photograph (a rectangle of the picture),
// never larger than largest.
Crop CropFor(const Head& head, const QRect& photograph, QSize largest);

// The shares of a selection as the check reads them: chin to crown of its
// height, the eye line from its bottom, in 0..1.
double HeadShareIn(const Head& head, const QRect& selection);
double EyeLineIn(const Head& head, const QRect& selection);

} // namespace PortraitGeometry
