#include "core/document/fish_character.h"
#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestFishCharacter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheExactText();
    void everyFormatRoundTrips_data();
    void everyFormatRoundTrips();
    void keyedLinesByFormat_data();
    void keyedLinesByFormat();
    void reads_data();
    void reads();
    void notANumberStopsReading();
    void missingOrForeignFileLeavesTheRecord();
};

namespace {

FishCharacter Full()
{
    FishCharacter c;
    c.Format = BmpFormat::VWave2;
    c.AnimationDataNo = 12;
    c.FishDataNo = 3;
    c.StretchDX = 20;
    c.StretchDY = 0;
    c.AnimLoop = true;
    c.QuarterWave = true;
    c.Phase = 15;
    c.WaveLength = 32;
    c.FrontGlass = true;
    c.UpDownLiking = u"上下大好き"_qs;
    c.UpperRange = u"40"_qs;
    c.QuickTurn = true;
    c.Slow = true;
    c.GatherAtAccessory = true;
    c.HomePosition = u"data\\iwa.bmp"_qs;
    c.RestFrequency = u"10"_qs;
    c.TurnFrequency = u"200"_qs;
    c.HorizontalStep = u"6"_qs;
    c.VerticalStep = u"2"_qs;
    c.PreferredLayer = u"底が大好き"_qs;
    c.MaxSpeedMultiple = u"3"_qs;
    c.FoodRange = u"15"_qs;
    c.SchoolingFrequency = u"80"_qs;
    c.SchoolRange = u"4"_qs;
    c.Friendliness = u"恐がり"_qs;
    return c;
}

QString Header()
{
    return u"//\r\nKesso's Screen Saver Ulvaro Character\r\n//\r\n\r\n[BMP DATA FORMAT]\r\n"_qs;
}

FishCharacter Read(const QString& text, FishCharacter c = FishCharacter())
{
    ReadFishCharacter(SplitLines(text, false), c);
    return c;
}

} // namespace

void TestFishCharacter::writesTheExactText()
{
    TestWorld world;
    world.MakeFolder(u"C:\\aq\\data"_qs);
    SaveFishCharacter(world.MakeFiles(), Full(), u"C:\\aq\\data\\neon"_qs);
    const QString expected =
            Header()
            + u"\tBmpDataFormat=V_Wave2\r\n"
              "\tAnimationDataNo=12\r\n"
              "\tFishDataNo=3\r\n"
              "\tStretchDX=20\r\n"
              "\tStretchDY=0\r\n"
              "\tAnimLoop=1\r\n"
              "\tAnimWave1/4=1\r\n"
              "\tPhase=15\r\n"
              "\tWaveLength=32\r\n"
              "DATA END\r\n"
              "\r\n"
              "[MOV EXTRA DATA]\r\n"
              "前面ガラスにへばりつき\r\n"
              "//上下に動くのが好き\r\n"
              "\t上下大好き\r\n"
              "\t上に動く範囲=40\r\n"
              "//方向転換処理をしない\r\n"
              "\tQuick Turn\r\n"
              "//ゆったり泳ぐ\r\n"
              "\tSlow\r\n"
              "\tHomePosition=data\\iwa.bmp\r\n"
              "//静止する頻度(0-100%)\r\n"
              "\t10\r\n"
              "DATA END\r\n"
              "\r\n"
              "[MOV DATA]\r\n"
              "//泳ぐ向きを変える頻度\r\n"
              "\t200\r\n"
              "//泳ぐ早さ　横の移動増分\r\n"
              "\t6\r\n"
              "//泳ぐ早さ　縦の移動増分\r\n"
              "\t2\r\n"
              "//好みの層\r\n"
              "\t底が大好き\r\n"
              "//すいすい泳ぐ時の最大の速さ(倍数)\r\n"
              "\t3\r\n"
              "//餌の食いつく範囲　体長の倍数\r\n"
              "\t15\r\n"
              "//群れやすさ(0-100%)\r\n"
              "\t80\r\n"
              "//群を作る範囲　体長の倍数\r\n"
              "\t4\r\n"
              "//人なつっこさ\r\n"
              "\t恐がり\r\n"_qs;
    const QByteArray bytes = world.ReadFile(u"C:\\aq\\data\\neon.ulc"_qs);
    QCOMPARE(bytes, EncodeShiftJis(expected));
    QVERIFY(bytes.contains(QByteArray::fromHex("8140"))); // full-width spaces, not ASCII
}

void TestFishCharacter::everyFormatRoundTrips_data()
{
    QTest::addColumn<int>("format");
    for (int f = 0; f < kBmpFormatCount; ++f)
        QTest::newRow(qPrintable(BmpFormatName(BmpFormat(f)))) << f;
}

