#include "support/test_world.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dumpPrintsTheStartUpState();
    void dumpReportsMessages();
    void dumpScreenOption();
    void usageErrors_data();
    void usageErrors();
    void help();

private:
    struct Result
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
        QJsonObject json;
    };
    Result Run(const TestWorld& world, const QString& windowsFolder, const QStringList& args);
};

TestTool::Result TestTool::Run(const TestWorld& world, const QString& windowsFolder,
                               const QStringList& args)
{
    QProcess process;
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
}

void TestTool::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"frobnicate"};
    QTest::newRow("bad screen") << QStringList{"dump", "--screen", "big"};
    QTest::newRow("screen without size") << QStringList{"dump", "--screen"};
    QTest::newRow("unknown option") << QStringList{"dump", "--fast"};
}

void TestTool::usageErrors()
{
    QFETCH(QStringList, args);
    TestWorld world;
    const Result r = Run(world, u"C:\\work"_qs, args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.contains("aquarium-tool"));
}

void TestTool::help()
{
    TestWorld world;
    const Result r = Run(world, u"C:\\work"_qs, {u"--help"_qs});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("dump"));
    QVERIFY(r.out.contains("Exit status"));
}

QTEST_GUILESS_MAIN(TestTool)
#include "tst_tool.moc"
