#include "core/document/aquarium_file.h"
#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

Q_DECLARE_METATYPE(ReadOutcome)

class TestAquariumFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheExactText();
    void optionLines_data();
    void optionLines();
    void compaction();
    void noAccessoryWritesEmptySections();
    void intermittentSound();
    void backgroundPictureIsMadeRelative();
    void roundTrip();
    void reads_data();
    void reads();
    void accessoryLines_data();
    void accessoryLines();
    void malformed_data();
    void malformed();
    void conversionErrors_data();
    void conversionErrors();
};

namespace {

Aquarium SampleDocument()
{
    Aquarium doc;
    doc.DataFolder = u"C:\\aq\\"_qs;
    doc.DataSubFolder = u"data\\"_qs;
    doc.Fish[0] = {u"data\\neon"_qs, u"2"_qs, u"5"_qs};
    doc.Fish[2] = {u"data\\グッピー"_qs, u"x"_qs, u"03"_qs};
    doc.SandName = u"data\\底砂"_qs;
    doc.BubbleName = u"data\\bubble"_qs;
    doc.FoodName = u"null"_qs;
    doc.SoundName = u"data\\boo-n"_qs;
    doc.ObjectBmpTable[0].BmpName = u"data\\kusa"_qs;
    doc.ObjectBmpTable[1].BmpName = u"data\\iwa"_qs;
    doc.LastObjectBmp = 1;
    doc.ObjectTable[0] = {0, 4, 2, 7, 1, 0};
    doc.ObjectTable[1] = {1, 0, 0, 0, 0, 1};
    doc.ObjectTable[2] = {0, 2, 1, 19, 1, 1};
    doc.LastObject = 2;
    return doc;
}

QByteArray Bytes(const QStringList& lines)
{
    return JoinLinesCrLf(lines);
}

QStringList LinesOf(const QString& text)
{
    return SplitLines(text, false);
}

} // namespace

void TestAquariumFile::writesTheExactText()
{
    TestWorld world;
    world.MakeFolder(u"C:\\aq"_qs);
    Aquarium doc = SampleDocument();
    SaveAquariumFile(world.MakeFiles(), doc, u"C:\\aq\\tetra.uld"_qs);
    const QString expected =
            u"//\r\n"
            "Kesso's Screen Saver Ulvaro\r\n"
            "//\r\n"
            "\r\n"
            "//Ulvaro Data\r\n"
            "[Option]\r\n"
            "\tPosOfAiration  =\t右\r\n"
            "\r\n"
            "[Fish]\r\n"
            "\tdata\\neon,\t1,\t2,\t5\r\n"
            "\tdata\\グッピー,\t1,\t1,\t3\r\n"
            "DATA END\r\n"
            "\r\n"
            "//底砂データ\r\n"
            "[Bottom]\r\n"
            "\tdata\\底砂\r\n"
            "\r\n"
            "//泡画像データ\r\n"
            "[Bubble]\r\n"
            "\tdata\\bubble\r\n"
            "\r\n"
            "//餌画像データ\r\n"
            "[Food]\r\n"
            "\tnull\r\n"
            "\r\n"
            "//効果音データ\r\n"
            "[Sound]\r\n"
            "\tdata\\boo-n\r\n"
            "\r\n"
            "// アクセサリの画像データ\r\n"
            "[ObjectBMP]\r\n"
            "\tdata\\kusa\r\n"
            "\tdata\\iwa\r\n"
            "DATA END\r\n"
            "\r\n"
            "// アクセサリのデータ\r\n"
            "[Object]\r\n"
            "\t0,\tfront,\tbottom,\t7,\tmove\r\n"
            "\t1,\tback,\ttop,\t0,\tstretch\r\n"
            "\t0,\tmiddle,\tmiddle,\t19,\tmove&stretch\r\n"
            "DATA END\r\n"
            "\r\n"
            "// END\r\n"_qs;
    QCOMPARE(world.ReadFile(u"C:\\aq\\tetra.uld"_qs), EncodeShiftJis(expected));
}

