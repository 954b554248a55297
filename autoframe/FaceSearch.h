#pragma once
// FaceLandmarks' search with a given set of models rather than the
// process's own, for the tests that compare models read in different ways.

#include "FaceLandmarks.h"

#include <QtGlobal>

#include <vector>

class FaceModels;

namespace FaceLandmarks {

// As Find and LandmarksIn; models null means they could not be read.
Result FindWith(const FaceModels* models, const QImage& picture, bool tryTurned);
std::optional<Face> LandmarksWith(const FaceModels* models, const QImage& picture, const QRectF& box,
                                  std::vector<quint32>* leaves = nullptr);

// The pixels of the detector box in picture pixels (dlib's inclusive
// corners, as its landmark model expects them).
struct PixelBox {
    long left, top, right, bottom;
};
PixelBox PixelsOf(const QRectF& box);

} // namespace FaceLandmarks
