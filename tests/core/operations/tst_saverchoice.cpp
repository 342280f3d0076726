#include "core/operations/saver_choice.h"
#include "core/platform/prompts.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

// What the screen saver shows: random.uld's aquarium files that load, at random, another
// one each time; the settings' own aquarium otherwise.
class TestSaverChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choosesAmongTheRandomList_data();
    void choosesAmongTheRandomList();
};

void TestSaverChoice::choosesAmongTheRandomList_data()
{
    QTest::addColumn<QByteArray>("randomList");
    QTest::addColumn<QStringList>("shown"); // what may show, by name
    QTest::newRow("both sample aquariums") << QByteArray("tetra.uld\r\nreef.uld\r\n")
                                           << QStringList {u"tetra.uld"_qs, u"reef.uld"_qs};
    QTest::newRow("a missing and a foreign file left out")
            << QByteArray("gone.uld\r\nbroken.uld\r\nreef.uld\r\n") << QStringList {u"reef.uld"_qs};
    QTest::newRow("nothing there: the settings' aquarium")
            << QByteArray("gone.uld\r\n") << QStringList {u"tetra.uld"_qs};
    QTest::newRow("no list") << QByteArray() << QStringList {u"tetra.uld"_qs};
}

void TestSaverChoice::choosesAmongTheRandomList()
{
    QFETCH(QByteArray, randomList);
    QFETCH(QStringList, shown);
    TestWorld world;
    world.WriteSample();
    world.WriteFile(u"C:\\aquarium\\broken.uld"_qs, "not an aquarium\r\n");
    if (randomList.isEmpty())
        QVERIFY(QFile::remove(world.Host(u"C:\\aquarium\\random.uld"_qs)));
    else
        world.WriteFile(u"C:\\aquarium\\random.uld"_qs, randomList);
    QStringList runs[2];
    for (QStringList& run : runs) {
        const Files files = world.MakeFiles();
        ScriptedPrompts prompts;
        AppState state(files, prompts);
        FormCreate(state, *OpenUserRegistry(world.Prefix()));
        AquariumChoice choice(state, 11);
        for (int i = 0; i < 6; ++i) {
            const QString next = choice.Next();
            QCOMPARE(state.CurrentFile, next); // the state holds what shows
            run << next.section(u'\\', -1);
        }
    }
    QCOMPARE(runs[1], runs[0]); // the same seed, the same choices
    for (const QString& name : runs[0])
        QVERIFY2(shown.contains(name), qPrintable(name));
    // With two to choose from, never the same twice in a row.
    for (qsizetype i = 1; i < runs[0].size() && shown.size() > 1; ++i)
        QVERIFY(runs[0][i] != runs[0][i - 1]);
}

QTEST_MAIN(TestSaverChoice)
#include "tst_saverchoice.moc"
