#include "core/document/fish_picture.h"
#include "core/document/object_bmp.h"
#include "core/document/tank_preview.h"
#include "core/platform/fonts.h"
#include "core/platform/platform_error.h"
#include "core/platform/raster.h"
#include "support/test_world.h"

#include <QGuiApplication>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fishPictureLayouts_data();
    void fishPictureLayouts();
    void fishDataNoComesFromTheCharacter();
    void fishPictureFailures_data();
    void fishPictureFailures();
    void sandTiles_data();
    void sandTiles();
    void accessoryPlaces_data();
    void accessoryPlaces();
    void higherIndexCoversLower();
    void spreadAccessoriesLieBeneath();
    void onlyTheVisiblePartIsDrawn();
    void numberStrip();
};

namespace {

// The bounding box of the non-black pixels.
QRect Drawn(const QImage& picture, ColorRef background = kBlack)
{
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (PixelAt(picture, x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

void TestPictures::fishPictureLayouts_data()
{
    QTest::addColumn<QSize>("bitmap");
    QTest::addColumn<bool>("blackCorner");
    QTest::addColumn<bool>("whiteMiddle");
    QTest::addColumn<QString>("fishDataNo");
    QTest::addColumn<QRect>("drawn");
    QTest::newRow("300x100 whole, top half") << QSize(300, 100) << false << false << u"1"_qs
                                            << QRect(0, 0, 150, 50);
    QTest::newRow("200x300 shadow mapping, 2 data") << QSize(200, 300) << true << true << u"2"_qs
                                                    << QRect(0, 0, 100, 100);
    QTest::newRow("200x300 not white in the middle") << QSize(200, 300) << true << false
                                                     << u"2"_qs << QRect(0, 0, 66, 100);
    QTest::newRow("text count counts 1: rows of 150") << QSize(200, 300) << true << true
                                                      << u"x"_qs << QRect(0, 0, 66, 100);
    QTest::newRow("small bitmap enlarged") << QSize(30, 10) << false << false << u"1"_qs
                                           << QRect(0, 0, 150, 50);
}

void TestPictures::fishPictureLayouts()
{
    QFETCH(QSize, bitmap);
    QFETCH(bool, blackCorner);
    QFETCH(bool, whiteMiddle);
    QFETCH(QString, fishDataNo);
    QFETCH(QRect, drawn);
    QImage picture = SolidPicture(bitmap.width(), bitmap.height(), 0x2080F0);
    SetPixelAt(picture, 0, 0, blackCorner ? kBlack : 0x00FF00);
    SetPixelAt(picture, bitmap.width() / 2, 0, whiteMiddle ? kWhite : 0x00FF00);
    TestWorld world;
    world.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, picture);
    FishSlot slot{u"data\\neon"_qs, fishDataNo, u"1"_qs};
    const QImage shown = DrawFishPicture(world.MakeFiles(), u"C:\\aq\\"_qs, slot);
    QCOMPARE(shown.size(), QSize(150, 100));
    // The corner pixel may be black itself; the drawn area is the fitted rectangle.
    QRect box = Drawn(shown);
    box |= QRect(0, 0, 1, 1);
    QCOMPARE(box, drawn);
}

void TestPictures::fishDataNoComesFromTheCharacter()
{
    TestWorld world;
    QImage bitmap = SolidPicture(200, 400, 0x2080F0);
    SetPixelAt(bitmap, 0, 0, kBlack);
    SetPixelAt(bitmap, 100, 0, kWhite);
    world.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, bitmap);
    world.WriteFile(u"C:\\aq\\data\\neon.ulc"_qs,
                    "//\r\nKesso's Screen Saver Ulvaro Character\r\n[BMP DATA FORMAT]\r\n"
                    "\tBmpDataFormat=ShadowMapping\r\n\tAnimationDataNo=2\r\n\tFishDataNo= 3\r\n"
                    "DATA END\r\n\tFishDataNo=9\r\n");
    FishSlot slot{u"data\\neon"_qs, u"1"_qs, u"1"_qs};
    QImage shown;
    ShowFishPicture(world.MakeFiles(), u"C:\\aq\\"_qs, slot, shown);
    QCOMPARE(slot.FishDataNo, u"3"_qs);
    // Rows of 400 / (3 + 1) = 100: the 100 x 100 cell fills the picture's height.
    QRect box = Drawn(shown) | QRect(0, 0, 1, 1);
    QCOMPARE(box, QRect(0, 0, 100, 100));

    // A foreign file, or one without the section, changes nothing.
    world.WriteFile(u"C:\\aq\\data\\neon.ulc"_qs, "Kesso's Screen Saver Ulvaro\r\n");
    ProbeFishDataNo(world.MakeFiles(), u"C:\\aq\\"_qs, slot);
    QCOMPARE(slot.FishDataNo, u"3"_qs);
}

void TestPictures::fishPictureFailures_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("fishDataNo");
    QTest::addColumn<QString>("message"); // empty: no error, black picture
    QTest::newRow("empty slot looks for .bmp in DataFolder") << QString() << u"1"_qs << QString();
    QTest::newRow("missing bitmap") << u"data\\gone"_qs << u"1"_qs << QString();
    QTest::newRow("fish data count -1") << u"data\\neon"_qs << u"-1"_qs << u"ゼロによる除算"_qs;
    QTest::newRow("rows of no pixels") << u"data\\neon"_qs << u"500"_qs << u"ゼロによる除算"_qs;
    QTest::newRow("unreadable bitmap") << u"data\\junk"_qs << u"1"_qs
                                       << u"ビットマップイメージが不正です"_qs;
    QTest::newRow("bad AnimationDataNo") << u"data\\bad"_qs << u"1"_qs
                                         << u"'two' は数値ではありません"_qs;
}

void TestPictures::fishPictureFailures()
{
    QFETCH(QString, character);
    QFETCH(QString, fishDataNo);
    QFETCH(QString, message);
    TestWorld world;
    QImage bitmap = SolidPicture(20, 30, 0x2080F0);
    SetPixelAt(bitmap, 0, 0, kBlack);
    SetPixelAt(bitmap, 10, 0, kWhite);
    world.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, bitmap);
    world.WritePicture(u"C:\\aq\\data\\bad.bmp"_qs, bitmap);
    world.WriteFile(u"C:\\aq\\data\\junk.bmp"_qs, "BM not really");
    world.WriteFile(u"C:\\aq\\data\\bad.ulc"_qs, "Kesso's Screen Saver Ulvaro Character\r\n"
                                                 "[BMP DATA FORMAT]\r\nAnimationDataNo=two\r\n");
    FishSlot slot{character, fishDataNo, u"1"_qs};
    QImage shown = SolidPicture(150, 100, 0x123456);
    try {
        ShowFishPicture(world.MakeFiles(), u"C:\\aq\\"_qs, slot, shown);
        QVERIFY2(message.isEmpty(), "no error");
        QVERIFY(Drawn(shown).isEmpty());
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), message);
        if (message.startsWith(u"'"))
            QCOMPARE(PixelAt(shown, 0, 0), ColorRef(0x123456)); // not drawn at all
        else
            QVERIFY(Drawn(shown).isEmpty()); // stays black
    }
}

