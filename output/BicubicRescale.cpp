#include "BicubicRescale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RITRAX_X86_KERNELS 1
#include <immintrin.h>
#endif

// Every sum below must be the library's to the last bit: each product is
// rounded before it is added, and the products of one sum are added in the
// library's order, from the first source pixel on. No fused multiply-add
// may stand in (CMake compiles this file with -ffp-contract=off); the sums
// of different bytes may be taken side by side, in vector registers.

namespace BicubicRescale {

namespace {

// Mitchell and Netravali's cubic with b = c = 1/3, width 2, with the
// coefficients and the evaluation order of FreeImage's filter.
class Cubic {
public:
    Cubic()
    {
        const double b = 1 / double(3);
        const double c = 1 / double(3);
        p0_ = (6 - 2 * b) / 6;
        p2_ = (-18 + 12 * b + 6 * c) / 6;
        p3_ = (12 - 9 * b - 6 * c) / 6;
        q0_ = (8 * b + 24 * c) / 6;
        q1_ = (-12 * b - 48 * c) / 6;
        q2_ = (6 * b + 30 * c) / 6;
        q3_ = (-b - 6 * c) / 6;
    }
    static constexpr double Width = 2;
    double operator()(double value) const
    {
        value = std::fabs(value);
        if (value < 1)
            return p0_ + value * value * (p2_ + value * p3_);
        if (value < 2)
            return q0_ + value * (q1_ + value * (q2_ + value * q3_));
        return 0;
    }

private:
    double p0_, p2_, p3_, q0_, q1_, q2_, q3_;
};

// Which source pixels make each destination pixel of a line, and with what
// weights: the library's table, with its normalisation and its dropping of
// zero weights at the right end.
struct Contribution {
    int left = 0;
    int count = 0;       // source pixels used, from left on
    std::size_t weights; // index of the first weight in Weights::values
};
struct Weights {
    std::vector<Contribution> pixels;
    std::vector<double> values;
    std::size_t taps = 0; // all the weights, a measure of the work
};

Weights MakeWeights(unsigned destinationSize, unsigned sourceSize)
{
    const Cubic filter;
    const double scale = double(destinationSize) / double(sourceSize);
    double width = Cubic::Width;
    double filterScale = 1.0;
    if (scale < 1.0) {
        width = Cubic::Width / scale;
        filterScale = scale;
    }
    const double offset = 0.5 / scale;
    Weights table;
    table.pixels.resize(destinationSize);
    std::vector<double> line;
    for (unsigned u = 0; u < destinationSize; ++u) {
        const double center = double(u) / scale + offset;
        const int left = std::max(0, int(center - width + 0.5));
        const int right = std::min(int(center + width + 0.5), int(sourceSize));
        line.clear();
        double total = 0;
        for (int source = left; source < right; ++source) {
            const double weight = filterScale * filter(filterScale * (double(source) + 0.5 - center));
            line.push_back(weight);
            total += weight;
        }
        if (total > 0 && total != 1)
            for (double& weight : line)
                weight /= total;
        int count = right - left;
        while (count > 0 && line[std::size_t(count - 1)] == 0)
            --count;
        table.pixels[u] = {left, count, table.values.size()};
        table.values.insert(table.values.end(), line.begin(), line.begin() + count);
    }
    table.taps = table.values.size();
    return table;
}

// Lines of bytes, the first one at the given address, each stride bytes
// after the one before: a bitmap's rows, bottom row first as the library
// counts them.
struct Lines {
    uint8_t* first;
    std::size_t stride;
    uint8_t* operator[](std::size_t i) const { return first + i * stride; }
};

Lines BitmapLines(FIBITMAP* bitmap)
{
    return {FreeImage_GetBits(bitmap), FreeImage_GetPitch(bitmap)};
}

uint8_t ToByte(double sum)
{
    return uint8_t(std::clamp(int(sum + 0.5), 0, 255));
}

// --- Down the columns: one destination byte from the same byte of its
// source rows.

void DownByte(const double* weights, int count, const uint8_t* line, std::size_t stride, uint8_t* out)
{
    double sum = 0;
    for (int i = 0; i < count; ++i, line += stride)
        sum += weights[i] * double(*line);
    *out = ToByte(sum);
}

// --- Along a row: one destination pixel (blue, green, red) from
// consecutive source pixels.

void AlongPixel(const double* weights, int count, const uint8_t* pixel, uint8_t* out)
{
    double b = 0, g = 0, r = 0;
    for (int i = 0; i < count; ++i, pixel += 3) {
        b += weights[i] * double(pixel[0]);
        g += weights[i] * double(pixel[1]);
        r += weights[i] * double(pixel[2]);
    }
    out[0] = ToByte(b);
    out[1] = ToByte(g);
    out[2] = ToByte(r);
}

#ifdef RITRAX_X86_KERNELS
// Sixteen bytes of a destination row at a time, two sums to an SSE2
// register (every x86-64 processor has them).
void Down16(const double* weights, int count, const uint8_t* line, std::size_t stride, uint8_t* out)
{
    const __m128i zero = _mm_setzero_si128();
    __m128d s[8];
    for (__m128d& sum : s)
        sum = _mm_setzero_pd();
    for (int i = 0; i < count; ++i, line += stride) {
        const __m128d weight = _mm_set1_pd(weights[i]);
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line));
        const __m128i low = _mm_unpacklo_epi8(bytes, zero);
        const __m128i high = _mm_unpackhi_epi8(bytes, zero);
        const __m128i quads[4] = {_mm_unpacklo_epi16(low, zero), _mm_unpackhi_epi16(low, zero),
                                  _mm_unpacklo_epi16(high, zero), _mm_unpackhi_epi16(high, zero)};
        for (int q = 0; q < 4; ++q) {
            s[2 * q] = _mm_add_pd(s[2 * q], _mm_mul_pd(weight, _mm_cvtepi32_pd(quads[q])));
            s[2 * q + 1] = _mm_add_pd(s[2 * q + 1],
                                      _mm_mul_pd(weight, _mm_cvtepi32_pd(_mm_shuffle_epi32(quads[q], 0x4e))));
        }
    }
    // (int)(sum + 0.5), then into 0..255 by the saturating packs.
    const __m128d half = _mm_set1_pd(0.5);
    __m128i ints[4];
    for (int q = 0; q < 4; ++q)
        ints[q] = _mm_unpacklo_epi64(_mm_cvttpd_epi32(_mm_add_pd(s[2 * q], half)),
                                     _mm_cvttpd_epi32(_mm_add_pd(s[2 * q + 1], half)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_packus_epi16(_mm_packs_epi32(ints[0], ints[1]), _mm_packs_epi32(ints[2], ints[3])));
}

// The same, four sums to an AVX register, where the processor has AVX2.
__attribute__((target("avx2"))) void Down16Avx2(const double* weights, int count, const uint8_t* line,
                                                std::size_t stride, uint8_t* out)
{
    __m256d s[4];
    for (__m256d& sum : s)
        sum = _mm256_setzero_pd();
    for (int i = 0; i < count; ++i, line += stride) {
        const __m256d weight = _mm256_set1_pd(weights[i]);
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line));
        s[0] = _mm256_add_pd(s[0], _mm256_mul_pd(weight, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(bytes))));
        s[1] = _mm256_add_pd(
            s[1], _mm256_mul_pd(weight, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_srli_si128(bytes, 4)))));
        s[2] = _mm256_add_pd(
            s[2], _mm256_mul_pd(weight, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_srli_si128(bytes, 8)))));
        s[3] = _mm256_add_pd(
            s[3], _mm256_mul_pd(weight, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_srli_si128(bytes, 12)))));
    }
    const __m256d half = _mm256_set1_pd(0.5);
    __m128i ints[4];
    for (int q = 0; q < 4; ++q)
        ints[q] = _mm256_cvttpd_epi32(_mm256_add_pd(s[q], half));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_packus_epi16(_mm_packs_epi32(ints[0], ints[1]), _mm_packs_epi32(ints[2], ints[3])));
}

