#pragma once
// Shared routines of the main window.

#include <QString>

class ImageControl;

namespace Libreria {

// "cx cy w h": the box's centre and size, a centre ending in .5 written with
// its fraction and whole numbers without one (8, 80, 433 x 585 gives
// "224.5 372.5 433 585").
QString BoxTagText(int left, int top, int width, int height);

// Records the control's current box in its tag, so that later pictures can
// be fitted into the box the control has now.
void StoreBoxInTag(ImageControl& control);

} // namespace Libreria
