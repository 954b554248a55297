#pragma once
// The photo check's measures of the face itself, placed by its landmarks:
// the skin's brightness and clipped share, and the sharpness of the face
// brought to one size so that a small face is not judged softer.

#include "FaceLandmarks.h"

#include <opencv2/core.hpp>

namespace CheckSkin {

// 255 on the cheeks and the nose: skin whatever the hair, the beard or the
// glasses, away from the eyes, the brows and the mouth.
cv::Mat SkinMask(cv::Size size, const FaceLandmarks::Face& face);

// 255 inside the outline of jaw and brows.
cv::Mat FaceMask(cv::Size size, const FaceLandmarks::Face& face);

struct Exposure {
    double median = 0;  // grey level of the skin
    double clipped = 0; // % of the skin black or white beyond detail
};
Exposure ExposureOf(const cv::Mat& grey, const cv::Mat& skin);

// Variance of the Laplacian of the face, resampled so that its eyes lie a
// fixed distance apart and its skin to a fixed grey level.
double Sharpness(const cv::Mat& grey, const FaceLandmarks::Face& face, double skinMedian);

} // namespace CheckSkin
