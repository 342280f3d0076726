#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/platform/text_file.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "support/test_world.h"

#include <QFile>
#include <QTest>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace aquarium;
using namespace aquarium::test;

using Settings = QMap<QString, QString>;

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void folders_data();
    void folders();
    void subFolderChoice();
    void missingDataFolderIsReported();
    void documentDefaults_data();
    void documentDefaults();
    void listsAreLoaded();
    void checkFoldersSelectsTheSubFolder_data();
    void checkFoldersSelectsTheSubFolder();
    void saveListsWritesWhatRemains_data();
    void saveListsWritesWhatRemains();
    void saveListsFailureStops();
    void unreadableFilesLeaveStartUpWhole_data();
    void unreadableFilesLeaveStartUpWhole();
};

namespace {

// Starts up as the programs do in a world whose current folder is C:\work; before runs
// after the registry is written.
struct Started
{
    explicit Started(const TestWorld& world, const Settings& settings,
                     const std::function<void()>& before = {})
        : files(world.MakeFiles()), state(files, prompts)
    {
        world.WriteRegistry(settings);
        world.EnterFolder(u"C:\\work"_qs);
        if (before)
            before();
        StartUp(state);
    }
    Files files;
    ScriptedPrompts prompts;
    AppState state;
};

} // namespace

void TestStartup::folders_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<QString>("midiFolder");
    QTest::addColumn<QString>("midiListFile");
    QTest::addColumn<bool>("edition98");
    const QString media = u"c:\\windows\\media\\"_qs;
    QTest::newRow("no registry at all") << Settings{} << u"C:\\work\\"_qs << media
                                        << media + u"midifile.lst"_qs << false;
    QTest::newRow("quoted DataFile") << Settings{{"DataFile", "\"C:\\aq\\tetra.uld\""}}
                                     << u"C:\\aq\\"_qs << media << media + u"midifile.lst"_qs
                                     << false;
    QTest::newRow("98 edition") << Settings{{"KessosUlvaro98", "1"},
                                            {"DataFile98", "C:\\aq98\\a.uld"},
                                            {"DataFile", "C:\\aq\\tetra.uld"}}
                                << u"C:\\aq98\\"_qs << media << media + u"midifile.lst"_qs << true;
    QTest::newRow("98 switch other than 1") << Settings{{"KessosUlvaro98", "yes"},
                                                        {"DataFile98", "C:\\aq98\\a.uld"},
                                                        {"DataFile", "C:\\aq\\tetra.uld"}}
                                            << u"C:\\aq\\"_qs << media
                                            << media + u"midifile.lst"_qs << false;
    QTest::newRow("BGMFile of 10 characters") << Settings{{"BGMFile", "C:\\m\\a.lst"}}
                                              << u"C:\\work\\"_qs << u"C:\\m\\"_qs
                                              << u"C:\\m\\a.lst"_qs << false;
    QTest::newRow("BGMFile of 8 characters") << Settings{{"BGMFile", "C:\\a.lst"}}
                                             << u"C:\\work\\"_qs << media
                                             << media + u"midifile.lst"_qs << false;
    QTest::newRow("BGMFile not a .lst") << Settings{{"BGMFile", "C:\\music\\songs.txt"}}
                                        << u"C:\\work\\"_qs << u"C:\\music\\"_qs
                                        << u"C:\\music\\midifile.lst"_qs << false;
    QTest::newRow("BGMFile .LST in capitals") << Settings{{"BGMFile", "C:\\music\\SONGS.LST"}}
                                              << u"C:\\work\\"_qs << u"C:\\music\\"_qs
                                              << u"C:\\music\\midifile.lst"_qs << false;
    QTest::newRow("BGMFile without backslash") << Settings{{"BGMFile", "songlist.lst"}}
                                               << u"C:\\work\\"_qs << media
                                               << media + u"midifile.lst"_qs << false;
}

