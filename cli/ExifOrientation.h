#pragma once
// The eight EXIF orientations as the source picture loader applies them:
// a picture stored sideways or mirrored is shown upright, and a crop given
// in upright coordinates is found in the stored picture and turned the same
// way, so that only the crop itself has to be decoded and turned.

#include <FreeImage.h>

#include <QImage>
#include <QRect>
#include <QSize>

#include <optional>

namespace ExifOrientation {

// The orientation FreeImage's JPEG loader turns the picture by (1 to 8; 1
// also for no tag or a value it ignores), read from a header-only bitmap's
// metadata by the loader's own rule. Nothing when the tag has no value to
// read, a case the loader does not handle.
std::optional<int> Of(FIBITMAP* header);

// Where the upright pixel (x, y) lies in the stored picture of the given
// size: the EXIF meaning of each value, as FreeImage's loader turns it.
QPoint StoredPoint(int x, int y, QSize stored, int orientation);

// The size of the upright picture of a stored picture of the given size.
QSize UprightSize(QSize stored, int orientation);

// The rectangle of the stored picture whose pixels make up the upright
// rectangle upright.
QRect StoredRect(const QRect& upright, QSize stored, int orientation);

// The upright picture of a stored one (any format of one, three or four
// bytes per pixel; the colour table is kept). Turning a stored region found with
// StoredRect gives the upright crop.
QImage Upright(const QImage& stored, int orientation);

} // namespace ExifOrientation
