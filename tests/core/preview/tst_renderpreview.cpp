#include "core/platform/platform_error.h"
#include "core/platform/raster.h"
#include "core/preview/motion_player.h"
#include "core/preview/render_preview.h"

#include <QTest>

using namespace aquarium;

Q_DECLARE_METATYPE(BmpFormat)

class TestRenderPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundHalfEven_data();
    void roundHalfEven();
    void xStretchBreathes();
    void fitsTheDisplay_data();
    void fitsTheDisplay();
    void shadowMappingAndsTheMasks();
    void animationCells();
    void frameCountAdjustments_data();
    void frameCountAdjustments();
    void horizontalWaveBands();
    void verticalWaveShiftsRows();
    void narrowPicturesUseOnePixelBands();
    void zeroAmplitudeRepeatsTheBase_data();
    void zeroAmplitudeRepeatsTheBase();
    void degenerateInputThrows_data();
    void degenerateInputThrows();
    void playerSequences_data();
    void playerSequences();
    void playerNeverReadsBeyondTheStrip();
};

namespace {

// Columns of colour c in row y of the picture, between x0 and x1.
QPair<int, int> Span(const QImage& picture, int y, int x0, int x1, ColorRef background = kBlack)
{
    int first = -1, last = -1;
    for (int x = x0; x < x1; ++x) {
        if (PixelAt(picture, x, y) != background) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return {first, last};
}

PreviewInputs Inputs(BmpFormat format, QImage bitmap, int frames)
{
    PreviewInputs in;
    in.Format = format;
    in.Bitmap = std::move(bitmap);
    in.Frames = frames;
    return in;
}

} // namespace

void TestRenderPreview::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::newRow("12.5") << 12.5 << 12;
    QTest::newRow("13.5") << 13.5 << 14;
    QTest::newRow("3.66") << 3.66 << 4;
    QTest::newRow("21.34") << 21.34 << 21;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.6") << -2.6 << -3;
    QTest::newRow("0.49999") << 0.49999 << 0;
}

void TestRenderPreview::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QCOMPARE(RoundHalfEven(value), rounded);
}

void TestRenderPreview::xStretchBreathes()
{
    PreviewInputs in = Inputs(BmpFormat::XStretch, MakePicture(100, 40, 0x00FF00), 4);
    in.StretchDX = 50;
    const PreviewResult r = RenderPreview(in);
    QCOMPARE(r.CellWidth, 150);
    QCOMPARE(r.CellHeight, 40);
    QCOMPARE(r.FrameCount, 4);
    QCOMPARE(r.AnimLoop, true); // forced on
    QCOMPARE(r.AnimCount, 6);
    const int widths[] = {150, 142, 126, 108};
    const int offsets[] = {0, 4, 12, 21};
    for (int i = 0; i < 4; ++i) {
        const auto [first, last] = Span(r.Strip, 20, i * 150, (i + 1) * 150);
        QCOMPARE(first - i * 150, offsets[i]);
        QCOMPARE(last - first + 1, widths[i]);
        QCOMPARE(PixelAt(r.Strip, first, 0), ColorRef(0x00FF00)); // always 40 high
        QCOMPARE(PixelAt(r.Strip, first, 39), ColorRef(0x00FF00));
    }
}

void TestRenderPreview::fitsTheDisplay_data()
{
    QTest::addColumn<BmpFormat>("format");
    QTest::addColumn<QSize>("bitmap");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QSize>("cell");
    QTest::newRow("400x100 Animation: width-fit") << BmpFormat::Animation << QSize(400, 100) << 1
                                                  << QSize(281, 70);
    QTest::newRow("100x300 Animation: height-fit") << BmpFormat::Animation << QSize(100, 300) << 1
                                                   << QSize(43, 129);
    QTest::newRow("fits already") << BmpFormat::Animation << QSize(200, 100) << 1
                                  << QSize(200, 100);
    QTest::newRow("stretch counts in the fit") << BmpFormat::XStretch << QSize(200, 100) << 2
                                               << QSize(210, 100);
}

void TestRenderPreview::fitsTheDisplay()
{
    QFETCH(BmpFormat, format);
    QFETCH(QSize, bitmap);
    QFETCH(int, frames);
    QFETCH(QSize, cell);
    PreviewInputs in = Inputs(format, MakePicture(bitmap.width(), bitmap.height(), 0x808080),
                              frames);
    in.StretchDX = 5;
    const PreviewResult r = RenderPreview(in);
    QCOMPARE(QSize(r.CellWidth, r.CellHeight), cell);
    QCOMPARE(r.Strip.size(), QSize(cell.width() * r.FrameCount, cell.height()));
}

