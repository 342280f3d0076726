#include "core/document/list_logic.h"
#include "core/operations/list_commands.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void sortedWithoutCase();
    void deleteSelects_data();
    void deleteSelects();
    void moves_data();
    void moves();
    void drops_data();
    void drops();
    void copyBeforeTheSelection();
    void rightClickDeletesThenMovesNothing();
    void randomCopyAllAndSave();
    void randomRevertUnfiltered();
    void revertsOfMissingFiles();
    void loadListFile();
    void loadListFileThatCannotBeRead();
    void saveAsCancelledStillWrites();
    void saveAsRefusesAnEmptyList();
    void saveAsDropsEmptyEntries();

private:
    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<Files> m_files;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<AppState> m_state;
};

void TestLists::init()
{
    m_world = std::make_unique<TestWorld>();
    m_world->WriteFile(u"C:\\aq\\random.uld"_qs, "a.uld\r\n\r\nRANDOM.ULD\r\nb.uld\r\n");
    m_world->WriteFile(u"C:\\m\\songs.lst"_qs, "a.mid\r\n\r\nb.mid\r\n");
    m_world->WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs},
                            {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    m_world->EnterFolder(u"C:\\aq"_qs);
    m_files = std::make_unique<Files>(m_world->Paths());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_state = std::make_unique<AppState>(*m_files, *m_prompts);
    FormCreate(*m_state, *OpenUserRegistry(m_world->Prefix()));
}

void TestLists::cleanup()
{
    m_state.reset();
}

void TestLists::sortedWithoutCase()
{
    AppState& s = *m_state;
    RandomDeleteAll(s);
    RandomAddOne(s, u"tetra.uld"_qs);
    RandomAddOne(s, u"Sea.uld"_qs);
    RandomAddOne(s, u"tetra.uld"_qs); // duplicates are kept
    RandomAddOne(s, u"sea.uld"_qs);
    RandomAddOne(s, QString());       // nothing selected in the file list
    QCOMPARE(s.RandomList, (QStringList{"Sea.uld", "sea.uld", "tetra.uld", "tetra.uld"}));
    s.RandomSelected = 2; // the first tetra.uld
    RandomAddOne(s, u"neon.uld"_qs);
    QCOMPARE(s.RandomList[s.RandomSelected], u"tetra.uld"_qs);
    SaveLists(s);
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\random.uld"_qs),
             QByteArray("neon.uld\r\nSea.uld\r\nsea.uld\r\ntetra.uld\r\ntetra.uld\r\n"));
}

void TestLists::deleteSelects_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selection");
    QTest::newRow("first of three") << QStringList{"a", "b", "c"} << 0 << QStringList{"b", "c"} << 0;
    QTest::newRow("last of three") << QStringList{"a", "b", "c"} << 2 << QStringList{"a", "b"} << 1;
    QTest::newRow("middle") << QStringList{"a", "b", "c"} << 1 << QStringList{"a", "c"} << 0;
    QTest::newRow("the only one") << QStringList{"a"} << 0 << QStringList{} << -1;
    QTest::newRow("none selected") << QStringList{"a", "b"} << -1 << QStringList{"a", "b"} << -1;
}

void TestLists::deleteSelects()
{
    QFETCH(QStringList, list);
    QFETCH(int, selected);
    QFETCH(QStringList, after);
    QFETCH(int, selection);
    QCOMPARE(DeleteSelected(list, selected), selection);
    QCOMPARE(list, after);
}

void TestLists::moves_data()
{
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("release");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("a onto c") << 0 << 2 << QStringList{"b", "a", "c", "d"};
    QTest::newRow("d onto b") << 3 << 1 << QStringList{"a", "d", "b", "c"};
    QTest::newRow("b onto c: unchanged") << 1 << 2 << QStringList{"a", "b", "c", "d"};
    QTest::newRow("a below the last") << 0 << 9 << QStringList{"b", "c", "d", "a"};
    QTest::newRow("pressed below the last") << 6 << 0 << QStringList{"a", "b", "c", "d"};
    QTest::newRow("released above the top") << 2 << -3 << QStringList{"c", "a", "b", "d"};
    QTest::newRow("same row") << 1 << 1 << QStringList{"a", "b", "c", "d"};
}

