#include "core/document/aquarium_file.h"
#include "core/document/tank_preview.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/platform/text_file.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "support/test_world.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace aquarium;
using namespace aquarium::test;

class TestCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void loadFillsEveryView();
    void failedLoadsLeaveEverythingAsItWas_data();
    void failedLoadsLeaveEverythingAsItWas();
    void drawingErrorsKeepTheLoad();
    void unreadablePicturesDoNotStopTheLoad();
    void randomListOpensItsPage();
    void saveAsWritesListsAndFile();
    void saveAsRefusesWithoutFish();
    void saveAsCancelled();
    void failedSaveKeepsCaptionAndFile();
    void saveAsRefusesTheListFiles_data();
    void saveAsRefusesTheListFiles();
    void undecodableListEntryDoesNotBlockTheSave();
    void pipedFishCharacterDoesNotBlockTheLoad();
    void formShowOpensTheCommandLineFile();
    void loadingAndSavingTheSameFileWritesTheSameBytes();

private:
    QByteArray Aquarium(const QString& extraObjectLine = QString()) const;
    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<Files> m_files;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<AppState> m_state;
};

QByteArray TestCommands::Aquarium(const QString& extraObjectLine) const
{
    const QString text = u"//\r\nKesso's Screen Saver Ulvaro\r\n//\r\n\r\n//Ulvaro Data\r\n"
                         "[Option]\r\n\tPosOfAiration  =\t中央\r\n\tAquariumType   =\t2\r\n\r\n"
                         "[Fish]\r\n\tdata\\neon,\t1,\t2,\t5\r\n\tdata\\guppy,\t1,\t1,\t3\r\n"
                         "DATA END\r\n\r\n//底砂データ\r\n[Bottom]\r\n\tdata\\sand\r\n\r\n"
                         "//泡画像データ\r\n[Bubble]\r\n\tdata\\bubble\r\n\r\n"
                         "//餌画像データ\r\n[Food]\r\n\tdata\\esa\r\n\r\n"
                         "//効果音データ\r\n[Sound]\r\n\tdata\\boo-n\r\n\r\n"
                         "// アクセサリの画像データ\r\n[ObjectBMP]\r\n\tdata\\kusa\r\nDATA END\r\n\r\n"
                         "// アクセサリのデータ\r\n[Object]\r\n\t0,\tfront,\tbottom,\t7,\tmove\r\n"_qs
                         + extraObjectLine + u"DATA END\r\n\r\n// END\r\n"_qs;
    return EncodeShiftJis(text);
}

