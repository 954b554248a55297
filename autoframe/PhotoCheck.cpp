#include "PhotoCheck.h"

#include "CheckBackground.h"
#include "CheckSkin.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <limits>

namespace PhotoCheck {

namespace {

constexpr double Unbounded = std::numeric_limits<double>::max();

// Accepted ranges. The geometry is that of passport portraits: the eye line
// within the 50–70 % the norm allows (the framing aims at 60, and a photo
// between is acceptable, not wrong). The others were set on the labelled
// set's tuning people, 265 x 320 crops of their pages and copies spoilt on
// purpose: plain walls (a painted wall, a studio backdrop) keep a grey
// deviation of 2–11 where foliage, a room or a flag give 14 and more; the
// skin's median lies at 113–193 on good crops, at most 87 at 45 % exposure
// and mostly 250 and more at 170 %; no good crop clips its skin; the
// sharpness of good crops starts at 81, while half of those reduced to a
// third and enlarged again fall under 43.
struct Range {
    Item item;
    double low, high;
};
constexpr Range Ranges[] = {
    {Item::HeadHeight, 70, 80}, {Item::EyeLine, 50, 70},     {Item::Centring, -5, 5},
    {Item::Roll, -8, 8},        {Item::Background, 0, 12},   {Item::Brightness, 95, 220},
    {Item::Clipped, 0, 2},      {Item::Sharpness, 60, Unbounded},
};

// The crown above the brows, in parts of the brows' height above the chin
// (0.48 for a bald head to 0.93 for full hair on the tuning people, 0.78 in
// the middle): a found crown outside these bounds is a wall taken for hair
// or a lower edge, and the estimate stands for it.
constexpr double CrownLowest = 0.4;
constexpr double CrownHighest = 1.5;
constexpr double CrownEstimate = 0.78;
// Dark hair cannot be told from a dark wall: there a crown found no higher
// than a hairline is taken for one, and the estimate stands for it.
constexpr double HairlineAtMost = 0.6;
constexpr double DarkWall = 70;
// The forehead is head whatever its colour: this much of the same measure
// above the brows joins the face before the crown is looked for.
constexpr double Forehead = 0.3;

// The crown's edge is looked for this far under where the pixel mask ends,
// in parts of the brows' height above the chin.
constexpr double HalfwayDepth = 0.08;

// Photos larger than this are measured reduced: every measure is a share of
// the photo or made at the face's own scale.
constexpr int WorkingHeight = 480;

cv::Mat RgbOf(const QImage& photo)
{
    const QImage rgb = photo.convertToFormat(QImage::Format_RGB888);
    return cv::Mat(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar*>(rgb.constBits()), size_t(rgb.bytesPerLine()))
        .clone();
}

void Set(Report& report, Item item, double value, Reading reading = Reading::Measured, double judged = NAN)
{
    for (Value& v : report.values)
        if (v.item == item) {
            v.value = value;
            v.measured = std::isfinite(value);
            v.reading = reading;
            v.judged = std::isfinite(judged) ? judged : value;
        }
}

Report Empty()
{
    Report report;
    for (const Range& r : Ranges)
        report.values.append(Value{r.item, false, 0, r.low, r.high, Reading::Measured, 0});
    return report;
}

// Face and forehead: what is head whatever the wall behind it.
cv::Mat HeadSeed(cv::Size size, const FaceLandmarks::Face& face, double foreheadRows)
{
    cv::Mat seed = CheckSkin::FaceMask(size, face);
    std::vector<cv::Point> forehead;
    for (int i = 17; i <= 26; ++i)
        forehead.emplace_back(int(face.points[size_t(i)].x()), int(face.points[size_t(i)].y()));
    for (int i = 26; i >= 17; --i)
        forehead.emplace_back(int(face.points[size_t(i)].x()), int(face.points[size_t(i)].y() - foreheadRows));
    cv::fillPoly(seed, std::vector<std::vector<cv::Point>>{forehead}, cv::Scalar(255));
    return seed;
}

void MeasureHead(Report& report, const cv::Mat& rgb, const cv::Mat& grey, const FaceLandmarks::Face& face)
{
    const double h = rgb.rows;
    const double chin = face.chin().y();
    const double brows = face.browTop();
    const double span = std::max(1.0, chin - brows);
    cv::Mat smooth;
    cv::GaussianBlur(rgb, smooth, {3, 3}, 0);
    const CheckBackground::Model model = CheckBackground::FitModel(smooth, int(chin));
    const cv::Mat seed = HeadSeed(rgb.size(), face, Forehead * span);
    const cv::Mat person = CheckBackground::Person(CheckBackground::NotWall(smooth, model), seed);
    if (const std::optional<double> wall = CheckBackground::Uniformity(grey, person))
        Set(report, Item::Background, *wall);

    CheckBackground::HeadColumns columns;
    columns.through = face.eyeMiddle();
    columns.slope = std::tan(face.rollDegrees() * M_PI / 180.0);
    columns.halfWidth = 0.3 * std::hypot(face.points[16].x() - face.points[0].x(), face.points[16].y() - face.points[0].y());
    columns.top = brows - Forehead * span;
    // Grain and JPEG blocks leave a few pixels off the wall along the top
    // of a head: a spur of them is no crown.
    const int open = std::max(3, int(h / 60) | 1);
    cv::Mat solid;
    cv::morphologyEx(person, solid, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_ELLIPSE, {open, open}));
    const CheckBackground::Crown crown = CheckBackground::HalfwayCrown(
        smooth, model, columns,
        CheckBackground::WallAboveHead(
            smooth, model, columns,
            CheckBackground::ExtendCrown(smooth, model, columns, CheckBackground::FindCrown(solid, columns))),
        HalfwayDepth * span);
    const double estimate = 100.0 * (chin - (brows - CrownEstimate * span)) / h;
    const double above = (brows - crown.row) / span;
    const double found = 100.0 * (chin - crown.row) / h;
    const QPointF top = columns.through + QPointF(columns.slope * (columns.through.y() - crown.row), 0);
    const double wallGrey = 0.299 * model.at(0, int(top.x()), int(crown.row)) + 0.587 * model.at(1, int(top.x()), int(crown.row))
        + 0.114 * model.at(2, int(top.x()), int(crown.row));
    const bool hidden = (above < HairlineAtMost && wallGrey < DarkWall)
        || CheckBackground::CrownRowIsWall(person, columns, int(crown.row));
    if (crown.atTop && !hidden) {
        // How far the head goes on above the edge, from the outline below it;
        // the landmarks' estimate where the outline says nothing.
        const std::optional<double> outline = CheckBackground::CrownAboveTop(person, columns, int(brows));
        const double beyond = outline ? 100.0 * (chin - *outline) / h : estimate;
        Set(report, Item::HeadHeight, found, Reading::AtLeast, std::max(found, beyond));
    } else if (above >= CrownLowest && above <= CrownHighest && !hidden)
        Set(report, Item::HeadHeight, found);
    else
        Set(report, Item::HeadHeight, estimate, Reading::Estimated);
}

void MeasureFace(Report& report, const cv::Mat& rgb, const FaceLandmarks::Face& face)
{
    const double w = rgb.cols;
    const double h = rgb.rows;
    cv::Mat grey;
    cv::cvtColor(rgb, grey, cv::COLOR_RGB2GRAY);
    MeasureHead(report, rgb, grey, face);
    Set(report, Item::EyeLine, 100.0 * (h - face.eyeMiddle().y()) / h);
    const double middle = (face.eyeMiddle().x() + face.chin().x()) / 2.0;
    Set(report, Item::Centring, 100.0 * (middle - w / 2.0) / w);
    Set(report, Item::Roll, face.rollDegrees());
    const CheckSkin::Exposure exposure = CheckSkin::ExposureOf(grey, CheckSkin::SkinMask(grey.size(), face));
    Set(report, Item::Brightness, exposure.median);
    Set(report, Item::Clipped, exposure.clipped);
    Set(report, Item::Sharpness, CheckSkin::Sharpness(grey, face, exposure.median));
}

// Without a face: the wall in the top corners and the middle of the photo
// for the face.
void MeasureWithoutFace(Report& report, const cv::Mat& rgb)
{
    cv::Mat grey;
    cv::cvtColor(rgb, grey, cv::COLOR_RGB2GRAY);
    cv::Mat corners = cv::Mat::zeros(grey.size(), CV_8UC1);
    const int w = std::max(1, grey.cols / 6);
    const int h = std::max(1, grey.rows / 8);
    corners(cv::Rect(0, 0, w, h)).setTo(255);
    corners(cv::Rect(grey.cols - w, 0, w, h)).setTo(255);
    cv::Scalar mean, deviation;
    cv::meanStdDev(grey, mean, deviation, corners);
    Set(report, Item::Background, deviation[0]);
    cv::Mat middle = cv::Mat::zeros(grey.size(), CV_8UC1);
    middle(cv::Rect(grey.cols / 4, grey.rows / 4, grey.cols / 2, grey.rows / 2)).setTo(255);
    const CheckSkin::Exposure exposure = CheckSkin::ExposureOf(grey, middle);
    Set(report, Item::Brightness, exposure.median);
    Set(report, Item::Clipped, exposure.clipped);
}

QImage Working(const QImage& photo, double* factor)
{
    *factor = 1;
    if (photo.height() <= WorkingHeight)
        return photo;
    *factor = double(WorkingHeight) / photo.height();
    return photo.scaledToHeight(WorkingHeight, Qt::SmoothTransformation);
}

bool Usable(const QImage& photo)
{
    return !photo.isNull() && photo.width() >= 16 && photo.height() >= 16;
}

} // namespace

