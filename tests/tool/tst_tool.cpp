#include "core/document/fish_character.h"
#include "core/platform/sound_files.h"
#include "support/test_sounds.h"
#include "support/test_world.h"
#include "tool/tool.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <sndfile.h>

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace aquarium;
using namespace aquarium::test;

class TestTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dumpPrintsTheStartUpState();
    void dumpReportsMessages();
    void dumpScreenOption();
    void outputThatCannotBeWritten();
    void usageErrors_data();
    void usageErrors();
    void help();
    void dumpAndSaveAnAquariumFile();
    void fishDumpAndSave();
    void renderTankAndFishPicture();
    void commandsWithMessages();
    void renderFish();
    void playWritesTheFrames();
    void playWritesTheSoundtrack();
    void missingPicturesStillLoadAndPlay();
    void playWithinTheMemoryThereIs_data();
    void playWithinTheMemoryThereIs();
    void refusedWritesAndPipesEndInAMessage();

private:
    struct Result
    {
        int exitCode = -1;
        bool crashed = false;
        QByteArray out;
        QByteArray err;
        QJsonObject json;
    };
    // The tool run in this process, in the world's prefix and folder.
    Result Run(const TestWorld& world, const QString& windowsFolder, const QStringList& args);
    // The real program, for what only a process shows: exit codes, limits, pipes.
    Result RunProcess(const TestWorld& world, const QString& windowsFolder,
                      const QStringList& args, const std::function<void()>& inChild = {});
};

TestTool::Result TestTool::Run(const TestWorld& world, const QString& windowsFolder,
                               const QStringList& args)
{
    world.MakeFolder(windowsFolder);
    world.EnterFolder(windowsFolder);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    Result result;
    result.exitCode = Tool(outStream, errStream, world.Paths()).Run(args);
    outStream.flush();
    errStream.flush();
    result.out = out.toUtf8();
    result.err = err.toUtf8();
    result.json = QJsonDocument::fromJson(result.out).object();
    return result;
}

TestTool::Result TestTool::RunProcess(const TestWorld& world, const QString& windowsFolder,
                                      const QStringList& args,
                                      const std::function<void()>& inChild)
{
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"WINEPREFIX"_qs, world.Prefix());
    env.insert(u"HOME"_qs, world.Prefix()); // nothing of the machine's own home is read
    process.setProcessEnvironment(env);
    world.MakeFolder(windowsFolder);
    process.setWorkingDirectory(world.Host(windowsFolder));
    process.start(QStringLiteral(AQUARIUM_TOOL_PATH), args);
    Result result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitCode();
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    result.json = QJsonDocument::fromJson(result.out).object();
    return result;
}

