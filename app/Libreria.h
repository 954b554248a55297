#pragma once
// Shared routines of the main window: recording a control's box in its tag
// and showing a picture fitted into such a box.

#include <QImage>
#include <QString>

#include <optional>

class ImageControl;

namespace Libreria {

// "cx cy w h": the box's centre and size, a centre ending in .5 written with
// its fraction and whole numbers without one (8, 80, 433 x 585 gives
// "224.5 372.5 433 585").
QString BoxTagText(int left, int top, int width, int height);

// The four numbers of a box tag, each rounded half to even into 16 bits;
// false (and the numbers untouched) when the tag does not hold them.
bool ReadBoxTag(const QString& tag, qint16& cx, qint16& cy, qint16& w, qint16& h);

// Records the control's current box in its tag, so that later pictures can
// be fitted into the box the control has now.
void StoreBoxInTag(ImageControl& control);

struct PlacedBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PlacedBox&) const = default;
};

// Where a picture of pictureWidth x pictureHeight goes when it is scaled,
// keeping its proportions, until it touches the box of size w x h centred on
// (cx, cy) on two opposite sides. A width or height that is not whole is
// rounded up; the position is rounded half to even. Nothing for an empty box.
std::optional<PlacedBox> FitInBox(int pictureWidth, int pictureHeight, qint16 cx, qint16 cy, qint16 w,
                                  qint16 h);

// Shows the picture file in the control, fitted into a box: cx == -1 takes
// the box recorded in the control's tag, all four 0 the control's current
// rectangle. On return the four numbers hold the box used. The control stays
// hidden when the picture cannot be shown, or when show is false. Nothing is
// reported to the operator.
void LoadPictureInBox(const QString& file, ImageControl& control, qint16& cx, qint16& cy, qint16& w,
                      qint16& h, bool show);
// The same with a picture decoded already.
void LoadPictureInBox(const QImage& picture, ImageControl& control, qint16& cx, qint16& cy, qint16& w,
                      qint16& h, bool show);

} // namespace Libreria