void TestAquariumFile::optionLines_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QStringList>("options"); // the lines between [Option] and the empty line
    QTest::newRow("only the aeration line") << 0 << QStringList{"\tPosOfAiration  =\t右"};
    QTest::newRow("fixed counts: 3 + abc + 2") << 1
                                              << QStringList{"\tNumberOfFishes =\t6",
                                                             "\tPosOfAiration  =\t右"};
    QTest::newRow("centre") << 2 << QStringList{"\tPosOfAiration  =\t中央"};
    QTest::newRow("left") << 3 << QStringList{"\tPosOfAiration  =\t左"};
    QTest::newRow("all") << 4 << QStringList{"\tPosOfAiration  =\tALL"};
    QTest::newRow("colour background") << 5 << QStringList{"\tPosOfAiration  =\t右",
                                                           "\tBitmapFile     =\t0080FF"};
    QTest::newRow("colour digits without colour fill") << 6
                                                       << QStringList{"\tPosOfAiration  =\t右"};
    QTest::newRow("type 1") << 7 << QStringList{"\tPosOfAiration  =\t右", "\tAquariumType   =\t1"};
    QTest::newRow("type 2") << 8 << QStringList{"\tPosOfAiration  =\t右", "\tAquariumType   =\t2"};
    QTest::newRow("other type written 3") << 9
                                          << QStringList{"\tPosOfAiration  =\t右",
                                                         "\tAquariumType   =\t3"};
}

void TestAquariumFile::optionLines()
{
    QFETCH(int, change);
    QFETCH(QStringList, options);
    TestWorld world;
    Aquarium doc = SampleDocument();
    doc.Fish[0].FishAmount = u"3"_qs;
    doc.Fish[2].FishAmount = u"abc"_qs;
    doc.Fish[4] = {u"data\\tetra"_qs, u"1"_qs, u"2"_qs};
    doc.Fish[5].FishAmount = u"100"_qs; // an unused slot does not count
    switch (change) {
    case 1: doc.FishCountsFixed = true; break;
    case 2: doc.Aeration = AerationPosition::Centre; break;
    case 3: doc.Aeration = AerationPosition::Left; break;
    case 4: doc.Aeration = AerationPosition::All; break;
    case 5:
        doc.BackgroundColourFill = true;
        doc.BackgroundSource = u"0080FF"_qs;
        break;
    case 6: doc.BackgroundSource = u"0080FF"_qs; break;
    case 7: doc.AquariumType = 1; break;
    case 8: doc.AquariumType = 2; break;
    case 9: doc.AquariumType = 7; break;
    }
    const QStringList lines = AquariumFileLines(world.MakeFiles(), doc);
    const qsizetype option = lines.indexOf(u"[Option]"_qs);
    QCOMPARE(lines.mid(option + 1, options.size() + 1), options + QStringList{QString()});
}

void TestAquariumFile::compaction()
{
    TestWorld world;
    Aquarium doc = SampleDocument();
    doc.ObjectBmpTable[2].BmpName = u"data\\sango"_qs;
    doc.LastObjectBmp = 2;
    doc.ObjectTable[0].BmpIndex = 2;
    doc.ObjectTable[1].BmpIndex = 2;
    doc.LastObject = 1;
    const QStringList lines = AquariumFileLines(world.MakeFiles(), doc);
    const qsizetype bmp = lines.indexOf(u"[ObjectBMP]"_qs);
    QCOMPARE(lines.mid(bmp + 1, 2), (QStringList{"\tdata\\sango", "DATA END"}));
    const qsizetype object = lines.indexOf(u"[Object]"_qs);
    QVERIFY(lines[object + 1].startsWith(u"\t0,"_qs));
    QVERIFY(lines[object + 2].startsWith(u"\t0,"_qs));
    QCOMPARE(doc.ObjectBmpTable[0].BmpName, QString());
    QCOMPARE(doc.ObjectBmpTable[1].BmpName, QString());
    QCOMPARE(doc.ObjectBmpTable[2].BmpName, u"data\\sango"_qs);
    QCOMPARE(doc.LastObjectBmp, 2);

    // Entries 0 and 2 used: the accessory of entry 2 writes 1.
    Aquarium two = SampleDocument();
    two.ObjectBmpTable[2].BmpName = u"data\\sango"_qs;
    two.LastObjectBmp = 2;
    two.ObjectTable[1].BmpIndex = 2;
    const QStringList written = AquariumFileLines(world.MakeFiles(), two);
    const qsizetype at = written.indexOf(u"[Object]"_qs);
    QCOMPARE(written.mid(at + 1, 3),
             (QStringList{"\t0,\tfront,\tbottom,\t7,\tmove", "\t1,\tback,\ttop,\t0,\tstretch",
                          "\t0,\tmiddle,\tmiddle,\t19,\tmove&stretch"}));
}