void TestPictures::sandTiles_data()
{
    QTest::addColumn<QSize>("sand");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("sandHeight");
    QTest::addColumn<int>("tile");
    QTest::newRow("1024x96 at 1024x768") << QSize(1024, 96) << QSize(1024, 768) << 30 << 320;
    QTest::newRow("128x96 at 1024x768") << QSize(128, 96) << QSize(1024, 768) << 30 << 40;
    QTest::newRow("128x96 at 640x480") << QSize(128, 96) << QSize(640, 480) << 48 << 64;
    QTest::newRow("narrower than a pixel") << QSize(2, 48) << QSize(1280, 1024) << 11 << 1;
}

void TestPictures::sandTiles()
{
    QFETCH(QSize, sand);
    QFETCH(QSize, screen);
    QFETCH(int, sandHeight);
    QFETCH(int, tile);
    // Each sand picture has a red left column and is otherwise brown.
    QImage picture = SolidPicture(sand.width(), sand.height(), 0x204080);
    FillRect(picture, {0, 0, std::max(1, sand.width() / 8), sand.height()}, 0x0000FF);
    TestWorld world;
    world.WritePicture(u"C:\\aq\\data\\sand.bmp"_qs, picture);
    Aquarium doc;
    doc.DataFolder = u"C:\\aq\\"_qs;
    doc.SandName = u"data\\sand"_qs;
    const AccessorySprites sprites;
    QImage tank, strip;
    QCOMPARE(DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont()),
             sandHeight);
    QCOMPARE(PixelAt(tank, 5, 240 - sandHeight - 1), ColorRef(0xFFFF00));
    if (tile >= 8) { // each tile starts red
        QCOMPARE(PixelAt(tank, 0, 239), ColorRef(0x0000FF));
    }
    if (tile >= 8 && tile < 320) {
        QCOMPARE(PixelAt(tank, tile, 240 - sandHeight), ColorRef(0x0000FF));
        QCOMPARE(PixelAt(tank, tile - 1, 239), ColorRef(0x204080));
    }
    QCOMPARE(PixelAt(tank, 319, 239) == 0x204080 || PixelAt(tank, 319, 239) == 0x0000FF, true);

    // No sand picture: no sand, SandHeight 0.
    doc.SandName = u"data\\none"_qs;
    QCOMPARE(DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont()),
             0);
    QCOMPARE(Drawn(tank, 0xFFFF00), QRect());
}

