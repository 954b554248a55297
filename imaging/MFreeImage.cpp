#include "MFreeImage.h"
#include "MFreeImageRelease.h"

#include <QFile>

namespace MFreeImage {

namespace {
UnloadFunction unloadBitmap = FreeImage_Unload;
} // namespace

void Release(FIBITMAP* bitmap, bool unloadSource)
{
    if (unloadSource && bitmap)
        unloadBitmap(bitmap);
}

namespace {

QString Description(const QString& sentence)
{
    return InvalidCallText + QStringLiteral("\r\n\r\n") + sentence;
}

} // namespace

void Fail(FIBITMAP* bitmap, bool unloadSource, const QString& sentence)
{
    Release(bitmap, unloadSource);
    throw BridgeError(sentence);
}

BridgeError::BridgeError(const QString& sentence)
    : std::runtime_error(Description(sentence).toStdString())
    , description_(Description(sentence))
{
}

UnloadFunction SetUnloadFunction(UnloadFunction unload)
{
    const UnloadFunction previous = unloadBitmap;
    unloadBitmap = unload ? unload : FreeImage_Unload;
    return previous;
}

bool BitmapHasPixels(FIBITMAP* bitmap)
{
    return FreeImage_HasPixels(bitmap) == TRUE;
}

bool SaveBitmapToFile(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap, const QString& fileName, int flags)
{
    return FreeImage_Save(format, bitmap, QFile::encodeName(fileName).constData(), flags) == TRUE;
}

bool ReadPixelColor(FIBITMAP* bitmap, unsigned x, unsigned y, RGBQUAD& colour)
{
    return FreeImage_GetPixelColor(bitmap, x, y, &colour) == TRUE;
}

bool WritePixelColor(FIBITMAP* bitmap, unsigned x, unsigned y, RGBQUAD colour)
{
    return FreeImage_SetPixelColor(bitmap, x, y, &colour) == TRUE;
}

bool SaveBitmapToStream(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap, FIMEMORY* stream, int flags)
{
    return FreeImage_SaveToMemory(format, bitmap, stream, flags) == TRUE;
}

bool PasteBitmap(FIBITMAP* destination, FIBITMAP* source, int left, int top, int alpha)
{
    return FreeImage_Paste(destination, source, left, top, alpha) == TRUE;
}

PaletteEntries PaletteView(FIBITMAP* bitmap)
{
    if (!bitmap)
        return {};
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    const unsigned count = FreeImage_GetColorsUsed(bitmap);
    if (!palette || count == 0)
        return {};
    return PaletteEntries(palette, count);
}

bool SaveBitmapToBytes(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap, QByteArray& buffer, int flags,
                       bool unloadSource)
{
    if (!bitmap)
        return false;
    if (!BitmapHasPixels(bitmap))
        Fail(bitmap, unloadSource, QStringLiteral("Unable to save a 'header-only' bitmap."));

    bool result = false;
    if (FIMEMORY* stream = FreeImage_OpenMemory(nullptr, 0)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        if (SaveBitmapToStream(format, bitmap, stream, flags)
            && FreeImage_AcquireMemory(stream, &data, &size) == TRUE && data && size > 0) {
            buffer = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
            result = buffer.size() == static_cast<qsizetype>(size);
        }
        FreeImage_CloseMemory(stream);
    }
    Release(bitmap, unloadSource);
    return result;
}

} // namespace MFreeImage
