#pragma once
// The overlays of the licence-card preview: the produced photo or signature
// turned grey, with its white made transparent so that the card's print
// shows through.

#include <FreeImage.h>

#include <QImage>

// Per colour channel, inclusive: a pixel whose red, green and blue all reach
// the level counts as white paper.
inline constexpr int PhotoOverlayThreshold = 235;
inline constexpr int SignatureOverlayThreshold = 230;

// A greyscale copy of the picture, of the picture's own size, in which
// exactly the pixels of the whitest grey level are transparent: the
// near-white ones (every channel at or above the threshold) and the pure
// white ones. A null image when the picture is null or a step fails.
QImage MakeCardOverlay(const QImage& picture, int threshold);

// The first step of MakeCardOverlay on a 24-bit bitmap: every pixel that is
// near-white but not pure white becomes pure white, one pixel at a time
// through the image bridge.
void WhitenNearWhite(FIBITMAP* bitmap, int threshold);
