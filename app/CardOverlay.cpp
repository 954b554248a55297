#include "CardOverlay.h"

#include "Array2Pict.h"
#include "MFreeImage.h"

#include <memory>

namespace {

struct BitmapRelease {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using OwnedBitmap = std::unique_ptr<FIBITMAP, BitmapRelease>;

// The entry with the largest red + green + blue; the first one on ties.
unsigned WhitestEntry(MFreeImage::PaletteEntries palette)
{
    int bestSum = -1;
    unsigned best = 0;
    for (unsigned i = 0; i < palette.size(); ++i) {
        const int sum = palette[i].rgbRed + palette[i].rgbGreen + palette[i].rgbBlue;
        if (sum > bestSum) {
            bestSum = sum;
            best = i;
        }
    }
    return best;
}

} // namespace

void WhitenNearWhite(FIBITMAP* bitmap, int threshold)
{
    const unsigned width = FreeImage_GetWidth(bitmap);
    const unsigned height = FreeImage_GetHeight(bitmap);
    const RGBQUAD white{255, 255, 255, 0};
    for (unsigned x = 0; x < width; ++x) {
        for (unsigned y = 0; y < height; ++y) {
            RGBQUAD colour{};
            if (!MFreeImage::ReadPixelColor(bitmap, x, y, colour))
                continue;
            const int red = colour.rgbRed;
            const int green = colour.rgbGreen;
            const int blue = colour.rgbBlue;
            if (red >= threshold && green >= threshold && blue >= threshold && red + green + blue < 765)
                MFreeImage::WritePixelColor(bitmap, x, y, white);
        }
    }
}

QImage MakeCardOverlay(const QImage& picture, int threshold)
{
    OwnedBitmap colour(MFreeImage::LibraryBitmapFromPicture(picture));
    if (!colour)
        return {};
    WhitenNearWhite(colour.get(), threshold);

    // 256 grey levels: after the whitening every near-white pixel sits on
    // the top level together with the pure white ones.
    OwnedBitmap grey(FreeImage_ConvertTo8Bits(colour.get()));
    colour.reset();
    if (!grey)
        return {};
    FreeImage_SetTransparentIndex(grey.get(), static_cast<int>(WhitestEntry(MFreeImage::PaletteView(grey.get()))));

    // Qt draws a GIF's transparent index as see-through pixels, so the
    // overlay goes through GIF bytes in memory.
    QByteArray buffer;
    if (!MFreeImage::SaveBitmapToBytes(FIF_GIF, grey.get(), buffer, 0, false))
        return {};
    grey.reset();
    return Array2Pict::PictureFromBytes(buffer);
}
