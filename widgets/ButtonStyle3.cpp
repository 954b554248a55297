// Style 3, the style of every button of the program: a gradient face with a
// dark blue outline, rounded corners and coloured inner glows.

#include "ButtonRenderer.h"

#include "Numbers.h"

namespace {

constexpr OleColor Outline = MakeOleColor(0, 60, 115);
constexpr OleColor OutlineCorner = MakeOleColor(16, 77, 123);

// The six shapes of an inner glow, outer frame first.
struct Glow {
    OleColor frame, bottom, top, second, left, right;
};
constexpr Glow HoverGlow{MakeOleColor(255, 178, 49), MakeOleColor(231, 150, 0), MakeOleColor(255, 243, 206),
                         MakeOleColor(255, 219, 140), MakeOleColor(255, 203, 107), MakeOleColor(255, 203, 107)};
constexpr Glow FocusGlow{MakeOleColor(140, 174, 231), MakeOleColor(107, 130, 239), MakeOleColor(206, 231, 255),
                         MakeOleColor(189, 215, 247), MakeOleColor(181, 209, 240), MakeOleColor(181, 209, 240)};

// The gradient row i of a button H high is shifted by -round(25 / H * i),
// computed in single precision.
int GradientShift(int H, int i)
{
    const float step = 25.0f / static_cast<float>(H);
    const float k = -step * static_cast<float>(i);
    return static_cast<int>(Numbers::RoundHalfEven(static_cast<double>(k)));
}

} // namespace

void ButtonRenderer::drawStyle3(PictureState look)
{
    switch (look) {
    case PictureState::Normal:
        drawStyle3Normal(s_.mouseOver);
        break;
    case PictureState::Pressed:
        drawStyle3Pressed();
        break;
    case PictureState::Disabled:
        drawStyle3Disabled();
        break;
    }
}

void ButtonRenderer::drawStyle3Normal(bool hovered)
{
    const int W = W_;
    const int H = H_;
    for (int i = 1; i <= H; ++i)
        canvas_.DrawLine(0, i, W, i, L(GradientShift(H, i)));
    DrawCaption(hovered ? 1 : 0);

    canvas_.DrawRect(0, 0, W, H, Outline, true);
    for (const QPoint& p : {QPoint(1, 1), QPoint(1, H - 2), QPoint(W - 2, 1), QPoint(W - 2, H - 2)})
        canvas_.PutPixel(p.x(), p.y(), OutlineCorner);

    const bool focusGlow = s_.showFocusRect && (s_.hasFocus || s_.displayAsDefault);
    if (hovered || focusGlow) {
        const Glow& g = hovered ? HoverGlow : FocusGlow;
        canvas_.DrawRect(1, 2, W - 2, H - 4, g.frame, true);
        canvas_.DrawLine(2, H - 2, W - 2, H - 2, g.bottom);
        canvas_.DrawLine(2, 1, W - 2, 1, g.top);
        canvas_.DrawLine(1, 2, W - 1, 2, g.second);
        canvas_.DrawLine(2, 3, 2, H - 3, g.left);
        canvas_.DrawLine(W - 3, 3, W - 3, H - 3, g.right);
        return;
    }
    canvas_.DrawLine(2, H - 2, W - 2, H - 2, L(-48));
    canvas_.DrawLine(1, H - 3, W - 2, H - 3, L(-32));
    canvas_.DrawLine(W - 2, 2, W - 2, H - 2, L(-36));
    canvas_.DrawLine(W - 3, 3, W - 3, H - 3, L(-24));
    canvas_.DrawLine(2, 1, W - 2, 1, L(16));
    canvas_.DrawLine(1, 2, W - 2, 2, L(10));
    canvas_.DrawLine(1, 2, 1, H - 2, L(-5));
    canvas_.DrawLine(2, 3, 2, H - 3, L(-10));
}

void ButtonRenderer::drawStyle3Pressed()
{
    const int W = W_;
    const int H = H_;
    const OleColor base = L(-32);
    const auto B = [&](int k) { return ShiftColor(base, k, true, s_.softBevel); };
    for (int i = 1; i <= H; ++i)
        canvas_.DrawLine(0, H - i, W, H - i, B(GradientShift(H, i)));
    DrawCaption(2);

    canvas_.DrawRect(0, 0, W, H, Outline, true);
    for (const QPoint& p : {QPoint(1, 1), QPoint(1, H - 2), QPoint(W - 2, 1), QPoint(W - 2, H - 2)})
        canvas_.PutPixel(p.x(), p.y(), OutlineCorner);

    canvas_.DrawLine(2, H - 2, W - 2, H - 2, B(16));
    canvas_.DrawLine(1, H - 3, W - 2, H - 3, B(10));
    canvas_.DrawLine(W - 2, 2, W - 2, H - 2, B(5));
    canvas_.DrawLine(W - 3, 3, W - 3, H - 3, L(0));
    canvas_.DrawLine(2, 1, W - 2, 1, B(-32));
    canvas_.DrawLine(1, 2, W - 2, 2, B(-24));
    canvas_.DrawLine(1, 2, 1, H - 2, B(-32));
    canvas_.DrawLine(2, 2, 2, H - 2, B(-22));
}

void ButtonRenderer::drawStyle3Disabled()
{
    const int W = W_;
    const int H = H_;
    canvas_.DrawRect(0, 0, W, H, L(-24), false);
    DrawCaption(5);
    canvas_.DrawRect(0, 0, W, H, L(-84), true);
    for (const QPoint& p : {QPoint(1, 1), QPoint(1, H - 2), QPoint(W - 2, 1), QPoint(W - 2, H - 2)})
        canvas_.PutPixel(p.x(), p.y(), L(-72));
}
