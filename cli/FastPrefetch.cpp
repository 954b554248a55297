#include "FastPrefetch.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FastPrefetch {

namespace {

// Larger crops are left to the quick road's own decoding.
constexpr std::size_t MaxPixelBytes = std::size_t(512) << 20;

bool IsOptionWord(const std::string& word)
{
    return word.size() > 1 && word[0] == '-';
}

// A whole number with an optional sign and blanks around it, as the crop's
// parts are read.
std::optional<int> WholeNumber(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    if (begin == end)
        return std::nullopt;
    const std::string part = text.substr(begin, end - begin);
    const char first = part[0];
    if (!std::isdigit(static_cast<unsigned char>(first)) && first != '+' && first != '-')
        return std::nullopt;
    errno = 0;
    char* stop = nullptr;
    const long long value = std::strtoll(part.c_str(), &stop, 10);
    if (errno != 0 || *stop != '\0' || stop == part.c_str() || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return int(value);
}

std::optional<JpegRegion::Rect> CropOf(const std::string& text)
{
    int numbers[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = text.find(',', start);
        if ((i < 3) == (comma == std::string::npos))
            return std::nullopt;
        const std::optional<int> n = WholeNumber(text.substr(start, comma - start));
        if (!n)
            return std::nullopt;
        numbers[i] = *n;
        start = comma + 1;
    }
    const JpegRegion::Rect crop{numbers[0], numbers[1], numbers[2], numbers[3]};
    if (crop.x < 0 || crop.y < 0 || crop.empty())
        return std::nullopt;
    return crop;
}

} // namespace

std::optional<Guess> GuessCrop(const std::vector<std::string>& words)
{
    if (words.empty() || (words[0] != "foto" && words[0] != "firma"))
        return std::nullopt;
    std::vector<std::string> positional;
    std::optional<std::string> cropText;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || !IsOptionWord(word)) {
            positional.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word.rfind("--ritaglio=", 0) == 0) {
            cropText = word.substr(11);
        } else if (word == "--ritaglio" || word == "-o" || word == "--soglia") {
            if (++i == words.size())
                return std::nullopt;
            if (word == "--ritaglio")
                cropText = words[i];
        } else if (word != "--200dpi" && word != "--bn" && word.rfind("--soglia=", 0) != 0) {
            return std::nullopt; // help, --auto, or what the full program has to answer
        }
    }
    if (positional.size() != 1 || !cropText)
        return std::nullopt;
    const std::optional<JpegRegion::Rect> crop = CropOf(*cropText);
    if (!crop)
        return std::nullopt;
    return Guess{positional[0], *crop};
}

Region::~Region()
{
    if (data)
        munmap(const_cast<unsigned char*>(data), size);
}

std::unique_ptr<Region> Fetch(const Guess& guess)
{
    const std::size_t rowBytes = std::size_t(guess.crop.width) * 3;
    if (guess.crop.empty() || rowBytes > MaxPixelBytes / std::size_t(guess.crop.height))
        return nullptr;
    // A FIFO or a device would hold open() until someone writes to it: only
    // a regular file is opened, and without waiting should it change.
    struct stat named {};
    if (stat(guess.source.c_str(), &named) != 0 || !S_ISREG(named.st_mode))
        return nullptr;
    const int file = open(guess.source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return nullptr;
    struct stat status {};
    void* mapped = MAP_FAILED;
    if (fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
        mapped = mmap(nullptr, std::size_t(status.st_size), PROT_READ, MAP_PRIVATE, file, 0);
    close(file);
    if (mapped == MAP_FAILED)
        return nullptr;

    auto region = std::make_unique<Region>();
    region->source = guess.source;
    region->crop = guess.crop;
    region->data = static_cast<const unsigned char*>(mapped);
    region->size = std::size_t(status.st_size);
    region->pixels.reset(new (std::nothrow) unsigned char[rowBytes * std::size_t(guess.crop.height)]);
    if (!region->pixels)
        return nullptr;
    unsigned char* pixels = region->pixels.get();
    if (!JpegRegion::DecodeRows(region->data, region->size, region->crop, JpegRegion::Layout::Bgr,
                                [pixels, rowBytes](int y) { return pixels + std::size_t(y) * rowBytes; }))
        return nullptr;
    return region;
}

} // namespace FastPrefetch
