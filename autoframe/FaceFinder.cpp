#include "FaceFinder.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>
#include <cmath>

namespace FaceFinder {

namespace {

// Faces are confirmed and their eyes looked for at about this size.
constexpr double ConfirmSide = 160.0;
// How many first-search candidates are worth confirming, largest first.
constexpr std::size_t MaxCandidates = 4;

// The picture's pixels as OpenCV sees them, without copying when the
// format allows it; holder keeps a converted copy alive.
cv::Mat Wrap(const QImage& picture, QImage& holder)
{
    switch (picture.format()) {
    case QImage::Format_Grayscale8:
        return cv::Mat(picture.height(), picture.width(), CV_8UC1, const_cast<uchar*>(picture.constBits()),
                       size_t(picture.bytesPerLine()));
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        holder = picture;
        break;
    default:
        holder = picture.convertToFormat(QImage::Format_RGB32);
        break;
    }
    return cv::Mat(holder.height(), holder.width(), CV_8UC4, const_cast<uchar*>(holder.constBits()),
                   size_t(holder.bytesPerLine()));
}

// A grey copy of the area scaled by factor (turned grey first, which is
// cheaper on a large area); equalised, when asked, for a close-up whose
// light and dark are the face's own: on a whole page the paper would take
// all of the range.
cv::Mat GreyScaled(const cv::Mat& source, double factor, bool equalise)
{
    cv::Mat grey;
    if (source.channels() == 4)
        cv::cvtColor(source, grey, cv::COLOR_BGRA2GRAY);
    else
        grey = source;
    cv::Mat scaled;
    if (factor < 1.0)
        cv::resize(grey, scaled, cv::Size(std::max(1, int(grey.cols * factor)), std::max(1, int(grey.rows * factor))), 0,
                   0, cv::INTER_AREA);
    else
        scaled = grey.clone();
    if (equalise)
        cv::equalizeHist(scaled, scaled);
    return scaled;
}

cv::Rect Scaled(const cv::Rect& r, double factor, cv::Point offset = {})
{
    return cv::Rect(int(std::lround(r.x / factor)) + offset.x, int(std::lround(r.y / factor)) + offset.y,
                    int(std::lround(r.width / factor)), int(std::lround(r.height / factor)));
}

double Area(const cv::Rect& r)
{
    return double(r.width) * r.height;
}

// The eyes inside a confirmed face box (coordinates of grey).
void FindEyes(const cv::Mat& grey, const cv::Rect& face, Cascades& cascades, double factor, cv::Point offset,
              Face& found)
{
    const int top = face.y + int(face.height * 0.18);
    const int bottom = face.y + int(face.height * 0.60);
    const cv::Rect band = cv::Rect(face.x, top, face.width, bottom - top) & cv::Rect(0, 0, grey.cols, grey.rows);
    if (band.width < 8 || band.height < 8)
        return;
    const cv::Mat region = grey(band);
    const int least = std::max(6, int(face.width * 0.12));
    const int most = std::max(least + 1, int(face.width * 0.40));
    const double middle = face.x + face.width / 2.0;
    for (cv::CascadeClassifier* cascade : {&cascades.eyes(), &cascades.eyesWithGlasses()}) {
        if (cascade->empty())
            continue;
        std::vector<cv::Rect> eyes;
        cascade->detectMultiScale(region, eyes, 1.05, 3, 0, cv::Size(least, least), cv::Size(most, most));
        std::optional<cv::Rect> left, right;
        for (cv::Rect eye : eyes) {
            eye.x += band.x;
            eye.y += band.y;
            const double centre = eye.x + eye.width / 2.0;
            std::optional<cv::Rect>& side = centre < middle ? left : right;
            if (!side || Area(eye) > Area(*side))
                side = eye;
        }
        const auto centreOf = [&](const cv::Rect& e) {
            return QPointF((e.x + e.width / 2.0) / factor + offset.x, (e.y + e.height / 2.0) / factor + offset.y);
        };
        if (left)
            found.leftEye = centreOf(*left);
        if (right)
            found.rightEye = centreOf(*right);
        if (left && right)
            return;
    }
}

// A candidate of the first search checked again on a sharper copy of its
// surroundings; the confirmed face, or nothing.
std::optional<Face> Confirm(const cv::Mat& picture, const cv::Rect& candidate, Cascades& cascades)
{
    const cv::Rect whole(0, 0, picture.cols, picture.rows);
    const int marginX = candidate.width / 2;
    const int marginY = candidate.height / 2;
    const cv::Rect around =
        cv::Rect(candidate.x - marginX, candidate.y - marginY, candidate.width + 2 * marginX,
                 candidate.height + 2 * marginY)
        & whole;
    if (around.empty())
        return std::nullopt;
    const double factor = std::min(1.0, ConfirmSide / std::max(1, candidate.width));
    const cv::Mat grey = GreyScaled(picture(around), factor, true);
    const double expected = candidate.width * factor;
    std::vector<cv::Rect> faces;
    cascades.face().detectMultiScale(grey, faces, 1.05, 3, 0,
                                     cv::Size(int(expected * 0.7), int(expected * 0.7)),
                                     cv::Size(int(expected * 1.45) + 1, int(expected * 1.45) + 1));
    if (faces.empty())
        return std::nullopt;
    const cv::Point2d centre((candidate.x - around.x + candidate.width / 2.0) * factor,
                             (candidate.y - around.y + candidate.height / 2.0) * factor);
    const auto distance = [&](const cv::Rect& r) {
        return std::hypot(r.x + r.width / 2.0 - centre.x, r.y + r.height / 2.0 - centre.y);
    };
    const cv::Rect best = *std::min_element(faces.begin(), faces.end(),
                                            [&](const cv::Rect& a, const cv::Rect& b) { return distance(a) < distance(b); });
    Face face;
    const cv::Rect inPicture = Scaled(best, factor, around.tl());
    face.box = QRectF(inPicture.x, inPicture.y, inPicture.width, inPicture.height);
    FindEyes(grey, best, cascades, factor, around.tl(), face);
    return face;
}

// The largest confirmed candidate with both eyes found, else the largest
// confirmed one; false when none is confirmed.
template <typename Map>
bool Choose(const cv::Mat& pixels, const std::vector<cv::Rect>& candidates, Map inPicture, Cascades& cascades,
            Result& result)
{
    bool found = false;
    for (const cv::Rect& candidate : candidates) {
        const std::optional<Face> face = Confirm(pixels, inPicture(candidate), cascades);
        if (!face)
            continue;
        const bool bothEyes = face->leftEye && face->rightEye;
        if (!found || bothEyes) {
            result.status = Status::Found;
            result.face = *face;
            found = true;
        }
        if (bothEyes)
            break;
    }
    return found;
}

} // namespace

Result Find(const QImage& picture, Cascades& cascades)
{
    Result result;
    if (!cascades.loaded()) {
        result.status = Status::NoCascades;
        return result;
    }
    if (picture.isNull() || picture.width() < 24 || picture.height() < 24)
        return result;
    QImage holder;
    const cv::Mat pixels = Wrap(picture, holder);
    // A whole number of pixels to each one of the copy, the cheapest
    // reduction that averages every pixel.
    const int step = std::max(1, int(std::ceil(std::max(picture.width(), picture.height()) / double(SearchSide))));
    const double factor = 1.0 / step;
    const cv::Mat grey = GreyScaled(pixels, factor, false);
    const double across = double(grey.cols) / picture.width();
    const double down = double(grey.rows) / picture.height();
    const auto inPicture = [&](const cv::Rect& r) {
        return cv::Rect(int(std::lround(r.x / across)), int(std::lround(r.y / down)), int(std::lround(r.width / across)),
                        int(std::lround(r.height / down)));
    };
    // Coarse steps of size first; only a picture where they find no face
    // pays for fine ones. The confirmation finds the face's own size.
    for (const double scaleStep : {1.2, 1.08}) {
        std::vector<cv::Rect> candidates;
        cascades.search().detectMultiScale(grey, candidates, scaleStep, 3, 0, cv::Size(20, 20));
        std::sort(candidates.begin(), candidates.end(),
                  [](const cv::Rect& a, const cv::Rect& b) { return Area(a) > Area(b); });
        if (candidates.size() > MaxCandidates)
            candidates.resize(MaxCandidates);
        if (Choose(pixels, candidates, inPicture, cascades, result))
            return result;
    }
    return result;
}

} // namespace FaceFinder