void TestFishCharacter::everyFormatRoundTrips()
{
    QFETCH(int, format);
    TestWorld world;
    world.MakeFolder(u"C:\\f"_qs);
    const Files files = world.MakeFiles();
    FishCharacter c = Full();
    c.Format = BmpFormat(format);
    c.AnimationDataNo = 7;
    SaveFishCharacter(files, c, u"C:\\f\\fish"_qs);
    // Reading into a record of other values: the file must say everything it holds.
    FishCharacter back;
    back.Format = BmpFormat(format == 0 ? 1 : 0);
    LoadFishCharacter(files, u"C:\\F\\FISH"_qs, back);
    FishCharacter expected = c;
    if (format < 2) { // no amplitude or loop lines
        expected.StretchDX = back.StretchDX;
        expected.StretchDY = back.StretchDY;
        expected.AnimLoop = back.AnimLoop;
    }
    if (format < 6) { // no wave lines
        expected.QuarterWave = back.QuarterWave;
        expected.Phase = back.Phase;
        expected.WaveLength = back.WaveLength;
    }
    QCOMPARE(int(back.Format), format);
    QVERIFY(back == expected);
}

void TestFishCharacter::keyedLinesByFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("animationDataNo");
    QTest::addColumn<QStringList>("keyed");
    QTest::newRow("ShadowMapping") << 1 << 2
                                   << QStringList{"\tBmpDataFormat=ShadowMapping",
                                                  "\tAnimationDataNo=2", "\tFishDataNo=3"};
    QTest::newRow("H_Wave") << 6 << 4
                            << QStringList{"\tBmpDataFormat=H_Wave", "\tAnimationDataNo=4",
                                           "\tFishDataNo=3", "\tStretchDX=20", "\tStretchDY=0",
                                           "\tAnimLoop=1", "\tAnimWave1/4=1", "\tPhase=15",
                                           "\tWaveLength=32"};
    QTest::newRow("loop with one frame writes 0")
            << 2 << 1
            << QStringList{"\tBmpDataFormat=Animation", "\tAnimationDataNo=1", "\tFishDataNo=3",
                           "\tStretchDX=20", "\tStretchDY=0", "\tAnimLoop=0"};
}

void TestFishCharacter::keyedLinesByFormat()
{
    QFETCH(int, format);
    QFETCH(int, animationDataNo);
    QFETCH(QStringList, keyed);
    FishCharacter c = Full();
    c.Format = BmpFormat(format);
    c.AnimationDataNo = animationDataNo;
    const QStringList lines = FishCharacterLines(c);
    QCOMPARE(lines.mid(5, keyed.size() + 1), keyed + QStringList{"DATA END"});
}

void TestFishCharacter::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    const QString h = Header();
    QTest::newRow("blanks around the format name")
            << h + u"BmpDataFormat=   X_Stretch  \r\nDATA END\r\n"_qs << u"format"_qs << u"3"_qs;
    QTest::newRow("format name in another case is not known")
            << h + u"BmpDataFormat=x_stretch\r\nDATA END\r\n"_qs << u"format"_qs << u"1"_qs;
    QTest::newRow("key in lower case is not known")
            << h + u"animationdatano=9\r\nDATA END\r\n"_qs << u"frames"_qs << u"2"_qs;
    QTest::newRow("header and DATA END in any case")
            << u"Kesso's Screen Saver Ulvaro Character\r\n  [bmp data format]\r\n"
               "AnimationDataNo=9\r\ndata end\r\n[mov data]\r\n7\r\n"_qs
            << u"frames|turn"_qs << u"9|7"_qs;
    QTest::newRow("AnimationDataNo 100 sets 64")
            << h + u"AnimationDataNo=100\r\nDATA END\r\n"_qs << u"frames"_qs << u"64"_qs;
    QTest::newRow("AnimationDataNo 0 sets 1")
            << h + u"AnimationDataNo=0\r\nDATA END\r\n"_qs << u"frames"_qs << u"1"_qs;
    QTest::newRow("WaveLength 0 sets 1, Phase 99 sets 15")
            << h + u"WaveLength=0\r\nPhase=99\r\nStretchDX=-4\r\nStretchDY=51\r\nDATA END\r\n"_qs
            << u"wave"_qs << u"1|15|0|50"_qs;
    QTest::newRow("FishDataNo not clamped")
            << h + u"FishDataNo= -1\r\nDATA END\r\n"_qs << u"fishdatano"_qs << u"-1"_qs;
    QTest::newRow("loop and quarter from 1 up")
            << h + u"AnimLoop=5\r\nAnimWave1/4=0\r\nDATA END\r\n"_qs << u"flags"_qs << u"1|0"_qs;
    QTest::newRow("up-down liking read back")
            << h + u"DATA END\r\n[MOV EXTRA DATA]\r\n\t上下大好き\r\n\t0\r\nDATA END\r\n"_qs
            << u"updown"_qs << u"上下大好き"_qs;
    QTest::newRow("up-down liking kinds")
            << h + u"DATA END\r\n[MOV EXTRA DATA]\r\n上下大大好き\r\n上下嫌い\r\nDATA END\r\n"_qs
            << u"updown"_qs << u"上下嫌い"_qs;
    QTest::newRow("plain 普通 line becomes the rest frequency")
            << h + u"DATA END\r\n[MOV EXTRA DATA]\r\n\t普通\r\n\t30\r\nDATA END\r\n"_qs
            << u"updown|rest"_qs << u"普通|30"_qs;
    QTest::newRow("upper range takes ten bytes")
            << h + u"DATA END\r\n[MOV EXTRA DATA]\r\n\t上に動く範囲=12345678901234\r\nDATA END\r\n"_qs
            << u"upper"_qs << u"1234567890"_qs;
    QTest::newRow("home position, also empty")
            << h + u"DATA END\r\n[MOV EXTRA DATA]\r\n\tHomePosition=\r\nDATA END\r\n"_qs
            << u"home"_qs << u"on|"_qs;
    QTest::newRow("front glass as the fifth motion value")
            << h + u"DATA END\r\n[MOV DATA]\r\n1\r\n2\r\n3\r\n上が好き\r\n前面ガラスにへばりつき\r\n"
                   "8\r\n9\r\n"_qs
            << u"glass|speed|food"_qs << u"on|8|9"_qs;
    QTest::newRow("comments and blanks between motion values")
            << h + u"DATA END\r\n[MOV DATA]\r\n;a\r\n1\r\n\r\n//x\r\n2\r\n"_qs
            << u"turn|step"_qs << u"1|2"_qs;
    QTest::newRow("text ends inside the motion values")
            << h + u"DATA END\r\n[MOV DATA]\r\n1\r\n"_qs << u"turn|step"_qs << u"1|4"_qs;
    QTest::newRow("value line beginning with [ reads null")
            << h + u"DATA END\r\n[MOV DATA]\r\n[x]\r\n"_qs << u"turn"_qs << u"null"_qs;
    QTest::newRow("section without DATA END runs on")
            << h + u"AnimationDataNo=5\r\n[MOV EXTRA DATA]\r\nSlow\r\nDATA END\r\n"_qs
            << u"frames|slow"_qs << u"5|off"_qs;
    QTest::newRow("an aquarium file is not read")
            << u"Kesso's Screen Saver Ulvaro\r\n[BMP DATA FORMAT]\r\nAnimationDataNo=9\r\n"_qs
            << u"frames"_qs << u"2"_qs;
}

