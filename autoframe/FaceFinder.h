#pragma once
// Finds the applicant's face and eyes in a picture with OpenCV's Haar
// cascades: a first search on a reduced copy, so that a 600 DPI page costs
// about what a webcam still does, then each candidate confirmed on a
// sharper copy of its surroundings, where the eyes are looked for too.

#include "Cascades.h"

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <optional>

namespace FaceFinder {

struct Face {
    QRectF box; // the cascade's face box, in picture pixels
    // Eye centres, on the picture's left and on its right, when found.
    std::optional<QPointF> leftEye;
    std::optional<QPointF> rightEye;
};

enum class Status {
    Found,
    NoFace,
    NoCascades, // the cascade files could not be read
};

struct Result {
    Status status = Status::NoFace;
    Face face;
};

// Longest side of the copy the first search runs on.
inline constexpr int SearchSide = 720;

// The largest confirmed face of the picture.
Result Find(const QImage& picture, Cascades& cascades = Cascades::Default());

} // namespace FaceFinder
