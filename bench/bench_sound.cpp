// The live view's soundtrack: ten seconds of the sample's MIDI list (FluidSynth with the
// General MIDI soundfont) mixed with its sound looped (an 11,025 Hz file brought to
// 44,100 Hz when it loads), rendered in the blocks an audio output asks for.

#include "core/live/soundtrack.h"
#include "core/platform/files.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <chrono>

using namespace aquarium;

namespace {

void TenSeconds(benchmark::State& state)
{
    const Files files(PathMap(QStringLiteral("/nonexistent-prefix")));
    const QString soundfont = FindSoundfont(QString());
    if (soundfont.isEmpty()) {
        state.SkipWithError("no General MIDI soundfont");
        return;
    }
    const auto windows = [&](const char* relative) {
        return files.Paths().ToWindows(QStringLiteral(AQUARIUM_SAMPLES_DIR "/") + QLatin1String(relative));
    };
    SoundtrackInputs inputs;
    inputs.Sound = windows("data/boo-n.wav");
    inputs.Music = {windows("midi/umi.mid"), windows("midi/nami.mid")};
    Soundtrack track(files, inputs, 1, soundfont);
    if (!track.Unplayable().isEmpty()) {
        state.SkipWithError("the sample's sound or music does not play");
        return;
    }
    constexpr qsizetype kBlock = kAudioRate / 10; // a tenth of a second, as the output asks
    std::vector<qint16> block(size_t(2 * kBlock));
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 100; ++i) {
            track.Render(block.data(), kBlock);
            benchmark::DoNotOptimize(block.data());
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double perTen = seconds / double(state.iterations());
    state.counters["RealTimeFactor"] = 10.0 / perTen;
    state.counters["CorePercent"] = 100.0 * perTen / 10.0;
}

} // namespace

BENCHMARK(TenSeconds)->Name("Soundtrack/TenSeconds")->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