void TestAquariumFile::noAccessoryWritesEmptySections()
{
    TestWorld world;
    Aquarium doc = SampleDocument();
    doc.LastObject = -1;
    const QStringList lines = AquariumFileLines(world.MakeFiles(), doc);
    const qsizetype bmp = lines.indexOf(u"[ObjectBMP]"_qs);
    QCOMPARE(lines[bmp + 1], u"DATA END"_qs);
    QCOMPARE(lines[lines.indexOf(u"[Object]"_qs) + 1], u"DATA END"_qs);
    for (const ObjectBmp& entry : doc.ObjectBmpTable)
        QVERIFY(entry.BmpName.isEmpty());
}

void TestAquariumFile::intermittentSound()
{
    TestWorld world;
    Aquarium doc = SampleDocument();
    doc.IntermittentSound = true;
    doc.IntermittentStep = 600;
    QStringList lines = AquariumFileLines(world.MakeFiles(), doc);
    qsizetype sound = lines.indexOf(u"[Sound]"_qs);
    QCOMPARE(lines.mid(sound + 1, 6), (QStringList{"\tnull", "", "[Sound2]", "\tdata\\boo-n",
                                                   "\tIntermittent,\t120000", ""}));
    doc.IntermittentStep = 20;
    lines = AquariumFileLines(world.MakeFiles(), doc);
    QVERIFY(lines.contains(u"\tIntermittent,\t4000"_qs));
}

void TestAquariumFile::backgroundPictureIsMadeRelative()
{
    TestWorld world;
    world.WritePicture(u"C:\\aq\\back\\sea.bmp"_qs, SolidPicture(4, 4, 0xFF0000));
    world.WritePicture(u"C:\\other\\sky.bmp"_qs, SolidPicture(4, 4, 0xFF0000));
    const Files files = world.MakeFiles();
    Aquarium doc = SampleDocument();
    doc.BackgroundSource = u"C:\\AQ\\back\\sea.bmp"_qs;
    doc.BackgroundTiling = true;
    QStringList lines = AquariumFileLines(files, doc);
    QVERIFY(lines.contains(u"\tBitmapFile     =\tback\\sea.bmp,\ttiling"_qs));
    QCOMPARE(doc.BackgroundSource, u"back\\sea.bmp"_qs);
    // The relative name is found in DataFolder at the next save, wherever the process is.
    doc.BackgroundTiling = false;
    lines = AquariumFileLines(files, doc);
    QVERIFY(lines.contains(u"\tBitmapFile     =\tback\\sea.bmp,\tstretch"_qs));
    // A picture outside DataFolder keeps its full path.
    doc.BackgroundSource = u"C:\\other\\sky.bmp"_qs;
    lines = AquariumFileLines(files, doc);
    QVERIFY(lines.contains(u"\tBitmapFile     =\tC:\\other\\sky.bmp,\tstretch"_qs));
    // A missing picture is not written.
    doc.BackgroundSource = u"C:\\aq\\gone.bmp"_qs;
    lines = AquariumFileLines(files, doc);
    QVERIFY(!lines.join(u'\n').contains(u"BitmapFile"_qs));
}

