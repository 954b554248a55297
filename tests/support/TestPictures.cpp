#include "TestPictures.h"

#include <QFile>
#include <QRandomGenerator>

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

FIBITMAP* MakeNoiseBitmap(int width, int height, quint32 seed, bool smooth)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    if (!bitmap)
        return nullptr;
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int i = 0; i < width * 3; ++i)
            row[i] = smooth ? BYTE((i / 3 * 7 + y * 5 + int(random.bounded(3))) & 0xff) : BYTE(random.bounded(256));
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

QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation)
{
    // APP1 "Exif": a big-endian TIFF header and one IFD with the Orientation tag.
    QByteArray tiff("MM\x00\x2a\x00\x00\x00\x08", 8);
    tiff += QByteArray("\x00\x01", 2);                      // one entry
    tiff += QByteArray("\x01\x12\x00\x03\x00\x00\x00\x01", 8); // Orientation, SHORT, 1
    tiff += char(0);
    tiff += char(orientation);
    tiff += QByteArray(2, 0);
    tiff += QByteArray(4, 0); // no next IFD
    QByteArray app1 = QByteArray("Exif\x00\x00", 6) + tiff;
    const int length = int(app1.size()) + 2;
    QByteArray segment("\xff\xe1", 2);
    segment += char(length >> 8);
    segment += char(length & 0xff);
    segment += app1;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

bool SaveBmpV5(const QString& path, int width, int height, QColor fill)
{
    const int stride = ((width * 24 + 31) / 32) * 4;
    const int pixels = stride * height;
    QByteArray bytes;
    const auto u16 = [&](int v) { bytes += char(v & 0xff); bytes += char((v >> 8) & 0xff); };
    const auto u32 = [&](quint32 v) { for (int i = 0; i < 4; ++i) bytes += char((v >> (8 * i)) & 0xff); };
    bytes += "BM";
    u32(quint32(14 + 124 + pixels));
    u32(0);
    u32(14 + 124);
    u32(124);          // version 5 header
    u32(quint32(width));
    u32(quint32(height));
    u16(1);
    u16(24);
    u32(0);            // no compression
    u32(quint32(pixels));
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int i = 0; i < 4; ++i)
        u32(0);        // colour masks
    u32(0x73524742);   // "sRGB"
    bytes += QByteArray(36 + 12, 0); // end points, gamma
    u32(4);            // intent
    u32(0);
    u32(0);
    u32(0);
    QByteArray row(stride, 0);
    for (int x = 0; x < width; ++x) {
        row[3 * x] = char(fill.blue());
        row[3 * x + 1] = char(fill.green());
        row[3 * x + 2] = char(fill.red());
    }
    for (int y = 0; y < height; ++y)
        bytes += row;
    return WriteBytes(path, bytes);
}

bool SaveTiff16(const QString& path, int width, int height, QColor fill)
{
    FIBITMAP* bitmap = FreeImage_AllocateT(FIT_RGB16, width, height);
    if (!bitmap)
        return false;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(bitmap, y));
        for (int x = 0; x < width; ++x)
            row[x] = FIRGB16{WORD(fill.red() * 257), WORD(fill.green() * 257), WORD(fill.blue() * 257)};
    }
    const bool saved = FreeImage_Save(FIF_TIFF, bitmap, QFile::encodeName(path).constData(), 0) != FALSE;
    FreeImage_Unload(bitmap);
    return saved;
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage MakeImage(int width, int height, QColor fill, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(fill);
    return image;
}

} // namespace TestPictures
