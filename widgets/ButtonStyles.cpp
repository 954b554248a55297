// The fourteen styles besides style 3. Each fills in what differs from the
// face fill: bevels, frames, fills and its caption mode.

#include "ButtonRenderer.h"

#include "Numbers.h"

namespace {
constexpr OleColor Style5Focus = MakeOleColor(153, 153, 204);
} // namespace

void ButtonRenderer::drawOtherStyle(PictureState look)
{
    switch (s_.buttonType) {
    case 4:
        drawStyle4(look);
        return;
    case 5:
        drawStyle5(look);
        return;
    case 9:
        drawStyle9(look);
        return;
    case 13:
        drawStyle13(look);
        return;
    case 14:
        drawStyle14(look);
        return;
    default:
        break;
    }
    switch (look) {
    case PictureState::Normal:
        drawNormal(s_.mouseOver);
        break;
    case PictureState::Pressed:
        drawPressed();
        break;
    case PictureState::Disabled:
        drawDisabled();
        break;
    }
}

// Styles 0-2, 6-8 and 10-12.
void ButtonRenderer::drawNormal(bool hovered)
{
    const ButtonPalette& p = c();
    const bool isDefault = s_.displayAsDefault && s_.showFocusRect;
    switch (s_.buttonType) {
    case 0:
    case 10:
        return;
    case 1:
        DrawFrame(p.HighlightColor, p.ShadowColor, p.HighlightColor, p.ShadowColor, -1, false);
        canvas_.DrawRect(0, 0, W_, H_, p.DarkShadowColor, true);
        break;
    case 2:
        if (isDefault) {
            DrawFrame(p.HighlightColor, p.DarkShadowColor, p.LightColor, p.ShadowColor, -1, false);
            canvas_.DrawRect(0, 0, W_, H_, p.DarkShadowColor, true);
        } else {
            DrawFrame(p.HighlightColor, p.DarkShadowColor, p.LightColor, p.ShadowColor, 0, false);
        }
        break;
    case 6:
        DrawFrame(shift(p.LightColor, 8), p.ShadowColor, shift(p.LightColor, 8), p.ShadowColor, 0, false);
        break;
    case 7:
        DrawFrame(p.HighlightColor, p.ShadowColor, 0, 0, 0, true);
        break;
    case 8:
        if (hovered)
            DrawFrame(p.HighlightColor, p.ShadowColor, 0, 0, 0, true);
        break;
    case 11:
        copyBackground();
        break;
    case 12:
        if (hovered)
            DrawFrame(p.HighlightColor, p.DarkShadowColor, p.LightColor, p.ShadowColor, 0, false);
        break;
    default:
        break;
    }
    DrawCaption(hovered ? 1 : 0);
    if (s_.buttonType != 2 || s_.displayAsDefault)
        DrawFocus();
}

void ButtonRenderer::drawPressed()
{
    const ButtonPalette& p = c();
    switch (s_.buttonType) {
    case 0:
    case 10:
        return;
    case 1:
        DrawFrame(p.ShadowColor, p.HighlightColor, p.ShadowColor, p.HighlightColor, -1, false);
        canvas_.DrawRect(0, 0, W_, H_, p.DarkShadowColor, true);
        break;
    case 2:
        if (s_.displayAsDefault) {
            canvas_.DrawRect(0, 0, W_, H_, p.DarkShadowColor, true);
            canvas_.DrawRect(1, 1, W_ - 2, H_ - 2, p.ShadowColor, true);
        } else {
            DrawFrame(p.DarkShadowColor, p.HighlightColor, p.ShadowColor, p.LightColor, 0, false);
        }
        break;
    case 6:
        DrawFrame(p.ShadowColor, shift(p.LightColor, 8), p.ShadowColor, shift(p.LightColor, 8), 0, false);
        break;
    case 7:
    case 8:
        DrawFrame(p.ShadowColor, p.HighlightColor, 0, 0, 0, true);
        break;
    case 11:
        copyBackground();
        break;
    case 12:
        DrawFrame(p.DarkShadowColor, p.HighlightColor, p.ShadowColor, p.LightColor, 0, false);
        break;
    default:
        break;
    }
    DrawCaption(2);
    if (s_.buttonType != 2 || s_.displayAsDefault)
        DrawFocus();
}

