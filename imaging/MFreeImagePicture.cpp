// The bridge routines that hand pictures over; kept apart from the bitmap
// routines so that a program working on bitmaps alone needs no Qt GUI.

#include "BitmapRows.h"
#include "MFreeImage.h"
#include "MFreeImageRelease.h"

namespace MFreeImage {

QImage DeviceBitmapFromBitmap(FIBITMAP* bitmap, bool unloadSource)
{
    if (!bitmap)
        return {};
    if (!BitmapHasPixels(bitmap))
        Fail(bitmap, unloadSource, QStringLiteral("Unable to create a bitmap from a 'header-only' bitmap."));
    QImage copy = BitmapRows::ToImage(bitmap);
    Release(bitmap, unloadSource);
    return copy;
}

QImage PictureFromLibraryBitmap(FIBITMAP* bitmap, bool unloadSource)
{
    if (!bitmap)
        return {};
    if (!BitmapHasPixels(bitmap))
        Fail(bitmap, unloadSource, QStringLiteral("Unable to create a picture from a 'header-only' bitmap."));
    return DeviceBitmapFromBitmap(bitmap, unloadSource);
}

FIBITMAP* LibraryBitmapFromPicture(const QImage& picture)
{
    return BitmapRows::ToBitmap24(picture);
}

} // namespace MFreeImage
