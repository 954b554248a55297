#include "PortraitGeometry.h"

#include "Numbers.h"

#include <algorithm>
#include <cmath>

namespace PortraitGeometry {

namespace {

// The eye line is held this near its place (of the crop's height), inside
// the range the check accepts with a margin for rounding.
constexpr double EyeLineSlack = 0.04;

int Round(double value)
{
    return int(Numbers::RoundHalfEven(value));
}

// The crop of the given height placed as the composition wants it, then
// moved inside the photograph.
QRect Placed(const Head& head, int height, const QRect& photograph)
{
    const int width = WidthFor(height);
    int top = Round(head.eyeLine - (1.0 - EyeLineFromBottom) * height);
    int left = Round(head.centreX - width / 2.0);
    top = std::clamp(top, photograph.top(), photograph.top() + photograph.height() - height);
    left = std::clamp(left, photograph.left(), photograph.left() + photograph.width() - width);
    return QRect(left, top, width, height);
}

// The tallest height not above wanted whose crop fits width and height.
int TallestWithin(int wanted, int width, int height)
{
    int tallest = std::min(wanted, height);
    while (tallest >= MinimumSide && WidthFor(tallest) > width)
        --tallest;
    return tallest;
}

} // namespace

Head HeadOf(const FaceLandmarks::Face& face, double crown, bool crownMeasured)
{
    Head head;
    head.crown = crown;
    head.chin = face.chin().y();
    head.eyeLine = face.eyeMiddle().y();
    head.centreX = face.eyeMiddle().x();
    head.crownMeasured = crownMeasured;
    head.rollDegrees = face.rollDegrees();
    return head;
}

int WidthFor(int height)
{
    return Round(height * Proportion);
}

double HeadShareIn(const Head& head, const QRect& selection)
{
    return (head.chin - head.crown) / selection.height();
}

double EyeLineIn(const Head& head, const QRect& selection)
{
    return (selection.top() + selection.height() - head.eyeLine) / selection.height();
}

Crop CropFor(const Head& head, const QRect& photograph, QSize largest)
{
    Crop crop;
    const int wanted = std::max(MinimumSide, Round((head.chin - head.crown) / HeadShare));
    const int tallest = TallestWithin(wanted, photograph.width(), photograph.height());
    if (tallest < MinimumSide)
        return crop;
    const QRect ideal = Placed(head, wanted, QRect(-1000000, -1000000, 2000000, 2000000));
    if (photograph.contains(ideal)) {
        crop.selection = ideal;
        crop.ideal = true;
    } else {
        // The tallest crop inside the photograph whose eye line stays in
        // its range (a smaller crop moves the head's share further from
        // the ideal); failing that, the one whose eye line comes nearest.
        double nearest = 2;
        for (int height = tallest; height >= MinimumSide; --height) {
            const QRect candidate = Placed(head, height, photograph);
            const double off = std::abs(EyeLineIn(head, candidate) - EyeLineFromBottom);
            if (off < nearest) {
                crop.selection = candidate;
                nearest = off;
            }
            if (off <= EyeLineSlack)
                break;
        }
    }
    if (crop.selection.height() > largest.height() || crop.selection.width() > largest.width()) {
        const int height = TallestWithin(crop.selection.height(), largest.width(), largest.height());
        crop.limitedByLargest = true;
        crop.selection = height < MinimumSide ? QRect() : Placed(head, height, photograph);
    }
    return crop;
}

} // namespace PortraitGeometry