void TestStartup::folders()
{
    QFETCH(Settings, settings);
    QFETCH(QString, dataFolder);
    QFETCH(QString, midiFolder);
    QFETCH(QString, midiListFile);
    QFETCH(bool, edition98);
    TestWorld world;
    world.MakeFolder(u"C:\\aq"_qs);
    world.MakeFolder(u"C:\\aq98"_qs);
    Started started(world, settings);
    const AppState& state = started.state;
    QCOMPARE(state.Doc.DataFolder, dataFolder);
    QCOMPARE(state.MidiFolder, midiFolder);
    QCOMPARE(state.MidiListFile, midiListFile);
    QCOMPARE(state.MidiListShown, midiListFile);
    QCOMPARE(state.Edition98, edition98);
    QCOMPARE(state.CurrentFile, QString());
    QCOMPARE(state.Caption, kProductTitle);
    QCOMPARE(started.prompts.Messages(), QStringList());
}

void TestStartup::subFolderChoice()
{
    TestWorld world;
    {
        Started none(world, {});
        QCOMPARE(none.state.Doc.DataSubFolder, QString()); // C:\work has no sub-folder
        QVERIFY(none.state.SubFolderEntries.isEmpty());
        QCOMPARE(none.state.Doc.SandName, u"底砂"_qs);
    }
    world.MakeFolder(u"C:\\work\\pics"_qs);
    world.MakeFolder(u"C:\\work\\Data"_qs);
    world.MakeFolder(u"C:\\work\\zoo"_qs);
    Started started(world, {});
    QCOMPARE(started.state.SubFolderEntries, (QStringList{"[Data]", "[pics]", "[zoo]"}));
    QCOMPARE(started.state.SubFolderIndex, 0);
    QCOMPARE(started.state.Doc.DataSubFolder, u"Data\\"_qs);
    QCOMPARE(started.state.AccessoryListFolder, u"C:\\work\\Data"_qs);
    QCOMPARE(started.state.RandomFileListFolder, u"C:\\work\\"_qs);
}

void TestStartup::missingDataFolderIsReported()
{
    TestWorld world;
    Started started(world, {{"DataFile", "C:\\gone\\tetra.uld"}});
    QCOMPARE(started.prompts.Messages(),
             QStringList{u"設定中の以下のﾌｫﾙﾀﾞ名が不適切です  C:\\gone\\"_qs});
    QCOMPARE(started.state.Doc.DataFolder, u"C:\\gone\\"_qs);
    QCOMPARE(started.state.Doc.DataSubFolder, QString());
    QCOMPARE(started.state.Doc.SandName, u"底砂"_qs);
}

void TestStartup::documentDefaults_data()
{
    QTest::addColumn<QString>("edition");
    QTest::addColumn<QString>("sand");
    QTest::newRow("current edition") << u"0"_qs << u"data\\底砂"_qs;
    QTest::newRow("98 edition") << u"1"_qs << u"data\\sand"_qs;
}

void TestStartup::documentDefaults()
{
    QFETCH(QString, edition);
    QFETCH(QString, sand);
    TestWorld world;
    world.MakeFolder(u"C:\\aq\\data"_qs);
    Started started(world, {{"KessosUlvaro98", edition}, {"DataFile", "C:\\aq\\tetra.uld"},
                            {"DataFile98", "C:\\aq\\tetra.uld"}});
    const Aquarium& doc = started.state.Doc;
    QCOMPARE(doc.SandName, sand);
    QCOMPARE(doc.BubbleName, u"data\\bubble"_qs);
    QCOMPARE(doc.SoundName, u"data\\boo-n"_qs);
    QCOMPARE(doc.FoodName, u"data\\esa"_qs);
    QCOMPARE(started.state.ScreenWidth, 1024);
    QCOMPARE(started.state.ScreenHeight, 768);
    QCOMPARE(doc.LastObject, -1);
    QCOMPARE(doc.LastObjectBmp, -1);
    QCOMPARE(started.state.View.SelectedObject, -1);
    QCOMPARE(doc.BackgroundSource, u"null"_qs);
    for (const FishSlot& slot : doc.Fish) {
        QCOMPARE(slot.CharacterName, QString());
        QCOMPARE(slot.FishDataNo, u"1"_qs);
        QCOMPARE(slot.FishAmount, u"1"_qs);
    }
    QCOMPARE(started.state.View.TankPicture.size(), QSize(320, 240));
    QCOMPARE(PixelAt(started.state.View.TankPicture, 10, 10), ColorRef(0xFFFF00));
    QCOMPARE(started.state.View.NumberStrip.size(), QSize(320, 126));
    QCOMPARE(PixelAt(started.state.View.NumberStrip, 10, 10), kWhite);
}

