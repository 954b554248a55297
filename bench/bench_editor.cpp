// The photo editor on A4 scans: opening up to the first crop against
// FreeImage's decode of the same file, one drag step, one commit, and the
// memory the open editor holds; on the sample form, the opening with the
// automatic framing off and on, and a commit followed by its photo check.

#include "AnalizzaFoto.h"
#include "BenchPages.h"
#include "LandmarkModel.h"
#include "PictureView.h"
#include "TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QScrollBar>

#include <unistd.h>

namespace {

double ResidentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

void BM_Decode(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(BenchPage(int(state.range(0))));
    for (auto _ : state) {
        FIBITMAP* bitmap = FreeImage_Load(FIF_JPEG, path.constData(), 0);
        benchmark::DoNotOptimize(bitmap);
        FreeImage_Unload(bitmap);
    }
}

void BM_OpenEditor(benchmark::State& state)
{
    const QString path = BenchPage(int(state.range(0)));
    TestEnvironment env;
    double held = 0;
    for (auto _ : state) {
        const double before = ResidentMegabytes();
        AnalizzaFoto editor(env.services());
        editor.SourcePath = path;
        benchmark::DoNotOptimize(editor.Form_Load());
        held = ResidentMegabytes() - before;
    }
    state.counters["held_MB"] = held;
}

struct OpenEditor {
    explicit OpenEditor(int dpi)
        : editor(env.services())
    {
        editor.SourcePath = BenchPage(dpi);
        editor.Form_Load();
        editor.show();
        QApplication::processEvents();
    }
    TestEnvironment env;
    AnalizzaFoto editor;
};

void BM_DragStep(benchmark::State& state)
{
    OpenEditor open(int(state.range(0)));
    AnalizzaFoto& e = open.editor;
    const float x = float(e.SelLeft + e.Sh->value() + 40);
    const float y = float(e.SelTop + e.Sv->value() + 40);
    e.Pbi_MouseDown(1, 0, x, y);
    int step = 0;
    for (auto _ : state) {
        const float d = float(step++ % 2);
        e.Pbi_MouseMove(1, 0, x + d, y + d);
        QApplication::processEvents(); // the repaint of what changed
    }
}

void BM_Commit(benchmark::State& state)
{
    OpenEditor open(int(state.range(0)));
    AnalizzaFoto& e = open.editor;
    for (auto _ : state) {
        e.DragMode = 1;
        e.Pbi_MouseUp(0, 0, 0, 0);
    }
    state.counters["crop_px"] = double(e.SelWidth) * e.SelHeight;
}

const QString SampleForm = QStringLiteral(RITRAX_SAMPLES_DIR "/modulo-300dpi.jpg");

// Arg 0: the automatic framing off, 1: on. The models are read before, as
// the program reads them in the background when it starts.
void BM_OpenSampleForm(benchmark::State& state)
{
    LandmarkModel::Available();
    TestEnvironment env;
    env.settings().write(QStringLiteral("AutoInquadra"), state.range(0) ? QStringLiteral("1") : QStringLiteral("0"));
    for (auto _ : state) {
        AnalizzaFoto editor(env.services());
        editor.SourcePath = SampleForm;
        benchmark::DoNotOptimize(editor.Form_Load());
        QApplication::processEvents(); // the first check runs once events do
    }
}

// One arrow-key step with the check panel up: the commit and the check.
void BM_CommitChecked(benchmark::State& state)
{
    LandmarkModel::Available();
    TestEnvironment env;
    AnalizzaFoto editor(env.services());
    editor.SourcePath = SampleForm;
    editor.Form_Load();
    editor.show();
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        editor.KeyFrame(step++ % 2 ? Qt::Key_Left : Qt::Key_Right, Qt::NoModifier);
        editor.RefreshCheck();
    }
    state.counters["face_found"] = editor.lastCheck.faceFound;
}

} // namespace

BENCHMARK(BM_OpenSampleForm)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitChecked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEditor)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Arg(300)->Arg(600)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Commit)->Arg(300)->Arg(600)->Unit(benchmark::kMicrosecond);

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
