#include "core/document/aquarium.h"
#include "core/document/line_scan.h"

#include <QTest>

using namespace aquarium;

class TestLineScan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trimAndUpperCase();
    void nextDataLine_data();
    void nextDataLine();
    void findSection_data();
    void findSection();
    void lineValue_data();
    void lineValue();
    void stripExtension_data();
    void stripExtension();
    void folderOfPath_data();
    void folderOfPath();
    void numberOrOne_data();
    void numberOrOne();
    void colourDigits();
};

void TestLineScan::trimAndUpperCase()
{
    QCOMPARE(Trim(QString::fromUtf16(u"\t \x01 a b \r\x1f", 10)), u"a b"_qs);
    QCOMPARE(Trim(u"　全角　"_qs), u"　全角　"_qs); // a full-width space is no blank
    QCOMPARE(UpperCase(u"[Option] 中央 ａｂ"_qs), u"[OPTION] 中央 ａｂ"_qs);
}

static const QStringList kLines = {
    "//",                  // 0 comment
    "Kesso's Screen Saver Ulvaro", // 1
    "",                    // 2 blank
    "\t",                  // 3 only a tab: blank
    "; remark",            // 4 comment
    "/",                   // 5 a single slash starts a comment
    "  [Option]  ",        // 6 header with blanks around
    "\tPosOfAiration  =\t右", // 7
    "[FISH]",              // 8
    "\tdata\\neon,\t1,\t2,\t5", // 9
    "DATA END",            // 10
};

void TestLineScan::nextDataLine_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("found");
    QTest::newRow("skips the comment") << 0 << 1;
    QTest::newRow("at a data line") << 1 << 1;
    QTest::newRow("skips blank, tab, ; and /") << 2 << 6;
    QTest::newRow("last line") << 10 << 10;
    QTest::newRow("past the end") << 11 << 11;
    QTest::newRow("far past the end") << 50 << 11;
    QTest::newRow("negative start") << -3 << 1;
}

void TestLineScan::nextDataLine()
{
    QFETCH(int, start);
    QFETCH(int, found);
    QCOMPARE(NextDataLine(kLines, start), found);
}

void TestLineScan::findSection_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("found");
    QTest::newRow("written case") << u"[Option]"_qs << 0 << 7;
    QTest::newRow("upper case") << u"[OPTION]"_qs << 0 << 7;
    QTest::newRow("header found in other case") << u"[fish]"_qs << 0 << 9;
    QTest::newRow("from the header line itself") << u"[FISH]"_qs << 8 << 9;
    QTest::newRow("after the header") << u"[FISH]"_qs << 9 << -1;
    QTest::newRow("missing") << u"[SOUND]"_qs << 0 << -1;
    QTest::newRow("must stand alone") << u"DATA"_qs << 0 << -1;
    QTest::newRow("start past the end") << u"[FISH]"_qs << 40 << -1;
}

void TestLineScan::findSection()
{
    QFETCH(QString, header);
    QFETCH(int, start);
    QFETCH(int, found);
    QCOMPARE(FindSection(kLines, header, start), found);
}

void TestLineScan::lineValue_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("value");
    QTest::newRow("trimmed") << 9 << u"data\\neon,\t1,\t2,\t5"_qs;
    QTest::newRow("header reads null") << 6 << u"null"_qs;
    QTest::newRow("another header") << 8 << u"null"_qs;
    QTest::newRow("blank") << 3 << QString();
    QTest::newRow("past the end") << 11 << QString();
    QTest::newRow("negative") << -1 << QString();
}

void TestLineScan::lineValue()
{
    QFETCH(int, index);
    QFETCH(QString, value);
    QCOMPARE(LineValue(kLines, index), value);
}

void TestLineScan::stripExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stripped");
    QTest::newRow("extension") << u"data\\neon.bmp"_qs << u"data\\neon"_qs;
    QTest::newRow("none") << u"data\\neon"_qs << u"data\\neon"_qs;
    QTest::newRow("last character never cut") << u"abc."_qs << u"abc."_qs;
    QTest::newRow("backslash does not stop") << u"my.dir\\fish"_qs << u"my"_qs;
    QTest::newRow("last dot") << u"Neon.Fish.bmp"_qs << u"Neon.Fish"_qs;
    QTest::newRow("dot first") << u".bmp"_qs << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one character") << u"."_qs << u"."_qs;
}

void TestLineScan::stripExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, stripped);
    QCOMPARE(StripExtension(name), stripped);
}

void TestLineScan::folderOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::newRow("file") << u"C:\\aq\\tetra.uld"_qs << u"C:\\aq\\"_qs;
    QTest::newRow("trailing backslash not examined") << u"C:\\aq\\"_qs << u"C:\\"_qs;
    QTest::newRow("none") << u"tetra.uld"_qs << u"tetra.uld"_qs;
    QTest::newRow("root file") << u"C:\\a.lst"_qs << u"C:\\"_qs;
}

void TestLineScan::folderOfPath()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QCOMPARE(FolderOfPath(path), folder);
}

void TestLineScan::numberOrOne_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << u"5"_qs << 5;
    QTest::newRow("zero") << u"0"_qs << 0;
    QTest::newRow("negative") << u"-1"_qs << -1;
    QTest::newRow("text") << u"abc"_qs << 1;
    QTest::newRow("empty") << QString() << 1;
    QTest::newRow("overflow") << u"99999999999"_qs << 1;
}

void TestLineScan::numberOrOne()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(NumberOrOne(text), value);
}

void TestLineScan::colourDigits()
{
    Aquarium doc;
    doc.BackgroundRed = 255;
    doc.BackgroundGreen = 128;
    doc.BackgroundBlue = 0;
    QCOMPARE(ColourDigits(doc.BackgroundColourValue()), u"0080FF"_qs);
    QCOMPARE(ColourDigits(0xFF), u"0000FF"_qs); // pure red
    QCOMPARE(doc.AmountHeading(), u"熱帯魚数の比"_qs);
    doc.FishCountsFixed = true;
    QCOMPARE(doc.AmountHeading(), u"熱帯魚数"_qs);
}

QTEST_GUILESS_MAIN(TestLineScan)
#include "tst_linescan.moc"
