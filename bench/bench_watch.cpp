// Following other programs' changes: from a fish bitmap replaced on disk to its picture
// drawn anew, and a burst of 10,000 files copied into a watched folder.

#include "core/platform/file_watcher.h"
#include "core/platform/files.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/disk_changes.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

using namespace aquarium;

namespace {

void WritePicture(const QString& hostPath, ColorRef colour)
{
    MakePicture(300, 100, colour).save(hostPath, "BMP");
}

// The watch of the editor's window on a fish bitmap, with the window's reaction.
void ReplaceToRedraw(benchmark::State& state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("aq/data"));
    const QString data = dir.path() + QStringLiteral("/aq/data/");
    WritePicture(data + QStringLiteral("neon.bmp"), 0x0000FF);
    const Files files(PathMap(QStringLiteral("/nonexistent-prefix")));
    ScriptedPrompts prompts;
    AppState app(files, prompts);
    app.Doc.DataFolder = files.Paths().ToWindows(dir.path() + QStringLiteral("/aq")) + u'\\';
    app.Doc.Fish[0].CharacterName = QStringLiteral("data\\neon");
    ShowFishPictures(app);
    FileWatcher watcher(files.Paths());
    watcher.Watch(WatchedFolders(app), WatchedFiles(app));
    QEventLoop loop;
    QObject::connect(&watcher, &FileWatcher::Changed, &loop,
                     [&](const QStringList& folders, const QStringList& changed) {
                         (void)FollowDisk(app, folders, changed);
                         loop.quit();
                     });
    ColorRef colour = 0x00FF00;
    for (auto _ : state) {
        // A paint program's save: a new file renamed over the old one.
        WritePicture(data + QStringLiteral("neon.tmp"), colour);
        QElapsedTimer clock;
        clock.start();
        QFile::remove(data + QStringLiteral("neon.bmp"));
        QFile::rename(data + QStringLiteral("neon.tmp"), data + QStringLiteral("neon.bmp"));
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        while (PixelAt(app.View.FishPictures[0], 10, 10) != colour && clock.elapsed() < 5000)
            loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        colour = colour == 0x00FF00 ? 0xFF0000 : 0x00FF00;
    }
}

// 10,000 pictures copied into the watched data folder: how many listings it takes and how
// long after the last file the list is whole.
void Burst(benchmark::State& state)
{
    for (auto _ : state) {
        QTemporaryDir dir;
        const Files files(PathMap(QStringLiteral("/nonexistent-prefix")));
        const QString folder = files.Paths().ToWindows(dir.path());
        FileWatcher watcher(files.Paths());
        watcher.Watch({folder}, {});
        int listings = 0;
        qsizetype listed = 0;
        QEventLoop loop;
        QObject::connect(&watcher, &FileWatcher::Changed, &loop, [&](const QStringList& folders) {
            files.Forget(folders, {});
            listed = files.ListFiles(folder, QStringLiteral("*.bmp")).size();
            ++listings;
            if (listed == 10000)
                loop.quit();
        });
        for (int i = 0; i < 10000; ++i) {
            QFile f(dir.path() + QStringLiteral("/p%1.bmp").arg(i));
            f.open(QIODevice::WriteOnly);
        }
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.counters["Listings"] = listings;
        state.counters["Listed"] = double(listed);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::RegisterBenchmark("Watch/ReplaceToRedraw", ReplaceToRedraw)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(10)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("Watch/Burst10000", Burst)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
