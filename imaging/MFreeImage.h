#pragma once
// The bridge between FreeImage bitmaps and the pictures the windows show.
// A picture is a QImage that owns its pixels: a picture made from a bitmap
// stays valid after the bitmap is released. Bitmaps are owned by whoever
// obtained them and released exactly once; routines with an unloadSource
// flag release the source themselves when it is true.

#include <FreeImage.h>

#include <QByteArray>
#include <QImage>
#include <QString>

#include <span>
#include <stdexcept>

namespace MFreeImage {

// The bridge's one error: a bitmap without pixel data where pixels are
// needed. Number 5, source "MFreeImage".
class BridgeError : public std::runtime_error {
public:
    explicit BridgeError(const QString& sentence);
    int number() const { return 5; }
    QString source() const { return QStringLiteral("MFreeImage"); }
    const QString& description() const { return description_; }

private:
    QString description_;
};

// The standard text of error 5 that heads every bridge error's description.
inline const QString InvalidCallText = QStringLiteral("Chiamata di routine o argomento non validi.");

// A view over the bitmap's own palette: writing an entry changes the bitmap
// at once. Valid only while the bitmap lives.
using PaletteEntries = std::span<RGBQUAD>;

bool BitmapHasPixels(FIBITMAP* bitmap);
bool SaveBitmapToFile(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap, const QString& fileName, int flags);
bool ReadPixelColor(FIBITMAP* bitmap, unsigned x, unsigned y, RGBQUAD& colour);
bool WritePixelColor(FIBITMAP* bitmap, unsigned x, unsigned y, RGBQUAD colour);
bool SaveBitmapToStream(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap, FIMEMORY* stream, int flags);
bool PasteBitmap(FIBITMAP* destination, FIBITMAP* source, int left, int top, int alpha);
// Empty for a null bitmap and for a true-colour one.
PaletteEntries PaletteView(FIBITMAP* bitmap);

// Encodes the bitmap into buffer (replacing its content only on success).
// A null bitmap gives false and releases nothing; a header-only bitmap
// throws BridgeError. With unloadSource the bitmap is released on every
// other path, the error included.
bool SaveBitmapToBytes(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap, QByteArray& buffer, int flags,
                       bool unloadSource);

// The pixel copy a picture owns, made from the bitmap; null on failure.
// Throws BridgeError for a header-only bitmap; unloadSource as above.
QImage DeviceBitmapFromBitmap(FIBITMAP* bitmap, bool unloadSource);

// A displayable picture of the bitmap; null when there is none.
QImage PictureFromLibraryBitmap(FIBITMAP* bitmap, bool unloadSource);

// A new 24-bit bitmap of the picture's size, whatever its depth; null on
// failure. The caller owns it.
FIBITMAP* LibraryBitmapFromPicture(const QImage& picture);

// Every release of a bitmap by this module goes through one function, which
// tests may replace to count releases. Returns the previous function.
using UnloadFunction = void (*)(FIBITMAP*);
UnloadFunction SetUnloadFunction(UnloadFunction unload);

} // namespace MFreeImage
