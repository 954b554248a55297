#include "JpegRegion.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace JpegRegion {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are counted by the library and read afterwards; none is printed.
void Silent(j_common_ptr) {}

// The library's state lives in the caller's frame, never in a frame that a
// jump leaves, so the jumps below skip no destructor.
struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    bool created = false;

    Decoder()
    {
        info.err = jpeg_std_error(&errors.pub);
        errors.pub.error_exit = JumpBack;
        errors.pub.output_message = Silent;
    }
    ~Decoder()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

// Reads the header and starts the decompressor with the settings of
// FreeImage's JPEG loader for its default flags: the fast integer DCT,
// plain (not fancy) upsampling, no scaling. Grey and colour pictures
// alike come out as blue, green, red (and a filler byte for the layout of a
// Format_RGB32 image); the colour conversion is the library's own either way. CMYK is left
// alone: FreeImage converts it with a formula of its own.
bool Start(Decoder& d, const unsigned char* data, std::size_t size, Layout layout)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK)
        return false;
    const bool grey = d.info.out_color_space == JCS_GRAYSCALE && d.info.num_components == 1;
    const bool rgb = d.info.out_color_space == JCS_RGB && d.info.num_components == 3;
    if ((!grey && !rgb) || d.info.data_precision != 8)
        return false;
    d.info.out_color_space = layout == Layout::Bgrx ? JCS_EXT_BGRX : JCS_EXT_BGR;
    d.info.scale_num = 1;
    d.info.scale_denom = 1;
    d.info.dct_method = JDCT_IFAST;
    d.info.do_fancy_upsampling = FALSE;
    if (!jpeg_start_decompress(&d.info) || d.info.output_components != BytesPerPixel(layout))
        return false;
    return d.errors.pub.num_warnings == 0;
}

// Decodes the rows of rect with a margin of one MCU on every side (cut off
// again), so that no output pixel of rect is at the border of what the
// library decoded.
bool ReadRows(Decoder& d, const Rect& rect, int bytesPerPixel, const RowTarget& target)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_decompress_struct& info = d.info;
    const int width = int(info.output_width);
    const int height = int(info.output_height);
    const int marginX = info.max_h_samp_factor * DCTSIZE;
    const int marginY = info.max_v_samp_factor * DCTSIZE;
    const int left = std::max(0, rect.x - marginX);
    const int right = std::min(width, rect.x + rect.width + marginX);
    const int top = std::max(0, rect.y - marginY);
    const int bottom = std::min(height, rect.y + rect.height + marginY);

    JDIMENSION xOffset = JDIMENSION(left);
    JDIMENSION columns = JDIMENSION(right - left);
    if (left > 0 || right < width)
        jpeg_crop_scanline(&info, &xOffset, &columns); // widens to whole iMCU columns
    if (top > 0 && jpeg_skip_scanlines(&info, JDIMENSION(top)) != JDIMENSION(top))
        return false;

    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               columns * JDIMENSION(bytesPerPixel), 1);
    const std::size_t skipBytes = std::size_t(rect.x - int(xOffset)) * std::size_t(bytesPerPixel);
    const std::size_t rowBytes = std::size_t(rect.width) * std::size_t(bytesPerPixel);
    for (int y = top; y < bottom; ++y) {
        if (jpeg_read_scanlines(&info, row, 1) != 1)
            return false;
        if (y >= rect.y && y < rect.y + rect.height)
            std::memcpy(target(y - rect.y), row[0] + skipBytes, rowBytes);
    }
    return d.errors.pub.num_warnings == 0;
}

// A complete JPEG ends with its end-of-image marker. The whole load refuses
// a file cut short, and a partial decode never gets to its end: such files
// are told apart by their last bytes.
bool EndsWithEndMarker(const unsigned char* data, std::size_t size)
{
    return size >= 4 && data[size - 2] == 0xff && data[size - 1] == 0xd9;
}

} // namespace

int BytesPerPixel(Layout layout)
{
    return layout == Layout::Bgrx ? 4 : 3;
}

bool DecodeRows(const unsigned char* data, std::size_t size, const Rect& rect, Layout layout,
                const RowTarget& target)
{
    if (!data || !EndsWithEndMarker(data, size) || rect.empty() || rect.x < 0 || rect.y < 0)
        return false;
    Decoder d;
    if (!Start(d, data, size, layout))
        return false;
    // In 64 bits: a rectangle far outside must not wrap round to inside.
    if (static_cast<long long>(rect.x) + rect.width > d.info.output_width
        || static_cast<long long>(rect.y) + rect.height > d.info.output_height)
        return false;
    return ReadRows(d, rect, BytesPerPixel(layout), target);
}

} // namespace JpegRegion
