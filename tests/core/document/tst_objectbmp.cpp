#include "core/document/object_bmp.h"
#include "core/platform/platform_error.h"
#include "core/platform/raster.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestObjectBmp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizes_data();
    void sizes();
    void maskFollowsTheKeyColour();
    void unreadablePictureKeepsTheEntry_data();
    void unreadablePictureKeepsTheEntry();
};

void TestObjectBmp::sizes_data()
{
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<int>("screenHeight");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QSize>("scaled");
    QTest::newRow("640x480") << 640 << 480 << 64 << 48 << QSize(32, 24);
    QTest::newRow("1024x768") << 1024 << 768 << 64 << 48 << QSize(20, 15);
    QTest::newRow("1280x1024 truncates") << 1280 << 1024 << 100 << 50 << QSize(25, 11);
    QTest::newRow("too small for a pixel") << 1024 << 768 << 3 << 3 << QSize(0, 0);
}

void TestObjectBmp::sizes()
{
    QFETCH(int, screenWidth);
    QFETCH(int, screenHeight);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QSize, scaled);
    TestWorld world;
    world.WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, SolidPicture(width, height, 0x00FF00));
    Aquarium doc;
    doc.ScreenWidth = screenWidth;
    doc.ScreenHeight = screenHeight;
    doc.ObjectBmpTable[3].BmpName = u"data\\kusa"_qs;
    LoadObjectBmp(world.MakeFiles(), doc, u"C:\\aq\\data\\kusa.bmp"_qs, 3);
    QCOMPARE(doc.ObjectBmpTable[3].Picture().size(), scaled);
    QCOMPARE(doc.ObjectBmpTable[3].Mask().size(), scaled);
    if (!scaled.isEmpty())
        QCOMPARE(doc.ObjectBmpTable[3].Picture().format(), QImage::Format_RGB32);
    QCOMPARE(doc.ObjectBmpTable[3].BmpName, u"data\\kusa"_qs); // not the loader's business
}

void TestObjectBmp::maskFollowsTheKeyColour()
{
    // A 64 x 48 picture: key colour magenta, a green figure with a magenta hole at its
    // centre. At 640 x 480 it becomes 32 x 24.
    const ColorRef key = 0xFF00FF, figure = 0x00A000;
    QImage picture = SolidPicture(64, 48, key);
    FillRect(picture, {16, 8, 48, 40}, figure);
    FillRect(picture, {28, 20, 36, 28}, key);
    TestWorld world;
    world.WritePicture(u"C:\\aq\\data\\rock.bmp"_qs, picture);
    Aquarium doc;
    doc.ScreenWidth = 640;
    doc.ScreenHeight = 480;
    LoadObjectBmp(world.MakeFiles(), doc, u"C:\\AQ\\DATA\\ROCK.BMP"_qs, 0);
    const QImage mask = doc.ObjectBmpTable[0].Mask();
    const QImage scaled = doc.ObjectBmpTable[0].Picture();
    QCOMPARE(PixelAt(mask, 0, 0), kWhite);
    QCOMPARE(PixelAt(mask, 10, 6), kBlack);
    QCOMPARE(PixelAt(scaled, 10, 6), figure);
    QCOMPARE(PixelAt(mask, 16, 12), kWhite); // the hole is transparent too
    QCOMPARE(PixelAt(mask, 31, 23), kWhite);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            QCOMPARE(PixelAt(mask, x, y), PixelAt(scaled, x, y) == key ? kWhite : kBlack);
}

void TestObjectBmp::unreadablePictureKeepsTheEntry_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a picture") << QByteArray("this is text") << u"ビットマップイメージが不正です"_qs;
    QTest::newRow("missing") << QByteArray() << u"ファイル C:\\aq\\data\\bad.bmp は開けません"_qs;
}

void TestObjectBmp::unreadablePictureKeepsTheEntry()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TestWorld world;
    if (!bytes.isEmpty())
        world.WriteFile(u"C:\\aq\\data\\bad.bmp"_qs, bytes);
    world.WritePicture(u"C:\\aq\\data\\good.bmp"_qs, SolidPicture(64, 48, 0x123456));
    Aquarium doc;
    const Files files = world.MakeFiles();
    LoadObjectBmp(files, doc, u"C:\\aq\\data\\good.bmp"_qs, 5);
    try {
        LoadObjectBmp(files, doc, u"C:\\aq\\data\\bad.bmp"_qs, 5);
        QFAIL("no error");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), message);
    }
    QCOMPARE(doc.ObjectBmpTable[5].Picture().size(), QSize(20, 15));
    QCOMPARE(PixelAt(doc.ObjectBmpTable[5].Picture(), 0, 0), ColorRef(0x123456));
    QVERIFY_THROWS_EXCEPTION(PlatformError,
                             LoadObjectBmp(files, doc, u"C:\\aq\\data\\good.bmp"_qs, 20));
}

QTEST_GUILESS_MAIN(TestObjectBmp)
#include "tst_objectbmp.moc"