void TestAquariumFile::roundTrip()
{
    TestWorld world;
    world.WritePicture(u"C:\\aq\\back\\sea.bmp"_qs, SolidPicture(4, 4, 0xFF0000));
    const Files files = world.MakeFiles();
    Aquarium doc = SampleDocument();
    doc.Fish[0] = FishSlot();
    doc.Fish[3] = {u"data\\neon"_qs, u"3"_qs, u"4"_qs}; // only slots 3 and 4 used
    doc.FishCountsFixed = true;
    doc.Aeration = AerationPosition::Left;
    doc.AquariumType = 2;
    doc.BackgroundSource = u"C:\\aq\\back\\sea.bmp"_qs;
    doc.BackgroundTiling = true;
    doc.IntermittentSound = true;
    doc.IntermittentStep = 37;
    doc.ObjectBmpTable[2].BmpName = u"data\\unused"_qs;
    doc.LastObjectBmp = 2;
    const QStringList lines = AquariumFileLines(files, doc);

    Aquarium back;
    back.DataFolder = u"C:\\aq\\"_qs;
    ResetForLoad(back);
    QCOMPARE(ReadAquariumLines(lines, back), ReadOutcome::Read);
    QCOMPARE(back.Fish[0].CharacterName, u"data\\グッピー"_qs); // packed from slot 1
    QCOMPARE(back.Fish[0].FishDataNo, u"1"_qs);
    QCOMPARE(back.Fish[0].FishAmount, u"3"_qs);
    QCOMPARE(back.Fish[1].CharacterName, u"data\\neon"_qs);
    QCOMPARE(back.Fish[1].FishDataNo, u"3"_qs);
    QCOMPARE(back.Fish[1].FishAmount, u"4"_qs);
    QCOMPARE(back.Fish[2].CharacterName, QString());
    QCOMPARE(back.FishCountsFixed, true);
    QCOMPARE(back.Aeration, AerationPosition::Left);
    QCOMPARE(back.AquariumType, 2);
    QCOMPARE(back.BackgroundSource, u"c:\\aq\\back\\sea.bmp"_qs); // absolute and lower-cased
    QCOMPARE(back.BackgroundTiling, true);
    QCOMPARE(back.SandName, doc.SandName);
    QCOMPARE(back.DataSubFolder, u"data\\"_qs);
    QCOMPARE(back.BubbleName, doc.BubbleName);
    QCOMPARE(back.FoodName, doc.FoodName);
    QCOMPARE(back.SoundName, doc.SoundName);
    QCOMPARE(back.IntermittentSound, true);
    QCOMPARE(back.IntermittentStep, 37);
    QCOMPARE(back.LastObjectBmp, 1); // the unused name is gone
    QCOMPARE(back.ObjectBmpTable[0].BmpName, u"data\\kusa"_qs);
    QCOMPARE(back.ObjectBmpTable[1].BmpName, u"data\\iwa"_qs);
    QCOMPARE(back.LastObject, doc.LastObject);
    for (int i = 0; i <= doc.LastObject; ++i) {
        const PlacedObject& a = doc.ObjectTable[size_t(i)];
        const PlacedObject& b = back.ObjectTable[size_t(i)];
        QCOMPARE(b.BmpIndex, a.BmpIndex);
        QCOMPARE(b.Layer, a.Layer);
        QCOMPARE(b.VerticalAnchor, a.VerticalAnchor);
        QCOMPARE(b.XPosition, a.XPosition);
        QCOMPARE(b.Sway, a.Sway);
        QCOMPARE(b.Spread, a.Spread);
    }
    // Writing what was read gives the same text again.
    back.BackgroundSource = u"c:\\aq\\back\\sea.bmp"_qs;
    QCOMPARE(Bytes(AquariumFileLines(files, back)), Bytes(AquariumFileLines(files, doc)));
}

namespace {

const QString kMinimal = u"Kesso's Screen Saver Ulvaro\r\n"
                         "[Fish]\r\n\tdata\\neon,\t1,\t2,\t5\r\nDATA END\r\n"
                         "[Bottom]\r\n\tdata\\sand\r\n[Bubble]\r\n\tdata\\bubble\r\n"
                         "[Sound]\r\n\tdata\\boo-n\r\n"
                         "[ObjectBMP]\r\n\tdata\\kusa\r\nDATA END\r\n"
                         "[Object]\r\n\t0,\tfront,\tbottom,\t7\r\nDATA END\r\n"_qs;

} // namespace

