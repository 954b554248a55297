#pragma once
// The button's palette: colour shifts, blends, the resolution of system
// colour references and the palette of each colour scheme. Pure arithmetic
// over OleColor values, red in the low byte.

#include "OleColor.h"

// A colour with the top bit set refers to a system colour by its index in the
// low byte (0x8000000F: button face).
constexpr bool IsSystemColor(OleColor color) { return (color & 0x80000000u) != 0; }

namespace SystemColorIndex {
constexpr int Highlight = 13;
constexpr int ButtonFace = 15;
constexpr int ButtonShadow = 16;
constexpr int ButtonText = 18;
constexpr int ButtonHighlight = 20;
constexpr int DarkShadow3D = 21;
constexpr int Light3D = 22;
} // namespace SystemColorIndex

// The desktop colours a button of scheme 1 is drawn in. On this desktop they
// come from the widget palette (see chameleonButton::SystemPalette).
struct SystemColors {
    OleColor buttonFace = MakeOleColor(239, 239, 239);
    OleColor buttonText = 0;
    OleColor buttonShadow = MakeOleColor(159, 159, 159);
    OleColor light3D = MakeOleColor(202, 202, 202);
    OleColor buttonHighlight = MakeOleColor(255, 255, 255);
    OleColor darkShadow3D = MakeOleColor(118, 118, 118);
    OleColor highlight = MakeOleColor(48, 140, 198);
    OleColor window = MakeOleColor(255, 255, 255);
    OleColor windowText = 0;
};

// A system colour reference resolved to a plain colour; plain colours are
// returned as they are (without the unused top byte).
OleColor TranslateColor(OleColor color, const SystemColors& system);

// Every channel moved by k (capped at 0 and 255). With softBevel k is halved
// first, truncated toward zero; blueScaled moves blue by k * blue / 192
// instead of k.
OleColor ShiftColor(OleColor color, int k, bool blueScaled, bool softBevel);

// Every channel c becomes k + (255 - k) * c / 255: the colour lightened toward
// white by k.
OleColor BlendColor(OleColor color, int k);

struct ButtonPalette {
    OleColor FaceColor = 0;
    OleColor FaceOverColor = 0;
    OleColor LightColor = 0;
    OleColor HighlightColor = 0;
    OleColor ShadowColor = 0;
    OleColor DarkShadowColor = 0;
    OleColor TextColor = 0;
    OleColor TextOverColor = 0;
    OleColor SelectionColor = 0;
    OleColor HoverFillColor = 0;
    OleColor MaskRgb = 0;
    OleColor LightFaceColor = 0;
};

struct ColorInputs {
    int colorScheme = 1; // 1 system, 2 the properties, 3 fixed grey, 4 the container's
    int buttonType = 2;
    bool softBevel = false;
    OleColor backColor = 0;
    OleColor backOver = 0;
    OleColor foreColor = 0;
    OleColor foreOver = 0;
    OleColor maskColor = MakeOleColor(192, 192, 192);
    SystemColors system;
    OleColor parentBack = 0; // scheme 4: the container's background and text colours
    OleColor parentText = 0;
};

ButtonPalette SetColors(const ColorInputs& in);