void TestTool::dumpPrintsTheStartUpState()
{
    TestWorld world;
    world.MakeFolder(u"C:\\aq\\data"_qs);
    world.MakeFolder(u"C:\\aq\\pics"_qs);
    world.WriteFile(u"C:\\aq\\random.uld"_qs, "a.uld\r\n\r\nRANDOM.ULD\r\nb.uld\r\n");
    world.WriteFile(u"C:\\m\\songs.lst"_qs, "one.mid\r\ntwo.rmi\r\n");
    world.WriteRegistry({{u"DataFile"_qs, u"\"C:\\aq\\tetra.uld\""_qs},
                         {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    const Result r = Run(world, u"C:\\work"_qs, {u"dump"_qs});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QByteArray());
    const QJsonObject& j = r.json;
    QCOMPARE(j[u"DataFolder"].toString(), u"C:\\aq\\"_qs);
    QCOMPARE(j[u"DataSubFolder"].toString(), u"data\\"_qs);
    QCOMPARE(j[u"MidiFolder"].toString(), u"C:\\m\\"_qs);
    QCOMPARE(j[u"MidiListFile"].toString(), u"C:\\m\\songs.lst"_qs);
    QCOMPARE(j[u"MidiList"].toArray(), (QJsonArray{u"one.mid"_qs, u"two.rmi"_qs}));
    QCOMPARE(j[u"RandomList"].toArray(), (QJsonArray{u"a.uld"_qs, u"b.uld"_qs}));
    QCOMPARE(j[u"Caption"].toString(), u"Kesso's Ulvaro Aquarium Maker"_qs);
    QCOMPARE(j[u"SandName"].toString(), u"data\\底砂"_qs);
    QCOMPARE(j[u"Edition98"].toBool(), false);
    QCOMPARE(j[u"AerationPosition"].toString(), u"right"_qs);
    QCOMPARE(j[u"BackgroundColour"].toArray(), (QJsonArray{0, 0, 0}));
    QCOMPARE(j[u"FishSlots"].toArray().size(), 6);
    QCOMPARE(j[u"FishSlots"].toArray()[0].toObject()[u"FishDataNo"].toString(), u"1"_qs);
    QCOMPARE(j[u"ObjectBmpTable"].toArray().size(), 20);
    QCOMPARE(j[u"ObjectTable"].toArray().size(), 0);
    QCOMPARE(j[u"LastObject"].toInt(), -1);
    QCOMPARE(j[u"Messages"].toArray().size(), 0);

    const QStringList keys = {
            "Caption", "CurrentFile", "DataFolder", "DataSubFolder", "Edition98", "MidiFolder",
            "MidiListFile", "RandomList", "MidiList", "FishSlots", "FishCountsFixed",
            "AerationPosition", "BackgroundSource", "BackgroundTiling", "BackgroundColourFill",
            "BackgroundColour", "AquariumType", "SandName", "BubbleName", "FoodName", "SoundName",
            "IntermittentSound", "IntermittentStep", "ObjectBmpTable", "LastObjectBmp",
            "ObjectTable", "LastObject", "ScreenWidth", "ScreenHeight", "SandHeight", "Messages"};
    QStringList sorted = keys;
    sorted.sort();
    QCOMPARE(j.keys(), sorted);
}

void TestTool::dumpReportsMessages()
{
    TestWorld world;
    world.WriteRegistry({{u"DataFile"_qs, u"C:\\gone\\tetra.uld"_qs}});
    const Result r = Run(world, u"C:\\work"_qs, {u"dump"_qs});
    QCOMPARE(r.exitCode, 1);
    const QString message = u"設定中の以下のﾌｫﾙﾀﾞ名が不適切です  C:\\gone\\"_qs;
    QCOMPARE(QString::fromUtf8(r.err), message + u'\n');
    QCOMPARE(r.json[u"Messages"].toArray(), QJsonArray{message});
}

void TestTool::dumpScreenOption()
{
    TestWorld world;
    const Result r = Run(world, u"C:\\work"_qs, {u"dump"_qs, u"--screen"_qs, u"640x480"_qs});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.json[u"DataFolder"].toString(), u"C:\\work\\"_qs);
    QCOMPARE(r.json[u"DataSubFolder"].toString(), QString());
    QCOMPARE(r.json[u"MidiFolder"].toString(), u"c:\\windows\\media\\"_qs);
    QCOMPARE(r.json[u"ScreenWidth"].toInt(), 640);
    QCOMPARE(r.json[u"ScreenHeight"].toInt(), 480);

    // The option's value after "=", and "--" before a file that looks like an option.
    world.WriteFile(u"C:\\work\\--odd.uld"_qs, "not an aquarium\r\n");
    const Result joined = Run(world, u"C:\\work"_qs,
                              {u"dump"_qs, u"--screen=800x600"_qs, u"--"_qs, u"--odd.uld"_qs});
    QCOMPARE(joined.json[u"ScreenWidth"].toInt(), 800);
    QCOMPARE(joined.exitCode, 1);
    QCOMPARE(QString::fromUtf8(joined.err), u"Kesso's Ulvaro Data Fileではありません\n"_qs);
}

void TestTool::outputThatCannotBeWritten()
{
    TestWorld world;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"WINEPREFIX"_qs, world.Prefix());
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(u"/dev/full"_qs);
    process.start(QStringLiteral(AQUARIUM_TOOL_PATH), {u"dump"_qs});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("could not be written"));
}

void TestTool::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"frobnicate"};
    QTest::newRow("bad screen") << QStringList{"dump", "--screen", "big"};
    QTest::newRow("screen without size") << QStringList{"dump", "--screen"};
    QTest::newRow("unknown option") << QStringList{"dump", "--fast"};
    QTest::newRow("play without OUTDIR") << QStringList{"play", "a.uld"};
    QTest::newRow("play with a bad seed") << QStringList{"play", "--seed", "x", "a.uld", "out"};
}