void TestLists::moves()
{
    QFETCH(int, press);
    QFETCH(int, release);
    QFETCH(QStringList, after);
    QStringList list{"a", "b", "c", "d"};
    (void)MoveEntry(list, press, release);
    QCOMPARE(list, after);
}

void TestLists::drops_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("row 1") << 1 << QStringList{"a", "x.mid", "b"};
    QTest::newRow("row 5") << 5 << QStringList{"a", "b", "x.mid"};
    QTest::newRow("row 0") << 0 << QStringList{"x.mid", "a", "b"};
}

void TestLists::drops()
{
    QFETCH(int, row);
    QFETCH(QStringList, after);
    m_state->MidiList = {u"a"_qs, u"b"_qs};
    MidiDropAt(*m_state, u"x.mid"_qs, row);
    QCOMPARE(m_state->MidiList, after);
}

void TestLists::copyBeforeTheSelection()
{
    AppState& s = *m_state;
    s.MidiList = {u"a"_qs, u"b"_qs, u"c"_qs};
    s.MidiSelected = 1;
    MidiInsertOne(s, u"x"_qs);
    QCOMPARE(s.MidiList, (QStringList{"a", "x", "b", "c"}));
    QCOMPARE(s.MidiList[s.MidiSelected], u"b"_qs);
    s.MidiSelected = -1;
    MidiInsertOne(s, u"y"_qs);
    QCOMPARE(s.MidiList.last(), u"y"_qs);
    MidiCopyAll(s, {u"p.mid"_qs, u"q.rmi"_qs});
    QCOMPARE(s.MidiList, (QStringList{"p.mid", "q.rmi"}));
}

void TestLists::rightClickDeletesThenMovesNothing()
{
    AppState& s = *m_state;
    s.MidiList = {u"a"_qs, u"b"_qs, u"c"_qs};
    s.MidiSelected = 0;
    MidiRelease(s, true, 2, 2); // pressed and released on c, with a selected
    QCOMPARE(s.MidiList, (QStringList{"b", "c"}));
    QCOMPARE(s.MidiSelected, 0);
}

void TestLists::randomCopyAllAndSave()
{
    AppState& s = *m_state;
    RandomCopyAll(s, {u"tetra.uld"_qs, u"random.uld"_qs, u"Sea.uld"_qs});
    QCOMPARE(s.RandomList, (QStringList{"random.uld", "Sea.uld", "tetra.uld"}));
    SaveLists(s);
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\random.uld"_qs), QByteArray("Sea.uld\r\ntetra.uld\r\n"));
    QCOMPARE(s.RandomList, (QStringList{"Sea.uld", "tetra.uld"}));
}

void TestLists::randomRevertUnfiltered()
{
    AppState& s = *m_state;
    QCOMPARE(s.RandomList, (QStringList{"a.uld", "b.uld"})); // filtered at start-up
    RandomDeleteAll(s);
    RandomRevert(s);
    QCOMPARE(s.RandomList, (QStringList{"", "a.uld", "b.uld", "RANDOM.ULD"}));
}

void TestLists::revertsOfMissingFiles()
{
    AppState& s = *m_state;
    s.Doc.DataFolder = u"C:\\none\\"_qs;
    s.MidiListFile = u"C:\\none\\x.lst"_qs;
    QVERIFY_THROWS_EXCEPTION(PlatformError, RandomRevert(s));
    QVERIFY(s.RandomList.isEmpty());
    try {
        MidiRevert(s);
        QFAIL("no error");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), u"ファイル C:\\none\\x.lst は開けません"_qs);
    }
    QVERIFY(s.MidiList.isEmpty());
}

