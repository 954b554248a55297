#include "BenchPages.h"

#include <FreeImage.h>

#include <QDir>
#include <QFile>

QString BenchPage(int dpi)
{
    const QString folder = QDir::temp().filePath(QStringLiteral("ritrax-bench"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("a4-%1.jpg").arg(dpi));
    if (QFile::exists(path))
        return path;
    const int width = dpi == 600 ? 4960 : 2480;
    const int height = dpi == 600 ? 7016 : 3508;
    FIBITMAP* page = FreeImage_Allocate(width, height, 24);
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(page, y);
        for (int x = 0; x < width; ++x, row += 3) {
            const bool shape = ((x / 300) + (y / 400)) % 7 == 0;
            row[FI_RGBA_RED] = BYTE(shape ? 40 : 200 + (x * 50) / width);
            row[FI_RGBA_GREEN] = BYTE(shape ? 30 : 190 + (y * 60) / height);
            row[FI_RGBA_BLUE] = BYTE(shape ? 20 : 180 + ((x + y) % 64));
        }
    }
    FreeImage_SetDotsPerMeterX(page, dpi == 600 ? 23622 : 11811);
    FreeImage_SetDotsPerMeterY(page, dpi == 600 ? 23622 : 11811);
    FreeImage_Save(FIF_JPEG, page, QFile::encodeName(path).constData(), JPEG_QUALITYGOOD);
    FreeImage_Unload(page);
    return path;
}
