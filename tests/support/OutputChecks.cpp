#include "OutputChecks.h"

#include <QFile>

#include <cstring>

WrittenPicture ReadBack(const QString& path)
{
    WrittenPicture w;
    const QByteArray name = QFile::encodeName(path);
    w.format = FreeImage_GetFileType(name.constData(), 0);
    if (w.format == FIF_UNKNOWN)
        return w;
    FIBITMAP* b = FreeImage_Load(w.format, name.constData(), 0);
    if (!b)
        return w;
    w.width = int(FreeImage_GetWidth(b));
    w.height = int(FreeImage_GetHeight(b));
    w.bpp = int(FreeImage_GetBPP(b));
    w.dotsPerMetreX = int(FreeImage_GetDotsPerMeterX(b));
    w.dotsPerMetreY = int(FreeImage_GetDotsPerMeterY(b));
    FreeImage_Unload(b);
    return w;
}

Density JfifDensity(const QByteArray& jpeg)
{
    // SOI, then APP0 "JFIF\0", version, units, x density, y density.
    if (jpeg.size() < 18 || uchar(jpeg[0]) != 0xFF || uchar(jpeg[1]) != 0xD8 || uchar(jpeg[2]) != 0xFF
        || uchar(jpeg[3]) != 0xE0 || jpeg.mid(6, 5) != QByteArray("JFIF\0", 5))
        return {};
    const auto u16 = [&](int at) { return (uchar(jpeg[at]) << 8) | uchar(jpeg[at + 1]); };
    return {uchar(jpeg[13]), u16(14), u16(16)};
}

QColor PixelOfFile(const QString& path, int x, int y)
{
    const QByteArray name = QFile::encodeName(path);
    FIBITMAP* b = FreeImage_Load(FreeImage_GetFileType(name.constData(), 0), name.constData(), 0);
    if (!b)
        return {};
    const unsigned row = FreeImage_GetHeight(b) - 1 - unsigned(y);
    RGBQUAD q{};
    if (FreeImage_GetBPP(b) <= 8) {
        BYTE index = 0;
        FreeImage_GetPixelIndex(b, unsigned(x), row, &index);
        q = FreeImage_GetPalette(b)[index];
    } else {
        FreeImage_GetPixelColor(b, unsigned(x), row, &q);
    }
    FreeImage_Unload(b);
    return QColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

QString BitmapDifference(FIBITMAP* a, FIBITMAP* b)
{
    if (!a || !b)
        return QStringLiteral("null bitmap");
    const unsigned width = FreeImage_GetWidth(b);
    const unsigned height = FreeImage_GetHeight(b);
    if (FreeImage_GetWidth(a) != width || FreeImage_GetHeight(a) != height || FreeImage_GetBPP(a) != FreeImage_GetBPP(b))
        return QStringLiteral("size or depth");
    if (FreeImage_GetDotsPerMeterX(a) != FreeImage_GetDotsPerMeterX(b)
        || FreeImage_GetDotsPerMeterY(a) != FreeImage_GetDotsPerMeterY(b))
        return QStringLiteral("resolution");
    const unsigned bytes = FreeImage_GetLine(b);
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* rowA = FreeImage_GetScanLine(a, int(y));
        const BYTE* rowB = FreeImage_GetScanLine(b, int(y));
        if (std::memcmp(rowA, rowB, bytes) == 0)
            continue;
        for (unsigned i = 0; i < bytes; ++i)
            if (rowA[i] != rowB[i])
                return QStringLiteral("row %1 (from the bottom), byte %2: %3 instead of %4")
                    .arg(y)
                    .arg(i)
                    .arg(rowA[i])
                    .arg(rowB[i]);
    }
    return {};
}
