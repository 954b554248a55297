// The partial route's start, shared by the picture crop and the fast path's
// bitmap crop; no Qt GUI here.

#include "SourceCrop.h"

#include "ExifOrientation.h"
#include "JpegRegion.h"

#include <QFileInfo>

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

FIBITMAP* CropUprightJpeg(const QString& path, const Box& box)
{
    if (box.width <= 0 || box.height <= 0)
        return nullptr;
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable() || SourcePicture::FileType(path) != FIF_JPEG)
        return nullptr;
    const std::optional<JpegSource> source = OpenJpeg(path);
    if (!source || source->orientation != 1 || !Inside(box, source->stored))
        return nullptr;
    return JpegRegion::DecodeBitmap(source->data, source->size,
                                    QRect(int(box.x), int(box.y), int(box.width), int(box.height)));
}

} // namespace SourceCrop
