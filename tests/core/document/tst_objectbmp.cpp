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
    doc.DataFolder = u"C:\\aq\\"_qs;
    doc.ObjectBmpTable[3].BmpName = u"data\\kusa"_qs;
    doc.LastObjectBmp = 3;
    const Aquarium before = doc;
    AccessorySprites sprites;
    QVERIFY(LoadObjectBmps(world.MakeFiles(), doc, QSize(screenWidth, screenHeight), sprites)
                .isEmpty());
    const AccessorySprite& sprite = sprites.Entries[3];
    QCOMPARE(sprite.Picture().size(), scaled);
    QCOMPARE(sprite.Mask().size(), scaled);
    if (!scaled.isEmpty())
        QCOMPARE(sprite.Picture().format(), QImage::Format_RGB32);
    QVERIFY(doc == before); // the pictures are no part of the document
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
    const AccessorySprite sprite
        = LoadObjectBmp(world.MakeFiles(), u"C:\\AQ\\DATA\\ROCK.BMP"_qs, QSize(640, 480));
    const QImage mask = sprite.Mask();
    const QImage scaled = sprite.Picture();
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
    const Files files = world.MakeFiles();
    const QSize screen(1024, 768);
    try {
        (void)LoadObjectBmp(files, u"C:\\aq\\data\\bad.bmp"_qs, screen);
        QFAIL("no error");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), message);
    }
    // In a document: the readable entry is drawn, the other keeps its name and is named.
    Aquarium doc;
    doc.DataFolder = u"C:\\aq\\"_qs;
    doc.ObjectBmpTable[4].BmpName = u"data\\good"_qs;
    doc.ObjectBmpTable[5].BmpName = u"data\\bad"_qs;
    doc.LastObjectBmp = 5;
    AccessorySprites sprites;
    QCOMPARE(LoadObjectBmps(files, doc, screen, sprites), QStringList {u"C:\\aq\\data\\bad.bmp"_qs});
    QCOMPARE(sprites.Entries[4].Picture().size(), QSize(20, 15));
    QCOMPARE(PixelAt(sprites.Entries[4].Picture(), 0, 0), ColorRef(0x123456));
    QVERIFY(sprites.Entries[5].Sprite.isNull());
    QCOMPARE(doc.ObjectBmpTable[5].BmpName, u"data\\bad"_qs);
    // Asked again, only the one that could not be read is tried, and named again.
    QCOMPARE(LoadObjectBmps(files, doc, screen, sprites), QStringList {u"C:\\aq\\data\\bad.bmp"_qs});
    world.WritePicture(u"C:\\aq\\data\\bad.bmp"_qs, SolidPicture(64, 48, 0x654321));
    QVERIFY(LoadObjectBmps(files, doc, screen, sprites).isEmpty());
    QCOMPARE(PixelAt(sprites.Entries[5].Picture(), 0, 0), ColorRef(0x654321));
}

QTEST_GUILESS_MAIN(TestObjectBmp)
#include "tst_objectbmp.moc"