void TestAquariumFile::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QString t = kMinimal;
    QTest::newRow("minimal fish") << t << u"fish1"_qs << u"data\\neon|2|5"_qs;
    QTest::newRow("no option: right, aquarium mode") << t << u"options"_qs << u"right|0|off"_qs;
    QTest::newRow("food kept when absent") << t << u"food"_qs << u"keep\\esa"_qs;
    QTest::newRow("headers in any case")
            << QString(t).replace(u"[Fish]"_qs, u"[fISh]"_qs).replace(u"[Bottom]"_qs, u" [BOTTOM] "_qs)
            << u"fish1"_qs << u"data\\neon|2|5"_qs;
    QTest::newRow("comments anywhere")
            << QString(t)
                       .replace(u"[Bottom]\r\n"_qs, u"[Bottom]\r\n; a remark\r\n/\r\n//x\r\n\t \r\n"_qs)
                       .replace(u"[Fish]\r\n"_qs, u"[Fish]\r\n;c\r\n"_qs)
            << u"sand"_qs << u"data\\sand|data\\"_qs;
    QTest::newRow("lone tab as the sand value")
            << QString(t).replace(u"\tdata\\sand\r\n"_qs, u"\t\r\n"_qs) << u"sand"_qs
            << u"null|data\\"_qs;
    QTest::newRow("sand with extension and sub-folder")
            << QString(t).replace(u"\tdata\\sand\r\n"_qs, u"\tpics\\suna.bmp\r\n"_qs) << u"sand"_qs
            << u"pics\\suna|pics\\"_qs;
    QTest::newRow("three-field fish line ends the section")
            << QString(t).replace(u"\tdata\\neon,\t1,\t2,\t5\r\n"_qs,
                                  u"\tdata\\neon,\t1,\t2\r\n\tdata\\more,\t1,\t1,\t1\r\n"_qs)
            << u"fish1"_qs << u"data\\neon|2|1"_qs;
    QTest::newRow("three-field line: later lines not read")
            << QString(t).replace(u"\tdata\\neon,\t1,\t2,\t5\r\n"_qs,
                                  u"\tdata\\neon,\t1,\t2\r\n\tdata\\more,\t1,\t1,\t1\r\n"_qs)
            << u"fish2"_qs << u"|1|1"_qs;
    QTest::newRow("fish name with extension")
            << QString(t).replace(u"data\\neon,"_qs, u"data\\Neon.Fish.ulc ,"_qs) << u"fish1"_qs
            << u"data\\Neon.Fish|2|5"_qs;
    QTest::newRow("seven fish: the seventh is ignored")
            << QString(t).replace(u"\tdata\\neon,\t1,\t2,\t5\r\n"_qs,
                                  u"\tdata\\neon,\t1,\t2,\t5\r\n"_qs.repeated(6)
                                          + u"\tdata\\seven,\t1,\t7,\t7\r\n"_qs)
            << u"fish6"_qs << u"data\\neon|2|5"_qs;
    const QString option = u"[Fish]"_qs;
    QTest::newRow("colour background")
            << QString(t).replace(option, u"[OPTION]\r\n\tBitmapFile = 0080FF\r\n[Fish]"_qs)
            << u"background"_qs << u"0080FF|fill|255,128,0"_qs;
    QTest::newRow("picture background, tiling")
            << QString(t).replace(option,
                                  u"[Option]\r\n\tBitmapFile = back\\Sea.bmp, tiling\r\n[Fish]"_qs)
            << u"background"_qs << u"c:\\aq\\back\\sea.bmp|tiling"_qs;
    QTest::newRow("picture background with drive")
            << QString(t).replace(option, u"[Option]\r\n\tBitmapFile=D:\\Pic\\A.BMP,stretch\r\n[Fish]"_qs)
            << u"background"_qs << u"d:\\pic\\a.bmp|stretch"_qs;
    QTest::newRow("aeration words")
            << QString(t).replace(option, u"[Option]\r\n\tposofairation = 中央\r\n[Fish]"_qs)
            << u"options"_qs << u"centre|0|off"_qs;
    QTest::newRow("aeration ALL first")
            << QString(t).replace(option, u"[Option]\r\n\tPosOfAiration = left all\r\n[Fish]"_qs)
            << u"options"_qs << u"all|0|off"_qs;
    QTest::newRow("aeration CENTER")
            << QString(t).replace(option, u"[Option]\r\n\tPosOfAiration=center\r\n[Fish]"_qs)
            << u"options"_qs << u"centre|0|off"_qs;
    QTest::newRow("fish count and type")
            << QString(t).replace(option, u"[Option]\r\n\tNumberOfFishes = 12\r\n"
                                          "\tAquariumType = 3\r\n\tUnknown = 1\r\n[Fish]"_qs)
            << u"options"_qs << u"right|3|on"_qs;
    QTest::newRow("type out of range leaves aquarium mode")
            << QString(t).replace(option, u"[Option]\r\n\tAquariumType = 9\r\n[Fish]"_qs)
            << u"options"_qs << u"right|0|off"_qs;
    QTest::newRow("option section last in the file")
            << u"Kesso's Screen Saver Ulvaro\r\n[Option]\r\n\tAquariumType = 1\r\n"_qs
            << u"outcome"_qs << u"malformed"_qs;
    QTest::newRow("intermittent 4000")
            << QString(t).replace(u"[ObjectBMP]"_qs,
                                  u"[Sound2]\r\n\tdata\\pi\r\n\tIntermittent,\t4000\r\n[ObjectBMP]"_qs)
            << u"sound"_qs << u"data\\pi|on|20"_qs;
    QTest::newRow("intermittent 100 is the lower limit")
            << QString(t).replace(u"[ObjectBMP]"_qs,
                                  u"[SOUND2]\r\n\tdata\\pi.wav\r\n\tINTERMITTENT, 100\r\n[ObjectBMP]"_qs)
            << u"sound"_qs << u"data\\pi|on|1"_qs;
    QTest::newRow("intermittent 200000 is the upper limit")
            << QString(t).replace(u"[ObjectBMP]"_qs,
                                  u"[Sound2]\r\n\tdata\\pi\r\n\tintermittent,200000\r\n[ObjectBMP]"_qs)
            << u"sound"_qs << u"data\\pi|on|600"_qs;
    QTest::newRow("sound2 without intermittent line")
            << QString(t).replace(u"[ObjectBMP]"_qs, u"[Sound2]\r\n\tdata\\pi\r\n[ObjectBMP]"_qs)
            << u"sound"_qs << u"data\\pi|off|20"_qs;
    QTest::newRow("food read")
            << QString(t).replace(u"[Sound]"_qs, u"[Food]\r\n\tdata\\esa2.bmp\r\n[Sound]"_qs)
            << u"food"_qs << u"data\\esa2"_qs;
    QTest::newRow("lower-case DATA END ends [Object]")
            << QString(t).replace(u"\t0,\tfront,\tbottom,\t7\r\nDATA END"_qs,
                                  u"\t0,\tfront,\tbottom,\t7\r\ndata end"_qs)
            << u"objects"_qs << u"0"_qs;
    QTest::newRow("lower-case data end does not end [Fish]")
            << QString(t).replace(u"5\r\nDATA END"_qs, u"5\r\ndata end\r\nDATA END"_qs)
            << u"outcome"_qs << u"malformed"_qs;
    QTest::newRow("lower-case data end does not end [ObjectBMP]")
            << QString(t).replace(u"kusa\r\nDATA END"_qs, u"kusa\r\ndata end\r\nDATA END"_qs)
            << u"bitmaps"_qs << u"data\\kusa|data end"_qs;
    QTest::newRow("foreign first line") << QString(t).replace(u"Ulvaro\r\n"_qs, u"Ulvaro!\r\n"_qs)
                                        << u"outcome"_qs << u"foreign"_qs;
    QTest::newRow("magic after comments") << u"// x\r\n\r\n"_qs + t << u"outcome"_qs << u"read"_qs;
    QTest::newRow("magic case counts") << QString(t).replace(u"Kesso's"_qs, u"KESSO'S"_qs)
                                       << u"outcome"_qs << u"foreign"_qs;
    QTest::newRow("empty file") << QString() << u"outcome"_qs << u"foreign"_qs;
}

