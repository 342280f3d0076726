#include "core/document/tank_preview.h"
#include "core/operations/layout_canvas.h"
#include "core/platform/fonts.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestLayoutCanvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void geometry_data();
    void geometry();
    void placeAt_data();
    void placeAt();
    void overlapPicksTheLowerIndex();
    void grabAndReleaseRenumbers();
    void rightClickDeletes();
    void dragFollowsAndClamps();
    void releasesWithShiftOrCtrlKeepTheDrag();
    void shiftClickSways();
    void ctrlClickSpreads();
    void shiftReleasedFirstPlaces();
    void limitsOfTwentyAccessories();
    void limitsOfTwentyPictures();
    void samePictureOneEntry();
    void brokenPictureChangesNothing();
    void grabInvertsWhereItStands();
    void accessoryPreview_data();
    void accessoryPreview();

private:
    void Place(int x, int y, const QString& file = u"kusa.bmp"_qs)
    {
        m_canvas->MouseDown(MouseButton::Left, kLeftButton, x, y);
        m_canvas->MouseUp(MouseButton::Left, 0, x, y, file);
    }
    // Moves the pointer onto accessory i's number, so that it is selected.
    void Point(int i)
    {
        const PlacedObject& o = m_state->Doc.ObjectTable[size_t(i)];
        const QPoint at = NumberPosition(o.XPosition, o.Layer);
        m_canvas->MouseMove(0, at.x() + 4, at.y() + 6);
    }
    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<Files> m_files;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<LayoutCanvas> m_canvas;
};

void TestLayoutCanvas::init()
{
    m_world = std::make_unique<TestWorld>();
    QImage kusa = SolidPicture(64, 96, 0x00A000);
    SetPixelAt(kusa, 0, 0, kBlack);
    m_world->WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, kusa);
    m_world->WritePicture(u"C:\\aq\\data\\sand.bmp"_qs, SolidPicture(1024, 96, 0x204080));
    for (int i = 0; i < 21; ++i)
        m_world->WritePicture(QStringLiteral("C:\\aq\\data\\p%1.bmp").arg(i),
                              SolidPicture(32, 32, 0x0000FF));
    m_world->WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}});
    m_world->EnterFolder(u"C:\\aq"_qs);
    m_files = std::make_unique<Files>(m_world->Paths());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_state = std::make_unique<AppState>(*m_files, *m_prompts);
    FormCreate(*m_state, *OpenUserRegistry(m_world->Prefix()));
    m_state->Doc.SandName = u"data\\sand"_qs;
    m_canvas = std::make_unique<LayoutCanvas>(*m_state);
}

void TestLayoutCanvas::cleanup()
{
    m_canvas.reset();
    m_state.reset();
}

void TestLayoutCanvas::geometry_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("depth");
    QTest::newRow("origin") << 0 << 0 << 0 << 0;
    QTest::newRow("back row ends at 20") << 15 << 20 << 0 << 0;
    QTest::newRow("middle from 21") << 16 << 21 << 1 << 2;
    QTest::newRow("middle ends at 62") << 100 << 62 << 6 << 2;
    QTest::newRow("front from 63") << 319 << 63 << 19 << 4;
    QTest::newRow("below the front row") << 5 << 110 << 0 << 6;
    QTest::newRow("outside to the right") << 400 << 0 << 25 << 0;
}

void TestLayoutCanvas::geometry()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, column);
    QFETCH(int, depth);
    QCOMPARE(ColumnOf(x), column);
    QCOMPARE(DepthOf(y), depth);
    const Rect back = CellBox(3, 0);
    QCOMPARE((QList<int>{back.Left, back.Top, back.Right, back.Bottom}), (QList<int>{42, -2, 62, 12}));
    const Rect middle = CellBox(0, 2);
    QCOMPARE((QList<int>{middle.Left, middle.Top, middle.Right, middle.Bottom}),
             (QList<int>{-6, 40, 14, 54}));
    const Rect front = CellBox(19, 4);
    QCOMPARE((QList<int>{front.Top, front.Bottom}), (QList<int>{82, 96}));
}

