#include "ButtonColors.h"

#include <algorithm>

OleColor TranslateColor(OleColor color, const SystemColors& s)
{
    if (!IsSystemColor(color))
        return color & 0xFFFFFFu;
    switch (color & 0xFFu) {
    case SystemColorIndex::Highlight: return s.highlight;
    case SystemColorIndex::ButtonFace: return s.buttonFace;
    case SystemColorIndex::ButtonShadow: return s.buttonShadow;
    case SystemColorIndex::ButtonText: return s.buttonText;
    case SystemColorIndex::ButtonHighlight: return s.buttonHighlight;
    case SystemColorIndex::DarkShadow3D: return s.darkShadow3D;
    case SystemColorIndex::Light3D: return s.light3D;
    case 5: return s.window;     // window background
    case 8: return s.windowText; // window text
    case 14: return s.buttonHighlight; // highlighted text
    default: return s.buttonFace;
    }
}

OleColor ShiftColor(OleColor color, int k, bool blueScaled, bool softBevel)
{
    if (softBevel)
        k /= 2; // C++ division truncates toward zero: -25 -> -12
    int red = static_cast<int>(color & 0xFF);
    int green = static_cast<int>((color >> 8) & 0xFF);
    int blue = static_cast<int>((color >> 16) & 0xFF);
    red += k;
    green += k;
    blue += blueScaled ? (k * blue) / 192 : k;
    const auto limit = [k](int c) {
        if (k > 0)
            return std::min(c, 255);
        if (k < 0)
            return std::max(c, 0);
        return c;
    };
    return MakeOleColor(limit(red), limit(green), limit(blue));
}

OleColor BlendColor(OleColor color, int k)
{
    const auto blend = [k](int c) { return std::min(k + ((255 - k) * c) / 255, 255); };
    return MakeOleColor(blend(color & 0xFF), blend((color >> 8) & 0xFF), blend((color >> 16) & 0xFF));
}

ButtonPalette SetColors(const ColorInputs& in)
{
    const auto shift = [&](OleColor c, int k) { return ShiftColor(c, k, false, in.softBevel); };
    const SystemColors& s = in.system;
    ButtonPalette p;
    switch (in.colorScheme) {
    case 2:
        p.FaceColor = TranslateColor(in.backColor, s);
        p.FaceOverColor = TranslateColor(in.backOver, s);
        p.TextColor = TranslateColor(in.foreColor, s);
        p.TextOverColor = TranslateColor(in.foreOver, s);
        p.ShadowColor = shift(p.FaceColor, -64);
        p.LightColor = shift(p.FaceColor, 31);
        p.HighlightColor = shift(p.FaceColor, 47);
        p.DarkShadowColor = shift(p.FaceColor, -192);
        p.SelectionColor = shift(p.FaceColor, -128);
        p.HoverFillColor = p.FaceColor;
        break;
    case 3:
        p.FaceColor = p.FaceOverColor = MakeOleColor(192, 192, 192);
        p.TextColor = p.TextOverColor = 0;
        p.ShadowColor = MakeOleColor(128, 128, 128);
        p.LightColor = MakeOleColor(223, 223, 223);
        p.HighlightColor = MakeOleColor(255, 255, 255);
        p.DarkShadowColor = 0;
        p.SelectionColor = MakeOleColor(0, 0, 128);
        p.HoverFillColor = MakeOleColor(173, 173, 209);
        break;
    case 4:
        p.FaceColor = p.FaceOverColor = in.parentBack & 0xFFFFFFu;
        p.TextColor = p.TextOverColor = in.parentText & 0xFFFFFFu;
        p.ShadowColor = shift(p.FaceColor, -64);
        p.LightColor = shift(p.FaceColor, 31);
        p.HighlightColor = shift(p.FaceColor, 47);
        p.DarkShadowColor = shift(p.FaceColor, -192);
        p.SelectionColor = s.highlight;
        p.HoverFillColor = BlendColor(p.SelectionColor, 176);
        break;
    default:
        p.FaceColor = p.FaceOverColor = s.buttonFace;
        p.TextColor = p.TextOverColor = s.buttonText;
        p.ShadowColor = s.buttonShadow;
        p.LightColor = s.light3D;
        p.HighlightColor = s.buttonHighlight;
        p.DarkShadowColor = s.darkShadow3D;
        p.SelectionColor = s.highlight;
        p.HoverFillColor = BlendColor(p.SelectionColor, 176);
        break;
    }
    p.MaskRgb = TranslateColor(in.maskColor, s);
    p.LightFaceColor = ShiftColor(p.FaceColor, 48, in.buttonType == 3, in.softBevel);
    return p;
}
