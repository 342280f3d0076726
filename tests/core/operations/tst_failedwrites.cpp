#include "core/document/fish_character.h"
#include "core/operations/list_commands.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/registry.h"
#include "core/platform/text_file.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "support/test_world.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <optional>

#include <unistd.h>

using namespace aquarium;
using namespace aquarium::test;

// Every writer against every way a write fails: the message, the previous file whole,
// the state as it was.
class TestFailedWrites : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writes_data();
    void writes();
};

namespace {

enum class Writer { Aquarium, FishCharacter, RandomList, MidiList, MidiListSaveAs };
enum class Failure { MissingFolder, FolderOfThatName, FileAsFolder, DiskFullMidway, FailsAtOnce, ReadOnlyFolder };

} // namespace

Q_DECLARE_METATYPE(Writer)
Q_DECLARE_METATYPE(Failure)

void TestFailedWrites::writes_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<Failure>("failure");
    const std::pair<Writer, const char*> writers[] = {
            {Writer::Aquarium, "aquarium file"},
            {Writer::FishCharacter, "fish character file"},
            {Writer::RandomList, "random list"},
            {Writer::MidiList, "MIDI list"},
            {Writer::MidiListSaveAs, "MIDI list saved as"}};
    const std::pair<Failure, const char*> failures[] = {
            {Failure::MissingFolder, "missing folder"},
            {Failure::FolderOfThatName, "a folder of that name"},
            {Failure::FileAsFolder, "a file where the folder should be"},
            {Failure::DiskFullMidway, "disk full midway"},
            {Failure::FailsAtOnce, "fails at once"},
            {Failure::ReadOnlyFolder, "read-only folder"}};
    for (const auto& [writer, wname] : writers)
        for (const auto& [failure, fname] : failures)
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(wname), QLatin1String(fname))))
                    << writer << failure;
}

void TestFailedWrites::writes()
{
    QFETCH(Writer, writer);
    QFETCH(Failure, failure);
    if (failure == Failure::ReadOnlyFolder && geteuid() == 0)
        QSKIP("permissions do not stop root");

    TestWorld world;
    // Where the writer writes: the folder and the file.
    QString folder = u"C:\\aq\\"_qs;
    if (failure == Failure::MissingFolder)
        folder = u"C:\\gone\\"_qs;
    if (failure == Failure::FileAsFolder) {
        world.WriteFile(u"C:\\plain"_qs, "x");
        folder = u"C:\\plain\\"_qs;
    }
    const QString fileName = writer == Writer::Aquarium        ? u"tetra.uld"_qs
                             : writer == Writer::FishCharacter ? u"neon.ulc"_qs
                             : writer == Writer::RandomList    ? u"random.uld"_qs
                                                               : u"songs.lst"_qs;
    const QString target = folder + fileName;
    const QByteArray old = "the user's only copy\r\n";
    world.MakeFolder(u"C:\\aq"_qs);
    world.MakeFolder(u"C:\\aq\\data"_qs);
    if (failure == Failure::FolderOfThatName)
        world.MakeFolder(target);
    else if (failure != Failure::MissingFolder && failure != Failure::FileAsFolder)
        world.WriteFile(target, old);

    world.WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs},
                         {u"BGMFile"_qs, folder + u"songs.lst"_qs}});
    world.EnterFolder(u"C:\\aq"_qs);
    const Files files = world.MakeFiles();
    ScriptedPrompts prompts;
    AppState state(files, prompts);
    FormCreate(state, *OpenUserRegistry(world.Prefix()));
    prompts.Clear();
    state.Doc.DataFolder = folder;
    state.MidiFolder = folder;
    state.MidiListFile = folder + u"songs.lst"_qs;
    state.MidiListShown = state.MidiListFile;
    state.Doc.Fish[0].CharacterName = u"data\\neon"_qs;
    state.Caption = u"before"_qs;
    state.CurrentFile = u"C:\\aq\\before.uld"_qs;
    if (writer == Writer::RandomList)
        state.RandomList = {u"a.uld"_qs};
    if (writer == Writer::MidiList || writer == Writer::MidiListSaveAs)
        state.MidiList = {u"a.mid"_qs};

    if (failure == Failure::ReadOnlyFolder)
        QFile::setPermissions(world.Host(folder), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // The operating system refuses to let a file grow past 5 bytes, or past none.
    std::optional<FileSizeLimit> full;
    if (failure == Failure::DiskFullMidway)
        full.emplace(5);
    if (failure == Failure::FailsAtOnce)
        full.emplace(0);

    switch (writer) {
    case Writer::Aquarium:
        prompts.QueueAnswer(target);
        SaveAsCommand(state);
        break;
    case Writer::FishCharacter:
        Guard(prompts, [&] {
            SaveFishCharacter(files, FishCharacter(), folder + u"neon"_qs);
        });
        break;
    case Writer::RandomList:
    case Writer::MidiList:
        Guard(prompts, [&] { SaveLists(state); });
        break;
    case Writer::MidiListSaveAs:
        prompts.QueueAnswer(target);
        Guard(prompts, [&] { SaveMidiListFileAs(state); });
        break;
    }
    full.reset();
    if (failure == Failure::ReadOnlyFolder)
        QFile::setPermissions(world.Host(folder), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                          | QFileDevice::ExeOwner);

    // One message, the platform's.
    QCOMPARE(prompts.Messages().size(), 1);
    const QString message = prompts.Messages().first();
    const bool injected = failure == Failure::DiskFullMidway || failure == Failure::FailsAtOnce;
    if (injected)
        QCOMPARE(message, u"I/O エラー (29)"_qs);
    else
        QCOMPARE(message, QStringLiteral("ファイル %1 を作成できません").arg(target));

    // The previous file is whole; no temporary file is left beside it.
    if (failure == Failure::FolderOfThatName) {
        QVERIFY(QFileInfo(world.Host(target)).isDir());
    } else if (failure != Failure::MissingFolder && failure != Failure::FileAsFolder) {
        QCOMPARE(world.ReadFile(target), old);
        QCOMPARE(QDir(world.Host(folder)).entryList(QDir::Files).filter(fileName, Qt::CaseInsensitive),
                 QStringList{fileName});
    }
    if (failure == Failure::FileAsFolder)
        QCOMPARE(world.ReadFile(u"C:\\plain"_qs), QByteArray("x"));

    // The state stays as the behaviour says.
    if (writer == Writer::Aquarium) {
        QCOMPARE(state.Caption, u"before"_qs);
        QCOMPARE(state.CurrentFile, u"C:\\aq\\before.uld"_qs);
    }
    if (writer == Writer::MidiListSaveAs || writer == Writer::MidiList)
        QCOMPARE(state.MidiList, QStringList{u"a.mid"_qs});
    if (writer == Writer::RandomList)
        QCOMPARE(state.RandomList, QStringList{u"a.uld"_qs});
}

QTEST_MAIN(TestFailedWrites)
#include "tst_failedwrites.moc"