void TestLayoutCanvas::placeAt_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("layer");
    QTest::newRow("(100, 50)") << QPoint(100, 50) << QPoint(100, 50) << 6 << 2;
    QTest::newRow("(5, 110): depth 6 taken as 4") << QPoint(5, 110) << QPoint(5, 110) << 0 << 4;
    QTest::newRow("released beyond right and top") << QPoint(50, 70) << QPoint(700, -40) << 19
                                                   << 0;
    QTest::newRow("released beyond left and bottom") << QPoint(50, 70) << QPoint(-30, 500) << 0
                                                     << 4;
}

void TestLayoutCanvas::placeAt()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(int, column);
    QFETCH(int, layer);
    m_canvas->MouseDown(MouseButton::Left, kLeftButton, press.x(), press.y());
    m_canvas->MouseMove(kLeftButton, release.x(), release.y());
    m_canvas->MouseUp(MouseButton::Left, 0, release.x(), release.y(), u"kusa.bmp"_qs);
    const Aquarium& d = m_state->Doc;
    QCOMPARE(d.LastObject, 0);
    const PlacedObject& o = d.ObjectTable[0];
    QCOMPARE(o.XPosition, column);
    QCOMPARE(o.Layer, layer);
    QCOMPARE(o.VerticalAnchor, 2);
    QCOMPARE(int(o.Sway), 0);
    QCOMPARE(int(o.Spread), 0);
    QCOMPARE(o.BmpIndex, 0);
    QCOMPARE(d.LastObjectBmp, 0);
    QCOMPARE(d.ObjectBmpTable[0].BmpName, u"data\\kusa"_qs);
    // The redraw: the number "1" at its place, the plant standing on the sand.
    QImage tank, strip;
    DrawTankPreview(*m_files, d, m_state->Screen(), m_state->View.Sprites, tank, strip,
                    InterfaceFont(12));
    QCOMPARE(m_state->View.NumberStrip, strip);
    QCOMPARE(m_state->View.TankPicture, tank);
    const QPoint at = NumberPosition(column, layer);
    bool dark = false;
    for (int y = at.y(); y < at.y() + 12; ++y)
        for (int x = at.x(); x < at.x() + 8 && x < 320; ++x)
            dark = dark || qGray(m_state->View.NumberStrip.pixel(x, y)) < 128;
    QVERIFY(dark);
    if (column == 6)
        QCOMPARE(at, QPoint(96, 42));
}

void TestLayoutCanvas::overlapPicksTheLowerIndex()
{
    Place(20, 50); // column 1, middle
    Place(36, 50); // column 2, middle
    m_canvas->MouseMove(0, 28, 47);
    QCOMPARE(m_state->View.SelectedObject, 0);
    QCOMPARE(m_canvas->Status().Label17, u"data\\kusa"_qs);
    QCOMPARE(m_canvas->Status().Label19, u"静止"_qs);
    QCOMPARE(m_canvas->Status().Label26, QString());
    QCOMPARE(PixelAt(m_state->View.NumberStrip, 11, 41), kBoxYellow);
    m_canvas->MouseMove(0, 45, 47);
    QCOMPARE(m_state->View.SelectedObject, 1);
    m_canvas->MouseMove(0, 200, 120);
    QCOMPARE(m_state->View.SelectedObject, -1);
    QCOMPARE(m_canvas->Status().Label17, QString());
    QCOMPARE(PixelAt(m_state->View.NumberStrip, 41, 41), kBoxWhite);
}

void TestLayoutCanvas::grabAndReleaseRenumbers()
{
    for (int c = 0; c < 5; ++c)
        Place(c * 64 + 5, 10);
    Point(1); // accessory number 2
    const PlacedObject second = m_state->Doc.ObjectTable[1];
    const PlacedObject fifth = m_state->Doc.ObjectTable[4];
    m_canvas->MouseDown(MouseButton::Left, kLeftButton, 0, 0);
    QVERIFY(m_canvas->Dragging());
    m_canvas->MouseUp(MouseButton::Left, 0, 0, 0, u"kusa.bmp"_qs);
    QVERIFY(!m_canvas->Dragging());
    QCOMPARE(m_state->Doc.LastObject, 4);
    QCOMPARE(m_state->Doc.ObjectTable[4].XPosition, second.XPosition); // now number 5
    QCOMPARE(m_state->Doc.ObjectTable[1].XPosition, fifth.XPosition);  // now number 2
}

