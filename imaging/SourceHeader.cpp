// What the source picture loader decides before decoding anything: the
// file's type by content, and whether a picture of a size can be loaded.
// Apart from the loader so that the command line's fast path needs no Qt GUI.

#include "SourcePicture.h"

#include <QFile>

#include <sys/stat.h>

namespace SourcePicture {

FREE_IMAGE_FORMAT FileType(const QString& path)
{
    // FreeImage's fopen would wait on a FIFO for a writer that never comes.
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return FIF_UNKNOWN;
    return FreeImage_GetFileType(name.constData(), 0);
}

Problem CheckSize(long long width, long long height, int bitsPerPixel, std::optional<long long> availableBytes)
{
    if (width <= 0 || height <= 0)
        return Problem::Unreadable;
    if (width > MaxSide || height > MaxSide)
        return Problem::TooLarge;
    // The decoder's copy, ours (at most 4 bytes per pixel), and one more of
    // ours for the copy a caller makes of it (a crop, a turned picture).
    const long long decoderBytes = qMax(1LL, (bitsPerPixel + 7LL) / 8);
    const long long needed = width * height * (decoderBytes + 8);
    if (availableBytes && needed > *availableBytes)
        return Problem::OutOfMemory;
    return Problem::None;
}

} // namespace SourcePicture
