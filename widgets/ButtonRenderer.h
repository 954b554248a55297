#pragma once
// One repaint of a button onto its surface: the face fill, the look of its
// style in the asked state (normal, hovered, pressed, disabled) and its
// picture. The renderer owns nothing; it reads everything from a
// ButtonPaintState that the control fills in.

#include "ButtonColors.h"
#include "ButtonLayout.h"
#include "ButtonPicture.h"
#include "GdiCanvas.h"
#include "PictureBlit.h"

#include <QFont>
#include <QImage>
#include <QString>

struct ButtonPaintState {
    int buttonType = 2;
    int width = 0;
    int height = 0;
    bool enabled = true;
    bool mouseOver = false;
    bool hasFocus = false;
    bool displayAsDefault = false; // the container marks it as its default button
    bool showFocusRect = true;
    bool softBevel = false;
    bool useMaskColor = true;
    bool useGreyscale = false;
    int colorScheme = 1;
    int specialEffect = 0;   // 0 none, 1 raised, 2 sunken, 3 shadow
    int picturePosition = 0; // 4: behind the caption
    QString caption;
    QFont font;
    ButtonPalette colors;
    ButtonLayout layout;
    EdgeRect focusRect;
    const ButtonPicture* pictureNormal = nullptr;
    const ButtonPicture* pictureOver = nullptr;
    const QImage* background = nullptr; // style 11
};

// Picture states.
enum class PictureState { Normal = 0, Pressed = 1, Disabled = 2 };

class ButtonRenderer {
public:
    ButtonRenderer(QImage& surface, const ButtonPaintState& state);

    // Fill with the face colour, draw the look for state (0 normal,
    // 2 pressed; disabled whenever the button is disabled), then the picture.
    void Paint(int state);

private:
    // Looks; the style 3 ones live in ButtonStyle3.cpp, the others in
    // ButtonStyles.cpp.
    void drawStyle3(PictureState look);
    void drawStyle3Normal(bool hovered);
    void drawStyle3Pressed();
    void drawStyle3Disabled();
    void drawOtherStyle(PictureState look);
    void drawNormal(bool hovered);
    void drawPressed();
    void drawDisabled();
    void drawStyle4(PictureState look);
    void drawStyle5(PictureState look);
    void drawStyle9(PictureState look);
    void drawStyle13(PictureState look);
    void drawStyle14(PictureState look);

    // Shared steps (ButtonRenderer.cpp).
    void DrawCaption(int mode);
    void DrawCaptionEffect(const EdgeRect& rect);
    void DrawPicture(PictureState pictureState);
    void DrawPictureEffect(int offset, const ButtonPicture& picture);
    void DrawFrame(OleColor a, OleColor b, OleColor c, OleColor d, int offset, bool singleRing);
    void DrawFocus();
    void drawText(const EdgeRect& rect, OleColor color, int dx = 0, int dy = 0);
    void blit(const ButtonPicture& picture, int dx, int dy, BlitOptions options);
    void copyBackground();

    OleColor shift(OleColor color, int k) const;  // not blue scaled
    OleColor L(int k) const;                       // style 3: LightFaceColor shifted, blue scaled
    const ButtonPalette& c() const { return s_.colors; }

    QImage& surface_;
    GdiCanvas canvas_;
    const ButtonPaintState& s_;
    int W_;
    int H_;
    PictureState look_ = PictureState::Normal;
    int lastCaptionMode_ = -1; // -1: no caption drawn
};