void TestLayoutCanvas::rightClickDeletes()
{
    for (int c = 0; c < 5; ++c)
        Place(c * 64 + 5, 10);
    const PlacedObject fifth = m_state->Doc.ObjectTable[4];
    Point(1);
    m_canvas->MouseDown(MouseButton::Right, kRightButton, 0, 0);
    m_canvas->MouseUp(MouseButton::Right, 0, 0, 0, u"kusa.bmp"_qs);
    QCOMPARE(m_state->Doc.LastObject, 3);
    QCOMPARE(m_state->Doc.ObjectTable[1].XPosition, fifth.XPosition);
    QCOMPARE(m_state->Doc.LastObjectBmp, 0); // the picture stays registered
    QCOMPARE(m_state->View.SelectedObject, -1);
}

void TestLayoutCanvas::dragFollowsAndClamps()
{
    Place(100, 50);
    Point(0);
    m_canvas->MouseDown(MouseButton::Left, kLeftButton, 100, 50);
    m_canvas->MouseMove(kLeftButton, 40, 90);
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 2);
    QCOMPARE(m_state->Doc.ObjectTable[0].Layer, 4);
    QCOMPARE(PixelAt(m_state->View.NumberStrip, 36, 88), kBoxRed);
    QCOMPARE(PixelAt(m_state->View.NumberStrip, 92, 44), kBoxWhite); // the old cell erased
    m_canvas->MouseMove(kLeftButton, 900, -300); // far right and above
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 19);
    QCOMPARE(m_state->Doc.ObjectTable[0].Layer, 0);
    m_canvas->MouseMove(kShift | kLeftButton, 10, 100); // ignored
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 19);
    m_canvas->MouseUp(MouseButton::Left, 0, 900, -300, QString());
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 19);
    QCOMPARE(m_state->Doc.LastObject, 0);
}

void TestLayoutCanvas::releasesWithShiftOrCtrlKeepTheDrag()
{
    Place(100, 50);
    Point(0);
    m_canvas->MouseDown(MouseButton::Left, kLeftButton | kAlt, 100, 50); // any other set grabs
    QVERIFY(m_canvas->Dragging());
    m_canvas->MouseUp(MouseButton::Left, kShift, 100, 50, u"kusa.bmp"_qs);
    QVERIFY(m_canvas->Dragging());
    m_canvas->MouseUp(MouseButton::Left, kCtrl, 100, 50, u"kusa.bmp"_qs);
    QVERIFY(m_canvas->Dragging());
    m_canvas->MouseMove(0, 200, 100); // still follows, button or not
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 12);
    m_canvas->MouseUp(MouseButton::Left, kShift | kCtrl, 200, 100, u"kusa.bmp"_qs);
    QVERIFY(!m_canvas->Dragging());
    QCOMPARE(m_state->Doc.LastObject, 0); // nothing placed
}

void TestLayoutCanvas::shiftClickSways()
{
    Place(100, 50);
    const QImage tankBefore = m_state->View.TankPicture;
    Point(0);
    m_canvas->MouseDown(MouseButton::Left, kShift | kLeftButton, 100, 50);
    QCOMPARE(int(m_state->Doc.ObjectTable[0].Sway), 1);
    QCOMPARE(m_canvas->Status().Label19, u"左右に揺れる"_qs);
    QCOMPARE(m_state->View.SelectedObject, -1);
    QVERIFY(!m_canvas->Dragging());
    m_canvas->MouseUp(MouseButton::Left, kShift, 100, 50, u"kusa.bmp"_qs);
    QCOMPARE(m_state->Doc.LastObject, 0);
    QCOMPARE(m_state->View.TankPicture, tankBefore); // not redrawn
    Point(0);
    m_canvas->MouseDown(MouseButton::Left, kShift | kLeftButton, 100, 50);
    QCOMPARE(int(m_state->Doc.ObjectTable[0].Sway), 0);
    QCOMPARE(m_canvas->Status().Label19, u"静止"_qs);
}

