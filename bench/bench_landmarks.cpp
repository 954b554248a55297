// Faces and landmarks with dlib: reading the models from dlib's own files
// and from our cache, finding the face on an A4 page at 300 DPI (upright,
// upside down, a small portrait, no face at all) and on a webcam still, and
// the landmarks alone for a box already known.

#include "FaceModels.h"
#include "FaceSearch.h"
#include "SamplePages.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

namespace {

const QString ModelPath = QStringLiteral(RITRAX_BENCH_MODEL);

const QImage& Astronaut()
{
    static const QImage picture(SamplePages::AstronautPath(QStringLiteral(RITRAX_BENCH_CACHE)));
    return picture;
}

// Models read through a cache of the benchmark's own.
const FaceModels* Models()
{
    static QTemporaryDir folder;
    static const std::shared_ptr<const FaceModels> models = FaceModelFiles::Load(ModelPath, folder.path()).models;
    return models.get();
}

QImage Page(int width)
{
    if (Astronaut().isNull())
        return {};
    SamplePages::Placement at;
    at.at = QPoint(1760, 640);
    at.width = width;
    return SamplePages::MakeFacePage(Astronaut(), at).page;
}

QImage Webcam()
{
    if (Astronaut().isNull())
        return {};
    QImage still(640, 480, QImage::Format_RGB32);
    still.fill(QColor(90, 100, 110));
    QPainter p(&still);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(80, -40, 560, 560), Astronaut());
    return still;
}

bool Ready(benchmark::State& state, const QImage& picture)
{
    if (!Models())
        state.SkipWithError("dlib's landmark model is not installed");
    else if (picture.isNull())
        state.SkipWithError("astronaut.png not available (apt-get download python3-skimage failed)");
    else
        return true;
    return false;
}

void Search(benchmark::State& state, const QImage& picture, FaceLandmarks::Status expected)
{
    if (!Ready(state, picture))
        return;
    for (auto _ : state) {
        const FaceLandmarks::Result found = FaceLandmarks::FindWith(Models(), picture, true);
        if (found.status != expected)
            state.SkipWithError("unexpected result");
        benchmark::DoNotOptimize(found);
    }
}

void BM_ReadModelFile(benchmark::State& state)
{
    // A cache folder under a file cannot be made, so every reading is dlib's.
    QTemporaryDir folder;
    QFile blocker(folder.filePath(QStringLiteral("file")));
    blocker.open(QIODevice::WriteOnly);
    for (auto _ : state)
        if (!FaceModelFiles::Load(ModelPath, blocker.fileName() + QStringLiteral("/cache")).models)
            state.SkipWithError("dlib's landmark model is not installed");
}

void BM_ReadCache(benchmark::State& state)
{
    QTemporaryDir folder;
    FaceModelFiles::Load(ModelPath, folder.path());
    for (auto _ : state)
        if (FaceModelFiles::Load(ModelPath, folder.path()).source != FaceModelFiles::Source::Cache)
            state.SkipWithError("the cache was not used");
}

void BM_FindOnPage(benchmark::State& state)
{
    Search(state, Page(int(state.range(0))), FaceLandmarks::Status::Found);
}

void BM_FindOnTurnedPage(benchmark::State& state)
{
    Search(state, Page(472).transformed(QTransform().rotate(180)), FaceLandmarks::Status::Found);
}

void BM_FindOnEmptyPage(benchmark::State& state)
{
    QImage page(SamplePages::PageWidth, SamplePages::PageHeight, QImage::Format_RGB32);
    page.fill(QColor(245, 240, 228));
    Search(state, page, FaceLandmarks::Status::NoFace);
}

void BM_FindOnWebcamStill(benchmark::State& state)
{
    Search(state, Webcam(), FaceLandmarks::Status::Found);
}

void BM_LandmarksIn(benchmark::State& state)
{
    const QImage page = Page(472);
    if (!Ready(state, page))
        return;
    const QRectF box = FaceLandmarks::FindWith(Models(), page, false).face.box;
    for (auto _ : state)
        benchmark::DoNotOptimize(FaceLandmarks::LandmarksWith(Models(), page, box));
}

} // namespace

BENCHMARK(BM_ReadModelFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ReadCache)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindOnPage)->Arg(340)->Arg(472)->Arg(600)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindOnTurnedPage)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindOnEmptyPage)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindOnWebcamStill)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_LandmarksIn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