void TestCommands::init()
{
    m_world = std::make_unique<TestWorld>();
    TestWorld& w = *m_world;
    w.MakeFolder(u"C:\\start\\data"_qs);
    w.WriteFile(u"C:\\start\\random.uld"_qs, "start.uld\r\n");
    w.WriteFile(u"C:\\aq\\tetra.uld"_qs, Aquarium());
    w.WriteFile(u"C:\\aq\\random.uld"_qs, "tetra.uld\r\nsea.uld\r\n");
    w.WritePicture(u"C:\\aq\\data\\sand.bmp"_qs, SolidPicture(1024, 96, 0x204080));
    QImage kusa = SolidPicture(64, 96, 0x00A000);
    SetPixelAt(kusa, 0, 0, 0xFF00FF);
    w.WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, kusa);
    w.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, SolidPicture(300, 100, 0x0000FF));
    w.WriteFile(u"C:\\aq\\data\\neon.ulc"_qs, "Kesso's Screen Saver Ulvaro Character\r\n"
                                              "[BMP DATA FORMAT]\r\nFishDataNo=4\r\nDATA END\r\n");
    w.WriteRegistry({{u"DataFile"_qs, u"C:\\start\\start.uld"_qs},
                     {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    w.EnterFolder(u"C:\\start"_qs);
    m_files = std::make_unique<Files>(w.Paths());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_state = std::make_unique<AppState>(*m_files, *m_prompts);
    FormCreate(*m_state, *OpenUserRegistry(w.Prefix()));
    QCOMPARE(m_prompts->Messages(), QStringList());
}

void TestCommands::cleanup()
{
    m_state.reset();
}

void TestCommands::loadFillsEveryView()
{
    AppState& s = *m_state;
    m_prompts->QueueAnswer(u"C:\\aq\\TETRA.ULD"_qs);
    LoadCommand(s);
    QCOMPARE(m_prompts->Messages(), QStringList());
    QCOMPARE(m_prompts->Dialogs()[0].InitialFolder, u"C:\\start\\"_qs);
    QCOMPARE(m_prompts->Dialogs()[0].Filter, u"Ulvaro Data File|*.uld"_qs);
    QCOMPARE(s.CurrentFile, u"C:\\aq\\TETRA.ULD"_qs);
    QCOMPARE(s.Caption, u"Kesso's Ulvaro Aquarium Maker <<< tetra.uld >>>"_qs);
    QCOMPARE(s.Doc.DataFolder, u"C:\\aq\\"_qs);
    QCOMPARE(s.Doc.DataSubFolder, u"data\\"_qs);
    QCOMPARE(s.SubFolderEntries, QStringList{"[data]"});
    QCOMPARE(s.AccessoryListFolder, u"C:\\aq\\data"_qs);
    QCOMPARE(s.RandomList, (QStringList{"sea.uld", "tetra.uld"}));
    QCOMPARE(s.Doc.Aeration, AerationPosition::Centre);
    QCOMPARE(s.Doc.AquariumType, 2);
    QCOMPARE(s.Doc.Fish[0].FishDataNo, u"4"_qs); // from the character file
    QCOMPARE(s.Doc.Fish[1].FishDataNo, u"1"_qs);
    QCOMPARE(s.View.Sprites.Entries[0].Picture().size(), QSize(20, 30));
    QCOMPARE(PixelAt(s.View.FishPictures[0], 10, 10), ColorRef(0x0000FF));
    QCOMPARE(PixelAt(s.View.FishPictures[0], 10, 60), kBlack);
    QCOMPARE(PixelAt(s.View.FishPictures[1], 10, 10), kBlack);
    // The accessory page is not showing: the tank preview waits.
    QCOMPARE(s.View.SandHeight, 0);

    s.NotebookPage = 1;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    QCOMPARE(s.View.SandHeight, 30);
    QCOMPARE(PixelAt(s.View.TankPicture, 5, 235), ColorRef(0x204080));
}

void TestCommands::failedLoadsLeaveEverythingAsItWas_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("foreign file") << QByteArray("Some other file\r\n")
                                  << u"Kesso's Ulvaro Data Fileではありません"_qs;
    QTest::newRow("malformed") << QByteArray("Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n")
                               << u"ULDﾌｧｲﾙの内容が不正です"_qs;
    QTest::newRow("bad number") << QByteArray("Kesso's Screen Saver Ulvaro\r\n[Option]\r\n"
                                              "AquariumType=x\r\n[Fish]\r\nDATA END\r\n")
                                << u"'x' は数値ではありません"_qs;
    QTest::newRow("missing file") << QByteArray()
                                  << u"ファイル C:\\other\\bad.uld は開けません"_qs;
}

void TestCommands::failedLoadsLeaveEverythingAsItWas()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    AppState& s = *m_state;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    s.CurrentFile = u"C:\\aq\\tetra.uld"_qs;
    s.Doc.Fish[2].CharacterName = u"data\\unsaved"_qs; // unsaved work
    s.RandomList << u"added.uld"_qs;

    m_world->WriteFile(u"C:\\other\\random.uld"_qs, "other.uld\r\n");
    m_world->MakeFolder(u"C:\\other\\pics"_qs);
    if (!content.isEmpty())
        m_world->WriteFile(u"C:\\other\\bad.uld"_qs, content);

    const struct Before {
        QString caption, folder, sub, slot3;
        QStringList random;
        int last;
    } before{s.Caption, s.Doc.DataFolder, s.Doc.DataSubFolder, s.Doc.Fish[2].CharacterName,
             s.RandomList, s.Doc.LastObject};
    m_prompts->Clear();
    m_prompts->QueueChoice(Choice::Discard); // the unsaved work is asked about first
    m_prompts->QueueAnswer(u"C:\\other\\bad.uld"_qs);
    LoadCommand(s);
    QCOMPARE(m_prompts->Questions(), QStringList{u"tetra.uld への変更を保存しますか"_qs});
    QCOMPARE(m_prompts->Messages(), QStringList{message});
    QCOMPARE(s.Caption, before.caption);
    QCOMPARE(s.Doc.DataFolder, before.folder);
    QCOMPARE(s.Doc.DataSubFolder, before.sub);
    QCOMPARE(s.Doc.Fish[2].CharacterName, before.slot3);
    QCOMPARE(s.Doc.Fish[0].CharacterName, u"data\\neon"_qs);
    QCOMPARE(s.Doc.Aeration, AerationPosition::Centre);
    QCOMPARE(s.RandomList, before.random);
    QCOMPARE(s.Doc.LastObject, before.last);
    QCOMPARE(s.Doc.ObjectBmpTable[0].BmpName, u"data\\kusa"_qs);
    QCOMPARE(s.CurrentFile, u"C:\\aq\\tetra.uld"_qs);
    QCOMPARE(s.RandomFileListFolder, u"C:\\aq\\"_qs);
}

