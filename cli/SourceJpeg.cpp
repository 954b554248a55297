// The partial route's start, shared by the picture crop and the fast path's
// bitmap crop; no Qt GUI here.

#include "SourceCrop.h"

#include "ExifOrientation.h"
#include "JpegRegionPictures.h"

#include <QFileInfo>

#include <cstring>

namespace SourceCrop {

std::optional<JpegSource> OpenJpeg(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    FIBITMAP* header = FreeImage_Load(FIF_JPEG, name.constData(), FIF_LOAD_NOPIXELS);
    if (!header)
        return std::nullopt;
    JpegSource source;
    source.stored = QSize(int(FreeImage_GetWidth(header)), int(FreeImage_GetHeight(header)));
    const SourcePicture::Problem sized = SourcePicture::CheckSize(source.stored.width(), source.stored.height(),
                                                                  int(FreeImage_GetBPP(header)), std::nullopt);
    const std::optional<int> orientation = ExifOrientation::Of(header);
    FreeImage_Unload(header);
    if (sized != SourcePicture::Problem::None || !orientation)
        return std::nullopt;
    source.orientation = *orientation;

    source.file = std::make_unique<QFile>(path);
    if (!source.file->open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = source.file->size();
    source.data = size > 0 ? source.file->map(0, size) : nullptr;
    if (!source.data)
        return std::nullopt;
    source.size = std::size_t(size);
    return source;
}

namespace {

bool DecodedAhead(const FastPrefetch::Region* ahead, const QString& path, const JpegRegion::Rect& crop,
                  const JpegSource& source)
{
    return ahead && ahead->pixels && ahead->crop == crop && ahead->source == QFile::encodeName(path).toStdString()
        && ahead->size == source.size && std::memcmp(ahead->data, source.data, source.size) == 0;
}

FIBITMAP* BitmapOf(const FastPrefetch::Region& ahead)
{
    const std::size_t rowBytes = std::size_t(ahead.crop.width) * 3;
    return JpegRegion::FillBitmap(ahead.crop.width, ahead.crop.height, [&](const JpegRegion::RowTarget& target) {
        for (int y = 0; y < ahead.crop.height; ++y)
            std::memcpy(target(y), ahead.pixels.get() + std::size_t(y) * rowBytes, rowBytes);
        return true;
    });
}

} // namespace

FIBITMAP* CropUprightJpeg(const QString& path, const Box& box, const FastPrefetch::Region* ahead)
{
    if (box.width <= 0 || box.height <= 0)
        return nullptr;
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable() || SourcePicture::FileType(path) != FIF_JPEG)
        return nullptr;
    const std::optional<JpegSource> source = OpenJpeg(path);
    if (!source || source->orientation != 1 || !Inside(box, source->stored))
        return nullptr;
    const JpegRegion::Rect crop{int(box.x), int(box.y), int(box.width), int(box.height)};
    if (DecodedAhead(ahead, path, crop, *source)) {
        ahead->taken = true;
        return BitmapOf(*ahead);
    }
    return JpegRegion::DecodeBitmap(source->data, source->size, QRect(crop.x, crop.y, crop.width, crop.height));
}

} // namespace SourceCrop
