#include "ScannerPage.h"

#include "SaneChoices.h"
#include "WholeFile.h"

#include <FreeImage.h>

#include <cstring>
#include <memory>

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

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

    // Encoded in memory first, so that only a complete file is written.
    FIMEMORY* memory = FreeImage_OpenMemory();
    if (!memory)
        return false;
    BYTE* data = nullptr;
    DWORD size = 0;
    bool written = false;
    if (FreeImage_SaveToMemory(FIF_BMP, bitmap.get(), memory, BMP_DEFAULT)
        && FreeImage_AcquireMemory(memory, &data, &size) && data && size > 0)
        written = WriteWholeFile(path, QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    FreeImage_CloseMemory(memory);
    return written;
}