void TestAquariumFile::reads()
{
    QFETCH(QString, text);
    QFETCH(QString, item);
    QFETCH(QString, value);
    Aquarium doc;
    doc.DataFolder = u"C:\\aq\\"_qs;
    doc.FoodName = u"keep\\esa"_qs;
    ResetForLoad(doc);
    const ReadOutcome outcome = ReadAquariumLines(LinesOf(text), doc);
    QString got;
    if (item == u"outcome") {
        got = outcome == ReadOutcome::Read ? u"read"_qs
              : outcome == ReadOutcome::Foreign ? u"foreign"_qs
                                                : u"malformed"_qs;
    } else {
        QCOMPARE(outcome, ReadOutcome::Read);
    }
    auto fish = [&](int i) {
        const FishSlot& s = doc.Fish[size_t(i)];
        return QStringList{s.CharacterName, s.FishDataNo, s.FishAmount}.join(u'|');
    };
    if (item.startsWith(u"fish"))
        got = fish(item.mid(4).toInt() - 1);
    if (item == u"options")
        got = QStringList{QStringList{"right", "centre", "left", "all"}[int(doc.Aeration)],
                          QString::number(doc.AquariumType), doc.FishCountsFixed ? "on" : "off"}
                      .join(u'|');
    if (item == u"food")
        got = doc.FoodName;
    if (item == u"sand")
        got = doc.SandName + u'|' + doc.DataSubFolder;
    if (item == u"background") {
        got = doc.BackgroundSource + u'|';
        if (doc.BackgroundColourFill)
            got += u"fill|"_qs + QStringLiteral("%1,%2,%3").arg(doc.BackgroundRed)
                                         .arg(doc.BackgroundGreen)
                                         .arg(doc.BackgroundBlue);
        else
            got += doc.BackgroundTiling ? u"tiling"_qs : u"stretch"_qs;
    }
    if (item == u"sound")
        got = doc.SoundName + u'|' + (doc.IntermittentSound ? "on" : "off") + u'|'
              + QString::number(doc.IntermittentStep);
    if (item == u"objects")
        got = QString::number(doc.LastObject);
    if (item == u"bitmaps") {
        QStringList names;
        for (int i = 0; i <= doc.LastObjectBmp; ++i)
            names << doc.ObjectBmpTable[size_t(i)].BmpName;
        got = names.join(u'|');
    }
    QCOMPARE(got, value);
}