void TestTool::usageErrors()
{
    QFETCH(QStringList, args);
    TestWorld world;
    const Result r = RunProcess(world, u"C:\\work"_qs, args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.contains("aquarium-tool"));
}

void TestTool::help()
{
    TestWorld world;
    const Result r = RunProcess(world, u"C:\\work"_qs, {u"--help"_qs});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("dump"));
    QVERIFY(r.out.contains("Exit status"));
}

namespace {

const char* kAquarium = "//\r\nKesso's Screen Saver Ulvaro\r\n//\r\n\r\n//Ulvaro Data\r\n"
                        "[Option]\r\n\tPosOfAiration  =\tALL\r\n\r\n"
                        "[Fish]\r\n\tdata\\neon,\t1,\t2,\t5\r\nDATA END\r\n\r\n"
                        "//\x92\xea\x8d\xbb\x83\x66\x81\x5b\x83\x5e\r\n[Bottom]\r\n\tdata\\sand\r\n\r\n"
                        "//\x96\x41\x89\xe6\x91\x9c\x83\x66\x81\x5b\x83\x5e\r\n[Bubble]\r\n\tdata\\bubble\r\n\r\n"
                        "//\x89\x61\x89\xe6\x91\x9c\x83\x66\x81\x5b\x83\x5e\r\n[Food]\r\n\tdata\\esa\r\n\r\n"
                        "//\x8c\xf8\x89\xca\x89\xb9\x83\x66\x81\x5b\x83\x5e\r\n[Sound]\r\n\tdata\\boo-n\r\n\r\n"
                        "// \x83\x41\x83\x4e\x83\x5a\x83\x54\x83\x8a\x82\xcc\x89\xe6\x91\x9c\x83\x66\x81\x5b\x83\x5e\r\n"
                        "[ObjectBMP]\r\n\tdata\\kusa\r\nDATA END\r\n\r\n"
                        "// \x83\x41\x83\x4e\x83\x5a\x83\x54\x83\x8a\x82\xcc\x83\x66\x81\x5b\x83\x5e\r\n"
                        "[Object]\r\n\t0,\tfront,\tbottom,\t7,\tmove\r\nDATA END\r\n\r\n// END\r\n";

void MakeAquarium(const TestWorld& world)
{
    world.WriteFile(u"C:\\aq\\tetra.uld"_qs, kAquarium);
    world.WritePicture(u"C:\\aq\\data\\sand.bmp"_qs, SolidPicture(1024, 96, 0x204080));
    QImage kusa = SolidPicture(64, 96, 0x00A000);
    SetPixelAt(kusa, 0, 0, kBlack);
    world.WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, kusa);
    world.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, SolidPicture(300, 100, 0x0000FF));
}

} // namespace

void TestTool::dumpAndSaveAnAquariumFile()
{
    TestWorld world;
    MakeAquarium(world);
    Result r = Run(world, u"C:\\work"_qs,
                   {u"dump"_qs, u"--screen"_qs, u"640x480"_qs, world.Host(u"C:\\aq\\tetra.uld"_qs)});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.json[u"CurrentFile"].toString(), u"C:\\aq\\tetra.uld"_qs);
    QCOMPARE(r.json[u"Caption"].toString(), u"Kesso's Ulvaro Aquarium Maker <<< tetra.uld >>>"_qs);
    QCOMPARE(r.json[u"AerationPosition"].toString(), u"all"_qs);
    QCOMPARE(r.json[u"FishSlots"].toArray()[0].toObject()[u"CharacterName"].toString(),
             u"data\\neon"_qs);
    const QJsonObject bmp = r.json[u"ObjectBmpTable"].toArray()[0].toObject();
    QCOMPARE(bmp[u"BmpName"].toString(), u"data\\kusa"_qs);
    QCOMPARE(bmp[u"Width"].toInt(), 32); // scaled for 640 x 480
    QCOMPARE(bmp[u"Height"].toInt(), 48);
    QCOMPARE(r.json[u"ObjectTable"].toArray()[0].toObject()[u"Layer"].toInt(), 4);
    QCOMPARE(r.json[u"ObjectTable"].toArray()[0].toObject()[u"Sway"].toInt(), 1);

    r = Run(world, u"C:\\work"_qs, {u"save"_qs, world.Host(u"C:\\aq\\tetra.uld"_qs),
                                     world.Host(u"C:\\aq\\copy.uld"_qs)});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(world.ReadFile(u"C:\\aq\\copy.uld"_qs), QByteArray(kAquarium));
}

