#include "ButtonRenderer.h"

#include "LineBreaks.h"

#include <QPainter>

ButtonRenderer::ButtonRenderer(QImage& surface, const ButtonPaintState& state)
    : surface_(surface)
    , canvas_(surface)
    , s_(state)
    , W_(state.width)
    , H_(state.height)
{
}

void ButtonRenderer::Paint(int state)
{
    canvas_.DrawRect(0, 0, W_, H_, c().FaceColor, false);
    if (!s_.enabled)
        look_ = PictureState::Disabled;
    else if (state == 2)
        look_ = PictureState::Pressed;
    else if (state == 0)
        look_ = PictureState::Normal;
    else
        return;
    if (s_.buttonType == 3)
        drawStyle3(look_);
    else
        drawOtherStyle(look_);
    DrawPicture(look_);
}

OleColor ButtonRenderer::shift(OleColor color, int k) const
{
    return ShiftColor(color, k, false, s_.softBevel);
}

OleColor ButtonRenderer::L(int k) const
{
    return ShiftColor(c().LightFaceColor, k, true, s_.softBevel);
}

void ButtonRenderer::drawText(const EdgeRect& r, OleColor color, int dx, int dy)
{
    if (s_.caption.isEmpty())
        return;
    QPainter p(&surface_);
    p.setFont(s_.font);
    p.setPen(ToQColor(color));
    // The caption was measured with the widget's metrics; the surface can
    // lay a line out a fraction wider, which must not break it in two.
    // Widening the box on both sides keeps the centred text where it was.
    constexpr int Slack = 3;
    p.drawText(QRect(r.left + dx - Slack, r.top + dy, r.right - r.left + 2 * Slack, r.bottom - r.top),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic,
               WithLineFeeds(s_.caption));
}

void ButtonRenderer::DrawCaption(int mode)
{
    lastCaptionMode_ = mode;
    const EdgeRect& caption = s_.layout.caption;
    const EdgeRect& pressed = s_.layout.pressedCaption;
    switch (mode) {
    case 0:
        DrawCaptionEffect(caption);
        drawText(caption, c().TextColor);
        break;
    case 1:
        DrawCaptionEffect(caption);
        drawText(caption, c().TextOverColor);
        break;
    case 2:
        DrawCaptionEffect(pressed);
        drawText(pressed, s_.buttonType == 4 ? c().LightColor : c().TextOverColor);
        break;
    case 3:
        drawText(pressed, c().HighlightColor);
        drawText(caption, c().ShadowColor);
        break;
    case 4:
        drawText(caption, c().ShadowColor);
        break;
    case 5:
        drawText(caption, L(-104));
        break;
    case 6:
        drawText(pressed, c().HighlightColor);
        drawText(caption, c().FaceColor);
        break;
    case 7:
        drawText(pressed, shift(c().ShadowColor, -50));
        drawText(caption, c().HighlightColor);
        break;
    default:
        break;
    }
}

void ButtonRenderer::DrawCaptionEffect(const EdgeRect& rect)
{
    const int effect = s_.specialEffect;
    if (effect <= 0)
        return;
    const int type = s_.buttonType;
    OleColor base = c().FaceColor;
    if (type == 3 || type == 4 || type == 14)
        base = c().LightFaceColor;
    else if (look_ == PictureState::Normal && s_.mouseOver && s_.colorScheme != 2 && type == 9)
        base = c().HoverFillColor;
    drawText(rect, shift(base, effect == 2 ? 40 : -40), 1, 1);
    if (effect == 1 || effect == 2)
        drawText(rect, shift(base, effect == 2 ? -40 : 40), -1, -1);
}

void ButtonRenderer::blit(const ButtonPicture& picture, int dx, int dy, BlitOptions options)
{
    if (picture.isNull())
        return;
    options.maskRgb = c().MaskRgb;
    options.useMaskColor = s_.useMaskColor;
    BlitPicture(surface_, s_.layout.pictureLeft + dx, s_.layout.pictureTop + dy, -1, -1,
                picture.bitmap(c().MaskRgb), options);
}

