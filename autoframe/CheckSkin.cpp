#include "CheckSkin.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace CheckSkin {

namespace {

// Eye distance the face is brought to before its sharpness is measured:
// smaller than in any photo that could pass the head's size, so the face is
// only ever reduced, which keeps the measure of a sharp face steady.
constexpr double CanonicalEyes = 40;

cv::Point ToPoint(QPointF p, double factor = 1, QPointF origin = {})
{
    return cv::Point(int(std::lround((p.x() - origin.x()) * factor)), int(std::lround((p.y() - origin.y()) * factor)));
}

// A polygon of landmarks drawn shrunk towards its middle, so that its edge
// keeps off the features around it.
void FillShrunk(cv::Mat& mask, const FaceLandmarks::Face& face, std::initializer_list<int> indices, double keep)
{
    QPointF middle;
    for (int i : indices)
        middle += face.points[size_t(i)];
    middle /= double(indices.size());
    std::vector<cv::Point> polygon;
    for (int i : indices)
        polygon.push_back(ToPoint(middle + (face.points[size_t(i)] - middle) * keep));
    cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{polygon}, cv::Scalar(255));
}

} // namespace

cv::Mat SkinMask(cv::Size size, const FaceLandmarks::Face& face)
{
    cv::Mat mask = cv::Mat::zeros(size, CV_8UC1);
    // Cheeks from under the eye to the jaw and the mouth's corner, and the
    // nose from its bridge to its tip.
    FillShrunk(mask, face, {1, 36, 41, 40, 39, 31, 48, 4, 3, 2}, 0.75);
    FillShrunk(mask, face, {15, 14, 13, 12, 54, 35, 42, 47, 46, 45}, 0.75);
    FillShrunk(mask, face, {27, 35, 33, 31}, 0.8);
    return mask;
}

cv::Mat FaceMask(cv::Size size, const FaceLandmarks::Face& face)
{
    std::vector<cv::Point> outline;
    for (int i = 0; i <= 16; ++i)
        outline.push_back(ToPoint(face.points[size_t(i)]));
    for (int i = 26; i >= 17; --i)
        outline.push_back(ToPoint(face.points[size_t(i)]));
    cv::Mat mask = cv::Mat::zeros(size, CV_8UC1);
    cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{outline}, cv::Scalar(255));
    return mask;
}

Exposure ExposureOf(const cv::Mat& grey, const cv::Mat& skin)
{
    int histogram[256] = {};
    int n = 0;
    for (int y = 0; y < grey.rows; ++y) {
        const uchar* g = grey.ptr<uchar>(y);
        const uchar* s = skin.ptr<uchar>(y);
        for (int x = 0; x < grey.cols; ++x)
            if (s[x]) {
                ++histogram[g[x]];
                ++n;
            }
    }
    Exposure e;
    if (n == 0)
        return e;
    int below = 0;
    for (int v = 0; v < 256; ++v) {
        below += histogram[v];
        if (2 * below >= n) {
            e.median = v;
            break;
        }
    }
    int clipped = 0;
    for (int v = 0; v <= 3; ++v)
        clipped += histogram[v] + histogram[255 - v];
    e.clipped = 100.0 * clipped / n;
    return e;
}

double Sharpness(const cv::Mat& grey, const FaceLandmarks::Face& face, double skinMedian)
{
    const double eyes = face.eyeDistance();
    if (eyes < 4)
        return 0;
    const double factor = std::min(1.0, CanonicalEyes / eyes);
    cv::Rect box = cv::boundingRect(std::vector<cv::Point>{ToPoint(face.points[0]), ToPoint(face.points[16]),
                                                           ToPoint(face.points[8]), ToPoint(face.points[19]),
                                                           ToPoint(face.points[24])});
    box &= cv::Rect(0, 0, grey.cols, grey.rows);
    if (box.width < 8 || box.height < 8)
        return 0;
    cv::Mat small;
    cv::resize(grey(box), small, cv::Size(), factor, factor, cv::INTER_AREA);
    // The jaw's edge against the wall says more about the wall than about
    // focus: the inside of the face only.
    const FaceLandmarks::Face inside = face.mapped(QPointF(box.x, box.y), factor);
    cv::Mat mask = FaceMask(small.size(), inside);
    cv::erode(mask, mask, cv::getStructuringElement(cv::MORPH_ELLIPSE, {5, 5}));
    if (cv::countNonZero(mask) < 16)
        return 0;
    cv::Mat laplacian;
    cv::Laplacian(small, laplacian, CV_32F);
    cv::Scalar mean, deviation;
    cv::meanStdDev(laplacian, mean, deviation, mask);
    // The same face lit darker has weaker edges but is not less sharp.
    const double gain = std::clamp(128.0 / std::max(1.0, skinMedian), 0.5, 2.0);
    return deviation[0] * deviation[0] * gain * gain;
}

} // namespace CheckSkin