// A row's pixels up to safe (whose windows end before the row's last source
// pixel: each reads a fourth byte past its pixels), two pixels at a time
// so that their sums go on side by side; each pixel's three sums share an
// SSE2 register pair.
inline __m128i FourInts(const uint8_t* pixel)
{
    int32_t four;
    std::memcpy(&four, pixel, sizeof four);
    const __m128i zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero), zero);
}

struct Sse2Pixel {
    __m128d blueGreen = _mm_setzero_pd();
    __m128d red = _mm_setzero_pd();
    void Add(double w, const uint8_t* pixel)
    {
        const __m128i ints = FourInts(pixel);
        const __m128d weight = _mm_set1_pd(w);
        blueGreen = _mm_add_pd(blueGreen, _mm_mul_pd(weight, _mm_cvtepi32_pd(ints)));
        red = _mm_add_pd(red, _mm_mul_pd(weight, _mm_cvtepi32_pd(_mm_shuffle_epi32(ints, 0x4e))));
    }
    void Store(uint8_t* out) const
    {
        const __m128d half = _mm_set1_pd(0.5);
        const __m128i ints = _mm_unpacklo_epi64(_mm_cvttpd_epi32(_mm_add_pd(blueGreen, half)),
                                                _mm_cvttpd_epi32(_mm_add_pd(red, half)));
        const int32_t packed = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(ints, ints), _mm_setzero_si128()));
        std::memcpy(out, &packed, 3);
    }
};