void TestLayoutCanvas::ctrlClickSpreads()
{
    Place(100, 50);
    Point(0);
    m_canvas->MouseDown(MouseButton::Left, kCtrl | kLeftButton, 100, 50);
    m_canvas->MouseUp(MouseButton::Left, kCtrl, 100, 50, u"kusa.bmp"_qs);
    QCOMPARE(int(m_state->Doc.ObjectTable[0].Spread), 1);
    QCOMPARE(m_canvas->Status().Label26, u"左右一面に広げる"_qs);
    QCOMPARE(m_state->Doc.LastObject, 0);
    // Redrawn: the plant spans the whole width on the sand.
    const int y = 240 - 30 - 10;
    QCOMPARE(PixelAt(m_state->View.TankPicture, 2, y), ColorRef(0x00A000));
    QCOMPARE(PixelAt(m_state->View.TankPicture, 317, y), ColorRef(0x00A000));
}

void TestLayoutCanvas::shiftReleasedFirstPlaces()
{
    Place(100, 50);
    Point(0);
    m_canvas->MouseDown(MouseButton::Left, kShift | kLeftButton, 100, 50);
    m_canvas->MouseUp(MouseButton::Left, 0, 100, 50, u"kusa.bmp"_qs); // Shift already up
    QCOMPARE(m_state->Doc.LastObject, 1);
    QCOMPARE(m_state->Doc.ObjectTable[1].XPosition, 6);
    QCOMPARE(m_state->Doc.LastObjectBmp, 0);
}

void TestLayoutCanvas::limitsOfTwentyAccessories()
{
    for (int i = 0; i < 20; ++i)
        Place((i % 20) * 16 + 3, 110);
    QCOMPARE(m_state->Doc.LastObject, 19);
    QCOMPARE(m_prompts->Messages(), QStringList());
    Place(5, 10);
    QCOMPARE(m_state->Doc.LastObject, 19);
    QCOMPARE(m_prompts->Messages(), QStringList{u"これ以上ｱｲﾃﾑを配置できません"_qs});
    // With nothing selected in the list, a click on empty canvas does nothing.
    m_canvas->MouseMove(0, 300, 10);
    m_canvas->MouseDown(MouseButton::Left, kLeftButton, 300, 10);
    m_canvas->MouseUp(MouseButton::Left, 0, 300, 10, QString());
    QCOMPARE(m_prompts->Messages().size(), 1);
}

void TestLayoutCanvas::limitsOfTwentyPictures()
{
    for (int i = 0; i < 20; ++i)
        Place(i * 16 + 3, 10, QStringLiteral("p%1.bmp").arg(i));
    QCOMPARE(m_state->Doc.LastObjectBmp, 19);
    // Delete one: the picture still counts.
    Point(19);
    m_canvas->MouseDown(MouseButton::Right, kRightButton, 0, 0);
    m_canvas->MouseUp(MouseButton::Right, 0, 0, 0, QString());
    QCOMPARE(m_state->Doc.LastObject, 18);
    Place(5, 110, u"P3.BMP"_qs); // registered: still works
    QCOMPARE(m_state->Doc.LastObject, 19);
    QCOMPARE(m_state->Doc.ObjectTable[19].BmpIndex, 3);
    // Free a place, then try a 21st picture.
    Point(19);
    m_canvas->MouseDown(MouseButton::Right, kRightButton, 0, 0);
    m_canvas->MouseUp(MouseButton::Right, 0, 0, 0, QString());
    Place(5, 110, u"p20.bmp"_qs);
    QCOMPARE(m_prompts->Messages(), QStringList{u"これ以上BMPﾌｧｲﾙは登録できません"_qs});
    QCOMPARE(m_state->Doc.LastObject, 18);
    QCOMPARE(m_state->Doc.LastObjectBmp, 19);
}

