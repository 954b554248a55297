#pragma once
// FreeImage_Rescale with the bicubic filter for 24-bit bitmaps, giving the
// library's bytes exactly in a fraction of its time: the same weights, the
// same order of passes and the same sums in double precision, taken over
// whole rows at a time instead of one pixel at a time.

#include <FreeImage.h>

namespace BicubicRescale {

// Which of the processor's instructions take the sums: the best it has
// (AVX2 where there is, else SSE2), SSE2, or plain arithmetic. All give
// the same bytes; the choice is there so that each can be checked.
enum class Instructions { Best, Sse2, Plain };

// A new bitmap of width x height (the caller's), as
// FreeImage_Rescale(source, width, height, FILTER_BICUBIC) makes it; any
// bitmap that is not a 24-bit one is handed to the library itself. Null
// where the library gives null.
FIBITMAP* Rescale(FIBITMAP* source, int width, int height, Instructions instructions = Instructions::Best);

} // namespace BicubicRescale
