#include "FaceLandmarks.h"

#include "FaceModels.h"
#include "FaceSearch.h"
#include "GreyPicture.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace FaceLandmarks {

namespace {

// The detector looks at an 80-pixel window (and still finds most faces of
// 65-70 px), so a copy reduced to this many pixels finds faces whose box
// is at least about 70 / sqrt(pixels / area) pixels of the picture. On the
// tuning pages (A4 at 300 DPI, heads 250-600 px) the cheap copy found every
// upright face, the smallest heads with little to spare (at 1.0e6 pixels
// one of 253 px was missed); the fine copy, searched only when the cheap one shows
// nothing, goes down to heads of about 170 px there.
constexpr double CheapPixels = 1.3e6;
constexpr double FinePixels = 2.6e6;
// The detector's score above its own threshold from which a detection is
// taken for a face without doubt: true faces scored from 0.25 on the tuning
// pages (the small ones), the false ones seen on test pictures (a badge on a
// suit, a fold of a collar) up to 0.15. Weaker detections are taken only
// when no copy shows a surer one, and are not counted among the others.
constexpr double SureConfidence = 0.2;
// Under a face, down to this many of its box's heights below its box and
// this many of its widths either side of its middle, are the person's
// shoulders and chest: a badge or a print there can score as a face.
constexpr double ChestDepth = 3.0;
constexpr double ChestHalfWidth = 1.5;
// Boxes of one size and the next differ in area by 1.44.
constexpr double SameSizeShare = 0.8;
// Below this side no face is worth the search.
constexpr int SmallestSide = 64;

QPointF Mean(const std::array<QPointF, PointCount>& points, int first, int count)
{
    QPointF sum;
    for (int i = first; i < first + count; ++i)
        sum += points[size_t(i)];
    return sum / count;
}

std::vector<double> Scales(const QSize& size)
{
    const double area = double(size.width()) * size.height();
    const double cheap = std::min(1.0, std::sqrt(CheapPixels / area));
    const double fine = std::min(1.0, std::sqrt(FinePixels / area));
    std::vector<double> scales{cheap};
    if (fine > cheap * 1.2)
        scales.push_back(fine);
    return scales;
}

// The detections of one copy, with what maps the copy back to the picture.
struct Search {
    std::vector<dlib::rect_detection> found;
    double fx = 1, fy = 1; // picture pixels per copy pixel
    bool turned = false;
};

// The copy is turned in place when asked: the turned search reuses the
// upright one's copy.
Search Detect(const FaceModels& models, dlib::array2d<unsigned char>& grey, const QSize& picture, bool turned)
{
    if (turned)
        GreyPicture::Turn(grey);
    Search search;
    search.found = models.detect(grey);
    search.fx = double(picture.width()) / double(grey.nc());
    search.fy = double(picture.height()) / double(grey.nr());
    search.turned = turned;
    return search;
}

// A copy's box in the picture (turned, when the copy was): copy pixel i
// covers picture pixels [i fx, (i + 1) fx).
QRectF InPicture(const dlib::rectangle& r, const Search& search)
{
    return QRectF(double(r.left()) * search.fx, double(r.top()) * search.fy, double(r.width()) * search.fx,
                  double(r.height()) * search.fy);
}

bool Sure(const dlib::rect_detection& d)
{
    return d.detection_confidence >= SureConfidence;
}

double Likeliest(const std::vector<dlib::rect_detection>& found)
{
    double best = -1;
    for (const dlib::rect_detection& d : found)
        best = std::max(best, d.detection_confidence);
    return best;
}

double Likeliest(const Search& search)
{
    return Likeliest(search.found);
}

// The face's landmarks in a box of the picture.
std::optional<Face> Shaped(const FaceModels& models, const GreyPicture::View& view, const QRectF& box,
                           std::vector<quint32>* leaves = nullptr)
{
    const PixelBox pixels = PixelsOf(box);
    const std::vector<QPointF> points =
        models.shape().landmarks(view, dlib::rectangle(pixels.left, pixels.top, pixels.right, pixels.bottom), leaves);
    if (points.size() != PointCount)
        return std::nullopt;
    Face face;
    face.box = box;
    std::copy(points.begin(), points.end(), face.points.begin());
    return face;
}

// The area the landmarks cover: finer than the detector's boxes, which
// come in a few sizes only.
double Extent(const Face& face)
{
    const auto [left, right] = std::minmax_element(face.points.begin(), face.points.end(),
                                                   [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const auto [top, bottom] = std::minmax_element(face.points.begin(), face.points.end(),
                                                   [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    return (right->x() - left->x()) * (bottom->y() - top->y());
}

// A detection on the clothes of a face the detector is surer of: the
// round badge on a suit, a face printed on a shirt.
bool OnClothes(const dlib::rect_detection& d, const std::vector<dlib::rect_detection>& found)
{
    const dlib::point middle = dlib::center(d.rect);
    return std::any_of(found.begin(), found.end(), [&](const dlib::rect_detection& face) {
        const dlib::rectangle& f = face.rect;
        return face.detection_confidence > d.detection_confidence && middle.y() > f.bottom()
            && double(middle.y() - f.bottom()) <= ChestDepth * double(f.height())
            && std::abs(double(middle.x() - dlib::center(f).x())) <= ChestHalfWidth * double(f.width());
    });
}

// The largest sure face and how many other sure faces lie apart from it;
// when none is sure, the likeliest face alone. However much surer the
// detector is of a smaller face (a passport photo sharper than a snapshot
// beside it), the largest frontal face is the applicant's. Faces the
// detector boxes alike (its boxes grow by a fifth from one size to the
// next) are told apart by their landmarks.
Result Chosen(const FaceModels& models, const QImage& readable, const Search& search)
{
    const double best = Likeliest(search);
    const auto face = [&](const dlib::rect_detection& d) { return !OnClothes(d, search.found); };
    const auto candidate = [&](const dlib::rect_detection& d) {
        return face(d) && (best < SureConfidence ? d.detection_confidence >= best : Sure(d));
    };
    unsigned long largest = 0;
    for (const dlib::rect_detection& d : search.found)
        if (candidate(d))
            largest = std::max(largest, d.rect.area());
    const dlib::rect_detection* chosen = nullptr;
    std::optional<Face> marked;
    double extent = -1;
    for (const dlib::rect_detection& d : search.found) {
        if (!candidate(d) || double(d.rect.area()) < SameSizeShare * double(largest))
            continue;
        std::optional<Face> shaped =
            Shaped(models, GreyPicture::View(readable, search.turned), InPicture(d.rect, search));
        if (!shaped)
            continue;
        if (const double covered = Extent(*shaped); covered > extent) {
            extent = covered;
            marked = std::move(shaped);
            chosen = &d;
        }
    }
    if (!marked)
        return Result{};
    Result result;
    result.turned = search.turned;
    for (const dlib::rect_detection& other : search.found)
        result.others += Sure(other) && face(other) && other.rect.intersect(chosen->rect).is_empty();
    result.status = Status::Found;
    result.face = *marked;
    return result;
}

// A face upside down can pass for an upright one (a moustache and a mouth
// read as brows and eyes): around the face found, the detector is asked
// whether it sees a face better the other way up.
bool LikelierTurned(const FaceModels& models, const dlib::array2d<unsigned char>& copy, const Search& search)
{
    const auto best = std::max_element(search.found.begin(), search.found.end(), [](const auto& a, const auto& b) {
        return a.detection_confidence < b.detection_confidence;
    });
    if (best == search.found.end())
        return false;
    const dlib::rectangle& r = best->rect;
    const long grow = std::max(r.width(), r.height()) / 2;
    const long left = std::max(0L, r.left() - grow), top = std::max(0L, r.top() - grow);
    const long right = std::min(copy.nc() - 1, r.right() + grow), bottom = std::min(copy.nr() - 1, r.bottom() + grow);
    if (right <= left || bottom <= top)
        return false;
    dlib::array2d<unsigned char> around(bottom - top + 1, right - left + 1);
    for (long y = top; y <= bottom; ++y)
        for (long x = left; x <= right; ++x)
            around[y - top][x - left] = copy[y][x];
    const double upright = Likeliest(models.detect(around));
    GreyPicture::Turn(around);
    return Likeliest(models.detect(around)) > upright;
}

} // namespace

QPointF Face::leftEye() const
{
    return Mean(points, 36, 6);
}

QPointF Face::rightEye() const
{
    return Mean(points, 42, 6);
}

QPointF Face::eyeMiddle() const
{
    return (leftEye() + rightEye()) / 2;
}

double Face::eyeDistance() const
{
    return QLineF(leftEye(), rightEye()).length();
}

QPointF Face::chin() const
{
    return points[8];
}

double Face::browTop() const
{
    const auto brows = std::min_element(points.begin() + 17, points.begin() + 27,
                                        [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    return brows->y();
}

double Face::rollDegrees() const
{
    const QPointF line = rightEye() - leftEye();
    return std::atan2(line.y(), line.x()) * 180.0 / std::numbers::pi;
}

Face Face::mapped(QPointF offset, double factor) const
{
    Face face;
    face.box = QRectF((box.topLeft() - offset) * factor, box.size() * factor);
    for (size_t i = 0; i < points.size(); ++i)
        face.points[i] = (points[i] - offset) * factor;
    return face;
}

PixelBox PixelsOf(const QRectF& box)
{
    return {std::lround(box.left()), std::lround(box.top()), std::lround(box.right()) - 1,
            std::lround(box.bottom()) - 1};
}

Result FindWith(const FaceModels* models, const QImage& picture, bool tryTurned)
{
    if (!models)
        return Result{Status::NoModel, {}, 0, false};
    if (picture.isNull() || std::min(picture.width(), picture.height()) < SmallestSide)
        return Result{};
    const QImage readable = GreyPicture::Readable(picture);
    // The turned picture is searched at the cheap scale before the upright
    // one at the fine scale: a page fed upside down is a likelier reason
    // for finding nothing than a face too small for the cheap copy.
    std::optional<Search> doubtful;
    for (const double scale : Scales(readable.size())) {
        dlib::array2d<unsigned char> copy = GreyPicture::Reduced(readable, scale);
        for (const bool turned : {false, true}) {
            if (turned && !tryTurned)
                break;
            Search search = Detect(*models, copy, readable.size(), turned);
            if (std::any_of(search.found.begin(), search.found.end(), Sure)) {
                if (!turned && tryTurned && LikelierTurned(*models, copy, search)) {
                    Search other = Detect(*models, copy, readable.size(), true);
                    if (Likeliest(other) > Likeliest(search))
                        return Chosen(*models, readable, other);
                }
                return Chosen(*models, readable, search);
            }
            if (!search.found.empty() && (!doubtful || Likeliest(search) > Likeliest(*doubtful)))
                doubtful = std::move(search);
        }
    }
    return doubtful ? Chosen(*models, readable, *doubtful) : Result{};
}

std::optional<Face> LandmarksWith(const FaceModels* models, const QImage& picture, const QRectF& box,
                                  std::vector<quint32>* leaves)
{
    // A box far outside the picture (or not a number) has no face to show.
    if (!models || picture.isNull() || !QRectF(picture.rect()).intersects(box))
        return std::nullopt;
    const PixelBox pixels = PixelsOf(box);
    if (pixels.right <= pixels.left || pixels.bottom <= pixels.top)
        return std::nullopt;
    const QImage readable = GreyPicture::Readable(picture);
    return Shaped(*models, GreyPicture::View(readable, false), box, leaves);
}

Result Find(const QImage& picture, bool tryTurned)
{
    return FindWith(LandmarkModel::Shared().get(), picture, tryTurned);
}

std::optional<Face> LandmarksIn(const QImage& picture, const QRectF& box)
{
    return LandmarksWith(LandmarkModel::Shared().get(), picture, box);
}

} // namespace FaceLandmarks