void TestRenderPreview::shadowMappingAndsTheMasks()
{
    // A 20 x 30 bitmap, FishDataNo 2: cells of 10 x 10; the fish (red and green halves) in the
    // top-left cell, the masks in row 2: left keeps red only, right keeps everything.
    QImage bitmap = MakePicture(20, 30, kBlack);
    FillRect(bitmap, {0, 0, 5, 10}, 0x0000FF);
    FillRect(bitmap, {5, 0, 10, 10}, 0x00FF00);
    FillRect(bitmap, {10, 0, 20, 10}, kWhite); // the right half of the top row: white
    FillRect(bitmap, {0, 20, 10, 30}, 0x0000FF);
    FillRect(bitmap, {10, 20, 20, 30}, kWhite);
    PreviewInputs in = Inputs(BmpFormat::ShadowMapping, bitmap, 7);
    in.FishDataNo = 2;
    const PreviewResult r = RenderPreview(in);
    QCOMPARE(r.FrameCount, 2);
    QCOMPARE(r.AnimCount, 2);
    QCOMPARE(QSize(r.CellWidth, r.CellHeight), QSize(10, 10));
    QCOMPARE(PixelAt(r.Strip, 2, 5), ColorRef(0x0000FF));
    QCOMPARE(PixelAt(r.Strip, 7, 5), kBlack); // green AND red mask
    QCOMPARE(PixelAt(r.Strip, 12, 5), ColorRef(0x0000FF));
    QCOMPARE(PixelAt(r.Strip, 17, 5), ColorRef(0x00FF00));
}

void TestRenderPreview::animationCells()
{
    // 50 pixels in 4 frames: cells of 12, the whole bitmap scaled into the 48 columns.
    QImage bitmap = MakePicture(50, 10, kBlack);
    FillRect(bitmap, {0, 0, 25, 10}, 0x0000FF);
    FillRect(bitmap, {25, 0, 50, 10}, 0x00FF00);
    const PreviewResult r = RenderPreview(Inputs(BmpFormat::Animation, bitmap, 4));
    QCOMPARE(r.CellWidth, 12);
    QCOMPARE(r.Strip.size(), QSize(48, 10));
    QCOMPARE(PixelAt(r.Strip, 23, 5), ColorRef(0x0000FF));
    QCOMPARE(PixelAt(r.Strip, 24, 5), ColorRef(0x00FF00));
    QCOMPARE(PixelAt(r.Strip, 47, 5), ColorRef(0x00FF00));
    QCOMPARE(r.AnimCount, 4);
}

void TestRenderPreview::frameCountAdjustments_data()
{
    QTest::addColumn<BmpFormat>("format");
    QTest::addColumn<int>("frames");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<int>("frameCount");
    QTest::addColumn<int>("animCount");
    QTest::addColumn<BmpFormat>("resulting");
    QTest::newRow("No_Animation: one frame, Animation") << BmpFormat::NoAnimation << 9 << false
                                                         << 1 << 1 << BmpFormat::Animation;
    QTest::newRow("ShadowMapping always 2") << BmpFormat::ShadowMapping << 40 << false << 2 << 2
                                            << BmpFormat::ShadowMapping;
    QTest::newRow("stretch with 1 renders 2") << BmpFormat::YStretch << 1 << false << 2 << 2
                                              << BmpFormat::YStretch;
    QTest::newRow("wave with 1 renders 3") << BmpFormat::HWave << 1 << false << 3 << 3
                                           << BmpFormat::HWave;
    QTest::newRow("wave with 2 renders 3") << BmpFormat::VWave2 << 2 << true << 3 << 4
                                           << BmpFormat::VWave2;
    QTest::newRow("loop with one frame: length 1") << BmpFormat::Animation << 1 << true << 1 << 1
                                                   << BmpFormat::Animation;
    QTest::newRow("loop with 64") << BmpFormat::Animation << 64 << true << 64 << 126
                                  << BmpFormat::Animation;
}

void TestRenderPreview::frameCountAdjustments()
{
    QFETCH(BmpFormat, format);
    QFETCH(int, frames);
    QFETCH(bool, loop);
    QFETCH(int, frameCount);
    QFETCH(int, animCount);
    QFETCH(BmpFormat, resulting);
    PreviewInputs in = Inputs(format, MakePicture(128, 40, 0x808080), frames);
    in.AnimLoop = loop;
    const PreviewResult r = RenderPreview(in);
    QCOMPARE(r.FrameCount, frameCount);
    QCOMPARE(r.AnimCount, animCount);
    QCOMPARE(r.Format, resulting);
}

