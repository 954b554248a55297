#pragma once
// The one way a source picture file becomes pixels, used by the main
// window's display, both editors and the command line, so that every part
// of the program sees the same pixels at the same coordinates. The type is
// recognised from the content; JPEG photos are turned upright by their EXIF
// orientation; pictures too large for the editors are refused from their
// header before anything is decoded; damaged files are refused instead of
// being shown with invented pixels.

#include <FreeImage.h>

#include <QImage>
#include <QString>

#include <optional>

namespace SourcePicture {

enum class Problem {
    None,
    UnknownType, // not an image FreeImage recognises
    TooLarge,    // wider or taller than MaxSide
    OutOfMemory, // the machine cannot hold the decoded picture
    Unreadable,  // recognised, but the pixels cannot be decoded (damaged, cut short)
};

// The editors keep positions in 16 bits.
inline constexpr int MaxSide = 32767;

struct Loaded {
    QImage picture; // null unless problem is None
    Problem problem = Problem::None;
};

// FreeImage's type of the file by its content; FIF_UNKNOWN when unknown, and
// for anything but a regular file (a FIFO, a device), which is not opened.
FREE_IMAGE_FORMAT FileType(const QString& path);

Loaded Load(const QString& path);
// The same with a memory budget of its own instead of the machine's.
Loaded Load(const QString& path, std::optional<long long> availableBytes);

// Whether a picture of this size can be decoded: TooLarge beyond MaxSide,
// OutOfMemory when decoding would need more than the available bytes (no
// memory check without a figure), Unreadable for an empty size.
Problem CheckSize(long long width, long long height, int bitsPerPixel,
                  std::optional<long long> availableBytes);

// What the operator is told, in Italian.
QString MessageFor(Problem problem);

} // namespace SourcePicture
