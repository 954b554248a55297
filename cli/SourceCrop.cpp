#include "SourceCrop.h"

#include "ExifOrientation.h"
#include "JpegRegion.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace SourceCrop {

namespace {

QRect ToRect(const Box& box)
{
    return QRect(int(box.x), int(box.y), int(box.width), int(box.height));
}

// The crop decoded from the JPEG's own rows and columns; nothing when the
// whole load has to decide, which includes every refusal: a crop that
// leaves the picture of a damaged file is then refused for the damage,
// as the editors would refuse the file.
std::optional<Result> CropJpeg(const QString& path, const Box& box)
{
    const QByteArray name = QFile::encodeName(path);
    FIBITMAP* header = FreeImage_Load(FIF_JPEG, name.constData(), FIF_LOAD_NOPIXELS);
    if (!header)
        return std::nullopt;
    const QSize stored(int(FreeImage_GetWidth(header)), int(FreeImage_GetHeight(header)));
    const SourcePicture::Problem sized
        = SourcePicture::CheckSize(stored.width(), stored.height(), int(FreeImage_GetBPP(header)), std::nullopt);
    const std::optional<int> orientation = ExifOrientation::Of(header);
    FreeImage_Unload(header);
    if (sized != SourcePicture::Problem::None || !orientation)
        return std::nullopt;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    const uchar* data = size > 0 ? file.map(0, size) : nullptr;
    if (!data)
        return std::nullopt;
    Result result;
    result.pictureSize = ExifOrientation::UprightSize(stored, *orientation);
    if (!Inside(box, result.pictureSize))
        return std::nullopt;
    const QRect storedRect = ExifOrientation::StoredRect(ToRect(box), stored, *orientation);
    std::optional<QImage> region = JpegRegion::Decode(data, std::size_t(size), storedRect);
    if (!region)
        return std::nullopt;
    result.crop = ExifOrientation::Upright(*region, *orientation);
    if (result.crop.isNull())
        return std::nullopt;
    result.outcome = Outcome::Cropped;
    result.route = Route::PartialJpeg;
    return result;
}

Result CropWhole(const QString& path, const Box& box)
{
    Result result;
    result.route = Route::WholePicture;
    const SourcePicture::Loaded loaded = SourcePicture::Load(path);
    if (loaded.problem != SourcePicture::Problem::None) {
        result.outcome = Outcome::Unreadable;
        result.problem = loaded.problem;
        return result;
    }
    result.pictureSize = loaded.picture.size();
    if (!Inside(box, result.pictureSize)) {
        result.outcome = Outcome::Outside;
        return result;
    }
    result.crop = loaded.picture.copy(ToRect(box));
    if (result.crop.isNull()) {
        result.outcome = Outcome::Unreadable;
        result.problem = SourcePicture::Problem::OutOfMemory;
        return result;
    }
    result.outcome = Outcome::Cropped;
    return result;
}

} // namespace

bool Inside(const Box& box, QSize picture)
{
    return box.x >= 0 && box.y >= 0 && box.width > 0 && box.height > 0 && box.x + box.width <= picture.width()
        && box.y + box.height <= picture.height();
}

Result Crop(const QString& path, const Box& box)
{
    if (box.width <= 0 || box.height <= 0)
        return {Outcome::Empty, {}, SourcePicture::Problem::None, {}, Route::None};
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return {Outcome::NotFound, {}, SourcePicture::Problem::None, {}, Route::None};
    if (SourcePicture::FileType(path) == FIF_JPEG) {
        if (std::optional<Result> partial = CropJpeg(path, box))
            return *partial;
    }
    return CropWhole(path, box);
}

} // namespace SourceCrop