void TestTool::fishDumpAndSave()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\data\\neon.ulc"_qs,
                    "Kesso's Screen Saver Ulvaro Character\r\n[BMP DATA FORMAT]\r\n"
                    "BmpDataFormat=H_Wave\r\nAnimationDataNo=8\r\nAnimLoop=1\r\nDATA END\r\n"
                    "[MOV DATA]\r\n99\r\n");
    Result r = Run(world, u"C:\\work"_qs, {u"fish-dump"_qs, world.Host(u"C:\\aq\\data\\neon.ulc"_qs)});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.json[u"BmpFormat"].toInt(), 6);
    QCOMPARE(r.json[u"AnimationDataNo"].toInt(), 8);
    QCOMPARE(r.json[u"AnimLoop"].toBool(), true);
    QCOMPARE(r.json[u"WaveLength"].toInt(), 4);
    QCOMPARE(r.json[u"TurnFrequency"].toString(), u"99"_qs);
    QCOMPARE(r.json[u"PreferredLayer"].toString(), u"どこでも好き"_qs);
    QCOMPARE(r.json.keys().size(), 27);

    r = Run(world, u"C:\\work"_qs, {u"fish-save"_qs, world.Host(u"C:\\aq\\data\\neon.ulc"_qs),
                                     world.Host(u"C:\\aq\\data\\copy.ulc"_qs)});
    QCOMPARE(r.exitCode, 0);
    const QByteArray copy = world.ReadFile(u"C:\\aq\\data\\copy.ulc"_qs);
    QVERIFY(copy.contains("\tBmpDataFormat=H_Wave\r\n\tAnimationDataNo=8\r\n"));
    QVERIFY(copy.contains("\t99\r\n"));

    // No such file: the record's own values, no message.
    r = Run(world, u"C:\\work"_qs, {u"fish-dump"_qs, world.Host(u"C:\\aq\\none.ulc"_qs)});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.json[u"BmpFormat"].toInt(), 1);
    QCOMPARE(r.json[u"AnimationDataNo"].toInt(), 2);
}

void TestTool::renderTankAndFishPicture()
{
    TestWorld world;
    MakeAquarium(world);
    const QString tank = world.Host(u"C:\\out\\tank.png"_qs);
    const QString strip = world.Host(u"C:\\out\\strip.png"_qs);
    world.MakeFolder(u"C:\\out"_qs);
    Result r = Run(world, u"C:\\work"_qs,
                   {u"render-tank"_qs, world.Host(u"C:\\aq\\tetra.uld"_qs), tank, strip});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.json[u"SandHeight"].toInt(), 30);
    const QImage tankPicture(tank);
    QCOMPARE(tankPicture.size(), QSize(320, 240));
    QCOMPARE(tankPicture.pixel(5, 235), qRgb(0x80, 0x40, 0x20));
    QCOMPARE(tankPicture.pixel(5, 5), qRgb(0, 0xFF, 0xFF));
    QCOMPARE(tankPicture.pixel(112, 200), qRgb(0, 0xA0, 0)); // the plant at column 7
    QCOMPARE(QImage(strip).size(), QSize(320, 126));

    const QString fish = world.Host(u"C:\\out\\fish.png"_qs);
    r = Run(world, u"C:\\work"_qs,
            {u"fish-picture"_qs, world.Host(u"C:\\aq\\tetra.uld"_qs), u"1"_qs, fish});
    QCOMPARE(r.exitCode, 0);
    const QImage fishPicture(fish);
    QCOMPARE(fishPicture.size(), QSize(150, 100));
    QCOMPARE(fishPicture.pixel(10, 10), qRgb(0xFF, 0, 0));
    QCOMPARE(fishPicture.pixel(10, 80), qRgb(0, 0, 0));

    r = Run(world, u"C:\\work"_qs,
            {u"fish-picture"_qs, world.Host(u"C:\\aq\\tetra.uld"_qs), u"7"_qs, fish});
    QCOMPARE(r.exitCode, 2);
}