void ButtonRenderer::drawDisabled()
{
    const ButtonPalette& p = c();
    int mode = 3;
    switch (s_.buttonType) {
    case 0:
    case 10:
        return;
    case 1:
        DrawFrame(p.HighlightColor, p.ShadowColor, p.HighlightColor, p.ShadowColor, -1, false);
        canvas_.DrawRect(0, 0, W_, H_, p.DarkShadowColor, true);
        break;
    case 2:
        DrawFrame(p.HighlightColor, p.DarkShadowColor, p.LightColor, p.ShadowColor, 0, false);
        break;
    case 6:
        DrawFrame(shift(p.LightColor, 8), p.ShadowColor, shift(p.LightColor, 8), p.ShadowColor, 0, false);
        mode = 4;
        break;
    case 7:
        DrawFrame(p.HighlightColor, p.ShadowColor, 0, 0, 0, true);
        break;
    case 11:
        copyBackground();
        break;
    default:
        break;
    }
    DrawCaption(mode);
}

// Rounded light panel; sunken when pressed.
void ButtonRenderer::drawStyle4(PictureState look)
{
    const ButtonPalette& p = c();
    const int W = W_;
    const int H = H_;
    if (look == PictureState::Pressed) {
        canvas_.DrawRect(1, 1, W - 2, H - 2, shift(p.ShadowColor, -16), false);
        canvas_.DrawRect(0, 0, W, H, p.DarkShadowColor, true);
        canvas_.DrawRect(1, 1, W - 2, H - 2, shift(p.ShadowColor, -64), true);
        canvas_.DrawRect(2, 2, W - 4, H - 4, shift(p.ShadowColor, -32), true);
        DrawCaption(2);
        return;
    }
    canvas_.DrawRect(1, 1, W - 2, H - 2, p.LightColor, false);
    canvas_.DrawRect(0, 0, W, H, p.DarkShadowColor, true);
    for (const QPoint& px : {QPoint(1, 1), QPoint(W - 2, 1), QPoint(1, H - 2), QPoint(W - 2, H - 2)})
        canvas_.PutPixel(px.x(), px.y(), p.DarkShadowColor);
    canvas_.DrawLine(2, 1, W - 2, 1, p.HighlightColor);
    canvas_.DrawLine(1, 2, 1, H - 2, p.HighlightColor);
    canvas_.DrawLine(2, H - 2, W - 2, H - 2, p.ShadowColor);
    canvas_.DrawLine(W - 2, 2, W - 2, H - 2, p.ShadowColor);
    canvas_.DrawLine(2, H - 3, W - 3, H - 3, p.FaceColor);
    canvas_.DrawLine(W - 3, 2, W - 3, H - 3, p.FaceColor);
    DrawCaption(look == PictureState::Disabled ? 3 : (s_.mouseOver ? 1 : 0));
}

// Flat panel with a thin frame; its focus mark frames the caption.
void ButtonRenderer::drawStyle5(PictureState look)
{
    const ButtonPalette& p = c();
    const int W = W_;
    const int H = H_;
    switch (look) {
    case PictureState::Normal:
        canvas_.DrawRect(1, 1, W - 1, H - 1, shift(p.FaceColor, 12), false);
        canvas_.DrawRect(1, 1, W - 1, H - 1, p.HighlightColor, true);
        canvas_.DrawRect(0, 0, W - 1, H - 1, shift(p.ShadowColor, -26), true);
        canvas_.PutPixel(1, H - 2, shift(p.ShadowColor, 26));
        canvas_.PutPixel(W - 2, 1, shift(p.ShadowColor, 26));
        DrawCaption(s_.mouseOver ? 1 : 0);
        break;
    case PictureState::Pressed:
        canvas_.DrawRect(1, 1, W - 2, H - 2, shift(p.ShadowColor, 16), false);
        canvas_.DrawRect(0, 0, W - 1, H - 1, shift(p.ShadowColor, -26), true);
        canvas_.DrawLine(1, H - 1, W, H - 1, p.HighlightColor);
        DrawCaption(2);
        break;
    case PictureState::Disabled:
        canvas_.DrawRect(0, 0, W - 1, H - 1, p.ShadowColor, true);
        DrawCaption(4);
        return;
    }
    if (s_.hasFocus && s_.showFocusRect) {
        const EdgeRect& r = s_.layout.caption;
        canvas_.DrawRect(r.left - 2, r.top - 1, r.right - r.left + 4, r.bottom - r.top + 2, Style5Focus, true);
    }
}

