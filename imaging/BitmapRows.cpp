#include "BitmapRows.h"

namespace BitmapRows {

namespace {

QImage FromPalette(FIBITMAP* bitmap, unsigned width, unsigned height, unsigned bpp)
{
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    const unsigned colours = FreeImage_GetColorsUsed(bitmap);
    QRgb table[256];
    for (unsigned i = 0; i < 256; ++i) {
        if (palette && i < colours)
            table[i] = qRgb(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
        else
            table[i] = qRgb(0, 0, 0);
    }
    const unsigned perByte = 8 / bpp;
    const unsigned mask = (1u << bpp) - 1;
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* src = FreeImage_GetScanLine(bitmap, static_cast<int>(height - 1 - y));
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (unsigned x = 0; x < width; ++x) {
            const unsigned shift = (perByte - 1 - x % perByte) * bpp;
            dst[x] = table[(src[x / perByte] >> shift) & mask];
        }
    }
    return image;
}

QImage FromTrueColour(FIBITMAP* bitmap, unsigned width, unsigned height, unsigned bpp)
{
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const unsigned step = bpp / 8;
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* src = FreeImage_GetScanLine(bitmap, static_cast<int>(height - 1 - y));
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (unsigned x = 0; x < width; ++x, src += step)
            dst[x] = qRgb(src[FI_RGBA_RED], src[FI_RGBA_GREEN], src[FI_RGBA_BLUE]);
    }
    return image;
}

} // namespace

QImage ToImage(FIBITMAP* bitmap)
{
    if (!bitmap || !FreeImage_HasPixels(bitmap) || FreeImage_GetImageType(bitmap) != FIT_BITMAP)
        return {};
    const unsigned width = FreeImage_GetWidth(bitmap);
    const unsigned height = FreeImage_GetHeight(bitmap);
    const unsigned bpp = FreeImage_GetBPP(bitmap);
    if (width == 0 || height == 0)
        return {};
    switch (bpp) {
    case 1:
    case 4:
    case 8:
        return FromPalette(bitmap, width, height, bpp);
    case 24:
    case 32:
        return FromTrueColour(bitmap, width, height, bpp);
    case 16: {
        // 5-5-5 or 5-6-5: let FreeImage unpack the masks.
        FIBITMAP* wide = FreeImage_ConvertTo24Bits(bitmap);
        if (!wide)
            return {};
        QImage image = FromTrueColour(wide, width, height, 24);
        FreeImage_Unload(wide);
        return image;
    }
    default:
        return {};
    }
}

FIBITMAP* ToBitmap24(const QImage& picture)
{
    if (picture.isNull())
        return nullptr;
    // Straight (not premultiplied) colours, so dropping alpha keeps them.
    const QImage source = picture.hasAlphaChannel() ? picture.convertToFormat(QImage::Format_ARGB32)
                                                    : picture.convertToFormat(QImage::Format_RGB32);
    if (source.isNull())
        return nullptr;
    const int width = source.width();
    const int height = source.height();
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    if (!bitmap)
        return nullptr;
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        BYTE* dst = FreeImage_GetScanLine(bitmap, height - 1 - y);
        for (int x = 0; x < width; ++x, dst += 3) {
            dst[FI_RGBA_RED] = static_cast<BYTE>(qRed(src[x]));
            dst[FI_RGBA_GREEN] = static_cast<BYTE>(qGreen(src[x]));
            dst[FI_RGBA_BLUE] = static_cast<BYTE>(qBlue(src[x]));
        }
    }
    return bitmap;
}

} // namespace BitmapRows