void TestTool::playWritesTheFrames()
{
    TestWorld world;
    MakeAquarium(world);
    const QStringList args{u"play"_qs, u"--ticks"_qs, u"3"_qs, u"--seed"_qs, u"5"_qs,
                           u"--screen"_qs, u"320x240"_qs, world.Host(u"C:\\aq\\tetra.uld"_qs)};
    const QString out = world.Host(u"C:\\out\\a"_qs), again = world.Host(u"C:\\out\\b"_qs);
    Result r = Run(world, u"C:\\work"_qs, args + QStringList{out});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.json[u"Frames"].toInt(), 3);
    // The fish shows without its character file; what cannot be shown is named.
    QCOMPARE(r.json[u"Missing"].toArray().toVariantList(),
             (QVariantList{u"C:\\aq\\data\\bubble.bmp"_qs, u"C:\\aq\\data\\esa.bmp"_qs,
                           u"C:\\aq\\data\\neon.ulc"_qs}));
    QCOMPARE(QImage(out + u"/frame-0002.png"_qs).size(), QSize(320, 240));
    QVERIFY(!QFileInfo::exists(out + u"/frame-0003.png"_qs));
    r = Run(world, u"C:\\work"_qs, args + QStringList{again});
    QCOMPARE(r.exitCode, 0);
    for (const char* frame : {"/frame-0000.png", "/frame-0002.png"}) {
        QFile a(out + QLatin1String(frame)), b(again + QLatin1String(frame));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
    }
}

void TestTool::playWritesTheSoundtrack()
{
    // The aquarium's sound looped and the MIDI list behind it, tick for tick.
    TestWorld world;
    MakeAquarium(world);
    world.WriteFile(u"C:\\aq\\data\\boo-n.wav"_qs,
                    SineWave(SF_FORMAT_MS_ADPCM, 1, 11025, 0.2, 0.3));
    world.WriteFile(u"C:\\m\\a.mid"_qs, OneNoteMidi(0.0, 0.3));
    world.WriteFile(u"C:\\m\\songs.lst"_qs, "a.mid\r\n");
    world.WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs},
                         {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    QByteArray tracks[2];
    for (QByteArray& track : tracks) {
        const QString wav = world.Host(u"C:\\out\\sound.wav"_qs);
        QFile::remove(wav);
        const Result r = RunProcess(world, u"C:\\work"_qs,
                                    {u"play"_qs, u"--ticks"_qs, u"7"_qs, u"--seed"_qs, u"3"_qs,
                                     u"--screen"_qs, u"160x120"_qs, u"--audio"_qs, wav,
                                     world.Host(u"C:\\aq\\tetra.uld"_qs),
                                     world.Host(u"C:\\out\\frames"_qs)});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json[u"Unplayable"].toArray().size(), 0);
        track = world.ReadFile(u"C:\\out\\sound.wav"_qs);
    }
    QCOMPARE(tracks[1], tracks[0]); // the same for the same seed
    // 44.1 kHz 16-bit stereo, exactly 7 ticks of 50 ms, and not silent.
    QCOMPARE(tracks[0].mid(22, 2), QByteArray::fromHex("0200"));
    QCOMPARE(tracks[0].mid(24, 4), QByteArray::fromHex("44ac0000"));
    QCOMPARE(tracks[0].mid(34, 2), QByteArray::fromHex("1000"));
    const Pcm pcm = DecodeWave(tracks[0], u"sound.wav"_qs);
    QCOMPARE(pcm.Frames(), 7 * kAudioRate / 20);
    QVERIFY(std::any_of(pcm.Samples.begin(), pcm.Samples.end(), [](float s) { return s > 0.1f; }));
}

