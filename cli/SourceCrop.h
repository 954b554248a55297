#pragma once
// The crop of a source picture exactly as the editors take it: the same
// pixels as copying the rectangle out of the loaded, upright picture. A
// JPEG is decoded only where the crop needs it; any other picture, and any
// JPEG whose partial decoding could differ, is loaded whole.

#include "SourcePicture.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

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

Result Crop(const QString& path, const Box& box);

// Whether the box is a non-empty part of a picture of the given size.
bool Inside(const Box& box, QSize picture);

} // namespace SourceCrop