void TestCommands::drawingErrorsKeepTheLoad()
{
    m_world->WriteFile(u"C:\\aq\\data\\guppy.bmp"_qs, "broken");
    AppState& s = *m_state;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    QCOMPARE(m_prompts->Messages(), QStringList{u"ビットマップイメージが不正です"_qs});
    QCOMPARE(s.Doc.Fish[1].CharacterName, u"data\\guppy"_qs);
    QCOMPARE(PixelAt(s.View.FishPictures[0], 10, 10), ColorRef(0x0000FF)); // the others are drawn
}

void TestCommands::unreadablePicturesDoNotStopTheLoad()
{
    // Accessory pictures missing and broken, a fish bitmap and the sand missing.
    QByteArray file = Aquarium(u"\t1,\tback,\ttop,\t3\r\n"_qs);
    file.replace("\tdata\\kusa\r\nDATA END", "\tdata\\kusa\r\n\tdata\\broken\r\nDATA END");
    m_world->WriteFile(u"C:\\aq\\tetra.uld"_qs, file);
    m_world->WriteFile(u"C:\\aq\\data\\broken.bmp"_qs, "not a picture");
    const QByteArray kusa = m_world->ReadFile(u"C:\\aq\\data\\kusa.bmp"_qs);
    QVERIFY(QFile::remove(m_world->Host(u"C:\\aq\\data\\kusa.bmp"_qs)));
    QVERIFY(QFile::remove(m_world->Host(u"C:\\aq\\data\\sand.bmp"_qs)));
    AppState& s = *m_state;
    s.NotebookPage = 1;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    QCOMPARE(m_prompts->Messages(),
        QStringList {u"以下のｱｸｾｻﾘの絵が開けません  C:\\aq\\data\\kusa.bmp, C:\\aq\\data\\broken.bmp"_qs});
    QCOMPARE(s.Doc.Fish[0].CharacterName, u"data\\neon"_qs);
    QCOMPARE(s.Doc.Aeration, AerationPosition::Centre);
    QCOMPARE(s.Doc.LastObject, 1);
    QCOMPARE(s.Doc.ObjectBmpTable[0].BmpName, u"data\\kusa"_qs);
    QVERIFY(s.View.Sprites.Entries[0].Sprite.isNull());
    QCOMPARE(PixelAt(s.View.TankPicture, 120, 200), kTankPictureFill); // nothing drawn
    s.Doc.Fish[0].FishDataNo = u"2"_qs; // the file's own value, before the character's 4
    SaveAquariumFile(*m_files, s.Doc, u"C:\\aq\\copy.uld"_qs);
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\copy.uld"_qs), file);

    // Once the picture is there, the next drawing shows it.
    m_world->WriteFile(u"C:\\aq\\data\\kusa.bmp"_qs, kusa);
    DrawTankPreview(s);
    QCOMPARE(PixelAt(s.View.TankPicture, 120, 230), ColorRef(0x00A000));
    QCOMPARE(m_prompts->Messages().size(), 1);
}

void TestCommands::randomListOpensItsPage()
{
    AppState& s = *m_state;
    s.Doc.Fish[0].CharacterName = u"data\\kept"_qs;
    m_prompts->QueueChoice(Choice::Discard);
    m_prompts->QueueAnswer(u"C:\\aq\\Random.ULD"_qs);
    LoadCommand(s);
    QCOMPARE(s.NotebookPage, 3);
    QCOMPARE(s.Caption, u"Kesso's Ulvaro Aquarium Maker <<< random.uld >>>"_qs);
    QCOMPARE(s.Doc.DataFolder, u"C:\\aq\\"_qs);
    QCOMPARE(s.RandomList, (QStringList{"sea.uld", "tetra.uld"}));
    QCOMPARE(s.Doc.Fish[0].CharacterName, u"data\\kept"_qs);
    QCOMPARE(s.Doc.DataSubFolder, u"data\\"_qs); // from start-up, unchanged
    QCOMPARE(s.CurrentFile, u"C:\\aq\\Random.ULD"_qs);

    // A following save-as saves only the two list files.
    s.RandomList << u"new.uld"_qs;
    s.MidiList = {u"a.mid"_qs};
    m_world->MakeFolder(u"C:\\m"_qs);
    SaveAsCommand(s);
    QCOMPARE(m_prompts->Dialogs().size(), size_t(1)); // only the open dialog
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\random.uld"_qs), QByteArray("sea.uld\r\ntetra.uld\r\nnew.uld\r\n"));
    QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), QByteArray("a.mid\r\n"));
}