void TestAquariumFile::accessoryLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("fields"); // BmpIndex, Layer, Anchor, X, Sway, Spread
    QTest::newRow("mixed case, clamped") << u"1, Front , TOP, 25, move&stretch"_qs
                                         << QList<int>{1, 4, 0, 19, 1, 1};
    QTest::newRow("negative x, no motion") << u"0, back, bottom, -3"_qs
                                           << QList<int>{0, 0, 2, 0, 0, 0};
    QTest::newRow("middle, middle, move") << u"\t1,\tmiddle,\tmiddle,\t5,\tMove"_qs
                                          << QList<int>{1, 2, 1, 5, 1, 0};
    QTest::newRow("stretch") << u"0,front,x,3,stretch"_qs << QList<int>{0, 4, 2, 3, 0, 1};
    QTest::newRow("unknown kind") << u"0,front,top,3,swim"_qs << QList<int>{0, 4, 0, 3, 0, 0};
    QTest::newRow("index not a number counts 0") << u"x,front,top,3"_qs
                                                 << QList<int>{0, 4, 0, 3, 0, 0};
    QTest::newRow("position not a number counts 0") << u"1,front,top,abc,move"_qs
                                                    << QList<int>{1, 4, 0, 0, 1, 0};
    QTest::newRow("empty position") << u"1,front,top,"_qs << QList<int>{1, 4, 0, 0, 0, 0};
}

void TestAquariumFile::accessoryLines()
{
    QFETCH(QString, line);
    QFETCH(QList<int>, fields);
    QString text = kMinimal;
    text.replace(u"\tdata\\kusa\r\n"_qs, u"\tdata\\kusa\r\n\tdata\\iwa\r\n"_qs);
    text.replace(u"\t0,\tfront,\tbottom,\t7\r\n"_qs, line + u"\r\n"_qs);
    Aquarium doc;
    ResetForLoad(doc);
    QCOMPARE(ReadAquariumLines(LinesOf(text), doc), ReadOutcome::Read);
    QCOMPARE(doc.LastObject, 0);
    const PlacedObject& o = doc.ObjectTable[0];
    QCOMPARE((QList<int>{o.BmpIndex, o.Layer, o.VerticalAnchor, o.XPosition, o.Sway, o.Spread}),
             fields);
}

