// The pipeline's stages over FreeImage bitmaps. Apart from the picture
// front end so that the command line's fast path needs no Qt GUI.

#include "OutputPipeline.h"

#include "BicubicRescale.h"
#include "MFreeImage.h"
#include "Numbers.h"
#include "WholeFile.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace OutputPipeline {

namespace {
float SingleRatio(double numerator, double denominator)
{
    return static_cast<float>(numerator / denominator);
}

// FreeImage_Paste with alpha 255 blends each byte as
// ((s - d) * 255 + (d << 8)) >> 8; on white (d = 255) that is
// (255 * (s + 1)) >> 8 = s, so the paste is a copy of the rows. Copied here
// row by row: the library's byte loop asks the bitmap's size again for every
// byte and takes longer than the rescale it follows.
void PasteOntoWhite(FIBITMAP* canvas, FIBITMAP* scaled, QPoint at)
{
    const unsigned width = FreeImage_GetWidth(scaled);
    const unsigned height = FreeImage_GetHeight(scaled);
    const unsigned canvasHeight = FreeImage_GetHeight(canvas);
    if (FreeImage_GetBPP(scaled) != 24 || FreeImage_GetBPP(canvas) != 24 || at.x() < 0 || at.y() < 0
        || unsigned(at.x()) + width > FreeImage_GetWidth(canvas) || unsigned(at.y()) + height > canvasHeight) {
        MFreeImage::PasteBitmap(canvas, scaled, at.x(), at.y(), 255);
        return;
    }
    for (unsigned y = 0; y < height; ++y) {
        // FreeImage counts its rows from the bottom.
        BYTE* target = FreeImage_GetScanLine(canvas, int(canvasHeight - unsigned(at.y()) - height + y));
        std::memcpy(target + std::size_t(at.x()) * 3, FreeImage_GetScanLine(scaled, int(y)), std::size_t(width) * 3);
    }
}

} // namespace

FIBITMAP* MakePhotoBitmap(FIBITMAP* crop)
{
    if (!crop)
        return nullptr;
    FIBITMAP* photo = BicubicRescale::Rescale(crop, PhotoWidth, PhotoHeight);
    if (!photo)
        return nullptr;
    FreeImage_SetDotsPerMeterX(photo, PhotoDotsPerMetre);
    FreeImage_SetDotsPerMeterY(photo, PhotoDotsPerMetre);
    return photo;
}

SignatureGeometry SignatureGeometryFor(bool dpi200)
{
    return dpi200 ? SignatureGeometry{237, 48, 237, 48, 7874} : SignatureGeometry{706, 138, 710, 142, 23622};
}

QSize FitSignature(int width, int height, const SignatureGeometry& g)
{
    const float rH = SingleRatio(height, g.boxHeight);
    const float rW = SingleRatio(width, g.boxWidth);
    // The quotients use the single-precision ratios, so a whole quotient can
    // come out just below it and lose a pixel, as the files always had.
    if (rH > rW)
        return QSize(qMin(g.boxWidth, int(std::floor(width / double(rH)))), g.boxHeight);
    return QSize(g.boxWidth, qMin(g.boxHeight, int(std::floor(height / double(rW)))));
}

QPoint SignaturePosition(QSize fitted, const SignatureGeometry& g)
{
    return QPoint(int(Numbers::RoundHalfEven((g.canvasWidth - fitted.width()) / 2.0)),
                  int(Numbers::RoundHalfEven((g.canvasHeight - fitted.height()) / 2.0)));
}

FIBITMAP* MakeSignatureBitmap(FIBITMAP* crop, int width, int height, const SignatureGeometry& g, QSize* fitted)
{
    if (width <= 0 || height <= 0 || !crop)
        return nullptr;
    const QSize size = FitSignature(width, height, g);
    if (fitted)
        *fitted = size;
    FIBITMAP* scaled = size.isEmpty() ? nullptr
                                      : BicubicRescale::Rescale(crop, size.width(), size.height());
    if (!scaled)
        return nullptr;
    RGBQUAD white{255, 255, 255, 0};
    FIBITMAP* canvas = FreeImage_AllocateEx(g.canvasWidth, g.canvasHeight, 24, &white, 0, nullptr, 0, 0, 0);
    if (canvas) {
        const QPoint at = SignaturePosition(size, g);
        PasteOntoWhite(canvas, scaled, at);
        FreeImage_SetDotsPerMeterX(canvas, unsigned(g.dotsPerMetre));
        FreeImage_SetDotsPerMeterY(canvas, unsigned(g.dotsPerMetre));
    }
    FreeImage_Unload(scaled);
    return canvas;
}

FIBITMAP* BlackAndWhite(FIBITMAP* canvas, int threshold)
{
    return FreeImage_Threshold(canvas, BYTE(qBound(0, threshold, 255)));
}

bool WriteFiles(const QList<FileToWrite>& files)
{
    QList<std::pair<QString, QByteArray>> encoded;
    for (const FileToWrite& f : files) {
        QByteArray bytes;
        if (!f.bitmap || !MFreeImage::SaveBitmapToBytes(f.format, f.bitmap, bytes, 0, false))
            return false;
        encoded.append({f.path, bytes});
    }
    return WriteWholeFiles(encoded);
}

} // namespace OutputPipeline