void TestPictures::accessoryPlaces_data()
{
    QTest::addColumn<QSize>("picture"); // after scaling (screen 320x240)
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<QRect>("drawn");
    QTest::newRow("x 0 is not drawn from -10") << QSize(20, 10) << 0 << 0 << QRect(0, 0, 20, 10);
    QTest::newRow("x 19 middle") << QSize(30, 50) << 19 << 1 << QRect(289, 70, 30, 50);
    QTest::newRow("bottom stands on the sand") << QSize(16, 20) << 10 << 2
                                               << QRect(152, 240 - 24 - 20, 16, 20);
}

void TestPictures::accessoryPlaces()
{
    QFETCH(QSize, picture);
    QFETCH(int, x);
    QFETCH(int, anchor);
    QFETCH(QRect, drawn);
    TestWorld world;
    world.WritePicture(u"C:\\aq\\data\\sand.bmp"_qs, SolidPicture(320, 24, 0x00FFFF));
    Aquarium doc;
    doc.DataFolder = u"C:\\aq\\"_qs;
    doc.SandName = u"data\\sand"_qs;
    const QSize screen(320, 240); // pictures keep their size
    AccessorySprites sprites;
    // Green, with the key colour in the top-left pixel only.
    QImage source = SolidPicture(picture.width(), picture.height(), 0x008000);
    SetPixelAt(source, 0, 0, kBlack);
    sprites.Entries[0] = ScaleObjectBmp(source, 320, 240);
    doc.LastObjectBmp = 0;
    doc.ObjectTable[0] = {0, 2, anchor, x, 0, 0};
    doc.LastObject = 0;
    QImage tank, strip;
    DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont());
    QRect box;
    for (int py = 0; py < 240; ++py)
        for (int px = 0; px < 320; ++px)
            if (PixelAt(tank, px, py) == 0x008000)
                box |= QRect(px, py, 1, 1);
    QCOMPARE(box, drawn);
}

void TestPictures::higherIndexCoversLower()
{
    TestWorld world;
    Aquarium doc;
    const QSize screen(320, 240);
    AccessorySprites sprites;
    QImage blue = SolidPicture(10, 10, 0x0000FF);
    SetPixelAt(blue, 0, 0, kBlack);
    sprites.Entries[0] = ScaleObjectBmp(blue, 320, 240);
    QImage green = SolidPicture(10, 10, 0x00FF00);
    // The key colour (black, as sprites are drawn: mask AND, then picture OR) is
    // transparent wherever it stands.
    SetPixelAt(green, 0, 0, kBlack);
    SetPixelAt(green, 1, 1, kBlack);
    sprites.Entries[1] = ScaleObjectBmp(green, 320, 240);
    doc.LastObjectBmp = 1;
    doc.ObjectTable[0] = {1, 4, 2, 5, 0, 0};
    doc.ObjectTable[1] = {0, 4, 2, 5, 0, 0};
    doc.LastObject = 1;
    QImage tank, strip;
    DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont());
    QCOMPARE(PixelAt(tank, 80, 235), ColorRef(0x0000FF));
    std::swap(doc.ObjectTable[0], doc.ObjectTable[1]);
    DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont());
    QCOMPARE(PixelAt(tank, 80, 235), ColorRef(0x00FF00));
    QCOMPARE(PixelAt(tank, 76, 231), ColorRef(0x0000FF)); // through the transparent pixel
}

