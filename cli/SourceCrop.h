#pragma once
// The crop of a source picture exactly as the editors take it: the same
// pixels as copying the rectangle out of the loaded, upright picture. A
// JPEG is decoded only where the crop needs it; any other picture, and any
// JPEG whose partial decoding could differ, is loaded whole.

#include "FastPrefetch.h"
#include "SourcePicture.h"

#include <QFile>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>

namespace SourceCrop {

// A crop as given: picture pixels of the upright picture, left, top, width
// and height. Wide enough that no sum of them overflows.
struct Box {
    long long x = 0, y = 0, width = 0, height = 0;
};

enum class Outcome {
    Cropped,
    NotFound,   // no such file, not a file, or not readable
    Unreadable, // the loader's problem says why
    Empty,      // width or height not above zero
    Outside,    // the crop leaves the picture
};

// How the pixels were obtained.
enum class Route {
    None,
    PartialJpeg,  // only the crop's rows and columns were decoded
    WholePicture, // the picture was loaded whole and the crop copied
};

struct Result {
    Outcome outcome = Outcome::Unreadable;
    QImage crop;                                          // only when Cropped
    SourcePicture::Problem problem = SourcePicture::Problem::None; // when Unreadable
    QSize pictureSize;                                    // the upright picture's, when known
    Route route = Route::None;
};

// A PNG is Unreadable with the problem UnknownType, as the main window's
// File intake refuses it: the command line never writes a photo from a
// picture the editors would not open.
Result Crop(const QString& path, const Box& box);

// Whether the File intake takes a picture of the type: a type FreeImage
// recognises, PNG excepted.
inline bool IntakeTakes(FREE_IMAGE_FORMAT type)
{
    return type != FIF_UNKNOWN && type != FIF_PNG;
}

// Whether the box is a non-empty part of a picture of the given size.
inline bool Inside(const Box& box, QSize picture)
{
    return box.x >= 0 && box.y >= 0 && box.width > 0 && box.height > 0 && box.x + box.width <= picture.width()
        && box.y + box.height <= picture.height();
}

// A JPEG file ready for decoding a part of it: its bytes mapped, the size
// it is stored at and the EXIF orientation the loader turns it by.
struct JpegSource {
    std::unique_ptr<QFile> file;
    const uchar* data = nullptr;
    std::size_t size = 0;
    QSize stored;
    int orientation = 1;
};
// Nothing when the whole load has to decide: the header cannot be read,
// the picture is too large, or its orientation cannot be told.
std::optional<JpegSource> OpenJpeg(const QString& path);

// The crop of a JPEG stored upright, as a new 24-bit bitmap (the caller's),
// decoded only where it lies; null whenever Crop would not take the partial
// route for it, or the picture is stored turned. The pixels decoded ahead
// are taken when they are this file's, byte for byte, and this crop's.
FIBITMAP* CropUprightJpeg(const QString& path, const Box& box, const FastPrefetch::Region* ahead = nullptr);

} // namespace SourceCrop
