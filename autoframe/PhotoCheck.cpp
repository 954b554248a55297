#include "PhotoCheck.h"

#include "FaceFinder.h"
#include "PortraitGeometry.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <limits>

namespace PhotoCheck {

namespace {

constexpr double Unbounded = std::numeric_limits<double>::max();

// Accepted ranges. The geometry is that of passport portraits; the others
// were set on scans and webcam stills of acceptable photos, with room on
// both sides: a plain wall varies by a few grey levels, a face lit evenly
// averages 100 to 200, a photo rescaled from a sharp scan keeps a
// Laplacian variance in the hundreds where a blurred one falls below 30.
struct Range {
    Item item;
    double low, high;
};
constexpr Range Ranges[] = {
    {Item::HeadHeight, 70, 80}, {Item::EyeLine, 50, 70},       {Item::Centring, -5, 5},
    {Item::Background, 0, 12},  {Item::Brightness, 90, 210},   {Item::Clipped, 0, 2},
    {Item::Sharpness, 30, Unbounded},
};

cv::Mat GreyOf(const QImage& photo)
{
    const QImage grey = photo.convertToFormat(QImage::Format_Grayscale8);
    return cv::Mat(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
                   size_t(grey.bytesPerLine()))
        .clone();
}

// The background where a portrait shows it whatever the hair: the photo's
// two top corners, a sixth of its width across and an eighth of its height
// down. A gradient or a shadow between them counts against uniformity.
cv::Mat Corners(const cv::Mat& grey)
{
    cv::Mat mask = cv::Mat::zeros(grey.size(), CV_8UC1);
    const int w = std::max(1, grey.cols / 6);
    const int h = std::max(1, grey.rows / 8);
    mask(cv::Rect(0, 0, w, h)).setTo(255);
    mask(cv::Rect(grey.cols - w, 0, w, h)).setTo(255);
    return mask;
}

// The share of pixels black or white beyond detail, in %.
double ClippedShare(const cv::Mat& grey)
{
    int clipped = 0;
    for (int y = 0; y < grey.rows; ++y) {
        const uchar* g = grey.ptr<uchar>(y);
        for (int x = 0; x < grey.cols; ++x)
            clipped += g[x] <= 2 || g[x] >= 253;
    }
    return 100.0 * clipped / std::max<double>(1.0, double(grey.total()));
}

double Deviation(const cv::Mat& grey, const cv::Mat& mask)
{
    cv::Scalar mean, deviation;
    cv::meanStdDev(grey, mean, deviation, mask);
    return deviation[0];
}

double Sharpness(const cv::Mat& grey)
{
    cv::Mat laplacian;
    cv::Laplacian(grey, laplacian, CV_64F);
    cv::Scalar mean, deviation;
    cv::meanStdDev(laplacian, mean, deviation);
    return deviation[0] * deviation[0];
}

void Set(Report& report, Item item, double value)
{
    for (Value& v : report.values)
        if (v.item == item) {
            v.value = value;
            v.measured = std::isfinite(value);
        }
}

QString Number(double value, int decimals = 0)
{
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

} // namespace

bool Report::allPass() const
{
    for (const Value& v : values)
        if (!v.pass())
            return false;
    return !values.isEmpty();
}

Report Check(const QImage& photo, Cascades& cascades)
{
    OpenCvOnCallingThread();
    Report report;
    for (const Range& r : Ranges)
        report.values.append(Value{r.item, false, 0, r.low, r.high});
    if (photo.isNull() || photo.width() < 8 || photo.height() < 8)
        return report;
    const cv::Mat grey = GreyOf(photo);
    const double w = grey.cols;
    const double h = grey.rows;
    Set(report, Item::Background, Deviation(grey, Corners(grey)));

    const FaceFinder::Result found = FaceFinder::Find(photo, cascades);
    report.cascadesMissing = found.status == FaceFinder::Status::NoCascades;
    report.faceFound = found.status == FaceFinder::Status::Found;
    if (!report.faceFound) {
        // Without a face the middle of the photo stands for it.
        const cv::Rect middle(grey.cols / 4, grey.rows / 4, grey.cols / 2, grey.rows / 2);
        Set(report, Item::Brightness, cv::mean(grey(middle))[0]);
        Set(report, Item::Clipped, ClippedShare(grey(middle)));
        Set(report, Item::Sharpness, Sharpness(grey(middle)));
        return report;
    }
    const FaceFinder::Face& face = found.face;
    const PortraitGeometry::Head head = PortraitGeometry::HeadOf(face);
    Set(report, Item::HeadHeight, 100.0 * (head.chin - head.crown) / h);
    Set(report, Item::EyeLine, 100.0 * (h - head.eyeLine) / h);
    Set(report, Item::Centring, 100.0 * (head.centreX - w / 2.0) / w);
    // The middle of the face box: skin, eyes and mouth, little hair.
    const QRectF& b = face.box;
    const cv::Rect inner = cv::Rect(int(b.x() + b.width() * 0.2), int(b.y() + b.height() * 0.15),
                                    int(b.width() * 0.6), int(b.height() * 0.75))
        & cv::Rect(0, 0, grey.cols, grey.rows);
    if (!inner.empty()) {
        Set(report, Item::Brightness, cv::mean(grey(inner))[0]);
        Set(report, Item::Clipped, ClippedShare(grey(inner)));
        Set(report, Item::Sharpness, Sharpness(grey(inner)));
    }
    return report;
}

QString NameOf(Item item)
{
    switch (item) {
    case Item::HeadHeight:
        return QStringLiteral("Altezza della testa");
    case Item::EyeLine:
        return QStringLiteral("Linea degli occhi");
    case Item::Centring:
        return QStringLiteral("Centratura");
    case Item::Background:
        return QStringLiteral("Uniformità sfondo");
    case Item::Brightness:
        return QStringLiteral("Luminosità viso");
    case Item::Clipped:
        return QStringLiteral("Pixel bruciati viso");
    case Item::Sharpness:
        return QStringLiteral("Nitidezza");
    }
    return {};
}

QString ValueText(const Value& v)
{
    if (!v.measured)
        return QStringLiteral("—");
    switch (v.item) {
    case Item::HeadHeight:
    case Item::EyeLine:
        return Number(v.value) + QStringLiteral(" %");
    case Item::Centring:
        return (v.value > 0.05 ? QStringLiteral("+") : QString()) + Number(v.value, 1) + QStringLiteral(" %");
    case Item::Clipped:
        return Number(v.value, 1) + QStringLiteral(" %");
    case Item::Background:
    case Item::Brightness:
    case Item::Sharpness:
        return Number(v.value);
    }
    return {};
}

QString RangeText(const Value& v)
{
    switch (v.item) {
    case Item::HeadHeight:
    case Item::EyeLine:
        return Number(v.low) + u'–' + Number(v.high) + QStringLiteral(" %");
    case Item::Centring:
        return QStringLiteral("±") + Number(v.high) + QStringLiteral(" %");
    case Item::Clipped:
        return QStringLiteral("≤ ") + Number(v.high) + QStringLiteral(" %");
    case Item::Background:
        return QStringLiteral("≤ ") + Number(v.high);
    case Item::Brightness:
        return Number(v.low) + u'–' + Number(v.high);
    case Item::Sharpness:
        return QStringLiteral("≥ ") + Number(v.low);
    }
    return {};
}

QString Note(const Report& report)
{
    if (report.cascadesMissing)
        return QStringLiteral("viso non cercato, manca opencv-data.");
    if (!report.faceFound)
        return QStringLiteral("nessun viso trovato.");
    return {};
}

QString PlainText(const Report& report)
{
    QString text;
    for (const Value& v : report.values)
        text += QStringLiteral("%1  %2  (%3)  %4\n")
                    .arg(NameOf(v.item).leftJustified(20), ValueText(v).rightJustified(8), RangeText(v),
                         v.pass() ? QStringLiteral("OK") : QStringLiteral("NO"));
    const QString note = Note(report);
    if (!note.isEmpty())
        text += QStringLiteral("Nota: ") + note + u'\n';
    return text;
}

} // namespace PhotoCheck