void TestAquariumFile::malformed_data()
{
    QTest::addColumn<QString>("text");
    const QString t = kMinimal;
    QTest::newRow("no [Fish]") << QString(t).replace(u"[Fish]"_qs, u"[Fishes]"_qs);
    QTest::newRow("no [Bottom]") << QString(t).replace(u"[Bottom]"_qs, u"[Sand]"_qs);
    QTest::newRow("no [Bubble]") << QString(t).replace(u"[Bubble]"_qs, u"[Bubbles]"_qs);
    QTest::newRow("no [Sound]") << QString(t).replace(u"[Sound]"_qs, u"[Sounds]"_qs);
    QTest::newRow("no [ObjectBMP]") << QString(t).replace(u"[ObjectBMP]"_qs, u"[Bmp]"_qs);
    QTest::newRow("no [Object]") << QString(t).replace(u"[Object]\r\n"_qs, u""_qs);
    QTest::newRow("sections out of order")
            << QString(t).replace(u"[Bubble]\r\n\tdata\\bubble\r\n"_qs, QString())
                       .replace(u"[Fish]"_qs, u"[Bubble]\r\n\tdata\\bubble\r\n[Fish]"_qs);
    QTest::newRow("[Fish] without DATA END")
            << u"Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\neon,\t1,\t2,\t5\r\n"_qs;
    QTest::newRow("[ObjectBMP] without DATA END")
            << QString(t).left(t.indexOf(u"DATA END\r\n[Object]"_qs));
    QTest::newRow("[Object] without DATA END") << QString(t).chopped(10);
    QTest::newRow("fish line with one comma") << QString(t).replace(u",\t2,\t5"_qs, QString());
    QTest::newRow("fish name without backslash")
            << QString(t).replace(u"data\\neon"_qs, u"neon"_qs);
    QTest::newRow("accessory line with two commas")
            << QString(t).replace(u"\t0,\tfront,\tbottom,\t7"_qs, u"0,front,bottom"_qs);
    QTest::newRow("BmpIndex beyond the names")
            << QString(t).replace(u"\t0,\tfront"_qs, u"\t1,\tfront"_qs);
    QTest::newRow("negative BmpIndex") << QString(t).replace(u"\t0,\tfront"_qs, u"\t-1,\tfront"_qs);
    QTest::newRow("21 bitmap names")
            << QString(t).replace(u"\tdata\\kusa\r\n"_qs, u"\tdata\\kusa\r\n"_qs.repeated(21));
    QTest::newRow("21 accessory lines")
            << QString(t).replace(u"\t0,\tfront,\tbottom,\t7\r\n"_qs,
                                  u"\t0,\tfront,\tbottom,\t7\r\n"_qs.repeated(21));
    QTest::newRow("only the magic line") << u"Kesso's Screen Saver Ulvaro"_qs;
}

void TestAquariumFile::malformed()
{
    QFETCH(QString, text);
    Aquarium doc;
    ResetForLoad(doc);
    QCOMPARE(ReadAquariumLines(LinesOf(text), doc), ReadOutcome::Malformed);
}

void TestAquariumFile::conversionErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString t = kMinimal;
    QTest::newRow("aquarium type")
            << QString(t).replace(u"[Fish]"_qs, u"[Option]\r\n\tAquariumType = two\r\n[Fish]"_qs)
            << u"'two' は数値ではありません"_qs;
    QTest::newRow("colour")
            << QString(t).replace(u"[Fish]"_qs, u"[Option]\r\n\tBitmapFile = blue\r\n[Fish]"_qs)
            << u"'blue' は数値ではありません"_qs;
    QTest::newRow("interval")
            << QString(t).replace(u"[ObjectBMP]"_qs,
                                  u"[Sound2]\r\n\tdata\\pi\r\n\tIntermittent, often\r\n[ObjectBMP]"_qs)
            << u"'often' は数値ではありません"_qs;
}

void TestAquariumFile::conversionErrors()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    Aquarium doc;
    ResetForLoad(doc);
    try {
        (void)ReadAquariumLines(LinesOf(text), doc);
        QFAIL("no error");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), message);
    }
}

QTEST_GUILESS_MAIN(TestAquariumFile)
#include "tst_aquariumfile.moc"