void TestStartup::listsAreLoaded()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\random.uld"_qs, "tetra.uld\r\n\r\nRANDOM.ULD\r\nSea.uld\r\nrandom.uld\r"
                                              "Random.Uld\nb.uld");
    world.WriteFile(u"C:\\m\\a.lst"_qs, QByteArray("x.mid\r\n\r\ny.rmi\n\x00z.mid\r\n", 23));
    Started started(world, {{"DataFile", "C:\\aq\\tetra.uld"}, {"BGMFile", "C:\\m\\a.lst"}});
    QCOMPARE(started.state.RandomList, (QStringList{"b.uld", "Sea.uld", "tetra.uld"}));
    QCOMPARE(started.state.MidiList, (QStringList{"x.mid", "", "y.rmi"}));
}

void TestStartup::checkFoldersSelectsTheSubFolder_data()
{
    QTest::addColumn<QString>("subFolder");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("kept");
    QTest::newRow("other case") << u"PICS\\"_qs << 1 << u"PICS\\"_qs;
    QTest::newRow("missing keeps the name") << u"gone\\"_qs << -1 << u"gone\\"_qs;
    QTest::newRow("empty takes the first") << QString() << 0 << u"data\\"_qs;
}

void TestStartup::checkFoldersSelectsTheSubFolder()
{
    QFETCH(QString, subFolder);
    QFETCH(int, index);
    QFETCH(QString, kept);
    TestWorld world;
    world.MakeFolder(u"C:\\aq\\data"_qs);
    world.MakeFolder(u"C:\\aq\\pics"_qs);
    const Files files = world.MakeFiles();
    ScriptedPrompts prompts;
    AppState state(files, prompts);
    state.Doc.DataFolder = u"C:\\aq\\fish.uld"_qs;
    state.Doc.DataSubFolder = subFolder;
    CheckFolders(state);
    QCOMPARE(state.Doc.DataFolder, u"C:\\aq\\"_qs);
    QCOMPARE(state.SubFolderIndex, index);
    QCOMPARE(state.Doc.DataSubFolder, kept);
    QCOMPARE(state.AccessoryListFolder.toUpper(), (u"C:\\aq\\"_qs + kept).toUpper().chopped(1));
}

void TestStartup::saveListsWritesWhatRemains_data()
{
    QTest::addColumn<QStringList>("random");
    QTest::addColumn<QStringList>("midi");
    QTest::addColumn<QByteArray>("randomFile");
    QTest::addColumn<QByteArray>("midiFile");
    const QByteArray oldRandom = "old.uld\r\n";
    const QByteArray oldMidi = "old.mid\r\n";
    QTest::newRow("both") << QStringList{"Sea.uld", "", "tetra.uld", "RANDOM.uld"}
                          << QStringList{"b.mid", "", "a.mid"}
                          << QByteArray("Sea.uld\r\ntetra.uld\r\n") << QByteArray("b.mid\r\na.mid\r\n");
    QTest::newRow("only random.uld and empty entries") << QStringList{"random.uld", ""}
                                                       << QStringList{"a.mid"} << oldRandom
                                                       << QByteArray("a.mid\r\n");
    QTest::newRow("empty lists are never written") << QStringList{} << QStringList{""}
                                                   << oldRandom << oldMidi;
    QTest::newRow("Japanese names") << QStringList{"熱帯魚.uld"} << QStringList{"曲.mid"}
                                    << QByteArray::fromHex("944d91d18b9b2e756c640d0a")
                                    << QByteArray::fromHex("8bc82e6d69640d0a");
}

