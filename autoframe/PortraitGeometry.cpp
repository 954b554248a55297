#include "PortraitGeometry.h"

#include "Numbers.h"

#include <algorithm>

namespace PortraitGeometry {

namespace {

constexpr int MinimumSide = 20;

int Round(double value)
{
    return int(Numbers::RoundHalfEven(value));
}

// The editor's rule: the width is the height times the proportion, rounded.
int WidthFor(int height)
{
    return Round(height * Proportion);
}

} // namespace

Head HeadOf(const FaceFinder::Face& face)
{
    const QRectF& box = face.box;
    Head head;
    head.crown = box.top() - CrownAboveBox * box.height();
    head.chin = box.top() + ChinBelowBoxTop * box.height();
    if (face.leftEye && face.rightEye) {
        head.eyeLine = (face.leftEye->y() + face.rightEye->y()) / 2.0;
        head.centreX = (face.leftEye->x() + face.rightEye->x()) / 2.0;
    } else {
        head.eyeLine = box.top() + EyesBelowBoxTop * box.height();
        head.centreX = box.center().x();
    }
    return head;
}

QRect PhotoSelection(const Head& head, QSize bounds, QSize largest)
{
    const int widest = std::min(bounds.width(), largest.width());
    const int tallest = std::min(bounds.height(), largest.height());
    int height = Round((head.chin - head.crown) / HeadShare);
    height = std::min({height, tallest});
    while (height > MinimumSide && WidthFor(height) > widest)
        --height;
    if (height < MinimumSide || WidthFor(height) > widest)
        return {};
    const int width = WidthFor(height);
    int top = Round(head.eyeLine - (1.0 - EyeLineFromBottom) * height);
    int left = Round(head.centreX - width / 2.0);
    top = std::clamp(top, 0, bounds.height() - height);
    left = std::clamp(left, 0, bounds.width() - width);
    return QRect(left, top, width, height);
}

} // namespace PortraitGeometry