void TestFishCharacter::reads()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(QString, value);
    const FishCharacter c = Read(text);
    QStringList got;
    for (const QString& f : field.split(u'|')) {
        if (f == u"format") got << QString::number(int(c.Format));
        if (f == u"frames") got << QString::number(c.AnimationDataNo);
        if (f == u"fishdatano") got << QString::number(c.FishDataNo);
        if (f == u"wave")
            got << QString::number(c.WaveLength) << QString::number(c.Phase)
                << QString::number(c.StretchDX) << QString::number(c.StretchDY);
        if (f == u"flags") got << QString::number(c.AnimLoop) << QString::number(c.QuarterWave);
        if (f == u"updown") got << c.UpDownLiking;
        if (f == u"rest") got << c.RestFrequency;
        if (f == u"upper") got << c.UpperRange;
        if (f == u"home") got << (c.GatherAtAccessory ? u"on"_qs : u"off"_qs) << c.HomePosition;
        if (f == u"glass") got << (c.FrontGlass ? u"on"_qs : u"off"_qs);
        if (f == u"speed") got << c.MaxSpeedMultiple;
        if (f == u"food") got << c.FoodRange;
        if (f == u"turn") got << c.TurnFrequency;
        if (f == u"step") got << c.HorizontalStep;
        if (f == u"slow") got << (c.Slow ? u"on"_qs : u"off"_qs);
    }
    QCOMPARE(got.join(u'|'), value);
}

void TestFishCharacter::notANumberStopsReading()
{
    FishCharacter c;
    try {
        ReadFishCharacter(SplitLines(Header() + u"AnimationDataNo=9\r\nStretchDX=wide\r\n"
                                                "StretchDY=30\r\nDATA END\r\n[MOV DATA]\r\n1\r\n"_qs,
                                     false),
                          c);
        QFAIL("no error");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), u"'wide' は数値ではありません"_qs);
    }
    QCOMPARE(c.AnimationDataNo, 9);  // read before the line
    QCOMPARE(c.StretchDY, 5);        // after it: unchanged
    QCOMPARE(c.TurnFrequency, u"150"_qs);
}

void TestFishCharacter::missingOrForeignFileLeavesTheRecord()
{
    TestWorld world;
    world.WriteFile(u"C:\\f\\foreign.ulc"_qs, "hello\r\n[BMP DATA FORMAT]\r\nFishDataNo=4\r\n");
    const Files files = world.MakeFiles();
    FishCharacter c = Full();
    LoadFishCharacter(files, u"C:\\f\\missing"_qs, c);
    QVERIFY(c == Full());
    LoadFishCharacter(files, u"C:\\f\\foreign"_qs, c);
    QVERIFY(c == Full());
}

QTEST_GUILESS_MAIN(TestFishCharacter)
#include "tst_fishcharacter.moc"
