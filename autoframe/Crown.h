#pragma once
// The top of the head (hair or scalp against the background) measured in
// the picture above a face's brows, for the head height of the framing and
// of the check.

#include "FaceLandmarks.h"

#include <QImage>
#include <QRect>

namespace Crown {

// Where the crown may be, above the highest brow point, in eye-to-chin
// distances (eye middle to point 8). On the tuning people of the labelled
// set the crown lies 0.57 to 1.10 of them above the brows (median 0.95):
// an edge nearer than the first limit is the hairline or the forehead,
// one farther than the second something of the background.
inline constexpr double NearestAboveBrows = 0.45;
inline constexpr double FarthestAboveBrows = 1.15;
// The crown assumed when none is seen: the tuning people's median.
inline constexpr double EstimatedAboveBrows = 0.95;

struct Found {
    double y = 0;          // picture row of the crown
    bool measured = false; // false: estimated from the landmarks
    bool reachesTop = false; // hair runs into the top of the photograph
};

// The crown of face's head, looked for inside photograph (the part of the
// picture that is the portrait; the whole picture when it is its own).
Found Measure(const QImage& picture, const FaceLandmarks::Face& face, const QRect& photograph);

// The estimate from the landmarks alone.
double Estimated(const FaceLandmarks::Face& face);

} // namespace Crown
