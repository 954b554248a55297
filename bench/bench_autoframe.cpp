// The automatic framing on A4 scans at 300 DPI: finding the face (with its
// eyes) on a page with the astronaut portrait, finding the signature on a
// page with a printed box, specks and print, and the offline check of the
// finished 265 x 320 photo.

#include "FaceFinder.h"
#include "PhotoCheck.h"
#include "PortraitGeometry.h"
#include "SamplePages.h"
#include "SignatureFinder.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

const QImage& FacePage()
{
    static const QImage page = [] {
        const QString path = SamplePages::AstronautPath(QStringLiteral(RITRAX_BENCH_CACHE));
        if (path.isEmpty())
            return QImage();
        SamplePages::Placement at;
        at.at = QPoint(1760, 640);
        return SamplePages::MakeFacePage(QImage(path), at).page;
    }();
    return page;
}

void BM_FindFace(benchmark::State& state)
{
    const QImage& page = FacePage();
    if (page.isNull()) {
        state.SkipWithError("astronaut.png not available (apt-get download python3-skimage failed)");
        return;
    }
    Cascades::Default(); // read once, as the program does before its first page
    for (auto _ : state) {
        const FaceFinder::Result found = FaceFinder::Find(page);
        if (found.status != FaceFinder::Status::Found)
            state.SkipWithError("no face found");
        benchmark::DoNotOptimize(found);
    }
}

void BM_FindSignature(benchmark::State& state)
{
    const QImage page = SamplePages::MakeSignaturePage(7).page;
    for (auto _ : state) {
        const SignatureFinder::Found found = SignatureFinder::Find(page, 170);
        if (found.selection.isEmpty())
            state.SkipWithError("no signature found");
        benchmark::DoNotOptimize(found);
    }
}

void BM_CheckPhoto(benchmark::State& state)
{
    const QImage& page = FacePage();
    if (page.isNull()) {
        state.SkipWithError("astronaut.png not available");
        return;
    }
    const FaceFinder::Result found = FaceFinder::Find(page);
    const QRect selection = PortraitGeometry::PhotoSelection(PortraitGeometry::HeadOf(found.face), page.size(), page.size());
    const QImage photo = page.copy(selection).scaled(265, 320, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (auto _ : state)
        benchmark::DoNotOptimize(PhotoCheck::Check(photo));
}

} // namespace

BENCHMARK(BM_FindFace)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindSignature)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CheckPhoto)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
