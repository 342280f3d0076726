// One tick of the live view at 1024 x 768: every fish, bubble and morsel moved, then the
// frame drawn; beside it a memcpy of the frame, the memory limit.

#include "core/document/aquarium.h"
#include "core/document/fish_character.h"
#include "core/live/live_tank.h"
#include "core/platform/files.h"
#include "core/platform/raster.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include "bench_support.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

using namespace aquarium;

namespace {

QImage Ellipse(int w, int h, QColor colour)
{
    QImage image = MakePicture(w, h, kBlack);
    QPainter p(&image);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(w / 10, h / 5, w * 7 / 10, h * 3 / 5));
    return image;
}

// Six kinds of ten fish (bitmaps of 120 x 60, the first six formats; or, with fishSide,
// of fishSide x fishSide in X_Stretch at 64 frames), 20 accessories of side x side * 3 / 2
// (every fourth swaying, every fifth spread), a background picture stretched over the
// screen, sand, bubbles everywhere, food falling.
struct LiveWorld
{
    explicit LiveWorld(int side, int fishSide = 0)
    {
        const QString root = dir.path();
        QDir(root).mkpath(QStringLiteral("aq/data"));
        const QString data = root + QStringLiteral("/aq/data/");
        files = std::make_unique<Files>(PathMap(QStringLiteral("/nonexistent-prefix")));
        doc.DataFolder = files->Paths().ToWindows(root + QStringLiteral("/aq")) + u'\\';
        doc.DataSubFolder = QStringLiteral("data\\");
        doc.FishCountsFixed = true;
        for (int i = 0; i < 6; ++i) {
            const QString name = QStringLiteral("fish%1").arg(i);
            const bool shadow = BmpFormat(i + 1) == BmpFormat::ShadowMapping && !fishSide;
            Ellipse(fishSide ? fishSide : shadow ? 240 : 120,
                fishSide     ? fishSide
                    : shadow ? 120
                             : 60,
                QColor(250, 40 * i, 30))
                .save(data + name + QStringLiteral(".bmp"), "BMP");
            FishCharacter c;
            c.Format = fishSide ? BmpFormat::XStretch : BmpFormat(i + 1);
            c.AnimationDataNo = fishSide ? 64 : 8;
            c.SchoolingFrequency = QStringLiteral("30");
            SaveFishCharacter(*files, c, doc.DataFolder + u"data\\"_qs + name);
            doc.Fish[size_t(i)].CharacterName = u"data\\"_qs + name;
            doc.Fish[size_t(i)].FishAmount = QStringLiteral("10");
        }
        for (int i = 0; i < 20; ++i) {
            const QString name = QStringLiteral("acc%1").arg(i);
            Ellipse(side, side * 3 / 2, QColor(40, 150 + i * 4, 60))
                .save(data + name + QStringLiteral(".bmp"), "BMP");
            doc.ObjectBmpTable[size_t(i)].BmpName = u"data\\"_qs + name;
            doc.ObjectTable[size_t(i)]
                = {i, (i % 3) * 2, 2, i, quint8(i % 4 == 0 ? 1 : 0), quint8(i % 5 == 0 ? 1 : 0)};
        }
        doc.LastObjectBmp = 19;
        doc.LastObject = 19;
        Ellipse(800, 600, QColor(20, 60, 140)).save(data + QStringLiteral("back.bmp"), "BMP");
        doc.BackgroundSource = QStringLiteral("data\\back.bmp");
        MakePicture(256, 96, 0x204080).save(data + QStringLiteral("sand.bmp"), "BMP");
        doc.SandName = QStringLiteral("data\\sand");
        Ellipse(12, 12, Qt::white).save(data + QStringLiteral("bubble.bmp"), "BMP");
        doc.BubbleName = QStringLiteral("data\\bubble");
        Ellipse(8, 8, QColor(200, 120, 40)).save(data + QStringLiteral("food.bmp"), "BMP");
        doc.FoodName = QStringLiteral("data\\food");
        doc.Aeration = AerationPosition::All;
        AtRest(root);
    }
    QTemporaryDir dir;
    std::unique_ptr<Files> files;
    Aquarium doc;
};