void TestRenderPreview::horizontalWaveBands()
{
    // 100 x 40: bands of 5 columns; DY 50: a = 0.25, cell 100 x 60 (40 * 1.5).
    PreviewInputs in = Inputs(BmpFormat::HWave, MakePicture(100, 40, 0x00FF00), 4);
    in.StretchDY = 50;
    in.WaveLength = 4;
    const PreviewResult r = RenderPreview(in);
    QCOMPARE(QSize(r.CellWidth, r.CellHeight), QSize(100, 60));
    // Cell 0: A = 0, every band shifted down by a * BH = 10 at full height.
    for (int x = 0; x < 100; x += 7) {
        QCOMPARE(PixelAt(r.Strip, x, 9), kBlack);
        QCOMPARE(PixelAt(r.Strip, x, 10), ColorRef(0x00FF00));
        QCOMPARE(PixelAt(r.Strip, x, 49), ColorRef(0x00FF00));
        QCOMPARE(PixelAt(r.Strip, x, 50), kBlack);
    }
    // Cell 1: A = a; band 0 (x 0..4) has d = 0, the band at x 50 has
    // d = sin(4 * 3.141592 * 50 / 4 / 100) * 0.25 = 0.25 * sin(pi/2): y = 20.
    QCOMPARE(PixelAt(r.Strip, 100 + 2, 10), ColorRef(0x00FF00));
    QCOMPARE(PixelAt(r.Strip, 100 + 2, 9), kBlack);
    QCOMPARE(PixelAt(r.Strip, 100 + 52, 19), kBlack);
    QCOMPARE(PixelAt(r.Strip, 100 + 52, 20), ColorRef(0x00FF00));
    // H_Wave2 squeezes the band instead: it ends at CH - y.
    in.Format = BmpFormat::HWave2;
    const PreviewResult squeezed = RenderPreview(in);
    QCOMPARE(PixelAt(squeezed.Strip, 100 + 52, 20), ColorRef(0x00FF00));
    QCOMPARE(PixelAt(squeezed.Strip, 100 + 52, 39), ColorRef(0x00FF00));
    QCOMPARE(PixelAt(squeezed.Strip, 100 + 52, 40), kBlack);
}

void TestRenderPreview::verticalWaveShiftsRows()
{
    PreviewInputs in = Inputs(BmpFormat::VWave, MakePicture(40, 100, 0x00FF00), 4);
    in.StretchDX = 50; // a = 0.25: cell 60 wide (40 * 1.5), base 40
    in.Phase = 4;      // p = pi / 2: row 0 shifts by the whole of A
    const PreviewResult r = RenderPreview(in);
    QCOMPARE(QSize(r.CellWidth, r.CellHeight), QSize(60, 100));
    // Cell 0: xo = a * BW = 10 for every row.
    QCOMPARE(Span(r.Strip, 0, 0, 60), qMakePair(10, 49));
    QCOMPARE(Span(r.Strip, 99, 0, 60), qMakePair(10, 49));
    // Cell 1: A = 0.25, row 0: d = 0.25: xo = 0.5 * 40 = 20, the band ends at the cell's edge.
    QCOMPARE(Span(r.Strip, 0, 60, 120), qMakePair(80, 119));
    // Cell 3: A = -0.25: xo = 0.
    QCOMPARE(Span(r.Strip, 0, 180, 240), qMakePair(180, 219));
}

void TestRenderPreview::narrowPicturesUseOnePixelBands()
{
    // 10 columns: bands of 1 pixel, each following the wave on its own.
    QImage bitmap = MakePicture(10, 20, 0x00FF00);
    PreviewInputs in = Inputs(BmpFormat::HWave, bitmap, 4);
    in.StretchDY = 50;
    in.WaveLength = 8;
    const PreviewResult r = RenderPreview(in);
    QSet<int> tops;
    for (int x = 0; x < 10; ++x) {
        for (int y = 0; y < r.CellHeight; ++y) {
            if (PixelAt(r.Strip, 10 + x, y) != kBlack) {
                tops.insert(y);
                break;
            }
        }
    }
    QVERIFY(tops.size() >= 4); // neighbouring columns differ
}

void TestRenderPreview::zeroAmplitudeRepeatsTheBase_data()
{
    QTest::addColumn<BmpFormat>("format");
    QTest::newRow("H_Wave") << BmpFormat::HWave;
    QTest::newRow("H_Wave2") << BmpFormat::HWave2;
    QTest::newRow("V_Wave") << BmpFormat::VWave;
    QTest::newRow("V_Wave2") << BmpFormat::VWave2;
}

