// The one-pass road: from the command to its window on screen (the form
// loaded, both crops found, the photo, its check and the signature made and
// shown) against the plain decode of the same page; cold (Alt+R pressed at
// once) and with the proposal the main window makes while the operator looks
// at the form already made. Page 0 is the sample form, page 1 an A4 300 DPI
// scan with the astronaut portrait pasted on it.

#include "LandmarkModel.h"
#include "OnePassWindow.h"
#include "SamplePages.h"
#include "SourcePicture.h"
#include "TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>

namespace {

QString PagePath(int which)
{
    if (which == 0)
        return QStringLiteral(RITRAX_SAMPLES_DIR "/modulo-300dpi.jpg");
    static const QString scan = [] {
        const QString astronaut = SamplePages::AstronautPath(QStringLiteral(RITRAX_BENCH_CACHE));
        if (astronaut.isEmpty())
            return QString();
        SamplePages::Placement at;
        at.at = QPoint(1760, 640);
        const QString path = QDir::temp().filePath(QStringLiteral("ritrax-bench-onepass.jpg"));
        return SamplePages::MakeFacePage(QImage(astronaut), at).page.save(path, "JPEG", 85) ? path : QString();
    }();
    return scan;
}

void BM_DecodePage(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(PagePath(int(state.range(0))));
    if (path.isEmpty()) {
        state.SkipWithError("astronaut.png not available");
        return;
    }
    for (auto _ : state) {
        FIBITMAP* bitmap = FreeImage_Load(FIF_JPEG, path.constData(), 0);
        benchmark::DoNotOptimize(bitmap);
        FreeImage_Unload(bitmap);
    }
}

void BM_OpenOnePass(benchmark::State& state)
{
    const QString path = PagePath(int(state.range(0)));
    if (path.isEmpty()) {
        state.SkipWithError("astronaut.png not available");
        return;
    }
    // The program reads the face models while it starts, before any form.
    LandmarkModel::Available();
    TestEnvironment env;
    for (auto _ : state) {
        OnePassWindow window(env.services());
        if (!window.Load(path))
            state.SkipWithError("the page could not be loaded");
        window.show();
        QApplication::processEvents(); // laid out and painted
        state.PauseTiming();
        if (window.photoCrop.isEmpty() || window.signatureCrop.isEmpty())
            state.SkipWithError("a crop was not found");
        window.hide();
        state.ResumeTiming();
    }
}

void BM_OpenOnePassMadeAhead(benchmark::State& state)
{
    const QString path = PagePath(int(state.range(0)));
    if (path.isEmpty()) {
        state.SkipWithError("astronaut.png not available");
        return;
    }
    LandmarkModel::Available();
    TestEnvironment env;
    const QImage page = SourcePicture::Load(path).picture;
    ProposalAhead ahead;
    for (auto _ : state) {
        state.PauseTiming();
        ahead.Start(page, path, 170);
        std::optional<ProposalAhead::Ready> ready = ahead.Take(path, 170);
        state.ResumeTiming();
        OnePassWindow window(env.services());
        window.Load(path, std::move(ready));
        window.show();
        QApplication::processEvents();
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_DecodePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenOnePass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenOnePassMadeAhead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FreeImage_Initialise(FALSE);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FreeImage_DeInitialise();
    return 0;
}