// Flat until hovered, then filled and framed in the selection colour.
void ButtonRenderer::drawStyle9(PictureState look)
{
    const ButtonPalette& p = c();
    switch (look) {
    case PictureState::Normal:
        if (s_.mouseOver) {
            canvas_.DrawRect(0, 0, W_, H_, p.HoverFillColor, false);
            canvas_.DrawRect(0, 0, W_, H_, p.SelectionColor, true);
        }
        DrawCaption(s_.mouseOver ? 1 : 0);
        break;
    case PictureState::Pressed:
        if (s_.mouseOver) {
            canvas_.DrawRect(0, 0, W_, H_, shift(p.HoverFillColor, -24), false);
            canvas_.DrawRect(0, 0, W_, H_, p.SelectionColor, true);
        }
        DrawCaption(2);
        break;
    case PictureState::Disabled:
        DrawCaption(4);
        return;
    }
    DrawFocus();
}

// Oval.
void ButtonRenderer::drawStyle13(PictureState look)
{
    const ButtonPalette& p = c();
    if (look == PictureState::Pressed) {
        canvas_.DrawEllipse(0, 0, W_, H_, p.DarkShadowColor, shift(p.FaceColor, -32));
        DrawCaption(2);
        return;
    }
    canvas_.DrawEllipse(0, 0, W_, H_, p.ShadowColor, p.FaceColor);
    DrawCaption(look == PictureState::Disabled ? 3 : (s_.mouseOver ? 1 : 0));
}

// Glossy: a highlight gradient over the upper half, light fill while hovered.
void ButtonRenderer::drawStyle14(PictureState look)
{
    const ButtonPalette& p = c();
    const int W = W_;
    const int H = H_;
    if (look == PictureState::Pressed) {
        canvas_.DrawRect(0, 0, W, H, shift(p.FaceColor, -9), false);
        canvas_.DrawRect(0, 0, W, H, shift(p.ShadowColor, -48), true);
        canvas_.DrawLine(1, H - 2, W - 1, H - 2, p.HighlightColor);
        canvas_.DrawLine(W - 2, 1, W - 2, H - 2, p.HighlightColor);
        DrawCaption(2);
        DrawFocus();
        return;
    }
    if (look == PictureState::Normal && s_.mouseOver)
        canvas_.DrawRect(0, 0, W, H, p.LightColor, false);
    const float step = 58.0f / static_cast<float>(H);
    for (int i = 1; i <= H / 2; ++i) {
        const int k = static_cast<int>(Numbers::RoundHalfEven(-step * static_cast<float>(i)));
        canvas_.DrawLine(1, i, W - 1, i, shift(p.HighlightColor, k));
    }
    canvas_.DrawRect(0, 0, W, H, shift(p.ShadowColor, -50), true);
    canvas_.DrawRect(1, 1, W - 2, H - 2, shift(p.FaceColor, -9), true);
    canvas_.DrawRect(2, 2, W - 4, 2, p.HighlightColor, false);
    canvas_.DrawRect(2, 4, 2, H - 6, p.HighlightColor, false);
    DrawCaption(6);
    if (look == PictureState::Normal)
        DrawFocus();
}
