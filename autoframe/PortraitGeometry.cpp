#include "PortraitGeometry.h"

#include "Numbers.h"

#include <algorithm>
#include <cmath>

namespace PortraitGeometry {

namespace {

// The eye line is held this near its place (of the crop's height), inside
// the range the check accepts with a margin for rounding.
constexpr double EyeLineSlack = 0.04;

// Room left between the crown and the photo's top edge, of its height: a
// head touching the edge reads as cut.
constexpr double RoomAbove = 0.025;

// The smallest share of the head the composition gives up to for that
// room, with a margin for the crown's uncertainty inside the accepted range.
constexpr double SmallestShare = 0.72;

// The head's share of the photo's height and the eye line from its bottom.
struct Composition {
    double share = HeadShare;
    double eyeLine = EyeLineFromBottom;
};

// The passport composition where it leaves room above the crown. Eyes set
// low under high hair put the crown out of the top at 75 % and 60 %: then
// the eye line goes down within its range first, the head's share after.
Composition CompositionFor(const Head& head)
{
    const Composition passport;
    const double height = head.chin - head.crown;
    if (height <= 0)
        return passport;
    const double eyes = (head.eyeLine - head.crown) / height; // crown to eyes, of the head
    if (1.0 - passport.eyeLine - eyes * passport.share >= RoomAbove)
        return passport;
    const double lowest = EyeLineFromBottom - EyeLineSlack;
    if (const double eyeLine = 1.0 - RoomAbove - eyes * HeadShare; eyeLine >= lowest)
        return {HeadShare, eyeLine};
    return {std::max(SmallestShare, (1.0 - lowest - RoomAbove) / eyes), lowest};
}

int Round(double value)
{
    return int(Numbers::RoundHalfEven(value));
}

// The crop of the given height placed as the composition wants it, then
// moved inside the photograph.
QRect Placed(const Head& head, int height, const QRect& photograph, double eyeLine)
{
    const int width = WidthFor(height);
    int top = Round(head.eyeLine - (1.0 - eyeLine) * height);
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
    const Composition composition = CompositionFor(head);
    const int wanted = std::max(MinimumSide, Round((head.chin - head.crown) / composition.share));
    const int tallest = TallestWithin(wanted, photograph.width(), photograph.height());
    if (tallest < MinimumSide)
        return crop;
    const QRect ideal = Placed(head, wanted, QRect(-1000000, -1000000, 2000000, 2000000), composition.eyeLine);
    if (photograph.contains(ideal)) {
        crop.selection = ideal;
        crop.ideal = true;
    } else {
        // The tallest crop inside the photograph whose eye line stays in
        // its range (a smaller crop moves the head's share further from
        // the ideal); failing that, the one whose eye line comes nearest.
        double nearest = 2;
        for (int height = tallest; height >= MinimumSide; --height) {
            const QRect candidate = Placed(head, height, photograph, composition.eyeLine);
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
        crop.selection = height < MinimumSide ? QRect() : Placed(head, height, photograph, composition.eyeLine);
    }
    return crop;
}

} // namespace PortraitGeometry
