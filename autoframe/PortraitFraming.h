#pragma once
// The automatic framing of a portrait, the one call the photo editor and
// the command line make: the face and its landmarks, the crown measured in
// the picture, the photograph around the face, and the 0.828 crop.

#include "FaceLandmarks.h"
#include "PortraitGeometry.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace PortraitFraming {

using Head = PortraitGeometry::Head; // picture pixels

struct Proposal {
    FaceLandmarks::Status status = FaceLandmarks::Status::NoFace;
    bool turned = false; // the face was found in the picture turned by 180°: all coordinates are those of the turned picture
    int others = 0;      // further faces in the picture
    FaceLandmarks::Face face;
    Head head{};
    QRect photograph;       // the photograph around the face; the whole picture when the picture is its own photograph
    bool photographOnPage = false; // edges of a photograph were found on the picture
    QRect selection;        // the 0.828 crop; empty when no face or no room
    bool ideal = false;     // the ideal crop (head 75 %, eye line 60 % from the bottom, centred) fits inside the photograph
    bool limitedByLargest = false; // the crop wanted was larger than `largest` and was made smaller to fit it
};

// largest: the biggest selection the caller can show (the editor's view);
// the command line passes the picture's size.
Proposal Propose(const QImage& picture, QSize largest);
// The same when the face is already known (the caller found it earlier).
Proposal ProposeFor(const QImage& picture, const FaceLandmarks::Face& face, QSize largest);

} // namespace PortraitFraming