void ButtonRenderer::DrawPictureEffect(int offset, const ButtonPicture& picture)
{
    const int effect = s_.specialEffect;
    if (effect <= 0 || picture.isNull())
        return;
    OleColor base = c().FaceColor;
    if (s_.buttonType == 3)
        base = c().LightFaceColor;
    else if (s_.buttonType == 9 && s_.mouseOver && s_.colorScheme != 2)
        base = c().HoverFillColor;
    BlitOptions first;
    first.silhouette = shift(base, effect == 2 ? 40 : -40);
    blit(picture, offset + 1, offset + 1, first);
    if (effect == 1 || effect == 2) {
        BlitOptions second;
        second.silhouette = shift(base, effect == 2 ? -40 : 40);
        blit(picture, offset - 1, offset - 1, second);
    }
}

void ButtonRenderer::DrawPicture(PictureState pictureState)
{
    const ButtonPicture none;
    const ButtonPicture& normal = s_.pictureNormal ? *s_.pictureNormal : none;
    const ButtonPicture& over = s_.pictureOver ? *s_.pictureOver : none;
    const int type = s_.buttonType;
    switch (pictureState) {
    case PictureState::Normal:
        if (!s_.mouseOver) {
            DrawPictureEffect(0, normal);
            BlitOptions o;
            o.greyscale = s_.useGreyscale;
            o.blend = type == 9;
            blit(normal, 0, 0, o);
        } else if (type == 9) {
            DrawPictureEffect(-1, normal);
            BlitOptions lifted;
            lifted.silhouette = c().ShadowColor;
            blit(normal, 1, 1, lifted);
            blit(normal, -1, -1, {});
        } else {
            const ButtonPicture& shown = over.isNull() ? normal : over;
            DrawPictureEffect(0, shown);
            blit(shown, 0, 0, {});
        }
        break;
    case PictureState::Pressed: {
        const ButtonPicture& shown = (!over.isNull() && type != 9) ? over : normal;
        DrawPictureEffect(1, shown);
        const int d = (type == 5 || type == 9) ? 0 : 1;
        blit(shown, d, d, {});
        break;
    }
    case PictureState::Disabled: {
        BlitOptions o;
        if (type == 3) {
            o.greyscale = true;
            blit(normal, 1, 1, o);
            break;
        }
        o.darkOnly = true;
        if (type == 5 || type == 6) {
            o.silhouette = c().ShadowColor;
            blit(normal, 0, 0, o);
        } else if (type == 9) {
            o.silhouette = shift(c().ShadowColor, 13);
            blit(normal, 0, 0, o);
        } else {
            o.silhouette = c().HighlightColor;
            blit(normal, 1, 1, o);
            o.silhouette = c().ShadowColor;
            blit(normal, 0, 0, o);
        }
        break;
    }
    }
    if (s_.picturePosition == 4 && lastCaptionMode_ >= 0)
        DrawCaption(lastCaptionMode_);
}

void ButtonRenderer::DrawFrame(OleColor a, OleColor b, OleColor cc, OleColor d, int offset, bool singleRing)
{
    const int o = offset < 0 ? -offset : offset;
    const int x2 = W_ + offset - 1;
    const int y2 = H_ + offset - 1;
    canvas_.MoveTo(o, y2);
    canvas_.LineTo(o, o, a);
    canvas_.LineTo(x2, o, a);
    canvas_.LineTo(x2, y2, b);
    canvas_.LineTo(o - 1, y2, b);
    if (singleRing)
        return;
    canvas_.MoveTo(o + 1, y2 - 1);
    canvas_.LineTo(o + 1, o + 1, cc);
    canvas_.LineTo(x2 - 1, o + 1, cc);
    canvas_.LineTo(x2 - 1, y2 - 1, d);
    canvas_.LineTo(o, y2 - 1, d);
}

void ButtonRenderer::DrawFocus()
{
    if (!s_.showFocusRect || !s_.hasFocus)
        return;
    // The dotted focus rectangle: every other pixel of its border, in the
    // caption colour.
    const EdgeRect& f = s_.focusRect;
    if (f.right <= f.left || f.bottom <= f.top)
        return;
    const OleColor color = c().TextColor;
    for (int x = f.left; x < f.right; x += 2) {
        canvas_.PutPixel(x, f.top, color);
        canvas_.PutPixel(x, f.bottom - 1, color);
    }
    for (int y = f.top; y < f.bottom; y += 2) {
        canvas_.PutPixel(f.left, y, color);
        canvas_.PutPixel(f.right - 1, y, color);
    }
}

void ButtonRenderer::copyBackground()
{
    if (!s_.background || s_.background->isNull())
        return;
    QPainter p(&surface_);
    p.drawImage(0, 0, *s_.background);
}
