#include "SaneFrameAssembler.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned AllPlanes = 7;

int PlaneOf(SANE_Frame format)
{
    switch (format) {
    case SANE_FRAME_RED:
        return 0;
    case SANE_FRAME_GREEN:
        return 1;
    case SANE_FRAME_BLUE:
        return 2;
    default:
        return -1;
    }
}

long long BytesNeeded(int pixels, int samplesPerPixel, int depth)
{
    const long long bits = static_cast<long long>(pixels) * samplesPerPixel * depth;
    return (bits + 7) / 8;
}

} // namespace

void ConvertSaneRow(const unsigned char* row, int pixels, int samplesPerPixel, int depth,
                    bool lineart, unsigned char* out)
{
    const int samples = pixels * samplesPerPixel;
    switch (depth) {
    case 8:
        std::memcpy(out, row, static_cast<std::size_t>(samples));
        break;
    case 16:
        for (int i = 0; i < samples; ++i) {
            std::uint16_t value;
            std::memcpy(&value, row + 2 * i, sizeof value);
            out[i] = static_cast<unsigned char>(value >> 8);
        }
        break;
    case 1: {
        const unsigned char set = lineart ? 0 : 255;
        for (int i = 0; i < samples; ++i) {
            const bool bit = (row[i / 8] >> (7 - i % 8)) & 1;
            out[i] = bit ? set : static_cast<unsigned char>(255 - set);
        }
        break;
    }
    default:
        break;
    }
}

bool SaneFrameAssembler::beginFrame(const SANE_Parameters& p)
{
    inFrame_ = false;
    if (failed_)
        return false;
    const int plane = PlaneOf(p.format);
    const bool single = p.format == SANE_FRAME_GRAY || p.format == SANE_FRAME_RGB;
    const int samplesPerPixel = p.format == SANE_FRAME_RGB ? 3 : 1;
    const int channels = p.format == SANE_FRAME_GRAY ? 1 : 3;
    bool ok = (single || plane >= 0) && (p.depth == 1 || p.depth == 8 || p.depth == 16)
        && p.pixels_per_line > 0 && p.lines != 0
        && p.bytes_per_line >= BytesNeeded(p.pixels_per_line, samplesPerPixel, p.depth);
    if (ok && planes_ != 0) {
        // Only the missing colour planes of a three-pass page may follow.
        ok = plane >= 0 && !(planes_ & (1u << plane)) && p.pixels_per_line == width_;
    }
    if (!ok) {
        failed_ = true;
        return false;
    }
    if (planes_ == 0) {
        width_ = p.pixels_per_line;
        channels_ = channels;
        if (p.lines > 0) {
            expectedBytes_ = static_cast<long long>(p.lines) * p.bytes_per_line * (single ? 1 : 3);
            pixels_.reserve(static_cast<std::size_t>(p.lines) * width_ * channels_);
        }
    }
    planes_ |= single ? AllPlanes : (1u << plane);
    frame_ = p;
    row_ = 0;
    pending_.clear();
    converted_.assign(static_cast<std::size_t>(width_) * samplesPerPixel, 0);
    inFrame_ = true;
    return true;
}

void SaneFrameAssembler::append(const unsigned char* data, std::size_t length)
{
    if (!inFrame_)
        return;
    const auto rowBytes = static_cast<std::size_t>(frame_.bytes_per_line);
    while (length > 0) {
        if (frame_.lines > 0 && row_ >= frame_.lines)
            return;
        if (pending_.empty() && length >= rowBytes) {
            storeRow(data);
            data += rowBytes;
            length -= rowBytes;
            continue;
        }
        const std::size_t take = std::min(length, rowBytes - pending_.size());
        pending_.insert(pending_.end(), data, data + take);
        data += take;
        length -= take;
        if (pending_.size() == rowBytes) {
            storeRow(pending_.data());
            pending_.clear();
        }
    }
}

void SaneFrameAssembler::storeRow(const unsigned char* row)
{
    const bool rgb = frame_.format == SANE_FRAME_RGB;
    ConvertSaneRow(row, width_, rgb ? 3 : 1, frame_.depth,
                   frame_.format == SANE_FRAME_GRAY && frame_.depth == 1, converted_.data());
    const std::size_t pageRow = static_cast<std::size_t>(width_) * channels_;
    if (row_ >= height_) {
        // Frames of unknown height, and a later plane longer than the first,
        // make the page grow; colour planes not yet sent stay black.
        pixels_.resize(pageRow * static_cast<std::size_t>(row_ + 1), 0);
        height_ = row_ + 1;
    }
    unsigned char* dst = pixels_.data() + pageRow * static_cast<std::size_t>(row_);
    const int plane = PlaneOf(frame_.format);
    if (plane < 0) {
        std::memcpy(dst, converted_.data(), pageRow);
    } else {
        for (int x = 0; x < width_; ++x)
            dst[3 * x + plane] = converted_[static_cast<std::size_t>(x)];
    }
    ++row_;
}

void SaneFrameAssembler::endFrame()
{
    inFrame_ = false;
    pending_.clear();
}

bool SaneFrameAssembler::isComplete() const
{
    return !failed_ && planes_ == AllPlanes && height_ > 0;
}

ScannerPage SaneFrameAssembler::takePage(double dpi)
{
    ScannerPage page;
    if (isComplete()) {
        page.width = width_;
        page.height = height_;
        page.channels = channels_;
        page.dpi = dpi;
        page.pixels = std::move(pixels_);
    }
    *this = SaneFrameAssembler();
    return page;
}
