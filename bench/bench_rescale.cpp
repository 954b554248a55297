// The bicubic rescale of the output pipeline against FreeImage_Rescale, on
// the crops the command line benchmark takes from A4 scans: the signature
// (1000 x 300 to 706 x 211 at 300 DPI, 2000 x 600 at 600 DPI) and the photo
// (472 x 570 and 944 x 1140 to 265 x 320).

#include "BicubicRescale.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

FIBITMAP* Crop(int width, int height)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int i = 0; i < width * 3; ++i) {
            state = state * 1664525u + 1013904223u;
            row[i] = BYTE(200 + (state >> 28)); // paper with a little noise
        }
    }
    return bitmap;
}

template <bool Ours>
void BM_Rescale(benchmark::State& state)
{
    FIBITMAP* crop = Crop(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        FIBITMAP* scaled = Ours ? BicubicRescale::Rescale(crop, int(state.range(2)), int(state.range(3)))
                                : FreeImage_Rescale(crop, int(state.range(2)), int(state.range(3)), FILTER_BICUBIC);
        benchmark::DoNotOptimize(scaled);
        FreeImage_Unload(scaled);
    }
    FreeImage_Unload(crop);
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Args({1000, 300, 706, 211})->Args({2000, 600, 706, 211})->Args({472, 570, 265, 320})->Args({944, 1140, 265, 320});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Rescale<false>)->Name("BM_RescaleFreeImage")->Apply(Sizes);
BENCHMARK(BM_Rescale<true>)->Name("BM_RescaleOurs")->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