void TestTool::missingPicturesStillLoadAndPlay()
{
    TestWorld world;
    MakeAquarium(world);
    for (const char* name : {"kusa.bmp", "neon.bmp", "sand.bmp"})
        QVERIFY(QFile::remove(world.Host(u"C:\\aq\\data\\"_qs + QLatin1String(name))));
    const QString file = world.Host(u"C:\\aq\\tetra.uld"_qs);
    const QString message = u"以下のｱｸｾｻﾘの絵が開けません  C:\\aq\\data\\kusa.bmp"_qs;
    Result r = Run(world, u"C:\\work"_qs, {u"dump"_qs, file});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(QString::fromUtf8(r.err), message + u'\n');
    QCOMPARE(r.json[u"CurrentFile"].toString(), u"C:\\aq\\tetra.uld"_qs);
    QCOMPARE(r.json[u"ObjectTable"].toArray().size(), 1);

    const QString out = world.Host(u"C:\\out"_qs);
    r = Run(world, u"C:\\work"_qs, {u"play"_qs, u"--ticks"_qs, u"2"_qs, file, out});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.json[u"Frames"].toInt(), 2);
    QCOMPARE(r.json[u"Messages"].toArray().toVariantList(), QVariantList {message});
    const QVariantList missing = r.json[u"Missing"].toArray().toVariantList();
    for (const char* name : {"kusa.bmp", "neon.bmp", "sand.bmp"})
        QVERIFY(missing.contains(u"C:\\aq\\data\\"_qs + QLatin1String(name)));
    QVERIFY(QFileInfo::exists(out + u"/frame-0001.png"_qs));
}

void TestTool::playWithinTheMemoryThereIs_data()
{
    QTest::addColumn<QString>("screen"); // --screen, when given
    QTest::addColumn<int>("limitMb"); // the address space the child may use, 0: no limit
    QTest::addColumn<QString>("message");
    QTest::newRow("a fish of 4096 x 4096 at 64 frames, 4 GiB") << QString() << 4096 << QString();
    QTest::newRow("a screen of 20000 x 20000, 3 GiB")
        << u"20000x20000"_qs << 3072 << u"画面の大きさ 20000 x 20000 は大きすぎます"_qs;
    QTest::newRow("a screen of 16000 x 12000, 1.5 GiB")
        << u"16000x12000"_qs << 1536 << u"画面の大きさ 16000 x 12000 は大きすぎます"_qs;
    QTest::newRow("a screen of 99999 x 99999")
        << u"99999x99999"_qs << 0 << u"画面の大きさ 99999 x 99999 は大きすぎます"_qs;
}

void TestTool::playWithinTheMemoryThereIs()
{
    QFETCH(QString, screen);
    QFETCH(int, limitMb);
    QFETCH(QString, message);
#ifdef __SANITIZE_ADDRESS__
    if (limitMb > 0)
        QSKIP("the address sanitizer reserves more address space than the limit");
#endif
    TestWorld world;
    MakeAquarium(world);
    // A fish larger than the tank: its frames are made at the size it is drawn, within
    // the budget, never at the bitmap's own 4301 x 4096 times 64.
    QImage bitmap = SolidPicture(4096, 4096, 0x0000FF);
    SetPixelAt(bitmap, 0, 0, kBlack); // the key colour
    world.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, bitmap);
    FishCharacter big;
    big.Format = BmpFormat::XStretch;
    big.AnimationDataNo = 64;
    SaveFishCharacter(world.MakeFiles(), big, u"C:\\aq\\data\\neon"_qs);
    QStringList args {u"play"_qs, u"--ticks"_qs, u"2"_qs};
    if (!screen.isEmpty())
        args << u"--screen"_qs << screen;
    args << world.Host(u"C:\\aq\\tetra.uld"_qs) << world.Host(u"C:\\out"_qs);
    const Result r = RunProcess(world, u"C:\\work"_qs, args, [limitMb] {
        if (limitMb > 0) {
            const rlimit limit {rlim_t(limitMb) << 20, rlim_t(limitMb) << 20};
            setrlimit(RLIMIT_AS, &limit);
        }
    });
    QVERIFY(!r.crashed);
    QCOMPARE(r.exitCode, message.isEmpty() ? 0 : 1);
    QCOMPARE(r.json[u"Messages"].toArray().toVariantList(),
        message.isEmpty() ? QVariantList() : QVariantList {message});
    QCOMPARE(r.json[u"Frames"].toInt(), message.isEmpty() ? 2 : 0);
    if (message.isEmpty()) {
        // The fish is there, drawn over the blue it is made of.
        const QImage frame(world.Host(u"C:\\out\\frame-0001.png"_qs));
        QCOMPARE(frame.size(), QSize(1024, 768));
        QVERIFY(!r.json[u"Missing"].toArray().contains(u"C:\\aq\\data\\neon.bmp"_qs));
        QCOMPARE(frame.pixel(512, 300), qRgb(255, 0, 0));
    }
}

