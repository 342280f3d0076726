#include "core/platform/raster.h"

#include <QGuiApplication>
#include <QTest>

using namespace aquarium;

namespace {

// A picture from rows of colour values.
QImage FromRows(const std::vector<std::vector<ColorRef>>& rows)
{
    QImage picture = MakePicture(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            SetPixelAt(picture, x, y, rows[size_t(y)][size_t(x)]);
    return picture;
}

std::vector<std::vector<ColorRef>> ToRows(const QImage& picture)
{
    std::vector<std::vector<ColorRef>> rows(size_t(picture.height()));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            rows[size_t(y)].push_back(PixelAt(picture, x, y));
    return rows;
}

using Rows = std::vector<std::vector<ColorRef>>;

} // namespace

Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Rect)
Q_DECLARE_METATYPE(RasterOp)

class TestRaster : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colourOrder();
    void stretchCopy_data();
    void stretchCopy();
    void spriteIsTheMaskThenThePicture_data();
    void spriteIsTheMaskThenThePicture();
    void invertFillFlood();
    void floodFillStopsAtBorder();
    void textOut();
};

void TestRaster::colourOrder()
{
    QCOMPARE(MakeColorRef(255, 128, 0), ColorRef(0x0080FF));
    QCOMPARE(ToQRgb(0x0080FF), qRgb(255, 128, 0));
    QCOMPARE(ToColorRef(qRgb(1, 2, 3)), ColorRef(0x030201));
    QImage picture = MakePicture(1, 1, 0xFFFF00); // green and blue full, red none
    QCOMPARE(picture.pixel(0, 0), qRgb(0, 255, 255));
}

void TestRaster::stretchCopy_data()
{
    QTest::addColumn<Rows>("source");
    QTest::addColumn<Rect>("from");
    QTest::addColumn<Rows>("destination");
    QTest::addColumn<Rect>("to");
    QTest::addColumn<RasterOp>("op");
    QTest::addColumn<Rows>("expected");
    const ColorRef A = 0x0000FF, B = 0x00FF00, C = 0xFF0000, D = 0xFFFFFF, k = 0;
    const Rows two = {{A, B}, {C, D}};
    const Rows black4 = Rows(4, std::vector<ColorRef>(4, k));
    QTest::newRow("enlarge 2x2 to 4x4") << two << Rect{0, 0, 2, 2} << black4 << Rect{0, 0, 4, 4}
                                        << RasterOp::Copy
                                        << Rows{{A, A, B, B}, {A, A, B, B}, {C, C, D, D},
                                                {C, C, D, D}};
    QTest::newRow("shrink 4x4 to 2x2")
            << Rows{{A, k, B, k}, {k, k, k, k}, {C, k, D, k}, {k, k, k, k}} << Rect{0, 0, 4, 4}
            << Rows(2, std::vector<ColorRef>(2, 7)) << Rect{0, 0, 2, 2} << RasterOp::Copy
            << Rows{{k, k}, {k, k}};
    QTest::newRow("shrink keeps the pixel under each centre")
            << Rows{{A, B, C, D}} << Rect{0, 0, 4, 1} << Rows{{k, k}} << Rect{0, 0, 2, 1}
            << RasterOp::Copy << Rows{{B, D}};
    QTest::newRow("mirror on x") << two << Rect{2, 0, 0, 2}
                                 << Rows(2, std::vector<ColorRef>(2, k)) << Rect{0, 0, 2, 2}
                                 << RasterOp::Copy << Rows{{B, A}, {D, C}};
    QTest::newRow("mirror on y by destination") << two << Rect{0, 0, 2, 2}
                                                << Rows(2, std::vector<ColorRef>(2, k))
                                                << Rect{0, 2, 2, 0} << RasterOp::Copy
                                                << Rows{{C, D}, {A, B}};
    QTest::newRow("clipped to destination") << two << Rect{0, 0, 2, 2}
                                            << Rows(2, std::vector<ColorRef>(3, k))
                                            << Rect{-1, 1, 1, 3} << RasterOp::Copy
                                            << Rows{{k, k, k}, {B, k, k}};
    QTest::newRow("source rectangle beyond the source") << two << Rect{1, 0, 3, 1}
                                                        << Rows{{k, k}} << Rect{0, 0, 2, 1}
                                                        << RasterOp::Copy << Rows{{B, k}};
    QTest::newRow("empty rectangle") << two << Rect{0, 0, 0, 2} << Rows{{k, k}}
                                     << Rect{0, 0, 2, 1} << RasterOp::Copy << Rows{{k, k}};
    QTest::newRow("AND") << Rows{{0x0F0F0F, 0xFFFFFF}} << Rect{0, 0, 2, 1}
                         << Rows{{0x3333FF, 0x123456}} << Rect{0, 0, 2, 1} << RasterOp::And
                         << Rows{{0x03030F, 0x123456}};
    QTest::newRow("OR") << Rows{{0x0F0F0F, 0x000000}} << Rect{0, 0, 2, 1}
                        << Rows{{0x303030, 0x123456}} << Rect{0, 0, 2, 1} << RasterOp::Or
                        << Rows{{0x3F3F3F, 0x123456}};
}

