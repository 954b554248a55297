#include "SourceCrop.h"

#include "ExifOrientation.h"
#include "JpegRegionPictures.h"

#include <QFileInfo>

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
    const std::optional<JpegSource> source = OpenJpeg(path);
    if (!source)
        return std::nullopt;
    Result result;
    result.pictureSize = ExifOrientation::UprightSize(source->stored, source->orientation);
    if (!Inside(box, result.pictureSize))
        return std::nullopt;
    const QRect storedRect = ExifOrientation::StoredRect(ToRect(box), source->stored, source->orientation);
    std::optional<QImage> region = JpegRegion::Decode(source->data, source->size, storedRect);
    if (!region)
        return std::nullopt;
    result.crop = ExifOrientation::Upright(*region, source->orientation);
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

Result Crop(const QString& path, const Box& box)
{
    if (box.width <= 0 || box.height <= 0)
        return {Outcome::Empty, {}, SourcePicture::Problem::None, {}, Route::None};
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return {Outcome::NotFound, {}, SourcePicture::Problem::None, {}, Route::None};
    const FREE_IMAGE_FORMAT type = SourcePicture::FileType(path);
    if (!IntakeTakes(type))
        return {Outcome::Unreadable, {}, SourcePicture::Problem::UnknownType, {}, Route::None};
    if (type == FIF_JPEG) {
        if (std::optional<Result> partial = CropJpeg(path, box))
            return *partial;
    }
    return CropWhole(path, box);
}

} // namespace SourceCrop
