#include "core/document/aquarium_file.h"
#include "core/operations/check.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "support/test_world.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestSample : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void loadsWithEveryPictureDrawn();
    void savingWritesTheSameBytes_data();
    void savingWritesTheSameBytes();
    void checkFindsNothing();
    void checkReportsEachKindOfMissingFile_data();
    void checkReportsEachKindOfMissingFile();

private:
    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<Files> m_files;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<AppState> m_state;
};

void TestSample::init()
{
    m_world = std::make_unique<TestWorld>();
    m_world->WriteSample();
    m_world->EnterFolder(u"C:\\aquarium"_qs);
    m_files = std::make_unique<Files>(m_world->Paths());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_state = std::make_unique<AppState>(*m_files, *m_prompts);
    FormCreate(*m_state, *OpenUserRegistry(m_world->Prefix()));
}

void TestSample::cleanup()
{
    m_state.reset();
}

void TestSample::loadsWithEveryPictureDrawn()
{
    AppState& s = *m_state;
    s.NotebookPage = 1;
    QVERIFY(LoadAquariumFile(s, u"C:\\aquarium\\tetra.uld"_qs));
    QCOMPARE(m_prompts->Messages(), QStringList());
    QCOMPARE(s.MidiList, (QStringList{"umi.mid", "nami.mid"}));
    QCOMPARE(s.RandomList, (QStringList{"reef.uld", "tetra.uld"}));
    for (int slot = 0; slot < 6; ++slot) {
        QVERIFY(!s.Doc.Fish[size_t(slot)].CharacterName.isEmpty());
        int lit = 0;
        const QImage& picture = s.View.FishPictures[size_t(slot)];
        for (int y = 0; y < picture.height(); y += 4)
            for (int x = 0; x < picture.width(); x += 4)
                lit += PixelAt(picture, x, y) != kBlack;
        QVERIFY2(lit > 40, qPrintable(s.Doc.Fish[size_t(slot)].CharacterName));
    }
    QVERIFY(s.View.SandHeight > 0);
    QVERIFY(s.Doc.LastObject >= 5);
    QCOMPARE(PixelAt(s.View.TankPicture, 160, 238) == 0xFFFF00, false); // sand along the bottom
}

void TestSample::savingWritesTheSameBytes_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("tetra.uld") << u"tetra.uld"_qs;
    QTest::newRow("reef.uld") << u"reef.uld"_qs;
}

void TestSample::savingWritesTheSameBytes()
{
    QFETCH(QString, file);
    AppState& s = *m_state;
    const QString path = u"C:\\aquarium\\"_qs + file;
    QVERIFY(LoadAquariumFile(s, path));
    SaveAquariumFile(*m_files, s.Doc, u"C:\\aquarium\\again.uld"_qs);
    QCOMPARE(m_world->ReadFile(u"C:\\aquarium\\again.uld"_qs), m_world->ReadFile(path));
}

void TestSample::checkFindsNothing()
{
    const std::vector<CheckProblem> problems =
            CheckAquariumFiles(*m_state, {u"C:\\aquarium"_qs, u"C:\\aquarium\\tetra.uld"_qs});
    for (const CheckProblem& p : problems)
        qWarning() << p.File << p.Item << p.Problem;
    QVERIFY(problems.empty());
}

void TestSample::checkReportsEachKindOfMissingFile_data()
{
    QTest::addColumn<QString>("remove");   // a file of the sample to remove
    QTest::addColumn<QString>("item");     // the item reported
    QTest::addColumn<QString>("reporter"); // the file that names it
    QTest::addColumn<QByteArray>("bytes"); // what the file holds instead; empty: removed
    QTest::newRow("sand") << u"data\\sand.bmp"_qs << u"[Bottom] data\\sand.bmp"_qs << u"tetra.uld"_qs
                          << QByteArray();
    QTest::newRow("bubble") << u"data\\bubble.bmp"_qs << u"[Bubble] data\\bubble.bmp"_qs
                            << u"tetra.uld"_qs << QByteArray();
    QTest::newRow("food") << u"data\\esa.bmp"_qs << u"[Food] data\\esa.bmp"_qs << u"tetra.uld"_qs
                          << QByteArray();
    QTest::newRow("sound") << u"data\\boo-n.wav"_qs << u"[Sound] data\\boo-n.wav"_qs
                           << u"tetra.uld"_qs << QByteArray();
    QTest::newRow("background") << u"data\\back.bmp"_qs << u"[Option] BitmapFile"_qs
                                << u"tetra.uld"_qs << QByteArray();
    QTest::newRow("fish character") << u"data\\guppy.ulc"_qs << u"[Fish] 2 data\\guppy.ulc"_qs
                                    << u"tetra.uld"_qs << QByteArray();
    QTest::newRow("fish bitmap") << u"data\\cory.bmp"_qs << u"[Fish] 6 data\\cory.bmp"_qs
                                 << u"tetra.uld"_qs << QByteArray();
    QTest::newRow("accessory picture") << u"data\\kai.bmp"_qs << u"[ObjectBMP] data\\kai.bmp"_qs
                                       << u"tetra.uld"_qs << QByteArray();
    QTest::newRow("home position") << u"data\\iwa.bmp"_qs << u"HomePosition data\\iwa.bmp"_qs
                                   << u"data\\discus.ulc"_qs << QByteArray();
    QTest::newRow("random list entry") << u"reef.uld"_qs << u"reef.uld"_qs << u"random.uld"_qs
                                       << QByteArray();
    QTest::newRow("MIDI list entry") << u"midi\\nami.mid"_qs << u"nami.mid"_qs
                                     << u"midi\\sample.lst"_qs << QByteArray();
    QTest::newRow("sound that does not decode") << u"data\\boo-n.wav"_qs
                                                << u"[Sound] data\\boo-n.wav"_qs << u"tetra.uld"_qs
                                                << QByteArray("RIFF....WAVEfmt ");
    QTest::newRow("MIDI file that does not decode") << u"midi\\umi.mid"_qs << u"umi.mid"_qs
                                                    << u"midi\\sample.lst"_qs
                                                    << QByteArray::fromHex("4d546864000000060000000101e0");
}

void TestSample::checkReportsEachKindOfMissingFile()
{
    QFETCH(QString, remove);
    QFETCH(QString, item);
    QFETCH(QString, reporter);
    QFETCH(QByteArray, bytes);
    if (bytes.isEmpty())
        QVERIFY(QFile::remove(m_world->Host(u"C:\\aquarium\\"_qs + remove)));
    else
        m_world->WriteFile(u"C:\\aquarium\\"_qs + remove, bytes);
    const QString problem = bytes.isEmpty() ? kMissingFileProblem : kUndecodableProblem;
    const std::vector<CheckProblem> problems = CheckAquariumFiles(*m_state, {u"C:\\aquarium"_qs});
    bool found = false;
    for (const CheckProblem& p : problems)
        found = found || (p.Item.startsWith(item) && p.File == u"C:\\aquarium\\"_qs + reporter
                          && p.Problem == problem);
    QVERIFY2(found, qPrintable(item));
}

QTEST_MAIN(TestSample)
#include "tst_sample.moc"