void TestLists::loadListFile()
{
    AppState& s = *m_state;
    m_world->WriteFile(u"C:\\other\\set.lst"_qs, "x.mid\ry.rmi\n");
    m_prompts->QueueAnswer(u"C:\\other\\set.lst"_qs);
    LoadMidiListFile(s);
    QCOMPARE(m_prompts->Dialogs().back().InitialFolder, u"C:\\m\\"_qs);
    QCOMPARE(m_prompts->Dialogs().back().Filter, u"MIDI List File|*.lst"_qs);
    QCOMPARE(s.MidiListFile, u"C:\\other\\set.lst"_qs);
    QCOMPARE(s.MidiFolder, u"C:\\other\\"_qs);
    QCOMPARE(s.MidiListShown, u"C:\\other\\set.lst"_qs);
    QCOMPARE(s.MidiList, (QStringList{"x.mid", "y.rmi"}));
    LoadMidiListFile(s); // cancelled: nothing changes
    QCOMPARE(s.MidiListFile, u"C:\\other\\set.lst"_qs);
}

void TestLists::loadListFileThatCannotBeRead()
{
    AppState& s = *m_state;
    m_prompts->QueueAnswer(u"C:\\other\\typo.lst"_qs);
    QVERIFY_THROWS_EXCEPTION(PlatformError, LoadMidiListFile(s));
    QCOMPARE(s.MidiListFile, u"C:\\other\\typo.lst"_qs);
    QCOMPARE(s.MidiFolder, u"C:\\other\\"_qs);
    QCOMPARE(s.MidiListShown, u"C:\\m\\songs.lst"_qs);
    QCOMPARE(s.MidiList, (QStringList{"a.mid", "", "b.mid"}));
}

void TestLists::saveAsCancelledStillWrites()
{
    AppState& s = *m_state;
    s.MidiList = {u"z.mid"_qs};
    SaveMidiListFileAs(s); // the dialog is cancelled
    QCOMPARE(m_prompts->Dialogs().back().FileName, u"C:\\m\\songs.lst"_qs);
    QCOMPARE(m_prompts->Dialogs().back().DefaultExtension, u"lst"_qs);
    QVERIFY(!m_prompts->Dialogs().back().ConfirmOverwrite);
    QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), QByteArray("z.mid\r\n"));
    m_prompts->QueueAnswer(u"C:\\m\\new.lst"_qs);
    SaveMidiListFileAs(s);
    QCOMPARE(s.MidiListShown, u"C:\\m\\new.lst"_qs);
    QCOMPARE(s.MidiFolder, u"C:\\m\\"_qs);
    QCOMPARE(m_world->ReadFile(u"C:\\m\\new.lst"_qs), QByteArray("z.mid\r\n"));
}

void TestLists::saveAsRefusesAnEmptyList()
{
    AppState& s = *m_state;
    s.MidiList = {QString(), QString()};
    SaveMidiListFileAs(s);
    QCOMPARE(m_prompts->Messages(), QStringList{u"ﾌｧｲﾙ名のﾘｽﾄがありません"_qs});
    QVERIFY(m_prompts->Dialogs().empty());
    QVERIFY(s.MidiList.isEmpty());
    QCOMPARE(s.MidiListFile, u"C:\\m\\songs.lst"_qs);
    QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), QByteArray("a.mid\r\n\r\nb.mid\r\n"));
}

void TestLists::saveAsDropsEmptyEntries()
{
    AppState& s = *m_state;
    QCOMPARE(s.MidiList, (QStringList{"a.mid", "", "b.mid"})); // three entries as read
    m_prompts->QueueAnswer(u"C:\\m\\songs.lst"_qs);
    SaveMidiListFileAs(s);
    QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), QByteArray("a.mid\r\nb.mid\r\n"));
    // A list file that cannot be created: the error, Edit7 already shows the name.
    m_prompts->QueueAnswer(u"C:\\gone\\x.lst"_qs);
    QVERIFY_THROWS_EXCEPTION(PlatformError, SaveMidiListFileAs(s));
    QCOMPARE(s.MidiListShown, u"C:\\gone\\x.lst"_qs);
    QCOMPARE(s.MidiList.size(), 2);
}

QTEST_GUILESS_MAIN(TestLists)
#include "tst_lists.moc"
