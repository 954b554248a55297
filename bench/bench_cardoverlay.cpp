// The card preview's overlay: the near-white pass on a 265 x 320 photo, one
// pixel at a time through the image bridge as the program does it, beside
// the same pass over scan lines, and the whole overlay for a photo and a
// 600 DPI signature canvas.

#include "CardOverlay.h"
#include "MFreeImage.h"

#include <FreeImage.h>
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

// A face-like photo on a slightly uneven white background: most pixels are
// near-white, as in a real passport photo.
QImage MakePhoto()
{
    QImage photo(265, 320, QImage::Format_RGB32);
    std::mt19937 noise(7);
    std::uniform_int_distribution<int> jitter(-12, 3);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            row[x] = qRgb(qMin(255, 252 + jitter(noise)), qMin(255, 250 + jitter(noise)),
                          qMin(255, 249 + jitter(noise)));
    }
    QPainter painter(&photo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 55, 90));
    painter.drawEllipse(QRect(22, 215, 221, 200));
    painter.setBrush(QColor(224, 180, 150));
    painter.drawEllipse(QRect(80, 60, 105, 140));
    painter.setBrush(QColor(70, 45, 30));
    painter.drawChord(QRect(78, 50, 109, 90), 0, 180 * 16);
    return photo;
}

QImage MakeSignature()
{
    QImage canvas(710, 142, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 20, 60), 5));
    QPainterPath stroke(QPointF(60, 100));
    for (int i = 0; i < 12; ++i)
        stroke.cubicTo(100 + i * 50, 10, 120 + i * 50, 140, 140 + i * 50, 70);
    painter.drawPath(stroke);
    return canvas;
}

// The same rule as WhitenNearWhite, over FreeImage's rows instead of its
// per-pixel calls.
void WhitenByScanLines(FIBITMAP* bitmap, int threshold)
{
    const unsigned width = FreeImage_GetWidth(bitmap);
    const unsigned height = FreeImage_GetHeight(bitmap);
    for (unsigned y = 0; y < height; ++y) {
        BYTE* pixel = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
        for (unsigned x = 0; x < width; ++x, pixel += 3) {
            const int red = pixel[FI_RGBA_RED];
            const int green = pixel[FI_RGBA_GREEN];
            const int blue = pixel[FI_RGBA_BLUE];
            if (red >= threshold && green >= threshold && blue >= threshold && red + green + blue < 765)
                pixel[FI_RGBA_RED] = pixel[FI_RGBA_GREEN] = pixel[FI_RGBA_BLUE] = 255;
        }
    }
}

bool SamePixels(FIBITMAP* a, FIBITMAP* b)
{
    const unsigned rowBytes = FreeImage_GetWidth(a) * 3;
    for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y)
        if (std::memcmp(FreeImage_GetScanLine(a, static_cast<int>(y)),
                        FreeImage_GetScanLine(b, static_cast<int>(y)), rowBytes) != 0)
            return false;
    return true;
}

template <void (*Whiten)(FIBITMAP*, int)>
void BM_Whiten(benchmark::State& state)
{
    FIBITMAP* source = MFreeImage::LibraryBitmapFromPicture(MakePhoto());
    for (auto _ : state) {
        state.PauseTiming();
        FIBITMAP* bitmap = FreeImage_Clone(source);
        state.ResumeTiming();
        Whiten(bitmap, PhotoOverlayThreshold);
        benchmark::DoNotOptimize(FreeImage_GetBits(bitmap));
        state.PauseTiming();
        FreeImage_Unload(bitmap);
        state.ResumeTiming();
    }
    FreeImage_Unload(source);
}

void BM_WhitenPerPixel(benchmark::State& state)
{
    BM_Whiten<WhitenNearWhite>(state);
}

void BM_WhitenScanLine(benchmark::State& state)
{
    BM_Whiten<WhitenByScanLines>(state);
}

void BM_MakeCardOverlayPhoto(benchmark::State& state)
{
    const QImage photo = MakePhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(MakeCardOverlay(photo, PhotoOverlayThreshold));
}

void BM_MakeCardOverlaySignature(benchmark::State& state)
{
    const QImage signature = MakeSignature();
    for (auto _ : state)
        benchmark::DoNotOptimize(MakeCardOverlay(signature, SignatureOverlayThreshold));
}

// The comparison means nothing if the two passes disagree.
bool PassesAgree()
{
    FIBITMAP* perPixel = MFreeImage::LibraryBitmapFromPicture(MakePhoto());
    FIBITMAP* byRows = FreeImage_Clone(perPixel);
    WhitenNearWhite(perPixel, PhotoOverlayThreshold);
    WhitenByScanLines(byRows, PhotoOverlayThreshold);
    const bool same = SamePixels(perPixel, byRows);
    FreeImage_Unload(perPixel);
    FreeImage_Unload(byRows);
    return same;
}

} // namespace

BENCHMARK(BM_WhitenPerPixel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WhitenScanLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeCardOverlayPhoto)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeCardOverlaySignature)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (!PassesAgree()) {
        std::fputs("the per-pixel and scan-line passes give different pixels\n", stderr);
        return EXIT_FAILURE;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return EXIT_FAILURE;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