struct Avx2Pixel {
    __m256d sums;
    __attribute__((target("avx2"))) Avx2Pixel() : sums(_mm256_setzero_pd()) {}
    __attribute__((target("avx2"))) void Add(double w, const uint8_t* pixel)
    {
        int32_t four;
        std::memcpy(&four, pixel, sizeof four);
        sums = _mm256_add_pd(sums, _mm256_mul_pd(_mm256_set1_pd(w),
                                                 _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(four)))));
    }
    __attribute__((target("avx2"))) void Store(uint8_t* out) const
    {
        const __m128i ints = _mm256_cvttpd_epi32(_mm256_add_pd(sums, _mm256_set1_pd(0.5)));
        const int32_t packed = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(ints, ints), _mm_setzero_si128()));
        std::memcpy(out, &packed, 3);
    }
};

template <typename Pixel>
__attribute__((always_inline)) inline void AlongRowPairs(const Contribution* pixels, std::size_t safe,
                                                        const double* values, const uint8_t* in, uint8_t* out)
{
    std::size_t x = 0;
    for (; x + 1 < safe; x += 2) {
        const Contribution& a = pixels[x];
        const Contribution& b = pixels[x + 1];
        const double* const wa = values + a.weights;
        const double* const wb = values + b.weights;
        const uint8_t* const pa = in + std::size_t(a.left) * 3;
        const uint8_t* const pb = in + std::size_t(b.left) * 3;
        Pixel sa, sb;
        const int both = std::min(a.count, b.count);
        int i = 0;
        for (; i < both; ++i) {
            sa.Add(wa[i], pa + 3 * i);
            sb.Add(wb[i], pb + 3 * i);
        }
        for (int j = i; j < a.count; ++j)
            sa.Add(wa[j], pa + 3 * j);
        for (int j = i; j < b.count; ++j)
            sb.Add(wb[j], pb + 3 * j);
        sa.Store(out + 3 * x);
        sb.Store(out + 3 * x + 3);
    }
    for (; x < safe; ++x) {
        const Contribution& a = pixels[x];
        Pixel sa;
        for (int i = 0; i < a.count; ++i)
            sa.Add(values[a.weights + std::size_t(i)], in + (std::size_t(a.left) + std::size_t(i)) * 3);
        sa.Store(out + 3 * x);
    }
}

void AlongRowSse2(const Contribution* pixels, std::size_t safe, const double* values, const uint8_t* in,
                  uint8_t* out)
{
    AlongRowPairs<Sse2Pixel>(pixels, safe, values, in, out);
}

__attribute__((target("avx2"))) void AlongRowAvx2(const Contribution* pixels, std::size_t safe,
                                                  const double* values, const uint8_t* in, uint8_t* out)
{
    AlongRowPairs<Avx2Pixel>(pixels, safe, values, in, out);
}
#endif

struct Kernels {
    void (*down16)(const double*, int, const uint8_t*, std::size_t, uint8_t*) = nullptr;
    void (*alongRow)(const Contribution*, std::size_t, const double*, const uint8_t*, uint8_t*) = nullptr;
};

Kernels KernelsFor(Instructions instructions)
{
    Kernels k;
#ifdef RITRAX_X86_KERNELS
    if (instructions == Instructions::Plain)
        return k;
    const bool avx2 = instructions == Instructions::Best && __builtin_cpu_supports("avx2");
    k.down16 = avx2 ? Down16Avx2 : Down16;
    k.alongRow = avx2 ? AlongRowAvx2 : AlongRowSse2;
#else
    (void)instructions;
#endif
    return k;
}

// Lines first to last - 1 by do(first, last): large pictures are shared
// with a second thread, each taking half. Every sum is the same whoever
// takes it.
template <typename Work>
void Share(std::size_t lines, std::size_t work, const Work& doLines)
{
    if (work < (std::size_t(1) << 20) || lines < 2 || std::thread::hardware_concurrency() < 2) {
        doLines(std::size_t(0), lines);
        return;
    }
    const std::size_t half = lines / 2;
    std::thread helper;
    try {
        helper = std::thread([&] { doLines(half, lines); });
    } catch (const std::system_error&) {
        doLines(half, lines); // no thread to be had: this one does it all
    }
    doLines(std::size_t(0), half);
    if (helper.joinable())
        helper.join();
}

