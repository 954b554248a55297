#pragma once
// What the launcher of ritrax-cli does while the rest of the quick road
// loads (Qt Core, FreeImage and the libraries they need take longer to load
// than the crop takes to decode): it reads the source and the crop off the
// command line as a guess and decodes that crop of the JPEG. The quick road
// takes the pixels only where its own reading of the command line names the
// same file, with the same bytes, and the same crop; otherwise it decodes
// the crop itself. Plain C++ over libjpeg and the system's calls.

#include "JpegRegion.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace FastPrefetch {

struct Guess {
    std::string source; // the source as the command line gives it
    JpegRegion::Rect crop;
};

// The source and the crop of a "foto" or "firma" command line (the words
// after the program's name) that gives its crop with --ritaglio; nothing
// where the command line asks for anything else or leaves a doubt.
std::optional<Guess> GuessCrop(const std::vector<std::string>& words);

// A crop decoded ahead, with the file's bytes it was decoded from.
class Region {
public:
    Region() = default;
    ~Region();
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    std::string source;
    JpegRegion::Rect crop;
    const unsigned char* data = nullptr; // the file, mapped
    std::size_t size = 0;
    std::unique_ptr<unsigned char[]> pixels; // crop.width * 3 bytes a row (blue, green, red), top row first
    mutable bool taken = false;              // set when the quick road takes the pixels
};

// The guessed crop decoded; nothing where it cannot be decoded exactly (see
// JpegRegion::DecodeRows), the file cannot be read, or the crop is too large
// to hold ahead.
std::unique_ptr<Region> Fetch(const Guess& guess);

// The quick road's entry, which the launcher finds in the module it loads:
// the exit code, or -1 where the full program has to run the command line.
using RunFunction = int (*)(int argc, char** argv, const Region* ahead);
inline constexpr const char* RunFunctionName = "RitraxCliFastRun";

} // namespace FastPrefetch
