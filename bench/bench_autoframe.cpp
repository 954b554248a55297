// The automatic framing on A4 scans at 300 DPI: finding the face (with its
// eyes) on a page with the astronaut portrait, finding the signature on a
// page with a printed box, specks and print, and the offline check of the
// finished 265 x 320 photo, with the face searched and with the face known.

#include "FaceLandmarks.h"
#include "LandmarkModel.h"
#include "PhotoCheck.h"
#include "PortraitFraming.h"
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
    LandmarkModel::Available(); // read once, as the program does before its first page
    for (auto _ : state) {
        const PortraitFraming::Proposal found = PortraitFraming::Propose(page, page.size());
        if (found.status != FaceLandmarks::Status::Found)
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

// The finished 265 x 320 photo of the astronaut's page, head 75 %, cut
// from where the page says her crown and chin are (not from a framing).
QImage FramedPhoto()
{
    const QString path = SamplePages::AstronautPath(QStringLiteral(RITRAX_BENCH_CACHE));
    if (path.isEmpty())
        return {};
    SamplePages::Placement at;
    at.at = QPoint(1760, 640);
    const SamplePages::FacePage page = SamplePages::MakeFacePage(QImage(path), at);
    const double height = (page.chin.y() - page.crown.y()) / 0.75;
    const QRectF cut(page.eyes.x() - height * 265.0 / 640.0, page.crown.y() - 0.05 * height, height * 265.0 / 320.0, height);
    return page.page.copy(cut.toRect()).scaled(265, 320, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void BM_CheckPhoto(benchmark::State& state)
{
    const QImage photo = FramedPhoto();
    if (photo.isNull()) {
        state.SkipWithError("astronaut.png not available");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(PhotoCheck::Check(photo));
}

// The editor's check after each commit: the face is known, no search.
void BM_CheckWithFace(benchmark::State& state)
{
    const QImage photo = FramedPhoto();
    const FaceLandmarks::Result found = photo.isNull() ? FaceLandmarks::Result{} : FaceLandmarks::Find(photo);
    if (found.status != FaceLandmarks::Status::Found) {
        state.SkipWithError("astronaut.png not available or no face found");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(PhotoCheck::CheckWithFace(photo, found.face));
}

} // namespace

BENCHMARK(BM_FindFace)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindSignature)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CheckPhoto)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CheckWithFace)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