// The vertical pass: each destination row from its source rows, bytes
// (a row's width times 3) at a time.
void FilterDown(const Kernels& k, const Weights& table, Lines source, Lines destination, std::size_t bytes)
{
    const std::size_t whole = k.down16 ? bytes - bytes % 16 : 0;
    Share(table.pixels.size(), bytes * table.taps, [&](std::size_t first, std::size_t last) {
        for (std::size_t u = first; u < last; ++u) {
            const Contribution& c = table.pixels[u];
            const double* const weights = table.values.data() + c.weights;
            const uint8_t* const start = source[std::size_t(c.left)];
            uint8_t* const out = destination[u];
            for (std::size_t j = 0; j < whole; j += 16)
                k.down16(weights, c.count, start + j, source.stride, out + j);
            for (std::size_t j = whole; j < bytes; ++j)
                DownByte(weights, c.count, start + j, source.stride, out + j);
        }
    });
}

// The horizontal pass over rows rows of sourceWidth pixels.
void FilterAlong(const Kernels& k, const Weights& table, Lines source, unsigned sourceWidth, Lines destination,
                 std::size_t rows)
{
    // The vector kernels read a byte past each source pixel, so they stop
    // before the first pixel whose window reaches the row's last one (the
    // windows move right along the row).
    std::size_t safe = 0;
    if (k.alongRow)
        while (safe < table.pixels.size()
               && unsigned(table.pixels[safe].left + table.pixels[safe].count) < sourceWidth)
            ++safe;
    Share(rows, rows * table.taps * 3, [&](std::size_t first, std::size_t last) {
        for (std::size_t y = first; y < last; ++y) {
            const uint8_t* const in = source[y];
            uint8_t* const out = destination[y];
            if (k.alongRow)
                k.alongRow(table.pixels.data(), safe, table.values.data(), in, out);
            for (std::size_t x = safe; x < table.pixels.size(); ++x) {
                const Contribution& c = table.pixels[x];
                AlongPixel(table.values.data() + c.weights, c.count, in + std::size_t(c.left) * 3, out + 3 * x);
            }
        }
    });
}

struct Unload {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};

} // namespace

FIBITMAP* Rescale(FIBITMAP* source, int width, int height, Instructions instructions)
{
    if (!source || width <= 0 || height <= 0 || FreeImage_GetImageType(source) != FIT_BITMAP
        || FreeImage_GetBPP(source) != 24 || !FreeImage_HasPixels(source))
        return FreeImage_Rescale(source, width, height, FILTER_BICUBIC);
    const unsigned sourceWidth = FreeImage_GetWidth(source);
    const unsigned sourceHeight = FreeImage_GetHeight(source);
    const unsigned w = unsigned(width);
    const unsigned h = unsigned(height);
    if (sourceWidth == w && sourceHeight == h)
        return FreeImage_Clone(source);

    std::unique_ptr<FIBITMAP, Unload> result(FreeImage_Allocate(width, height, 24));
    if (!result)
        return nullptr;
    // The library filters along the rows first unless that would widen the
    // picture, and leaves out a pass whose size does not change; the
    // picture between the passes is a bitmap of whole bytes, as the
    // library's.
    const bool alongFirst = w <= sourceWidth;
    const bool along = sourceWidth != w;
    const bool down = sourceHeight != h;
    std::unique_ptr<FIBITMAP, Unload> between;
    if (along && down) {
        between.reset(alongFirst ? FreeImage_Allocate(width, int(sourceHeight), 24)
                                 : FreeImage_Allocate(int(sourceWidth), height, 24));
        if (!between)
            return nullptr;
    }
    FIBITMAP* const middle = between ? between.get() : result.get();
    const Kernels k = KernelsFor(instructions);
    if (alongFirst) {
        if (along)
            FilterAlong(k, MakeWeights(w, sourceWidth), BitmapLines(source), sourceWidth, BitmapLines(middle),
                        sourceHeight);
        if (down)
            FilterDown(k, MakeWeights(h, sourceHeight), BitmapLines(along ? middle : source), BitmapLines(result.get()),
                       std::size_t(w) * 3);
    } else {
        if (down)
            FilterDown(k, MakeWeights(h, sourceHeight), BitmapLines(source), BitmapLines(middle),
                       std::size_t(sourceWidth) * 3);
        if (along)
            FilterAlong(k, MakeWeights(w, sourceWidth), BitmapLines(down ? middle : source), sourceWidth,
                        BitmapLines(result.get()), h);
    }
    FreeImage_CloneMetadata(result.get(), source);
    return result.release();
}

} // namespace BicubicRescale