bool Report::allPass() const
{
    for (const Value& v : values)
        if (!v.pass())
            return false;
    return !values.isEmpty();
}

const Value& Report::operator[](Item item) const
{
    for (const Value& v : values)
        if (v.item == item)
            return v;
    static const Value none{item};
    return none;
}

Report CheckWithFace(const QImage& photo, const FaceLandmarks::Face& faceInPhoto)
{
    Report report = Empty();
    if (!Usable(photo))
        return report;
    report.faceFound = true;
    double factor = 1;
    const QImage working = Working(photo, &factor);
    MeasureFace(report, RgbOf(working), faceInPhoto.mapped(QPointF(0, 0), factor));
    return report;
}

Report CheckCut(const QImage& photo, const FaceLandmarks::Face* faceInPicture, const QRect& crop)
{
    if (faceInPicture && crop.height() > 0 && crop.contains(faceInPicture->eyeMiddle().toPoint()))
        return CheckWithFace(photo, faceInPicture->mapped(crop.topLeft(), double(photo.height()) / crop.height()));
    return Check(photo);
}

Report Check(const QImage& photo)
{
    if (!Usable(photo))
        return Empty();
    const FaceLandmarks::Result found = FaceLandmarks::Find(photo);
    if (found.status != FaceLandmarks::Status::Found) {
        Report report = Empty();
        report.modelMissing = found.status == FaceLandmarks::Status::NoModel;
        double factor = 1;
        MeasureWithoutFace(report, RgbOf(Working(photo, &factor)));
        return report;
    }
    Report report = CheckWithFace(found.turned ? photo.mirrored(true, true) : photo, found.face);
    report.turned = found.turned;
    report.otherFaces = found.others;
    return report;
}

} // namespace PhotoCheck