void TestLayoutCanvas::samePictureOneEntry()
{
    m_state->Doc.ObjectBmpTable[0].BmpName = u"data\\KUSA"_qs;
    m_state->Doc.ObjectBmpTable[1].BmpName = u"data2\\kusa"_qs;
    m_state->Doc.ObjectBmpTable[2].BmpName = u"data\\Kusa"_qs; // the last match wins
    m_state->Doc.LastObjectBmp = 2;
    Place(100, 50);
    Place(150, 50);
    QCOMPARE(m_state->Doc.LastObjectBmp, 2);
    QCOMPARE(m_state->Doc.ObjectTable[0].BmpIndex, 2);
    QCOMPARE(m_state->Doc.ObjectTable[1].BmpIndex, 2);
    // Another sub-folder's namesake is another picture.
    m_state->Doc.DataSubFolder = u"data2\\"_qs;
    QCOMPARE(FindObjectBmp(*m_state, u"kusa.bmp"_qs).value(), 1);
    m_state->Doc.DataSubFolder = u"data3\\"_qs;
    QCOMPARE(FindObjectBmp(*m_state, u"kusa.bmp"_qs).value(), -1);
}

void TestLayoutCanvas::brokenPictureChangesNothing()
{
    m_world->WriteFile(u"C:\\aq\\data\\broken.bmp"_qs, "not a picture");
    Place(100, 50);
    Guard(*m_prompts, [&] { Place(150, 50, u"broken.bmp"_qs); });
    QCOMPARE(m_prompts->Messages(), QStringList{u"ビットマップイメージが不正です"_qs});
    QCOMPARE(m_state->Doc.LastObject, 0);
    QCOMPARE(m_state->Doc.LastObjectBmp, 0);
    QCOMPARE(m_state->Doc.ObjectTable[0].BmpIndex, 0);
}

void TestLayoutCanvas::grabInvertsWhereItStands()
{
    Place(100, 10); // column 6, back, bottom anchor; the plant is 20 x 30 at 1024 x 768
    const QImage before = m_state->View.TankPicture;
    Point(0);
    m_canvas->MouseDown(MouseButton::Left, kLeftButton, 100, 10);
    const int x0 = 6 * 16 - 10;
    const int y0 = 240 - 30 - 30;
    for (const QPoint p : {QPoint(x0, y0), QPoint(x0 + 19, y0 + 29), QPoint(x0 + 10, y0 + 15)})
        QCOMPARE(m_state->View.TankPicture.pixel(p), before.pixel(p) ^ 0x00FFFFFFu);
    QCOMPARE(m_state->View.TankPicture.pixel(x0 - 1, y0), before.pixel(x0 - 1, y0));
    QCOMPARE(m_state->View.TankPicture.pixel(x0 + 20, y0), before.pixel(x0 + 20, y0));
}

void TestLayoutCanvas::accessoryPreview_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("drawn");
    QTest::newRow("640x480") << QSize(640, 480) << QRect(0, 0, 161, 120);
    QTest::newRow("32x64 enlarged") << QSize(32, 64) << QRect(0, 0, 64, 129);
    QTest::newRow("161x129 exactly") << QSize(161, 129) << QRect(0, 0, 161, 129);
}

void TestLayoutCanvas::accessoryPreview()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, drawn);
    m_world->WritePicture(u"C:\\aq\\data\\big.bmp"_qs,
                          SolidPicture(picture.width(), picture.height(), 0x00FF00));
    const QImage preview = AccessoryPreview(*m_state, u"big.bmp"_qs);
    QRect box;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x)
            if (PixelAt(preview, x, y) != kBlack)
                box |= QRect(x, y, 1, 1);
    QCOMPARE(box, drawn);
}

QTEST_MAIN(TestLayoutCanvas)
#include "tst_layoutcanvas.moc"
