#include "OutputPipeline.h"

#include "MFreeImage.h"

#include <memory>

namespace OutputPipeline {

namespace {
struct Unload {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
} // namespace

FIBITMAP* MakePhoto(const QImage& crop)
{
    const std::unique_ptr<FIBITMAP, Unload> bitmap(MFreeImage::LibraryBitmapFromPicture(crop));
    return MakePhotoBitmap(bitmap.get());
}

FIBITMAP* MakeSignature(const QImage& crop, int width, int height, const SignatureGeometry& g, QSize* fitted)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    const std::unique_ptr<FIBITMAP, Unload> bitmap(MFreeImage::LibraryBitmapFromPicture(crop));
    return MakeSignatureBitmap(bitmap.get(), width, height, g, fitted);
}

} // namespace OutputPipeline
