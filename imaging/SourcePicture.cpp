#include "SourcePicture.h"

#include "BitmapRows.h"
#include "SystemMemory.h"

#include <tiffio.h>

#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace SourcePicture {

namespace {

// FreeImage reports decoder trouble only through its message callback; it is
// listened to just for the length of one load.
struct LoadMessages {
    static inline bool prematureEnd = false;
    static void Listen(FREE_IMAGE_FORMAT, const char* message)
    {
        if (message && QByteArray(message).contains("Premature end"))
            prematureEnd = true;
    }
    LoadMessages()
    {
        prematureEnd = false;
        FreeImage_SetOutputMessage(Listen);
        // libtiff writes dozens of harmless tag complaints to stderr per load.
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandler(nullptr);
    }
    ~LoadMessages() { FreeImage_SetOutputMessage(nullptr); }
};

QByteArray NativeName(const QString& path)
{
    return QFile::encodeName(path);
}

// An uncompressed BMP shorter than its header promises loads without a word
// from FreeImage, with made-up rows: catch it from the header.
bool BmpIsCutShort(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray head = file.read(54);
    if (head.size() < 54)
        return true;
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(head.constData() + at); };
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(head.constData() + at); };
    const quint32 headerSize = u32(14);
    if (headerSize < 40)
        return false; // old OS/2 header: leave it to the decoder
    const quint32 compression = u32(30);
    if (compression != 0 && compression != 3) // only plain and bit-field rows have a known size
        return false;
    const long long width = qint32(u32(18));
    const long long height = qAbs(qint64(qint32(u32(22))));
    const long long bpp = u16(28);
    const long long stride = ((width * bpp + 31) / 32) * 4;
    return file.size() < qint64(u32(10)) + stride * height;
}

// A GIF decodes onto its logical screen, whose size its header gives.
std::optional<QSize> GifScreenSize(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(10);
    if (head.size() < 10 || !head.startsWith("GIF"))
        return std::nullopt;
    return QSize(qFromLittleEndian<quint16>(head.constData() + 6), qFromLittleEndian<quint16>(head.constData() + 8));
}

QImage Opaque(QImage image)
{
    if (!image.hasAlphaChannel())
        return image;
    return image.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB32);
}

Loaded LoadWithQt(const QString& path, std::optional<long long> availableBytes)
{
    QImageReader::setAllocationLimit(0); // the size was checked already
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid()) {
        const Problem sized = CheckSize(size.width(), size.height(), 32, availableBytes);
        if (sized != Problem::None)
            return {{}, sized};
    }
    QImage picture = reader.read();
    if (picture.isNull())
        return {{}, Problem::Unreadable};
    return {Opaque(std::move(picture)), Problem::None};
}

// A standard bitmap (palette, 16, 24 or 32 bits) of any FreeImage picture:
// 16 bits per channel, grey levels above 8 bits and floating point reduced.
FIBITMAP* Standard(FIBITMAP* bitmap)
{
    if (FreeImage_GetImageType(bitmap) == FIT_BITMAP)
        return bitmap;
    FIBITMAP* converted = FreeImage_ConvertTo24Bits(bitmap);
    if (!converted)
        converted = FreeImage_ConvertToStandardType(bitmap, TRUE);
    if (!converted)
        converted = FreeImage_ToneMapping(bitmap, FITMO_DRAGO03);
    FreeImage_Unload(bitmap);
    return converted;
}

} // namespace

Loaded Load(const QString& path)
{
    return Load(path, AvailableMemoryBytes());
}

Loaded Load(const QString& path, std::optional<long long> availableBytes)
{
    const FREE_IMAGE_FORMAT type = FileType(path);
    if (type == FIF_UNKNOWN)
        return {{}, Problem::UnknownType};
    const QByteArray name = NativeName(path);
    LoadMessages messages;

    if (!FreeImage_FIFSupportsNoPixels(type)) {
        // Without a size known before decoding, a crafted file could ask for
        // any amount of memory: only GIF, whose header is read here, passes.
        if (type != FIF_GIF)
            return {{}, Problem::UnknownType};
        const std::optional<QSize> screen = GifScreenSize(path);
        if (!screen)
            return {{}, Problem::Unreadable};
        const Problem sized = CheckSize(screen->width(), screen->height(), 8, availableBytes);
        if (sized != Problem::None)
            return {{}, sized};
    } else {
        FIBITMAP* header = FreeImage_Load(type, name.constData(), FIF_LOAD_NOPIXELS);
        if (!header)
            return type == FIF_BMP ? LoadWithQt(path, availableBytes) : Loaded{{}, Problem::Unreadable};
        const Problem sized = CheckSize(FreeImage_GetWidth(header), FreeImage_GetHeight(header),
                                        int(FreeImage_GetBPP(header)), availableBytes);
        FreeImage_Unload(header);
        if (sized != Problem::None)
            return {{}, sized};
    }
    if (type == FIF_BMP && BmpIsCutShort(path))
        return {{}, Problem::Unreadable};

    FIBITMAP* bitmap = FreeImage_Load(type, name.constData(), type == FIF_JPEG ? JPEG_EXIFROTATE : 0);
    if (!bitmap)
        return type == FIF_BMP ? LoadWithQt(path, availableBytes) : Loaded{{}, Problem::Unreadable};
    if (LoadMessages::prematureEnd) {
        FreeImage_Unload(bitmap);
        return {{}, Problem::Unreadable};
    }
    // Formats without a header-only load are checked now.
    const Problem sized
        = CheckSize(FreeImage_GetWidth(bitmap), FreeImage_GetHeight(bitmap), 8, std::nullopt);
    if (sized != Problem::None) {
        FreeImage_Unload(bitmap);
        return {{}, sized};
    }
    bitmap = Standard(bitmap);
    if (!bitmap)
        return {{}, Problem::Unreadable};
    QImage picture = BitmapRows::AdoptImage(bitmap);
    if (picture.isNull())
        return {{}, Problem::OutOfMemory};
    return {std::move(picture), Problem::None};
}

QString MessageFor(Problem problem)
{
    switch (problem) {
    case Problem::None:
        return {};
    case Problem::UnknownType:
        return QStringLiteral("Formato immagine non riconosciuto");
    case Problem::TooLarge:
        return QStringLiteral("Immagine troppo grande: larghezza e altezza non possono superare %1 pixel")
            .arg(MaxSide);
    case Problem::OutOfMemory:
        return QStringLiteral("Memoria insufficiente per aprire l'immagine");
    case Problem::Unreadable:
        return QStringLiteral("Impossibile leggere l'immagine");
    }
    return {};
}

} // namespace SourcePicture