// The reference of a frame's cost: a memcpy of as many bytes, the memory limit.
void CopyFrames(benchmark::State& state, size_t bytes)
{
    std::vector<char> from(bytes), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

void Tick(benchmark::State& state, int side, bool memcpyOnly)
{
    const LiveWorld world(side);
    const QSize screen(1024, 768);
    LiveTank tank(*world.files, world.doc, screen, screen, 1);
    // A tank that has played a while: bubbles all the way up, food in the water.
    for (int t = 0; t < 400; ++t) {
        if (t % 40 == 0)
            tank.DropFood(100 + t);
        tank.Step();
    }
    QImage frame;
    tank.Draw(frame);
    if (memcpyOnly) {
        CopyFrames(state, size_t(frame.sizeInBytes()));
        return;
    }
    int t = 0;
    for (auto _ : state) {
        if (++t % 40 == 0)
            tank.DropFood(t % 1000);
        tank.Step();
        tank.Draw(frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["fish"] = double(tank.Fishes().size());
    state.counters["bubbles"] = double(tank.Bubbles().size());
    state.counters["missing"] = double(tank.Missing().size());
}

// The screen saver at 1920 x 1080 and 60 frames a second: a tick of the model every third
// frame, each frame drawn between two ticks and only where something moved; beside it a
// memcpy of the 8 MB frame. CorePercentAt60Hz is the share of one core that 60 such frames
// a second take.
void SaverFrame(benchmark::State& state, bool memcpyOnly)
{
    const LiveWorld world(160);
    const QSize screen(1920, 1080);
    LiveTank tank(*world.files, world.doc, screen, screen, 1);
    for (int t = 0; t < 400; ++t) {
        if (t % 40 == 0)
            tank.DropFood(100 + 3 * t);
        tank.Step();
    }
    QImage frame;
    std::vector<QRect> changed;
    tank.DrawBetween(frame, 1.0, changed);
    if (memcpyOnly) {
        CopyFrames(state, size_t(frame.sizeInBytes()));
        return;
    }
    int f = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (++f % 3 == 0) {
            if (f % 120 == 0)
                tank.DropFood(f % 1800);
            tank.Step();
        }
        tank.DrawBetween(frame, (f % 3 + 1) / 3.0, changed);
        benchmark::DoNotOptimize(frame.constBits());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["CorePercentAt60Hz"] = 100.0 * 60.0 * seconds / double(state.iterations());
    state.counters["fish"] = double(tank.Fishes().size());
}

// Opening the live view's model as the window does: the tank made with its fish's frames
// left to a worker, the first frame drawn, then a tick every 50 ms taking in the frames
// as they come, until every kind is shown.
void Open(benchmark::State& state, int fishSide)
{
    const LiveWorld world(160, fishSide);
    const QSize screen(1024, 768);
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    double firstFrame = 0, longest = 0, framesMb = 0;
    for (auto _ : state) {
        const Files files(world.files->Paths()); // nothing decoded before
        const Clock::time_point start = Clock::now();
        LiveTank tank(files, world.doc, screen, screen, 1, LiveTank::FishFrames::Later);
        QImage frame;
        tank.Step();
        tank.Draw(frame);
        const Clock::time_point drawn = Clock::now();
        firstFrame = ms(drawn - start);
        longest = firstFrame;
        Clock::time_point next = drawn;
        while (tank.FramesPending()) {
            next += std::chrono::milliseconds(1000 / kLiveTicksPerSecond);
            std::this_thread::sleep_until(next);
            const Clock::time_point tick = Clock::now();
            tank.TakeReadyFrames();
            tank.Step();
            tank.Draw(frame);
            longest = std::max(longest, ms(Clock::now() - tick));
        }
        framesMb = double(tank.FramesBytes()) / (1 << 20);
    }
    state.counters["FirstFrameMs"] = firstFrame;
    state.counters["LongestBlockMs"] = longest;
    state.counters["FramesMB"] = framesMb;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    for (const int side : {160, 640}) {
        const std::string name = "LiveTick/1024x768/accessories-" + std::to_string(side);
        benchmark::RegisterBenchmark(name.c_str(), Tick, side, false)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("LiveTick/1024x768/memcpy", Tick, 160, true)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
    benchmark::RegisterBenchmark("SaverFrame/1920x1080", SaverFrame, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("SaverFrame/1920x1080/memcpy", SaverFrame, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("LiveOpen/six-512", Open, 512)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
