#pragma once
// Pictures from encoded image bytes held in memory.

#include <QByteArray>
#include <QImage>

namespace Array2Pict {

// The picture the bytes encode (GIF, JPEG, BMP, ...), decoded by Qt's picture
// loader: a GIF's transparent palette index comes out as transparent pixels.
// A null image for empty or undecodable bytes.
QImage PictureFromBytes(const QByteArray& bytes);

} // namespace Array2Pict