void TestTool::commandsWithMessages()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\bad.uld"_qs, "not an aquarium\r\n");
    Result r = Run(world, u"C:\\work"_qs, {u"dump"_qs, world.Host(u"C:\\aq\\bad.uld"_qs)});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(QString::fromUtf8(r.err), u"Kesso's Ulvaro Data Fileではありません\n"_qs);
    QCOMPARE(r.json[u"CurrentFile"].toString(), QString());
    r = Run(world, u"C:\\work"_qs, {u"save"_qs, world.Host(u"C:\\aq\\bad.uld"_qs),
                                     world.Host(u"C:\\aq\\out.uld"_qs)});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(world.ReadFile(u"C:\\aq\\out.uld"_qs).isEmpty()); // nothing written
}

void TestTool::refusedWritesAndPipesEndInAMessage()
{
    TestWorld world;
    MakeAquarium(world);
    const QByteArray old = "OLD\r\n";
    world.WriteFile(u"C:\\aq\\out.uld"_qs, old);
    // The system lets the tool write no file larger than 100 bytes.
    Result r = RunProcess(world, u"C:\\work"_qs,
                   {u"save"_qs, world.Host(u"C:\\aq\\tetra.uld"_qs),
                    world.Host(u"C:\\aq\\out.uld"_qs)},
                   [] {
                       std::signal(SIGXFSZ, SIG_IGN);
                       rlimit limit{};
                       getrlimit(RLIMIT_FSIZE, &limit);
                       limit.rlim_cur = 100;
                       setrlimit(RLIMIT_FSIZE, &limit);
                   });
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(QString::fromUtf8(r.err), u"I/O エラー (29)\n"_qs);
    QCOMPARE(world.ReadFile(u"C:\\aq\\out.uld"_qs), old);

    // A named pipe in place of the aquarium file is refused at once.
    const QString pipe = world.Host(u"C:\\aq\\p.uld"_qs);
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    r = RunProcess(world, u"C:\\work"_qs, {u"dump"_qs, pipe});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(QString::fromUtf8(r.err), u"ファイル C:\\aq\\p.uld は開けません\n"_qs);
}

void TestTool::renderFish()
{
    TestWorld world;
    world.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, SolidPicture(100, 40, 0x00FF00));
    world.WriteFile(u"C:\\aq\\data\\neon.ulc"_qs,
                    "Kesso's Screen Saver Ulvaro Character\r\n[BMP DATA FORMAT]\r\n"
                    "BmpDataFormat=X_Stretch\r\nAnimationDataNo=4\r\nStretchDX=50\r\n"
                    "DATA END\r\n");
    const QString strip = world.Host(u"C:\\aq\\strip.png"_qs);
    Result r = Run(world, u"C:\\work"_qs,
                   {u"render-fish"_qs, u"--ticks"_qs, u"8"_qs,
                    world.Host(u"C:\\aq\\data\\neon.ulc"_qs), strip});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.json[u"BmpFormat"].toInt(), 3);
    QCOMPARE(r.json[u"AnimationDataNo"].toInt(), 4);
    QCOMPARE(r.json[u"AnimCount"].toInt(), 6);
    QCOMPARE(r.json[u"CellWidth"].toInt(), 150);
    QCOMPARE(r.json[u"CellHeight"].toInt(), 40);
    QCOMPARE(r.json[u"AnimLoop"].toBool(), true);
    QCOMPARE(r.json[u"Ticks"].toArray(), (QJsonArray{1, 2, 3, 2, 1, 0, 1, 2}));
    QCOMPARE(QImage(strip).size(), QSize(600, 40));

    // Shadow mapping with a fish data count of -1: the message, no strip.
    world.WriteFile(u"C:\\aq\\data\\neon.ulc"_qs, "");
    r = Run(world, u"C:\\work"_qs,
            {u"render-fish"_qs, u"--fish-data-no"_qs, u"-1"_qs,
             world.Host(u"C:\\aq\\data\\neon.ulc"_qs), world.Host(u"C:\\aq\\s2.png"_qs)});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.json[u"Messages"].toArray(), QJsonArray{u"ゼロによる除算"_qs});
    QVERIFY(!QFileInfo::exists(world.Host(u"C:\\aq\\s2.png"_qs)));
}

QTEST_MAIN(TestTool)
#include "tst_tool.moc"
