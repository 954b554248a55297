#pragma once
// The pasted or printed photograph around a face on a scanned page: the
// straight edges where the photograph's content ends and the paper (or a
// thin border) begins, so that the framing stays inside the photograph.

#include "FaceLandmarks.h"

#include <QImage>
#include <QRect>

namespace PhotographEdges {

struct Photograph {
    // The axis-aligned rectangle inside the photograph's edges; the whole
    // picture when the picture is its own photograph.
    QRect inside;
    bool onPage = false;  // edges were found
    int sidesFound = 0;   // of left, top, right, bottom
    double degrees = 0;   // the photograph's tilt on the page
};

Photograph Find(const QImage& picture, const FaceLandmarks::Face& face);

} // namespace PhotographEdges
