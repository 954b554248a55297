#include "BitmapRows.h"

#include <QList>

#include <cstring>

namespace BitmapRows {

namespace {

// Palette bitmaps stay one byte per pixel: a grey 600 DPI page is 35 MB,
// not 139 MB.
QImage FromPalette(FIBITMAP* bitmap, int width, int height, unsigned bpp)
{
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull())
        return image;
    const RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    const unsigned colours = qMin(FreeImage_GetColorsUsed(bitmap), 1u << bpp);
    QList<QRgb> table(qsizetype(1) << bpp, qRgb(0, 0, 0));
    for (unsigned i = 0; palette && i < colours; ++i)
        table[i] = qRgb(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
    image.setColorTable(table);
    const unsigned perByte = 8 / bpp;
    const unsigned mask = (1u << bpp) - 1;
    for (int y = 0; y < height; ++y) {
        const BYTE* src = FreeImage_GetScanLine(bitmap, height - 1 - y);
        uchar* dst = image.scanLine(y);
        if (bpp == 8) {
            std::memcpy(dst, src, std::size_t(width));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const unsigned shift = (perByte - 1 - unsigned(x) % perByte) * bpp;
            dst[x] = static_cast<uchar>((src[unsigned(x) / perByte] >> shift) & mask);
        }
    }
    return image;
}

// 24-bit rows are blue, green, red bytes on little-endian machines: exactly
// a Format_BGR888 row, so they are copied whole.
QImage From24(FIBITMAP* bitmap, int width, int height)
{
    QImage image(width, height, QImage::Format_BGR888);
    if (image.isNull())
        return image;
    for (int y = 0; y < height; ++y) {
        const BYTE* src = FreeImage_GetScanLine(bitmap, height - 1 - y);
        uchar* dst = image.scanLine(y);
        if constexpr (FI_RGBA_RED == 2 && FI_RGBA_GREEN == 1 && FI_RGBA_BLUE == 0) {
            std::memcpy(dst, src, std::size_t(width) * 3);
        } else {
            for (int x = 0; x < width; ++x, src += 3, dst += 3) {
                dst[0] = src[FI_RGBA_BLUE];
                dst[1] = src[FI_RGBA_GREEN];
                dst[2] = src[FI_RGBA_RED];
            }
        }
    }
    return image;
}

QImage From32(FIBITMAP* bitmap, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    for (int y = 0; y < height; ++y) {
        const BYTE* src = FreeImage_GetScanLine(bitmap, height - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, src += 4)
            dst[x] = qRgb(src[FI_RGBA_RED], src[FI_RGBA_GREEN], src[FI_RGBA_BLUE]);
    }
    return image;
}

// The bitmap's resolution goes with its picture: how large a subject is on
// paper depends on it.
QImage WithResolution(QImage image, FIBITMAP* bitmap)
{
    if (!image.isNull() && FreeImage_GetDotsPerMeterX(bitmap) > 0 && FreeImage_GetDotsPerMeterY(bitmap) > 0) {
        image.setDotsPerMeterX(int(FreeImage_GetDotsPerMeterX(bitmap)));
        image.setDotsPerMeterY(int(FreeImage_GetDotsPerMeterY(bitmap)));
    }
    return image;
}

QImage Pixels(FIBITMAP* bitmap)
{
    if (!bitmap || !FreeImage_HasPixels(bitmap) || FreeImage_GetImageType(bitmap) != FIT_BITMAP)
        return {};
    const int width = static_cast<int>(FreeImage_GetWidth(bitmap));
    const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
    const unsigned bpp = FreeImage_GetBPP(bitmap);
    if (width <= 0 || height <= 0)
        return {};
    switch (bpp) {
    case 1:
    case 4:
    case 8:
        return FromPalette(bitmap, width, height, bpp);
    case 24:
        return From24(bitmap, width, height);
    case 32:
        return From32(bitmap, width, height);
    case 16: {
        // 5-5-5 or 5-6-5: let FreeImage unpack the masks.
        FIBITMAP* wide = FreeImage_ConvertTo24Bits(bitmap);
        if (!wide)
            return {};
        QImage image = From24(wide, width, height);
        FreeImage_Unload(wide);
        return image;
    }
    default:
        return {};
    }
}

} // namespace

QImage ToImage(FIBITMAP* bitmap)
{
    return WithResolution(Pixels(bitmap), bitmap);
}

QImage AdoptImage(FIBITMAP* bitmap)
{
    if (!bitmap)
        return {};
    const unsigned bpp = FreeImage_GetBPP(bitmap);
    const bool bgr = FI_RGBA_RED == 2 && FI_RGBA_GREEN == 1 && FI_RGBA_BLUE == 0;
    const bool adoptable = FreeImage_GetImageType(bitmap) == FIT_BITMAP && FreeImage_HasPixels(bitmap)
        && (bpp == 8 || (bpp == 24 && bgr)) && FreeImage_GetWidth(bitmap) > 0 && FreeImage_GetHeight(bitmap) > 0;
    if (!adoptable || !FreeImage_FlipVertical(bitmap)) {
        QImage copy = ToImage(bitmap);
        FreeImage_Unload(bitmap);
        return copy;
    }
    QImage picture(FreeImage_GetBits(bitmap), int(FreeImage_GetWidth(bitmap)), int(FreeImage_GetHeight(bitmap)),
                   qsizetype(FreeImage_GetPitch(bitmap)),
                   bpp == 8 ? QImage::Format_Indexed8 : QImage::Format_BGR888,
                   [](void* owned) { FreeImage_Unload(static_cast<FIBITMAP*>(owned)); }, bitmap);
    if (picture.isNull()) {
        FreeImage_Unload(bitmap);
        return {};
    }
    if (bpp == 8) {
        const RGBQUAD* palette = FreeImage_GetPalette(bitmap);
        QList<QRgb> table(256, qRgb(0, 0, 0));
        const unsigned colours = qMin(256u, FreeImage_GetColorsUsed(bitmap));
        for (unsigned i = 0; palette && i < colours; ++i)
            table[i] = qRgb(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
        picture.setColorTable(table);
    }
    return WithResolution(picture, bitmap);
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