void TestCommands::saveAsWritesListsAndFile()
{
    AppState& s = *m_state;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    s.CurrentFile = u"C:\\aq\\tetra.uld"_qs;
    s.MidiList = {u"x.mid"_qs, QString()};
    m_world->MakeFolder(u"C:\\m"_qs);
    m_world->MakeFolder(u"C:\\out"_qs);
    m_prompts->QueueAnswer(u"C:\\out\\New.uld"_qs);
    SaveAsCommand(s);
    QCOMPARE(m_prompts->Messages(), QStringList());
    const FileDialogRequest request = m_prompts->Dialogs().back();
    QCOMPARE(request.Filter, u"Ulvaro Data File|*.uld"_qs);
    QCOMPARE(request.DefaultExtension, u"uld"_qs);
    QCOMPARE(request.InitialFolder, u"C:\\aq\\"_qs);
    QCOMPARE(request.FileName, u"tetra.uld"_qs);
    QVERIFY(request.ConfirmOverwrite); // asks before replacing a file
    QCOMPARE(s.CurrentFile, u"C:\\out\\New.uld"_qs);
    QCOMPARE(m_files->CurrentFolder(), u"C:\\out"_qs); // the dialog's folder, as Windows has it
    QCOMPARE(s.Caption, u"Kesso's Ulvaro Aquarium Maker <<< c:\\out\\new.uld >>>"_qs);
    QVERIFY(m_world->ReadFile(u"C:\\out\\New.uld"_qs).startsWith("//\r\nKesso's Screen Saver"));
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\random.uld"_qs), QByteArray("sea.uld\r\ntetra.uld\r\n"));
    QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), QByteArray("x.mid\r\n"));
}

void TestCommands::saveAsRefusesWithoutFish()
{
    AppState& s = *m_state;
    s.RandomList = {u"b.uld"_qs};
    SaveAsCommand(s);
    QCOMPARE(m_prompts->Messages(), QStringList{kNoFishMessage});
    QVERIFY(m_prompts->Dialogs().empty());
    QCOMPARE(m_world->ReadFile(u"C:\\start\\random.uld"_qs), QByteArray("b.uld\r\n"));
    QCOMPARE(m_prompts->Messages()[0], u"熱帯魚のﾃﾞｰﾀが未設定です.ﾃﾞｰﾀﾌｧｲﾙの作成を中止します"_qs);
}

void TestCommands::saveAsCancelled()
{
    AppState& s = *m_state;
    s.Doc.Fish[3].CharacterName = u"data\\neon"_qs;
    SaveAsCommand(s); // the queue is empty: cancel
    QCOMPARE(m_prompts->Dialogs()[0].FileName, u"*.uld"_qs);
    QCOMPARE(s.CurrentFile, QString());
    QCOMPARE(s.Caption, kProductTitle);
}

void TestCommands::failedSaveKeepsCaptionAndFile()
{
    AppState& s = *m_state;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    s.CurrentFile = u"C:\\aq\\tetra.uld"_qs;
    const QString caption = s.Caption;
    const QByteArray before = m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs);
    s.Doc.Fish[0].FishAmount = u"9"_qs;
    s.RandomList.clear();
    m_prompts->QueueAnswer(u"C:\\aq\\tetra.uld"_qs);
    {
        const FileSizeLimit full(10);
        SaveAsCommand(s);
    }
    QCOMPARE(m_prompts->Messages(), QStringList{u"I/O エラー (29)"_qs});
    QCOMPARE(s.Caption, caption);
    QCOMPARE(s.CurrentFile, u"C:\\aq\\tetra.uld"_qs);
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs), before);

    // A fish name Shift-JIS cannot hold is refused and nothing is written.
    m_prompts->Clear();
    s.Doc.Fish[0].CharacterName = u"data\\n€on"_qs;
    m_prompts->QueueAnswer(u"C:\\aq\\tetra.uld"_qs);
    SaveAsCommand(s);
    QCOMPARE(m_prompts->Messages().size(), 1);
    QVERIFY(m_prompts->Messages()[0].contains(u"€"_qs));
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs), before);
}

void TestCommands::saveAsRefusesTheListFiles_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("random.uld") << u"C:\\aq\\random.uld"_qs;
    QTest::newRow("RANDOM.ULD elsewhere") << u"C:\\out\\RANDOM.ULD"_qs;
    QTest::newRow("the MIDI list") << u"C:\\m\\songs.lst"_qs;
    QTest::newRow("the MIDI list in other letters") << u"c:\\M\\Songs.LST"_qs;
}

