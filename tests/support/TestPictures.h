#pragma once
// Test pictures made on the spot with FreeImage or QImage.

#include <FreeImage.h>

#include <QColor>
#include <QImage>
#include <QString>

namespace TestPictures {

// A bitmap of the given depth filled with one colour (8-bit: a grey palette
// bitmap filled with the colour's grey level). The caller unloads it.
FIBITMAP* MakeBitmap(int width, int height, int bpp, QColor fill);

// A 24-bit bitmap whose every pixel differs from its mirror images and whose
// channels differ: PatternColor(x, y) at column x, row y counted from the top.
FIBITMAP* MakePatternBitmap(int width, int height);
QColor PatternColor(int x, int y);

// A 24-bit bitmap of seeded noise over the whole byte range, or, smooth,
// of gentle ramps with a little noise (sums near halves, where the last
// bit of a computation decides the rounding). The caller unloads it.
FIBITMAP* MakeNoiseBitmap(int width, int height, quint32 seed, bool smooth = false);

// A bitmap that has a header and no pixel data, as FreeImage loads it with
// FIF_LOAD_NOPIXELS. The caller unloads it.
FIBITMAP* MakeHeaderOnlyBitmap(int width, int height);

// Writes a one-colour picture in the given format; false on failure.
bool SavePicture(const QString& path, FREE_IMAGE_FORMAT format, int width, int height,
                 QColor fill, int bpp = 24);

// The JPEG bytes with an EXIF block carrying the given orientation (6: the
// camera was turned a quarter to the right) inserted after the start marker.
QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation);

// An uncompressed 24-bit BMP with the 124-byte (version 5) information
// header that many tools write; false on failure.
bool SaveBmpV5(const QString& path, int width, int height, QColor fill);

// A 16-bit-per-channel RGB TIFF; false on failure.
bool SaveTiff16(const QString& path, int width, int height, QColor fill);

bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

QImage MakeImage(int width, int height, QColor fill, QImage::Format format = QImage::Format_RGB32);

} // namespace TestPictures
