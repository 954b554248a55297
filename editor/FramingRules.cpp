#include "FramingRules.h"

#include "Numbers.h"

#include <cmath>
#include <cstdlib>

namespace Framing {

namespace {

constexpr int MinimumSide = 20;

qint16 I16(double value)
{
    return Numbers::ToInt16(value);
}

qint16 Clamp16(long long value)
{
    return Numbers::ClampInt16(value);
}

// The photo's side recomputed from the other one, in double precision.
qint16 HeightFromWidth(int width, const EditorKind& kind)
{
    return I16(width / kind.proportionExact);
}

qint16 WidthFromHeight(int height, const EditorKind& kind)
{
    return I16(height * kind.proportionExact);
}

} // namespace

float SingleRatio(double numerator, double denominator)
{
    return static_cast<float>(numerator / denominator);
}

ScrollSetup SetUpScroll(int viewport, int picture)
{
    ScrollSetup setup;
    if (picture > viewport) {
        setup.enabled = true;
        setup.smallStep = I16(viewport / 20.0);
        setup.largeStep = I16(viewport / 2.0);
        setup.maximum = I16(std::abs(viewport - picture));
        setup.view = Clamp16(viewport);
    } else {
        setup.view = Clamp16(picture);
    }
    return setup;
}

Selection InitialSelection(qint16 viewWidth, qint16 viewHeight, const EditorKind& kind)
{
    Selection s;
    s.width = I16(viewWidth * 0.9);
    s.height = I16(viewHeight * 0.9);
    if (s.height > 0) {
        const float r = SingleRatio(s.width, s.height);
        if (r < kind.proportion)
            s.height = I16(s.width / kind.proportionExact);
        else if (r > kind.proportion)
            s.width = kind.keepsProportion ? I16(s.height * kind.proportionExact)
                                           : Clamp16(static_cast<long long>(s.height) * std::lround(kind.proportionExact));
    }
    s.left = I16((viewWidth - s.width) / 2.0);
    s.top = I16((viewHeight - s.height) / 2.0);
    return s;
}

std::vector<ScrollAssignment> BuiltInPresets(int w, int h, const EditorKind& kind)
{
    std::vector<ScrollAssignment> assignments;
    if (w > 2100)
        assignments.push_back({ScrollAssignment::Horizontal, kind.wideSh});
    if (h > 2700)
        assignments.push_back({ScrollAssignment::Vertical, kind.tallSv});
    if (w >= 2350 && w <= 2750 && h >= 1464 && h <= 1864) {
        assignments.push_back({ScrollAssignment::Horizontal, kind.middleSh});
        assignments.push_back({ScrollAssignment::Vertical, kind.middleSv});
    }
    return assignments;
}

Edges EdgesOf(const Selection& s, int h, int v)
{
    const int left = s.left + h;
    const int top = s.top + v;
    return {left, top, left + s.width, top + s.height};
}

bool InSelection(const Edges& e, float x, float y)
{
    return float(e.left) <= x && x <= float(e.right) && float(e.top) <= y && y <= float(e.bottom);
}

bool InBottomRightGrip(const Edges& e, float x, float y)
{
    return float(e.right - 8) <= x && x <= float(e.right) && float(e.bottom - 8) <= y && y <= float(e.bottom);
}

bool InTopLeftGrip(const Edges& e, float x, float y)
{
    return float(e.left) <= x && x <= float(e.left + 8) && float(e.top) <= y && y <= float(e.top + 8);
}

Press PressAt(int buttons, float x, float y, const Selection& s, int h, int v)
{
    Press press;
    if (buttons != 1)
        return press;
    press.grabDX = I16(double(x) - s.left);
    press.grabDY = I16(double(y) - s.top);
    const Edges e = EdgesOf(s, h, v);
    if (!InSelection(e, x, y))
        return press;
    press.dragMode = Moving;
    if (InBottomRightGrip(e, x, y))
        press.dragMode = ResizingBottomRight;
    if (InTopLeftGrip(e, x, y))
        press.dragMode = ResizingTopLeft;
    return press;
}

int HoverPointer(const Selection& s, int h, int v, float x, float y)
{
    const Edges e = EdgesOf(s, h, v);
    if (!InSelection(e, x, y))
        return PointerDefault;
    if (InBottomRightGrip(e, x, y) || InTopLeftGrip(e, x, y))
        return PointerDiagonal;
    return PointerFourWay;
}

Step MoveStep(const Selection& s, float x, float y, qint16 grabDX, qint16 grabDY, View view)
{
    Step step{s, -1};
    int left = I16(double(x) - grabDX);
    int top = I16(double(y) - grabDY);
    if (left < 0)
        left = 0;
    if (top < 0)
        top = 0;
    if (left + s.width >= view.width)
        left = view.width - s.width - 1;
    if (top + s.height >= view.height)
        top = view.height - s.height - 1;
    // A selection as large as the view still starts inside it.
    step.selection.left = Clamp16(qMax(0, left));
    step.selection.top = Clamp16(qMax(0, top));
    return step;
}

Proportioned CorrectProportion(int width, int height)
{
    const float r = SingleRatio(width, height);
    const float a = EditorKind::Photo().proportion;
    if (r < a)
        return {WidthFromHeight(height, EditorKind::Photo()), height, PointerVertical};
    if (r > a)
        return {width, HeightFromWidth(width, EditorKind::Photo()), PointerHorizontal};
    return {width, height, PointerDiagonal};
}

Step ResizeBottomRightStep(const Selection& s, float x, float y, int h, int v, View view, const EditorKind& kind)
{
    Step step{s, PointerDiagonal};
    Selection& n = step.selection;
    int width = qMax<int>(MinimumSide, I16(double(x) - (s.left + h)));
    int height = qMax<int>(MinimumSide, I16(double(y) - (s.top + v)));
    if (kind.keepsProportion) {
        const Proportioned p = CorrectProportion(width, height);
        width = p.width;
        height = p.height;
        step.pointer = p.pointer;
    }
    if (s.left + width >= view.width) {
        width = view.width - s.left - 1;
        if (kind.keepsProportion)
            height = HeightFromWidth(width, kind);
    }
    if (s.top + height >= view.height) {
        height = view.height - s.top - 1;
        if (kind.keepsProportion)
            width = WidthFromHeight(height, kind);
    }
    n.width = Clamp16(qMax(1, width));
    n.height = Clamp16(qMax(1, height));
    return step;
}

Step ResizeTopLeftStep(const Selection& s, float x, float y, int h, int v, View, const EditorKind& kind)
{
    Step step{s, PointerDiagonal};
    Selection& n = step.selection;
    const int rightV = s.left + s.width;
    const int bottomV = s.top + s.height;
    const int left = qMax(0, int(I16(double(x) - h)));
    const int top = qMax(0, int(I16(double(y) - v)));
    int width = qMax(MinimumSide, rightV - left);
    int height = qMax(MinimumSide, bottomV - top);
    if (kind.keepsProportion) {
        const Proportioned p = CorrectProportion(width, height);
        width = p.width;
        height = p.height;
        step.pointer = p.pointer;
    }
    if (rightV - width < 0) {
        width = rightV;
        if (kind.keepsProportion)
            height = HeightFromWidth(rightV, kind);
    }
    if (bottomV - height < 0) {
        height = bottomV;
        if (kind.keepsProportion)
            width = WidthFromHeight(bottomV, kind);
    }
    width = qMax(1, width);
    height = qMax(1, height);
    n.width = Clamp16(width);
    n.height = Clamp16(height);
    n.left = Clamp16(qMax(0, rightV - width));
    n.top = Clamp16(qMax(0, bottomV - height));
    return step;
}

Step KeyMoveStep(const Selection& s, int dx, int dy, View view)
{
    // A drag whose grab point is the selection's own corner.
    return MoveStep(s, float(s.left + dx), float(s.top + dy), 0, 0, view);
}

Step KeyResizeStep(const Selection& s, int dx, int dy, int h, int v, View view, const EditorKind& kind)
{
    const Edges e = EdgesOf(s, h, v);
    float x = float(e.right + dx);
    float y = float(e.bottom + dy);
    if (kind.keepsProportion) {
        // The side that does not move is made the short one, so that the
        // correction takes it from the side that does.
        if (dx != 0)
            y = float(e.top + 1);
        else
            x = float(e.left + 1);
    }
    Step step = ResizeBottomRightStep(s, x, y, h, v, view, kind);
    step.pointer = -1;
    return step;
}

Placement PlaceInView(const QRect& target, View view, int maximumH, int maximumV)
{
    Placement p;
    // A selection stays one pixel short of the view's far edges.
    const int widest = qMax(1, view.width - 1);
    const int tallest = qMax(1, view.height - 1);
    long long width = qMax(1, target.width());
    long long height = qMax(1, target.height());
    if (width > widest || height > tallest) {
        // The side that limits takes the view's extent, the other its
        // share, truncated.
        if (width * tallest > height * widest) {
            height = qMax(1LL, height * widest / width);
            width = widest;
        } else {
            width = qMax(1LL, width * tallest / height);
            height = tallest;
        }
    }
    const double middleX = target.x() + target.width() / 2.0;
    const double middleY = target.y() + target.height() / 2.0;
    p.h = qBound(0, int(Numbers::RoundHalfEven(middleX - view.width / 2.0)), qMax(0, maximumH));
    p.v = qBound(0, int(Numbers::RoundHalfEven(middleY - view.height / 2.0)), qMax(0, maximumV));
    const int left = int(Numbers::RoundHalfEven(middleX - width / 2.0)) - p.h;
    const int top = int(Numbers::RoundHalfEven(middleY - height / 2.0)) - p.v;
    p.selection.width = Clamp16(width);
    p.selection.height = Clamp16(height);
    p.selection.left = Clamp16(qBound(0, left, qMax(0, view.width - 1 - p.selection.width)));
    p.selection.top = Clamp16(qBound(0, top, qMax(0, view.height - 1 - p.selection.height)));
    return p;
}

QRect SignaturePreview(int width, int height, QPoint frame)
{
    constexpr int AreaWidth = 706;
    constexpr int AreaHeight = 138;
    if (width <= 0 || height <= 0)
        return QRect(frame.x() + 1, frame.y() + 1, 0, 0);
    const float sx = SingleRatio(width, AreaWidth);
    const float sy = SingleRatio(height, AreaHeight);
    int w = AreaWidth;
    int h = AreaHeight;
    if (sy > sx)
        w = qMin(AreaWidth, static_cast<int>(std::floor(width / double(sy))));
    else
        h = qMin(AreaHeight, static_cast<int>(std::floor(height / double(sx))));
    const int left = (AreaWidth - w) / 2 + frame.x() + 1;
    const int top = (AreaHeight - h) / 2 + frame.y() + 1;
    return QRect(left, top, w, h);
}

} // namespace Framing
