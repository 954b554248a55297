// The box recorded in an image control's tag, read back and used to fit a
// picture.

#include "Libreria.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const int pictureWidth = 1 + (data[0] << 8 | data[1]) % 32767;
    const int pictureHeight = 1 + (data[2] << 8 | data[3]) % 32767;
    const QString tag = QString::fromUtf8(reinterpret_cast<const char*>(data + 4), qsizetype(size - 4));
    qint16 cx = -1, cy = 0, w = 0, h = 0;
    if (!Libreria::ReadBoxTag(tag, cx, cy, w, h))
        return 0;
    if (const auto box = Libreria::FitInBox(pictureWidth, pictureHeight, cx, cy, w, h)) {
        // The picture fills the box on one side and stays within it on the other.
        if (box->width > w || box->height > h || box->width <= 0 || box->height <= 0)
            std::abort();
        if (box->width != w && box->height != h)
            std::abort();
    }
    return 0;
}
