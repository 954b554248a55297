// What ritrax-cli's launcher reads before anything else is loaded: the
// command line's words, guessed at, and a rectangle of any bytes decoded as
// a JPEG. The first eight bytes of an input give the rectangle, the rest is
// the file; the same bytes, split at NULs, are also read as command words.

#include "FastPrefetch.h"
#include "JpegRegion.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int Side(const uint8_t* two)
{
    return (two[0] | (two[1] << 8)) % 700;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words{"firma"};
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += char(data[i]);
        }
    }
    words.push_back(word);
    if (const auto guess = FastPrefetch::GuessCrop(words))
        if (guess->crop.x < 0 || guess->crop.y < 0 || guess->crop.empty())
            std::abort();

    if (size < 8)
        return 0;
    const JpegRegion::Rect rect{Side(data), Side(data + 2), Side(data + 4), Side(data + 6)};
    if (rect.empty())
        return 0;
    const size_t rowBytes = size_t(rect.width) * 3;
    std::vector<unsigned char> pixels(rowBytes * size_t(rect.height));
    int lastRow = -1;
    JpegRegion::DecodeRows(data + 8, size - 8, rect, JpegRegion::Layout::Bgr, [&](int y) {
        // Rows come once each, in order, inside the rectangle.
        if (y != lastRow + 1 || y >= rect.height)
            std::abort();
        lastRow = y;
        return pixels.data() + size_t(y) * rowBytes;
    });
    return 0;
}