void TestRenderPreview::zeroAmplitudeRepeatsTheBase()
{
    QFETCH(BmpFormat, format);
    QImage bitmap = MakePicture(30, 20, kBlack);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            SetPixelAt(bitmap, x, y, MakeColorRef(x * 8, y * 12, 100));
    PreviewInputs in = Inputs(format, bitmap, 5);
    in.StretchDX = 0;
    in.StretchDY = 0;
    const PreviewResult r = RenderPreview(in);
    QCOMPARE(QSize(r.CellWidth, r.CellHeight), QSize(30, 20));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(r.Strip.copy(i * 30, 0, 30, 20), bitmap);
}

void TestRenderPreview::degenerateInputThrows_data()
{
    QTest::addColumn<BmpFormat>("format");
    QTest::addColumn<int>("fishDataNo");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QSize>("bitmap");
    QTest::newRow("shadow mapping, FishDataNo -1") << BmpFormat::ShadowMapping << -1 << 2
                                                   << QSize(20, 20);
    QTest::newRow("shadow mapping, more rows than pixels") << BmpFormat::ShadowMapping << 30 << 2
                                                           << QSize(20, 20);
    QTest::newRow("more frames than pixels") << BmpFormat::Animation << 1 << 64 << QSize(20, 20);
    QTest::newRow("shadow mapping one pixel wide") << BmpFormat::ShadowMapping << 1 << 2
                                                   << QSize(1, 20);
}

void TestRenderPreview::degenerateInputThrows()
{
    QFETCH(BmpFormat, format);
    QFETCH(int, fishDataNo);
    QFETCH(int, frames);
    QFETCH(QSize, bitmap);
    PreviewInputs in = Inputs(format, MakePicture(bitmap.width(), bitmap.height()), frames);
    in.FishDataNo = fishDataNo;
    try {
        (void)RenderPreview(in);
        QFAIL("no error");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), u"ゼロによる除算"_qs);
    }
}

void TestRenderPreview::playerSequences_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QList<int>>("cells");
    QTest::newRow("4 frames, loop") << 4 << true << QList<int>{1, 2, 3, 2, 1, 0, 1, 2, 3};
    QTest::newRow("4 frames, no loop") << 4 << false << QList<int>{1, 2, 3, 0, 1};
    QTest::newRow("one frame") << 1 << false << QList<int>{0, 0, 0};
    QTest::newRow("one frame, loop") << 1 << true << QList<int>{0, 0};
    QTest::newRow("2 frames, loop") << 2 << true << QList<int>{1, 0, 1, 0};
}

void TestRenderPreview::playerSequences()
{
    QFETCH(int, frames);
    QFETCH(bool, loop);
    QFETCH(QList<int>, cells);
    QImage bitmap = MakePicture(frames * 10, 10, kBlack);
    for (int i = 0; i < frames; ++i)
        FillRect(bitmap, {i * 10, 0, i * 10 + 10, 10}, ColorRef(i + 1));
    PreviewInputs in = Inputs(BmpFormat::Animation, bitmap, frames);
    in.AnimLoop = loop;
    MotionPlayer player;
    player.Start(RenderPreview(in));
    QCOMPARE(PixelAt(player.Display(), 5, 5), kBlack); // black until the first tick
    QList<int> shown;
    for (qsizetype t = 0; t < cells.size(); ++t) {
        shown << player.Tick(loop);
        QCOMPARE(PixelAt(player.Display(), 5, 5), ColorRef(shown.last() + 1));
    }
    QCOMPARE(shown, cells);
}

void TestRenderPreview::playerNeverReadsBeyondTheStrip()
{
    // A looping render of 4 frames (sequence 6), then the loop switched off: positions 4 and
    // 5 have no cell and show black.
    PreviewInputs in = Inputs(BmpFormat::Animation, MakePicture(40, 10, 0x00FF00), 4);
    in.AnimLoop = true;
    MotionPlayer player;
    player.Start(RenderPreview(in));
    QList<int> shown;
    for (int t = 0; t < 7; ++t)
        shown << player.Tick(false);
    QCOMPARE(shown, (QList<int>{1, 2, 3, -1, -1, 0, 1}));
    player.Stop();
    QVERIFY(!player.Running());
    player.Release();
    QCOMPARE(player.Tick(false), -1);
}

QTEST_GUILESS_MAIN(TestRenderPreview)
#include "tst_renderpreview.moc"
