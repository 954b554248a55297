#include "TestPictures.h"

#include <QFile>

namespace TestPictures {

FIBITMAP* MakeBitmap(int width, int height, int bpp, QColor fill)
{
    RGBQUAD colour{};
    colour.rgbRed = static_cast<BYTE>(fill.red());
    colour.rgbGreen = static_cast<BYTE>(fill.green());
    colour.rgbBlue = static_cast<BYTE>(fill.blue());
    colour.rgbReserved = static_cast<BYTE>(fill.alpha());
    if (bpp <= 8) {
        FIBITMAP* bitmap = FreeImage_Allocate(width, height, bpp);
        if (!bitmap)
            return nullptr;
        RGBQUAD* palette = FreeImage_GetPalette(bitmap);
        const unsigned colours = FreeImage_GetColorsUsed(bitmap);
        for (unsigned i = 0; i < colours; ++i) {
            const BYTE level = static_cast<BYTE>(i * 255 / (colours - 1));
            palette[i] = RGBQUAD{level, level, level, 0};
        }
        const unsigned grey = static_cast<unsigned>(qGray(fill.rgb()));
        BYTE index = static_cast<BYTE>((grey * (colours - 1) + 127) / 255);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                FreeImage_SetPixelIndex(bitmap, x, y, &index);
        return bitmap;
    }
    return FreeImage_AllocateEx(width, height, bpp, &colour, 0, nullptr);
}

QColor PatternColor(int x, int y)
{
    return QColor((x * 37 + 11) % 256, (y * 53 + 7) % 256, (x * 5 + y * 3) % 256);
}

FIBITMAP* MakePatternBitmap(int width, int height)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    if (!bitmap)
        return nullptr;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QColor c = PatternColor(x, y);
            RGBQUAD q{static_cast<BYTE>(c.blue()), static_cast<BYTE>(c.green()),
                      static_cast<BYTE>(c.red()), 0};
            // FreeImage counts rows from the bottom.
            FreeImage_SetPixelColor(bitmap, x, height - 1 - y, &q);
        }
    }
    return bitmap;
}

FIBITMAP* MakeHeaderOnlyBitmap(int width, int height)
{
    FIBITMAP* full = MakeBitmap(width, height, 24, Qt::gray);
    FIMEMORY* memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_BMP, full, memory, 0);
    FreeImage_Unload(full);
    FreeImage_SeekMemory(memory, 0, SEEK_SET);
    FIBITMAP* headerOnly = FreeImage_LoadFromMemory(FIF_BMP, memory, FIF_LOAD_NOPIXELS);
    FreeImage_CloseMemory(memory);
    return headerOnly;
}

bool SavePicture(const QString& path, FREE_IMAGE_FORMAT format, int width, int height, QColor fill,
                 int bpp)
{
    FIBITMAP* bitmap = MakeBitmap(width, height, bpp, fill);
    if (!bitmap)
        return false;
    const bool saved = FreeImage_Save(format, bitmap, QFile::encodeName(path).constData(), 0) != FALSE;
    FreeImage_Unload(bitmap);
    return saved;
}

QImage MakeImage(int width, int height, QColor fill, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(fill);
    return image;
}

} // namespace TestPictures
