// How the editor's cost grows with the size of the work: list length, folder size, the
// number and size of accessory pictures. Each case names its size last ("/100000").
// The memory case runs a load in a child process of its own and reports its peak.

#include "core/platform/files.h"
#include "core/platform/fonts.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "ui/editor/fish_editor.h"
#include "ui/pages/list_pages.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include "bench_support.h"

#include <sys/resource.h>

#include <cstdio>
#include <map>

using namespace aquarium;

namespace {

void WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

// A Wine prefix in a folder of its own: drive C: is its drive_c.
struct Prefix
{
    Prefix()
    {
        QDir(dir.path()).mkpath(QStringLiteral("drive_c/aq/data"));
        QDir(dir.path()).mkpath(QStringLiteral("drive_c/m"));
        QDir(dir.path()).mkpath(QStringLiteral("dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), dir.path() + QStringLiteral("/dosdevices/c:"));
        Registry(QStringLiteral("C:\\\\m\\\\songs.lst"));
    }
    QString C(const QString& rest) const { return dir.path() + QStringLiteral("/drive_c/") + rest; }
    void Registry(const QString& midiList) const
    {
        WriteText(dir.path() + QStringLiteral("/user.reg"),
            "WINE REGISTRY Version 2\n\n[Software\\\\Kesso Soft\\\\Ulvaro] 1700000000\n"
            "\"DataFile\"=\"C:\\\\aq\\\\tetra.uld\"\n\"BGMFile\"=\""
                + midiList.toLatin1() + "\"\n");
    }
    QTemporaryDir dir;
};

// An accessory picture: a plant on a black key colour.
QImage Accessory(int w, int h, int i)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter p(&picture);
    p.fillRect(QRect(w / 6 + i * 3, h / 10, w / 2, h * 8 / 10), QColor(40, 150 + i * 4, 60));
    return picture;
}

// tetra.uld with n accessories of w x h and a sand strip.
void WriteAquarium(const Prefix& prefix, int n, int w, int h)
{
    QByteArray bmps, objects;
    for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("acc%1x%2_%3").arg(w).arg(h).arg(i);
        if (!QFile::exists(prefix.C(u"aq/data/"_qs + name + u".bmp"_qs)))
            Accessory(w, h, i).save(prefix.C(u"aq/data/"_qs + name + u".bmp"_qs), "BMP");
        bmps += "\tdata\\" + name.toLatin1() + "\r\n";
        objects += "\t" + QByteArray::number(i) + ",\t" + (i % 3 ? "front" : "back")
            + ",\tbottom,\t" + QByteArray::number(i % 20) + (i % 5 ? "" : ",\tstretch") + "\r\n";
    }
    if (!QFile::exists(prefix.C(u"aq/data/sand.bmp"_qs)))
        Accessory(640, 96, 0).save(prefix.C(u"aq/data/sand.bmp"_qs), "BMP");
    WriteText(prefix.C(u"aq/tetra.uld"_qs),
        "Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\neon,\t1,\t1,\t1\r\nDATA END\r\n"
        "[Bottom]\r\n\tdata\\sand\r\n[Bubble]\r\n\tnull\r\n[Sound]\r\n\tnull\r\n"
        "[ObjectBMP]\r\n"
            + bmps + "DATA END\r\n[Object]\r\n" + objects + "DATA END\r\n");
}

// The editor as it starts, over a prefix.
struct Editor
{
    explicit Editor(const Prefix& prefix)
        : files(PathMap(prefix.dir.path()))
        , state(files, prompts)
        , started(Start(state))
        , editor(state)
        , window(state, version, editor)
    {
    }
    static bool Start(AppState& state)
    {
        StartUp(state);
        return true;
    }
    Files files;
    ScriptedPrompts prompts;
    AppState state;
    bool started;
    VersionWindow version;
    FishEditor editor;
    MainWindow window;
};

QByteArray Lines(int n, const char* stem, const char* extension)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += stem + QByteArray::number(i) + extension + "\r\n";
    return text;
}

// One action on a MIDI list of n entries: "Delete >" on its first entry.
void ListDelete(benchmark::State& state)
{
    const int n = int(state.range(0));
    Prefix prefix;
    WriteText(prefix.C(u"m/songs.lst"_qs), Lines(n, "song", ".mid"));
    Editor e(prefix);
    e.window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        e.state.MidiSelected = 0;
        e.window.MidiPage1->Button18->click();
    }
}

// Start-up to the main window shown, with a MIDI list of n entries.
void ListStartUp(benchmark::State& state)
{
    const int n = int(state.range(0));
    Prefix prefix;
    WriteText(prefix.C(u"m/songs.lst"_qs), Lines(n, "song", ".mid"));
    for (auto _ : state) {
        Editor e(prefix);
        e.window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(e.state.MidiList.size());
    }
}

// A name looked up in a folder of n files: missing, or there in other letters.
void FolderLookup(benchmark::State& state)
{
    const int n = int(state.range(0));
    const bool missing = state.range(1) == 0;
    Prefix prefix;
    for (int i = 0; i < n; ++i)
        WriteText(prefix.C(QStringLiteral("aq/data/File%1.bmp").arg(i)), "x");
    AtRest(prefix.dir.path());
    Files files(PathMap(prefix.dir.path()));
    const QString name = missing ? u"C:\\aq\\data\\nothere.bmp"_qs : u"C:\\aq\\data\\FILE7.BMP"_qs;
    for (auto _ : state)
        benchmark::DoNotOptimize(files.FileExists(name));
}

