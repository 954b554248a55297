#include "ScannerPage.h"

#include "SaneChoices.h"

#include <FreeImage.h>

#include <QSaveFile>

#include <cstring>
#include <memory>

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// FreeImage writes through these callbacks into the QSaveFile, which keeps
// the data in its own temporary file until commit().
unsigned DLL_CALLCONV ReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    auto* device = static_cast<QIODevice*>(handle);
    const qint64 got = device->read(static_cast<char*>(buffer), qint64(size) * count);
    return got <= 0 || size == 0 ? 0 : static_cast<unsigned>(got / size);
}

unsigned DLL_CALLCONV WriteProc(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    auto* device = static_cast<QIODevice*>(handle);
    const qint64 wanted = qint64(size) * count;
    const qint64 written = device->write(static_cast<const char*>(buffer), wanted);
    return written != wanted || size == 0 ? 0 : count;
}

int DLL_CALLCONV SeekProc(fi_handle handle, long offset, int origin)
{
    auto* device = static_cast<QIODevice*>(handle);
    qint64 target = offset;
    if (origin == SEEK_CUR)
        target += device->pos();
    else if (origin == SEEK_END)
        target += device->size();
    return device->seek(target) ? 0 : -1;
}

long DLL_CALLCONV TellProc(fi_handle handle)
{
    return static_cast<long>(static_cast<QIODevice*>(handle)->pos());
}

Bitmap MakeBitmap(const ScannerPage& page)
{
    const int bpp = page.channels == 3 ? 24 : 8;
    Bitmap bitmap(FreeImage_Allocate(page.width, page.height, bpp));
    if (!bitmap)
        return bitmap;
    if (bpp == 8) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap.get());
        for (int i = 0; i < 256; ++i) {
            const BYTE level = static_cast<BYTE>(i);
            palette[i] = RGBQUAD{level, level, level, 0};
        }
    }
    // The page's rows run from the top, FreeImage's from the bottom; the
    // page keeps red first, a 24-bit bitmap keeps blue first.
    const std::size_t rowBytes = page.rowBytes();
    for (int y = 0; y < page.height; ++y) {
        const unsigned char* src = page.pixels.data() + rowBytes * static_cast<std::size_t>(y);
        BYTE* dst = FreeImage_GetScanLine(bitmap.get(), page.height - 1 - y);
        if (bpp == 8) {
            std::memcpy(dst, src, rowBytes);
            continue;
        }
        for (int x = 0; x < page.width; ++x, src += 3, dst += 3) {
            dst[FI_RGBA_RED] = src[0];
            dst[FI_RGBA_GREEN] = src[1];
            dst[FI_RGBA_BLUE] = src[2];
        }
    }
    const unsigned dotsPerMetre = SaneChoices::DotsPerMetre(page.dpi);
    if (dotsPerMetre > 0) {
        FreeImage_SetDotsPerMeterX(bitmap.get(), dotsPerMetre);
        FreeImage_SetDotsPerMeterY(bitmap.get(), dotsPerMetre);
    }
    return bitmap;
}

} // namespace

bool WriteScannerBitmap(const ScannerPage& page, const QString& path)
{
    if (!page.isValid())
        return false;
    Bitmap bitmap = MakeBitmap(page);
    if (!bitmap)
        return false;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    FreeImageIO io{ReadProc, WriteProc, SeekProc, TellProc};
    if (!FreeImage_SaveToHandle(FIF_BMP, bitmap.get(), &io, static_cast<QIODevice*>(&file), BMP_DEFAULT)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