void TestCommands::saveAsRefusesTheListFiles()
{
    QFETCH(QString, target);
    AppState& s = *m_state;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    s.MidiList = {u"x.mid"_qs};
    m_world->MakeFolder(u"C:\\m"_qs);
    m_world->MakeFolder(u"C:\\out"_qs);
    m_prompts->QueueAnswer(target);
    m_prompts->QueueAnswer(u"C:\\out\\kept.uld"_qs); // asked again, a good name
    SaveAsCommand(s);
    QCOMPARE(m_prompts->Messages().size(), 1);
    QVERIFY(m_prompts->Messages()[0].endsWith(u"別の名前で保存してください"_qs));
    QCOMPARE(m_prompts->Dialogs().size(), size_t(2));
    // The lists are what SaveLists wrote; the aquarium went where it may.
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\random.uld"_qs), QByteArray("sea.uld\r\ntetra.uld\r\n"));
    QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), QByteArray("x.mid\r\n"));
    QVERIFY(m_world->ReadFile(u"C:\\out\\random.uld"_qs).isEmpty());
    QCOMPARE(s.CurrentFile, u"C:\\out\\kept.uld"_qs);
    QVERIFY(m_world->ReadFile(u"C:\\out\\kept.uld"_qs).startsWith("//\r\nKesso's Screen Saver"));
}

void TestCommands::undecodableListEntryDoesNotBlockTheSave()
{
    const QByteArray list = "tetra.uld\r\nbad\x81\x20.uld\r\n";
    m_world->WriteFile(u"C:\\aq\\random.uld"_qs, list);
    AppState& s = *m_state;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    s.MidiList = {u"x.mid"_qs};
    m_world->MakeFolder(u"C:\\m"_qs);
    m_prompts->QueueAnswer(u"C:\\aq\\copy.uld"_qs);
    SaveAsCommand(s);
    // Said once; random.uld stays as it is on disk; the rest is saved.
    QCOMPARE(m_prompts->Messages().size(), 1);
    QVERIFY2(m_prompts->Messages()[0].contains(u"U+FFFD"_qs), qPrintable(m_prompts->Messages()[0]));
    QVERIFY(m_prompts->Messages()[0].contains(u"C:\\aq\\random.uld"_qs));
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\random.uld"_qs), list);
    QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), QByteArray("x.mid\r\n"));
    QCOMPARE(s.CurrentFile, u"C:\\aq\\copy.uld"_qs);
    QVERIFY(!m_world->ReadFile(u"C:\\aq\\copy.uld"_qs).isEmpty());
}

void TestCommands::pipedFishCharacterDoesNotBlockTheLoad()
{
    const QString host = m_world->Host(u"C:\\aq\\data\\neon.ulc"_qs);
    QFile::remove(host);
    QCOMPARE(mkfifo(QFile::encodeName(host).constData(), 0600), 0);
    AppState& s = *m_state;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    QCOMPARE(m_prompts->Messages(),
             QStringList{u"ファイル C:\\aq\\data\\neon.ulc は開けません"_qs});
    QCOMPARE(s.Doc.Fish[0].CharacterName, u"data\\neon"_qs);
}

void TestCommands::formShowOpensTheCommandLineFile()
{
    AppState& s = *m_state;
    FormShow(s, u"C:\\aq\\missing.uld"_qs);
    QCOMPARE(s.CurrentFile, QString());
    QCOMPARE(s.Caption, kProductTitle);
    QCOMPARE(m_prompts->Messages(), QStringList());
    FormShow(s, u"C:\\aq\\tetra.uld"_qs);
    QCOMPARE(s.CurrentFile, u"C:\\aq\\tetra.uld"_qs);
    QCOMPARE(s.Doc.Fish[0].CharacterName, u"data\\neon"_qs);
    FormShow(s, QString());
    QCOMPARE(s.CurrentFile, QString());
}

void TestCommands::loadingAndSavingTheSameFileWritesTheSameBytes()
{
    AppState& s = *m_state;
    QVERIFY(LoadAquariumFile(s, u"C:\\aq\\tetra.uld"_qs));
    s.Doc.Fish[0].FishDataNo = u"2"_qs; // the file's own value, before the character's 4
    SaveAquariumFile(*m_files, s.Doc, u"C:\\aq\\copy.uld"_qs);
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\copy.uld"_qs), Aquarium());
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
