// What the undo history keeps per step: one accessory of the sample reef.uld moved on the
// layout canvas per iteration, the accessory page showing, as a user drags it.

#include "core/operations/layout_canvas.h"
#include "core/platform/files.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <malloc.h>

using namespace aquarium;

namespace {

// The heap in use, small blocks and mapped ones.
double HeapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

void MoveAccessory(benchmark::State& state)
{
    const Files files(PathMap(QStringLiteral("/nonexistent-prefix")));
    ScriptedPrompts prompts;
    AppState app(files, prompts);
    const QString reef = files.Paths().ToWindows(QStringLiteral(AQUARIUM_SAMPLES_DIR "/reef.uld"));
    if (!LoadAquariumFile(app, reef)) {
        state.SkipWithError("reef.uld does not load");
        return;
    }
    app.NotebookPage = kAccessoryPage;
    DrawTankPreview(app);
    LayoutCanvas canvas(app);
    // Accessory 3 stands in column 9, at the front: its number is there on the canvas.
    const int y = kCanvasHeight * 4 / 6 + 4;
    int column = 9;
    const double before = HeapBytes();
    for (auto _ : state) {
        const int x = column * kCanvasWidth / 20 + 4;
        const int to = column == 9 ? 10 : 9;
        canvas.MouseMove(0, x, y);
        canvas.MouseDown(MouseButton::Left, kLeftButton, x, y);
        canvas.MouseMove(kLeftButton, to * kCanvasWidth / 20 + 4, y);
        canvas.MouseUp(MouseButton::Left, 0, to * kCanvasWidth / 20 + 4, y, QString());
        column = to;
    }
    const int steps = app.Edits.Stack().count();
    state.counters["Steps"] = steps;
    state.counters["BytesPerStep"] = steps > 0 ? (HeapBytes() - before) / steps : 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    // Up to the history's whole length: every step is kept.
    benchmark::RegisterBenchmark("History/MoveAccessory", MoveAccessory)
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(History::kMostSteps);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