// Start-up to the main window shown when the data folder, its sub-folder and the MIDI
// folder hold n files each.
void FolderStartUp(benchmark::State& state)
{
    const int n = int(state.range(0));
    Prefix prefix;
    for (int i = 0; i < n; ++i) {
        WriteText(prefix.C(QStringLiteral("aq/a%1.uld").arg(i)), "x");
        WriteText(prefix.C(QStringLiteral("aq/data/p%1.bmp").arg(i)), "x");
        WriteText(prefix.C(QStringLiteral("m/s%1.mid").arg(i)), "x");
    }
    AtRest(prefix.dir.path());
    for (auto _ : state) {
        Editor e(prefix);
        e.window.show();
        QCoreApplication::processEvents();
    }
}

// A keystroke in ComboBox1 with n accessories of 1280 x 1024 loaded.
void Resolution(benchmark::State& state)
{
    const int n = int(state.range(0));
    Prefix prefix;
    WriteAquarium(prefix, n, 1280, 1024);
    AtRest(prefix.dir.path());
    Editor e(prefix);
    e.window.OpenDroppedFile(u"C:\\aq\\tetra.uld"_qs);
    e.window.TabbedNotebook1->setCurrentIndex(1);
    bool small = false;
    for (auto _ : state) {
        small = !small;
        e.window.ComboBox1->setEditText(small ? u"640 x 480"_qs : u"800 x 600"_qs);
    }
}

// A full load of an aquarium with n accessories of w x h, nothing decoded before.
void Load(benchmark::State& state)
{
    const int n = int(state.range(0));
    Prefix prefix;
    WriteAquarium(prefix, n, int(state.range(1)), int(state.range(2)));
    AtRest(prefix.dir.path());
    for (auto _ : state) {
        Files files(PathMap(prefix.dir.path()));
        ScriptedPrompts prompts;
        AppState app(files, prompts);
        LoadAquariumFile(app, u"C:\\aq\\tetra.uld"_qs);
        benchmark::DoNotOptimize(app.Doc.LastObjectBmp);
    }
}

// The tank preview at 640 x 480 with n accessories of 1280 x 1024.
void TankPreview(benchmark::State& state)
{
    const int n = int(state.range(0));
    Prefix prefix;
    WriteAquarium(prefix, n, 1280, 1024);
    AtRest(prefix.dir.path());
    Files files(PathMap(prefix.dir.path()));
    ScriptedPrompts prompts;
    AppState app(files, prompts);
    app.ScreenWidth = 640;
    app.ScreenHeight = 480;
    LoadAquariumFile(app, u"C:\\aq\\tetra.uld"_qs);
    for (auto _ : state) {
        DrawTankPreview(app);
        benchmark::DoNotOptimize(app.View.TankPicture.constBits());
    }
}

// The peak memory of a process that loads 20 accessories of w x h, in MB.
void Memory(benchmark::State& state)
{
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
            {u"--memory-child"_qs, QString::number(state.range(0))});
        child.waitForFinished(-1);
        state.counters["peak_MB"] = child.readAllStandardOutput().trimmed().toDouble();
    }
}

int MemoryChild(int side)
{
    Prefix prefix;
    WriteAquarium(prefix, 20, side, side);
    AtRest(prefix.dir.path());
    Files files(PathMap(prefix.dir.path()));
    ScriptedPrompts prompts;
    AppState app(files, prompts);
    rusage before {};
    getrusage(RUSAGE_SELF, &before);
    LoadAquariumFile(app, u"C:\\aq\\tetra.uld"_qs);
    rusage after {};
    getrusage(RUSAGE_SELF, &after);
    std::printf("%ld\n", after.ru_maxrss / 1024);
    return app.Doc.LastObjectBmp == 19 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(InterfaceFont(12));
    if (argc == 3 && std::string(argv[1]) == "--memory-child")
        return MemoryChild(std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    for (const int n : {10, 1000, 100000})
        benchmark::RegisterBenchmark("Lists/MidiList/delete", ListDelete)
            ->Arg(n)
            ->Iterations(n >= 100000 ? 3 : std::min(n / 2, 100))
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Lists/MidiList/start-up", ListStartUp)
        ->Arg(10)
        ->Arg(100000)
        ->Iterations(2)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Folders/lookup", FolderLookup)
        ->ArgsProduct({{10, 1000, 10000}, {0, 1}})
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Folders/start-up", FolderStartUp)
        ->Arg(10)
        ->Arg(10000)
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Accessories/ComboBox1-keystroke", Resolution)
        ->Arg(1)
        ->Arg(5)
        ->Arg(20)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Accessories/load", Load)
        ->Args({1, 1280, 1024})
        ->Args({5, 1280, 1024})
        ->Args({20, 1280, 1024})
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
    benchmark::RegisterBenchmark("Pictures/load", Load)
        ->Args({1, 320, 240})
        ->Args({1, 1280, 1024})
        ->Args({1, 4096, 4096})
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
    benchmark::RegisterBenchmark("Accessories/tank-preview-640x480", TankPreview)
        ->Arg(1)
        ->Arg(5)
        ->Arg(20)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Pictures/memory-20", Memory)
        ->Arg(1280)
        ->Arg(4096)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
