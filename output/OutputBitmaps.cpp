// The pipeline's stages over FreeImage bitmaps. Apart from the picture
// front end so that the command line's fast path needs no Qt GUI.

#include "OutputPipeline.h"

#include "MFreeImage.h"
#include "Numbers.h"
#include "WholeFile.h"

#include <cmath>
#include <memory>

namespace OutputPipeline {

namespace {
float SingleRatio(double numerator, double denominator)
{
    return static_cast<float>(numerator / denominator);
}
} // namespace

FIBITMAP* MakePhotoBitmap(FIBITMAP* crop)
{
    if (!crop)
        return nullptr;
    FIBITMAP* photo = FreeImage_Rescale(crop, PhotoWidth, PhotoHeight, FILTER_BICUBIC);
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
                                      : FreeImage_Rescale(crop, size.width(), size.height(), FILTER_BICUBIC);
    if (!scaled)
        return nullptr;
    RGBQUAD white{255, 255, 255, 0};
    FIBITMAP* canvas = FreeImage_AllocateEx(g.canvasWidth, g.canvasHeight, 24, &white, 0, nullptr, 0, 0, 0);
    if (canvas) {
        const QPoint at = SignaturePosition(size, g);
        MFreeImage::PasteBitmap(canvas, scaled, at.x(), at.y(), 255);
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