void TestRaster::stretchCopy()
{
    QFETCH(Rows, source);
    QFETCH(Rect, from);
    QFETCH(Rows, destination);
    QFETCH(Rect, to);
    QFETCH(RasterOp, op);
    QFETCH(Rows, expected);
    QImage picture = FromRows(destination);
    StretchCopy(picture, to, FromRows(source), from, op);
    QCOMPARE(ToRows(picture), expected);
}

void TestRaster::spriteIsTheMaskThenThePicture_data()
{
    QTest::addColumn<Rect>("to");
    QTest::addColumn<Rect>("from");
    QTest::newRow("one to one") << Rect{3, 2, 20, 14} << Rect{0, 0, 17, 12};
    QTest::newRow("stretched") << Rect{0, 0, 40, 30} << Rect{0, 0, 17, 12};
    QTest::newRow("shrunk, a part") << Rect{5, 5, 11, 9} << Rect{2, 3, 15, 12};
    QTest::newRow("mirrored") << Rect{30, 0, 2, 12} << Rect{0, 0, 17, 12};
    QTest::newRow("clipped on every side") << Rect{-6, -4, 50, 40} << Rect{0, 0, 17, 12};
}

// The one pass over an accessory's sprite gives what the mask ANDed and then the picture
// ORed give, whatever the rectangles.
void TestRaster::spriteIsTheMaskThenThePicture()
{
    QFETCH(Rect, to);
    QFETCH(Rect, from);
    quint32 seed = 7;
    const auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    QImage tank = MakePicture(36, 26);
    for (int y = 0; y < tank.height(); ++y)
        for (int x = 0; x < tank.width(); ++x)
            tank.setPixel(x, y, 0xFF000000u | next());
    QImage sprite(17, 12, QImage::Format_ARGB32), mask = MakePicture(17, 12),
            picture = MakePicture(17, 12);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 17; ++x) {
            const QRgb colour = next() & 0xFFFFFF;
            const bool key = next() % 3 == 0;
            sprite.setPixel(x, y, colour | (key ? 0 : 0xFF000000u));
            mask.setPixel(x, y, key ? 0xFFFFFFFFu : 0xFF000000u);
            picture.setPixel(x, y, colour | 0xFF000000u);
        }
    }
    QImage twoPasses = tank;
    StretchCopy(twoPasses, to, mask, from, RasterOp::And);
    StretchCopy(twoPasses, to, picture, from, RasterOp::Or);
    StretchCopy(tank, to, sprite, from, RasterOp::Sprite);
    QCOMPARE(tank, twoPasses);
}

void TestRaster::invertFillFlood()
{
    QImage picture = MakePicture(3, 2, 0x102030);
    InvertRect(picture, {1, 0, 5, 1});
    QCOMPARE(ToRows(picture), (Rows{{0x102030, 0xEFDFCF, 0xEFDFCF}, {0x102030, 0x102030, 0x102030}}));
    FillRect(picture, {-1, 1, 2, 9}, 0x0000FF);
    QCOMPARE(ToRows(picture)[1], (std::vector<ColorRef>{0x0000FF, 0x0000FF, 0x102030}));
    FloodFill(picture, 0, 0, 0x00FF00, 0x00FF00);
    QCOMPARE(ToRows(picture), Rows(2, std::vector<ColorRef>(3, 0x00FF00)));
}

void TestRaster::floodFillStopsAtBorder()
{
    const ColorRef W = kWhite, R = 0x0000FF, k = 0;
    QImage picture = FromRows({{k, k, R, k}, {k, R, k, k}, {R, k, k, k}});
    FloodFill(picture, 0, 0, W, R);
    QCOMPARE(ToRows(picture), (Rows{{W, W, R, k}, {W, R, k, k}, {R, k, k, k}}));
    FloodFill(picture, 2, 0, W, R); // starting on the border does nothing
    QCOMPARE(PixelAt(picture, 3, 2), k);
}

void TestRaster::textOut()
{
    QImage picture = MakePicture(40, 20, 0x00FFFF);
    QFont font;
    font.setPixelSize(12);
    const int width = TextOut(picture, 2, 3, u"12"_qs, font);
    QVERIFY(width > 4);
    bool dark = false;
    for (int y = 3; y < 18; ++y)
        for (int x = 2; x < 2 + width; ++x)
            dark = dark || qGray(picture.pixel(x, y)) < 100;
    QVERIFY(dark);
    QCOMPARE(PixelAt(picture, 0, 0), ColorRef(0x00FFFF)); // outside the text stays
    QCOMPARE(PixelAt(picture, 2 + width - 1, 3), kWhite);  // opaque background
}

QTEST_MAIN(TestRaster)
#include "tst_raster.moc"