void TestPictures::spreadAccessoriesLieBeneath()
{
    TestWorld world;
    Aquarium doc;
    const QSize screen(320, 240);
    AccessorySprites sprites;
    QImage blue = SolidPicture(40, 8, 0x0000FF);
    SetPixelAt(blue, 0, 0, kBlack);
    sprites.Entries[0] = ScaleObjectBmp(blue, 320, 240);
    QImage green = SolidPicture(10, 10, 0x00FF00);
    SetPixelAt(green, 0, 0, kBlack);
    sprites.Entries[1] = ScaleObjectBmp(green, 320, 240);
    doc.LastObjectBmp = 1;
    doc.ObjectTable[0] = {1, 0, 2, 5, 0, 0}; // back, not spread
    doc.ObjectTable[1] = {0, 4, 0, 9, 0, 1}; // front, spread: still beneath, on the bottom
    doc.LastObject = 1;
    QImage tank, strip;
    DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont());
    QCOMPARE(Drawn(tank, 0xFFFF00), QRect(0, 230, 320, 10));
    QCOMPARE(PixelAt(tank, 0, 235), ColorRef(0x0000FF));
    QCOMPARE(PixelAt(tank, 319, 232), ColorRef(0x0000FF));
    QCOMPARE(PixelAt(tank, 80, 235), ColorRef(0x00FF00));
}

// A black key's margins change nothing: drawing only the visible part of each sprite
// gives the tank that drawing every sprite whole gives, stretched ones included.
void TestPictures::onlyTheVisiblePartIsDrawn()
{
    TestWorld world;
    world.WritePicture(u"C:\\aq\\data\\sand.bmp"_qs, SolidPicture(300, 40, 0x336699));
    Aquarium doc;
    doc.DataFolder = u"C:\\aq\\"_qs;
    doc.SandName = u"data\\sand"_qs;
    const QSize screen(640, 480);
    AccessorySprites sprites;
    for (int e = 0; e < 4; ++e) {
        // A figure in margins of the key colour, black for the first three.
        QImage picture = SolidPicture(90 + e * 30, 80 + e * 20, e == 3 ? 0x203040 : kBlack);
        for (int y = 10; y < picture.height() - 12; ++y)
            for (int x = 14 + e; x < picture.width() - 9; ++x)
                SetPixelAt(picture, x, y, MakeColorRef(40 * e, 200 - (x % 50), y % 256));
        sprites.Entries[size_t(e)] = ScaleObjectBmp(picture, 640, 480);
    }
    QCOMPARE(sprites.Entries[0].Visible, QRect(7, 5, 33, 29)); // the figure's box, halved
    QCOMPARE(sprites.Entries[3].Visible, QRect(0, 0, 90, 70)); // no margin of black
    doc.LastObjectBmp = 3;
    for (int i = 0; i < 8; ++i)
        doc.ObjectTable[size_t(i)] = {i % 4, (i % 3) * 2, i % 3, (i * 5) % 20, 0,
                                      quint8(i % 4 == 1 ? 1 : 0)};
    doc.LastObject = 7;
    QImage tank, strip;
    DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont());
    AccessorySprites whole = sprites;
    for (AccessorySprite& entry : whole.Entries)
        entry.Visible = entry.Sprite.rect();
    QImage wholeTank, wholeStrip;
    DrawTankPreview(world.MakeFiles(), doc, screen, whole, wholeTank, wholeStrip, InterfaceFont());
    QCOMPARE(tank, wholeTank);
}

void TestPictures::numberStrip()
{
    TestWorld world;
    Aquarium doc;
    const QSize screen(1024, 768);
    const AccessorySprites sprites;
    QImage tank, strip;
    DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont());
    QCOMPARE(strip.size(), QSize(320, 126));
    QCOMPARE(Drawn(strip, kWhite), QRect()); // nothing placed: plain white
    doc.ObjectTable[0] = {0, 0, 2, 0, 0, 0};
    doc.ObjectTable[1] = {0, 2, 2, 6, 0, 0};
    doc.ObjectTable[2] = {0, 4, 2, 19, 0, 0};
    doc.LastObject = 2;
    DrawTankPreview(world.MakeFiles(), doc, screen, sprites, tank, strip, InterfaceFont());
    const QRect first = Drawn(strip.copy(0, 0, 40, 40), kWhite);
    QVERIFY(!first.isEmpty());
    QVERIFY(first.top() >= 0 && first.bottom() < 20);
    const QRect second = Drawn(strip.copy(96, 42, 40, 40), kWhite);
    QVERIFY(!second.isEmpty() && second.left() < 8 && second.top() < 14);
    const QRect third = Drawn(strip.copy(304, 84, 16, 42), kWhite);
    QVERIFY(!third.isEmpty() && third.top() < 14);
    QCOMPARE(Drawn(strip.copy(0, 42, 90, 84), kWhite), QRect()); // nothing else drawn
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