void TestStartup::saveListsWritesWhatRemains()
{
    QFETCH(QStringList, random);
    QFETCH(QStringList, midi);
    QFETCH(QByteArray, randomFile);
    QFETCH(QByteArray, midiFile);
    TestWorld world;
    world.WriteFile(u"C:\\aq\\random.uld"_qs, "old.uld\r\n");
    world.WriteFile(u"C:\\m\\a.lst"_qs, "old.mid\r\n");
    Started started(world, {{"DataFile", "C:\\aq\\tetra.uld"}, {"BGMFile", "C:\\m\\a.lst"}});
    started.state.RandomList = random;
    started.state.MidiList = midi;
    SaveLists(started.state);
    QCOMPARE(world.ReadFile(u"C:\\aq\\random.uld"_qs), randomFile);
    QCOMPARE(world.ReadFile(u"C:\\m\\a.lst"_qs), midiFile);
}

void TestStartup::saveListsFailureStops()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\random.uld"_qs, "old.uld\r\n");
    world.WriteFile(u"C:\\m\\a.lst"_qs, "old.mid\r\n");
    Started started(world, {{"DataFile", "C:\\aq\\tetra.uld"}, {"BGMFile", "C:\\m\\a.lst"}});
    started.state.RandomList = {"a.uld"};
    started.state.MidiList = {"a.mid"};
    {
        const FileSizeLimit full(0);
        QVERIFY_THROWS_EXCEPTION(PlatformError, SaveLists(started.state));
    }
    QCOMPARE(world.ReadFile(u"C:\\aq\\random.uld"_qs), QByteArray("old.uld\r\n"));
    QCOMPARE(world.ReadFile(u"C:\\m\\a.lst"_qs), QByteArray("old.mid\r\n"));
}

void TestStartup::unreadableFilesLeaveStartUpWhole_data()
{
    QTest::addColumn<QString>("file"); // a Windows path, or the registry's own file
    QTest::addColumn<bool>("pipe");    // a named pipe; else a file without read permission
    QTest::newRow("random.uld a pipe") << u"C:\\aq\\random.uld"_qs << true;
    QTest::newRow("MIDI list a pipe") << u"C:\\m\\a.lst"_qs << true;
    QTest::newRow("user.reg a pipe") << u"user.reg"_qs << true;
    QTest::newRow("random.uld unreadable") << u"C:\\aq\\random.uld"_qs << false;
    QTest::newRow("MIDI list unreadable") << u"C:\\m\\a.lst"_qs << false;
}

void TestStartup::unreadableFilesLeaveStartUpWhole()
{
    QFETCH(QString, file);
    QFETCH(bool, pipe);
    if (!pipe && geteuid() == 0)
        QSKIP("permissions do not stop root");
    TestWorld world;
    world.MakeFolder(u"C:\\aq\\data"_qs);
    world.MakeFolder(u"C:\\m"_qs);
    const bool registry = file == u"user.reg";
    const QString host = registry ? world.Prefix() + u"/user.reg"_qs : world.Host(file);
    Started started(world, {{"DataFile", "C:\\aq\\tetra.uld"}, {"BGMFile", "C:\\m\\a.lst"}},
                    [&] {
                        QFile::remove(host);
                        if (pipe) {
                            QCOMPARE(mkfifo(QFile::encodeName(host).constData(), 0600), 0);
                        } else {
                            world.WriteFile(file, "a.uld\r\n");
                            QFile::setPermissions(host, QFileDevice::WriteOwner);
                        }
                    });
    const AppState& state = started.state;
    QCOMPARE(started.prompts.Messages(),
             QStringList{QStringLiteral("ファイル %1 は開けません").arg(registry ? host : file)});
    // Start-up went on to its end without that file.
    QCOMPARE(state.Doc.DataFolder, registry ? u"C:\\work\\"_qs : u"C:\\aq\\"_qs);
    if (!registry) {
        QCOMPARE(state.Doc.DataSubFolder, u"data\\"_qs);
        QCOMPARE(state.Doc.SandName, u"data\\底砂"_qs);
        QCOMPARE(state.Doc.FoodName, u"data\\esa"_qs);
    }
    QCOMPARE(state.Doc.BubbleName, state.Doc.DataSubFolder + u"bubble"_qs);
    QCOMPARE(state.Doc.SoundName, state.Doc.DataSubFolder + u"boo-n"_qs);
    QVERIFY(state.RandomList.isEmpty());
    QVERIFY(state.MidiList.isEmpty());
    QVERIFY(!state.View.TankPicture.isNull());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
