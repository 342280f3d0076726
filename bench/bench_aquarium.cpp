// The hot paths of the editor, each beside two references measured in the same run:
// the same stretched copies done with QPainter::drawImage (nearest neighbour, what a Qt
// program would write first), and the memory limit, a memcpy of as many output bytes.
// After the runs, one line per case gives both ratios.

#include "core/document/aquarium_file.h"
#include "core/document/fish_character.h"
#include "core/document/object_bmp.h"
#include "core/document/tank_preview.h"
#include "core/platform/files.h"
#include "core/platform/fonts.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/preview/render_preview.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "ui/editor/fish_editor.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "bench_support.h"

#include <cstring>
#include <map>

using namespace aquarium;

namespace {

// Qt's own drawing of the scaled copies, as a Qt program would write it: one painter per
// picture drawn into, kept open over all its copies (QtFinish ends it).
QPainter& PainterOn(QImage& destination)
{
    static QPainter painter;
    static QImage* target = nullptr;
    if (target != &destination || !painter.isActive()) {
        if (painter.isActive())
            painter.end();
        painter.begin(&destination);
        target = &destination;
    }
    return painter;
}

void QtFinish()
{
    QImage dummy(1, 1, QImage::Format_RGB32);
    PainterOn(dummy).end();
}

// The mask and the picture of each sprite, made before the runs: Qt draws an accessory as
// the mask ANDed and the picture ORed, two passes.
std::map<qint64, std::pair<QImage, QImage>>& SpriteParts()
{
    static std::map<qint64, std::pair<QImage, QImage>> parts;
    return parts;
}

void QtCopy(QImage& destination, const Rect& to, const QImage& source, const Rect& from,
            RasterOp op)
{
    QPainter& painter = PainterOn(destination);
    const QRectF target(to.Left, to.Top, to.Width(), to.Height());
    const QRectF part(from.Left, from.Top, from.Width(), from.Height());
    if (op == RasterOp::Sprite) {
        const auto& [mask, picture] = SpriteParts().at(source.cacheKey());
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter.drawImage(target, mask, part);
        painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        painter.drawImage(target, picture, part);
        return;
    }
    painter.setCompositionMode(op == RasterOp::And  ? QPainter::RasterOp_SourceAndDestination
                               : op == RasterOp::Or ? QPainter::RasterOp_SourceOrDestination
                                                    : QPainter::CompositionMode_Source);
    painter.drawImage(target, source, part);
}

QImage Fish(int w, int h)
{
    QImage image = MakePicture(w, h, kBlack);
    QPainter p(&image);
    p.setBrush(QColor(250, 140, 30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(w / 10, h / 5, w * 7 / 10, h * 3 / 5));
    return image;
}

// An input for each format whose cells fill the 281 x 129 display after stretching.
PreviewInputs Filling(BmpFormat format, int frames)
{
    PreviewInputs in;
    in.Format = format;
    in.Frames = frames;
    in.StretchDX = 50;
    in.StretchDY = 50;
    in.WaveLength = 6;
    in.Phase = 3;
    in.AnimLoop = true;
    const int f = int(format);
    const double sx = (f == 3 || f == 5 || f == 8 || f == 9) ? 1.5 : 1.0;
    const double sy = (f >= 4 && f <= 7) ? 1.5 : 1.0;
    const int w = int(281 / sx), h = int(129 / sy);
    if (format == BmpFormat::Animation || format == BmpFormat::NoAnimation)
        in.Bitmap = Fish(281 * (format == BmpFormat::Animation ? frames : 1), 129);
    else if (format == BmpFormat::ShadowMapping)
        in.Bitmap = Fish(281 * 2, 129 * 2);
    else
        in.Bitmap = Fish(w, h);
    return in;
}

PreviewInputs Typical(BmpFormat format)
{
    PreviewInputs in = Filling(format, 8);
    in.Bitmap = Fish(format == BmpFormat::Animation ? 120 * 8 : 120,
                     format == BmpFormat::ShadowMapping ? 120 : 60);
    if (format == BmpFormat::ShadowMapping)
        in.Bitmap = Fish(240, 120);
    return in;
}

void Render(benchmark::State& state, PreviewInputs in, int mode)
{
    const PreviewResult sample = RenderPreview(in);
    const size_t bytes = size_t(sample.Strip.sizeInBytes());
    std::vector<char> from(bytes), to(bytes);
    for (auto _ : state) {
        if (mode == 0) {
            PreviewResult r = RenderPreview(in);
            benchmark::DoNotOptimize(r.Strip.constBits());
        } else if (mode == 1) {
            PreviewResult r = RenderPreview(in, &QtCopy);
            QtFinish();
            benchmark::DoNotOptimize(r.Strip.constBits());
        } else {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        }
    }
    state.counters["frames"] = sample.FrameCount;
    state.counters["out_bytes"] = double(bytes);
}

// A folder of its own with a full aquarium: 6 fish with their character files and
// bitmaps, 20 accessory pictures of 1280 x 1024, a sand strip.
struct World
{
    World()
    {
        const QString root = dir.path();
        QDir(root).mkpath(QStringLiteral("aq/data"));
        const QString data = root + QStringLiteral("/aq/data/");
        Aquarium doc;
        files = std::make_unique<Files>(PathMap(QStringLiteral("/nonexistent-prefix")));
        folder = files->Paths().ToWindows(root + QStringLiteral("/aq")) + u'\\';
        doc.DataFolder = folder;
        doc.DataSubFolder = QStringLiteral("data\\");
        for (int i = 0; i < 6; ++i) {
            const QString name = QStringLiteral("fish%1").arg(i);
            Fish(240, 120).save(data + name + QStringLiteral(".bmp"), "BMP");
            FishCharacter c;
            c.Format = BmpFormat(i + 1);
            SaveFishCharacter(*files, c, folder + u"data\\"_qs + name);
            doc.Fish[size_t(i)].CharacterName = u"data\\"_qs + name;
        }
        for (int i = 0; i < 20; ++i) {
            QImage picture = MakePicture(1280, 1024, kBlack);
            QPainter p(&picture);
            p.fillRect(QRect(200 + i * 10, 100, 600, 900), QColor(40, 150 + i * 4, 60));
            p.end();
            const QString name = QStringLiteral("acc%1").arg(i);
            picture.save(data + name + QStringLiteral(".bmp"), "BMP");
            doc.ObjectBmpTable[size_t(i)].BmpName = u"data\\"_qs + name;
            doc.ObjectTable[size_t(i)] = {i, (i % 3) * 2, 2, i, 0, quint8(i % 5 == 0 ? 1 : 0)};
        }
        doc.LastObjectBmp = 19;
        doc.LastObject = 19;
        MakePicture(640, 96, 0x204080).save(data + QStringLiteral("sand.bmp"), "BMP");
        doc.SandName = QStringLiteral("data\\sand");
        doc.BubbleName = doc.FoodName = doc.SoundName = QStringLiteral("null");
        SaveAquariumFile(*files, doc, folder + u"full.uld"_qs);
        AtRest(root);
    }
    QTemporaryDir dir;
    std::unique_ptr<Files> files;
    QString folder;
};

World& TheWorld()
{
    static World world;
    return world;
}

// Twenty accessories of 1280 x 1024 pixels (640 x 512 in the preview at 640 x 480, the
// resolution where pictures are largest), every fifth spread, on sand.
void TankPreview(benchmark::State& state, int mode)
{
    World& world = TheWorld();
    ScriptedPrompts prompts;
    AppState app(*world.files, prompts);
    Aquarium& doc = app.Doc;
    doc.DataFolder = world.folder;
    doc.SandName = QStringLiteral("data\\sand");
    const QSize screen(640, 480);
    AccessorySprites sprites;
    for (int i = 0; i < 20; ++i) {
        QImage picture = MakePicture(1280, 1024, kBlack);
        QPainter p(&picture);
        p.fillRect(QRect(200 + i * 10, 100, 600, 900), QColor(40, 150 + i * 4, 60));
        p.end();
        AccessorySprite& entry = sprites.Entries[size_t(i)];
        entry = ScaleObjectBmp(picture, 640, 480);
        SpriteParts()[entry.Sprite.cacheKey()] = {entry.Mask(), entry.Picture()};
        doc.ObjectTable[size_t(i)] = {i, (i % 3) * 2, i % 3, i, 0, quint8(i % 5 == 0 ? 1 : 0)};
    }
    doc.LastObjectBmp = 19;
    doc.LastObject = 19;
    const QFont font = InterfaceFont(12);
    const size_t bytes = size_t(320 * 240 * 4 + 320 * 126 * 4);
    std::vector<char> from(bytes), to(bytes);
    for (auto _ : state) {
        if (mode == 0)
            DrawTankPreview(app.FileSystem, app.Doc, screen, sprites, app.View.TankPicture,
                            app.View.NumberStrip, font);
        else if (mode == 1) {
            DrawTankPreview(app.FileSystem, app.Doc, screen, sprites, app.View.TankPicture,
                            app.View.NumberStrip, font, &QtCopy);
            QtFinish();
        }
        else {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::ClobberMemory();
        }
        benchmark::DoNotOptimize(app.View.TankPicture.constBits());
    }
}

void LoadFull(benchmark::State& state)
{
    World& world = TheWorld();
    for (auto _ : state) {
        const Files files(world.files->Paths()); // nothing kept from the last run
        ScriptedPrompts prompts;
        AppState app(files, prompts);
        LoadAquariumFile(app, world.folder + u"full.uld"_qs);
        benchmark::DoNotOptimize(app.Doc.LastObject);
    }
}

// The share of the load that is decoding the pictures: the 20 accessory pictures, the 6
// fish bitmaps, nothing else.
void DecodeOnly(benchmark::State& state)
{
    World& world = TheWorld();
    for (auto _ : state) {
        const Files files(world.files->Paths()); // nothing kept from the last run
        for (int i = 0; i < 20; ++i)
            benchmark::DoNotOptimize(files.LoadPicture(world.folder + QStringLiteral("data\\acc%1.bmp").arg(i)));
        for (int i = 0; i < 6; ++i)
            benchmark::DoNotOptimize(files.LoadPicture(world.folder + QStringLiteral("data\\fish%1.bmp").arg(i)));
    }
}

void ScaleOnly(benchmark::State& state)
{
    World& world = TheWorld();
    const QImage source = world.files->LoadPicture(world.folder + u"data\\acc0.bmp"_qs);
    for (auto _ : state) {
        for (int i = 0; i < 20; ++i)
            benchmark::DoNotOptimize(ScaleObjectBmp(source, 1024, 768).Sprite.constBits());
    }
}

void SaveAquarium(benchmark::State& state)
{
    World& world = TheWorld();
    ScriptedPrompts prompts;
    AppState app(*world.files, prompts);
    LoadAquariumFile(app, world.folder + u"full.uld"_qs);
    for (auto _ : state)
        SaveAquariumFile(*world.files, app.Doc, world.folder + u"saved.uld"_qs);
}

void SaveCharacter(benchmark::State& state)
{
    World& world = TheWorld();
    FishCharacter c;
    c.Format = BmpFormat::VWave2;
    for (auto _ : state)
        SaveFishCharacter(*world.files, c, world.folder + u"data\\saved"_qs);
}

void StartUp(benchmark::State& state)
{
    World& world = TheWorld();
    for (auto _ : state) {
        ScriptedPrompts prompts;
        AppState app(*world.files, prompts);
        Guard(prompts, [&] { FormCreate(app, *OpenUserRegistry(QStringLiteral("/nonexistent"))); });
        VersionWindow version;
        FishEditor editor(app);
        MainWindow window(app, version, editor);
        window.SetCommandLineFile(world.folder + u"full.uld"_qs);
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.isVisible());
    }
}

// Collects the real time per iteration of every run, for the ratio lines.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            std::string name = run.benchmark_name();
            for (const std::string suffix : {"/real_time", "/process_time"}) {
                if (name.size() > suffix.size()
                    && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                    name.resize(name.size() - suffix.size());
            }
            times[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

const char* kFormats[] = {"No_Animation", "ShadowMapping", "Animation", "X_Stretch", "Y_Stretch",
                          "XY_Stretch",   "H_Wave",        "H_Wave2",   "V_Wave",    "V_Wave2"};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(InterfaceFont(12));
    benchmark::Initialize(&argc, argv);

    std::vector<std::string> cases;
    for (int f = 0; f < 10; ++f) {
        for (const auto& [kind, in] : {std::pair{std::string("64"), Filling(BmpFormat(f), 64)},
                                       std::pair{std::string("typical"), Typical(BmpFormat(f))}}) {
            const std::string base = std::string("RenderPreview/") + kFormats[f] + "/" + kind;
            cases.push_back(base);
            const char* modes[] = {"", "/QPainter", "/memcpy"};
            for (int mode = 0; mode < 3; ++mode)
                benchmark::RegisterBenchmark((base + modes[mode]).c_str(), Render, in, mode)
                        ->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();
        }
    }
    cases.push_back("DrawTankPreview/640x480");
    benchmark::RegisterBenchmark("DrawTankPreview/640x480", TankPreview, 0)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();
    benchmark::RegisterBenchmark("DrawTankPreview/640x480/QPainter", TankPreview, 1)
            ->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();
    benchmark::RegisterBenchmark("DrawTankPreview/640x480/memcpy", TankPreview, 2)
            ->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();
    benchmark::RegisterBenchmark("LoadAquariumFile/full", LoadFull)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
    benchmark::RegisterBenchmark("LoadAquariumFile/full/decoding-only", DecodeOnly)
            ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
    benchmark::RegisterBenchmark("LoadAquariumFile/full/scaling-only", ScaleOnly)
            ->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
    benchmark::RegisterBenchmark("SaveAquariumFile", SaveAquarium)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();
    benchmark::RegisterBenchmark("SaveFishCharacter", SaveCharacter)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();
    benchmark::RegisterBenchmark("StartUp/main-window-shown", StartUp)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-40s %14s %14s\n", "case", "ours/QPainter", "ours/memcpy");
    for (const std::string& c : cases) {
        const auto ours = reporter.times.find(c);
        const auto qt = reporter.times.find(c + "/QPainter");
        const auto copy = reporter.times.find(c + "/memcpy");
        if (ours == reporter.times.end() || qt == reporter.times.end() || copy == reporter.times.end())
            continue;
        std::printf("%-40s %14.2f %14.2f\n", c.c_str(), ours->second / qt->second,
                    ours->second / copy->second);
    }
    benchmark::Shutdown();
    return 0;
}
