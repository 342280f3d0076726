#include "core/document/fish_character.h"
#include "core/document/object_bmp.h"
#include "core/document/tank_preview.h"
#include "core/live/live_tank.h"
#include "core/platform/fonts.h"
#include "core/platform/raster.h"
#include "core/preview/render_preview.h"
#include "support/test_world.h"

#include <QGuiApplication>
#include <QTest>

#include <cmath>
#include <functional>
#include <map>
#include <set>

using namespace aquarium;
using namespace aquarium::test;

class TestLiveTank : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameSeedSameFrames();
    void swimmingValues_data();
    void swimmingValues();
    void everythingStaysInTheTank();
    void mirroredFishIsTheRenderersFrameMirrored();
    void accessoriesAreTheTankPreviews();
    void missingFilesAreNamedOnce();
    void framesWithinTheBudget();
    void fishLargerThanTheTankStaysInIt();
    void betweenTheTicks();
};

namespace {

const QString kFolder = u"C:\\tank\\"_qs;
const QSize kScreen(640, 480);

// A fish facing left: a red head on the left, a green tail on the right, on black.
QImage FishBitmap()
{
    QImage bitmap = MakePicture(40, 20, kBlack);
    FillRect(bitmap, {2, 4, 16, 16}, 0x0000FF);
    FillRect(bitmap, {16, 8, 38, 12}, 0x00FF00);
    return bitmap;
}

// A tank of one fish kind of the character, with food, bubbles, sand and one rock at the
// far left.
struct Scene
{
    TestWorld world;
    Aquarium doc;

    explicit Scene(const FishCharacter& character, int amount = 20)
    {
        world.WritePicture(kFolder + u"fish.bmp"_qs, FishBitmap());
        SaveFishCharacter(world.MakeFiles(), character, kFolder + u"fish"_qs);
        QImage morsel = SolidPicture(6, 6, 0x2080FF);
        SetPixelAt(morsel, 0, 0, kBlack);
        world.WritePicture(kFolder + u"food.bmp"_qs, morsel);
        QImage bubble = SolidPicture(8, 8, kWhite);
        SetPixelAt(bubble, 0, 0, kBlack);
        world.WritePicture(kFolder + u"bubble.bmp"_qs, bubble);
        world.WritePicture(kFolder + u"sand.bmp"_qs, SolidPicture(64, 30, 0x80C0E0));
        QImage rock = SolidPicture(60, 40, 0x808080);
        SetPixelAt(rock, 0, 0, kBlack);
        world.WritePicture(kFolder + u"rock.bmp"_qs, rock);

        doc.DataFolder = kFolder;
        doc.Fish[0].CharacterName = u"fish"_qs;
        doc.Fish[0].FishAmount = QString::number(amount);
        doc.FishCountsFixed = true;
        doc.FoodName = u"food"_qs;
        doc.BubbleName = u"bubble"_qs;
        doc.SandName = u"sand"_qs;
        doc.ObjectBmpTable[0].BmpName = u"rock"_qs;
        doc.LastObjectBmp = 0;
        doc.ObjectTable[0] = {0, 0, 2, 0, 0, 0};
        doc.LastObject = 0;
    }

    LiveTank Tank(QSize output = kScreen, std::uint64_t seed = 1) const
    {
        return LiveTank(world.MakeFiles(), doc, kScreen, output, seed);
    }
};

// Sets the swimming values written as "Key=value;Key=value" on a character.
FishCharacter Character(const QString& assignments)
{
    using Setter = std::function<void(FishCharacter&, const QString&)>;
    const auto text = [](QString FishCharacter::*field) -> Setter {
        return [field](FishCharacter& c, const QString& v) { c.*field = v; };
    };
    const auto flag = [](bool FishCharacter::*field) -> Setter {
        return [field](FishCharacter& c, const QString& v) { c.*field = v == u"1"; };
    };
    const std::map<QString, Setter> setters {
        {u"PreferredLayer"_qs, text(&FishCharacter::PreferredLayer)},
        {u"UpperRange"_qs, text(&FishCharacter::UpperRange)},
        {u"MaxSpeedMultiple"_qs, text(&FishCharacter::MaxSpeedMultiple)},
        {u"HorizontalStep"_qs, text(&FishCharacter::HorizontalStep)},
        {u"VerticalStep"_qs, text(&FishCharacter::VerticalStep)},
        {u"TurnFrequency"_qs, text(&FishCharacter::TurnFrequency)},
        {u"RestFrequency"_qs, text(&FishCharacter::RestFrequency)},
        {u"SchoolingFrequency"_qs, text(&FishCharacter::SchoolingFrequency)},
        {u"SchoolRange"_qs, text(&FishCharacter::SchoolRange)},
        {u"FoodRange"_qs, text(&FishCharacter::FoodRange)},
        {u"Friendliness"_qs, text(&FishCharacter::Friendliness)},
        {u"HomePosition"_qs, text(&FishCharacter::HomePosition)},
        {u"Slow"_qs, flag(&FishCharacter::Slow)},
        {u"QuickTurn"_qs, flag(&FishCharacter::QuickTurn)},
        {u"FrontGlass"_qs, flag(&FishCharacter::FrontGlass)},
        {u"GatherAtAccessory"_qs, flag(&FishCharacter::GatherAtAccessory)},
    };
    FishCharacter character;
    character.Format = BmpFormat::NoAnimation;
    for (const QString& assignment : assignments.split(u';', Qt::SkipEmptyParts)) {
        const QStringList kv = assignment.split(u'=');
        setters.at(kv[0])(character, kv[1]);
    }
    return character;
}

// A measure of the fish over a run of ticks.
double Measure(const QString& measure, const FishCharacter& character)
{
    Scene scene(character);
    LiveTank tank = scene.Tank(QSize(160, 120));
    double sum = 0;
    int samples = 0;
    std::vector<int> facing;
    for (const LiveTank::Fish& fish : tank.Fishes())
        facing.push_back(fish.Facing);
    for (int t = 0; t < 1500; ++t) {
        if (measure == u"food left" && t % 100 == 0)
            tank.DropFood(320);
        tank.Step();
        const auto& all = tank.Fishes();
        if (measure == u"spread") {
            double mx = 0, my = 0, var = 0;
            for (const auto& f : all) {
                mx += f.X / all.size();
                my += f.Y / all.size();
            }
            for (const auto& f : all)
                var += ((f.X - mx) * (f.X - mx) + (f.Y - my) * (f.Y - my)) / all.size();
            sum += std::sqrt(var);
            ++samples;
            continue;
        }
        if (measure == u"food left") {
            sum += double(tank.FoodBits().size());
            ++samples;
            continue;
        }
        for (size_t i = 0; i < all.size(); ++i) {
            const LiveTank::Fish& f = all[i];
            const double water = tank.WaterBottom();
            sum += measure == u"mean height" ? (water - f.Y) / water
                : measure == u"mean x"       ? f.X / kScreen.width()
                : measure == u"mean depth"   ? f.Z
                : measure == u"mean speed"   ? std::hypot(f.Vx, f.Vy)
                : measure == u"turns"        ? double(f.Facing != facing[i])
                                             : qQNaN();
            facing[i] = f.Facing;
            ++samples;
        }
    }
    return sum / samples;
}

} // namespace

void TestLiveTank::sameSeedSameFrames()
{
    Scene scene(Character(u"SchoolingFrequency=50;RestFrequency=10"_qs), 10);
    scene.doc.Aeration = AerationPosition::All;
    LiveTank a = scene.Tank(QSize(320, 240), 7);
    LiveTank b = scene.Tank(QSize(320, 240), 7);
    LiveTank other = scene.Tank(QSize(320, 240), 8);
    QImage fa, fb, fo;
    bool differs = false;
    for (int t = 0; t < 60; ++t) {
        if (t == 10) {
            a.DropFood(100);
            b.DropFood(100);
            other.DropFood(100);
        }
        a.Draw(fa);
        b.Draw(fb);
        other.Draw(fo);
        QCOMPARE(fa, fb);
        differs = differs || fa != fo;
        a.Step();
        b.Step();
        other.Step();
    }
    QVERIFY(differs);
}

void TestLiveTank::betweenTheTicks()
{
    // Drawn a part of the way between two ticks, only where something moved: each frame
    // is the frame drawn whole, and each fish lies between its two positions.
    Scene scene(Character(u"SchoolingFrequency=50"_qs), 12);
    scene.doc.Aeration = AerationPosition::All;
    scene.doc.ObjectTable[0].Sway = 1;
    LiveTank tank = scene.Tank(QSize(320, 240), 3);
    QImage frame, whole;
    std::vector<QRect> changed;
    tank.DrawBetween(frame, 1.0, changed);
    QCOMPARE(changed, std::vector<QRect> {frame.rect()});
    for (int t = 0; t < 40; ++t) {
        tank.Step();
        if (t == 5)
            tank.DropFood(100);
        for (double between : {0.0, 0.3, 0.75, 1.0}) {
            tank.DrawBetween(frame, between, changed);
            QImage alone; // a frame of its own is drawn whole
            tank.DrawBetween(alone, between, changed);
            QCOMPARE(frame, alone);
            tank.DrawBetween(frame, between, changed); // (alone was the last one drawn)
            for (const LiveTank::Fish& fish : tank.Fishes()) {
                const QPointF at = tank.FishCentre(fish, between);
                QVERIFY(std::min(fish.LastX, fish.X) <= at.x() && at.x() <= std::max(fish.LastX, fish.X));
                QVERIFY(std::min(fish.LastY, fish.Y) <= at.y() && at.y() <= std::max(fish.LastY, fish.Y));
                if (between == 0.0)
                    QCOMPARE(at, QPointF(fish.LastX, fish.LastY));
            }
        }
        tank.Draw(whole); // at the tick itself: the frame the tool writes
        QCOMPARE(frame, whole);
    }
    // Between two frames little changes: a few rectangles, not the whole frame.
    tank.Step();
    tank.DrawBetween(frame, 0.5, changed);
    tank.DrawBetween(frame, 0.6, changed);
    qint64 area = 0;
    for (const QRect& r : changed)
        area += qint64(r.width()) * r.height();
    QVERIFY2(area < 320 * 240 / 2, qPrintable(QString::number(area)));
}

void TestLiveTank::swimmingValues_data()
{
    // The first character's measure is below the second's.
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("higher");
    QTest::addColumn<QString>("measure");
    QTest::newRow("preferred layer")
        << u"PreferredLayer=底が大好き"_qs << u"PreferredLayer=上が大好き"_qs << u"mean height"_qs;
    QTest::newRow("middle layer over the bottom")
        << u"PreferredLayer=下が好き"_qs << u"PreferredLayer=中層が好き"_qs << u"mean height"_qs;
    QTest::newRow("upper range of a bottom lover")
        << u"PreferredLayer=底が大好き;UpperRange=5"_qs
        << u"PreferredLayer=底が大好き;UpperRange=100"_qs << u"mean height"_qs;
    QTest::newRow("top speed") << u"MaxSpeedMultiple=1"_qs << u"MaxSpeedMultiple=10"_qs
                               << u"mean speed"_qs;
    QTest::newRow("horizontal step")
        << u"HorizontalStep=1"_qs << u"HorizontalStep=8"_qs << u"mean speed"_qs;
    QTest::newRow("slow swimming") << u"Slow=1"_qs << u""_qs << u"mean speed"_qs;
    QTest::newRow("wish to rest") << u"RestFrequency=100"_qs << u"RestFrequency=0"_qs
                                  << u"mean speed"_qs;
    QTest::newRow("turn frequency")
        << u"TurnFrequency=1000"_qs << u"TurnFrequency=10"_qs << u"turns"_qs;
    QTest::newRow("schooling") << u"SchoolingFrequency=100;SchoolRange=50"_qs
                               << u"SchoolingFrequency=0;SchoolRange=50"_qs << u"spread"_qs;
    QTest::newRow("friendliness") << u"Friendliness=ひとなつっこい"_qs << u"Friendliness=恐がり"_qs
                                  << u"mean depth"_qs;
    QTest::newRow("front glass") << u"FrontGlass=1"_qs << u""_qs << u"mean depth"_qs;
    QTest::newRow("gathering at the rock")
        << u"GatherAtAccessory=1;HomePosition=rock.bmp"_qs << u""_qs << u"mean x"_qs;
    QTest::newRow("appetite") << u"FoodRange=100"_qs << u"FoodRange=0"_qs << u"food left"_qs;
}

void TestLiveTank::swimmingValues()
{
    QFETCH(QString, lower);
    QFETCH(QString, higher);
    QFETCH(QString, measure);
    const double low = Measure(measure, Character(lower));
    const double high = Measure(measure, Character(higher));
    QVERIFY2(low < 0.8 * high, qPrintable(QStringLiteral("%1 against %2").arg(low).arg(high)));
}

void TestLiveTank::everythingStaysInTheTank()
{
    Scene scene(Character(u"MaxSpeedMultiple=20;HorizontalStep=30;VerticalStep=30;"
                          "PreferredLayer=上が大好き;QuickTurn=1"_qs),
        50);
    for (const int type : {1, 2}) {
        scene.doc.AquariumType = type;
        scene.doc.Aeration = type == 1 ? AerationPosition::All : AerationPosition::Left;
        LiveTank tank = scene.Tank(QSize(320, 240), std::uint64_t(type));
        bool bubbles = false;
        for (int t = 0; t < 400; ++t) {
            if (t % 40 == 0)
                tank.DropFood(t);
            tank.Step();
            for (const LiveTank::Fish& fish : tank.Fishes()) {
                const Rect r = tank.FishRect(fish);
                QVERIFY(std::min(r.Left, r.Right) >= 0 && std::max(r.Left, r.Right) <= 320);
                QVERIFY(r.Top >= 0 && r.Bottom <= 240 - 240 * 30 / 480);
                QVERIFY(fish.Z >= 0 && fish.Z <= 1);
            }
            for (const LiveTank::Bubble& b : tank.Bubbles())
                QVERIFY(b.X >= 0 && b.X < 640 && b.Y >= 0 && b.Y <= tank.WaterBottom());
            for (const LiveTank::Food& f : tank.FoodBits())
                QVERIFY(f.X >= 0 && f.X < 640 && f.Y >= 0 && f.Y <= tank.WaterBottom());
            bubbles = bubbles || !tank.Bubbles().empty();
        }
        QVERIFY(bubbles);
    }
}

void TestLiveTank::mirroredFishIsTheRenderersFrameMirrored()
{
    FishCharacter character = Character(u"FrontGlass=1;TurnFrequency=5"_qs);
    character.Format = BmpFormat::XStretch;
    character.AnimationDataNo = 6;
    Scene scene(character, 1);
    scene.doc.LastObject = -1; // nothing in front of it
    scene.doc.BubbleName.clear();
    PreviewInputs in;
    in.Bitmap = FishBitmap();
    in.Format = character.Format;
    in.Frames = character.AnimationDataNo;
    in.StretchDX = character.StretchDX;
    in.DisplayWidth = in.DisplayHeight = 4096;
    const PreviewResult r = RenderPreview(in);
    QVERIFY(r.FrameCount > 1);

    LiveTank tank = scene.Tank();
    QImage frame;
    std::set<int> facings, cells;
    for (int t = 0; t < 300; ++t, tank.Step()) {
        const LiveTank::Fish& fish = tank.Fishes().at(0);
        const Rect at = tank.FishRect(fish);
        const int cell = tank.FishFrame(fish);
        QCOMPARE(std::abs(at.Right - at.Left), r.CellWidth);
        QCOMPARE(at.Bottom - at.Top, r.CellHeight);
        facings.insert(fish.Facing);
        cells.insert(cell);
        tank.Draw(frame);
        const int left = std::min(at.Left, at.Right);
        for (int y = 0; y < r.CellHeight; ++y) {
            for (int x = 0; x < r.CellWidth; ++x) {
                const ColorRef c = PixelAt(r.Strip, cell * r.CellWidth + x, y);
                if (c == kBlack)
                    continue;
                const int drawnX = fish.Facing > 0 ? left + r.CellWidth - 1 - x : left + x;
                QCOMPARE(PixelAt(frame, drawnX, at.Top + y), c);
            }
        }
    }
    QCOMPARE(facings, (std::set<int> {-1, 1}));
    QVERIFY(cells.size() > 1);
}

void TestLiveTank::accessoriesAreTheTankPreviews()
{
    Scene scene(Character(QString()), 0);
    Aquarium& doc = scene.doc;
    doc.Fish[0] = FishSlot();
    doc.BubbleName.clear();
    doc.BackgroundColourFill = true;
    doc.BackgroundGreen = doc.BackgroundBlue = 255; // the tank preview's colour
    QImage plant = SolidPicture(50, 120, 0x20A020);
    SetPixelAt(plant, 0, 0, kWhite);
    scene.world.WritePicture(kFolder + u"plant.bmp"_qs, plant);
    doc.ObjectBmpTable[1].BmpName = u"plant"_qs;
    QImage weed = SolidPicture(200, 30, 0x104010);
    SetPixelAt(weed, 0, 0, kBlack);
    scene.world.WritePicture(kFolder + u"weed.bmp"_qs, weed);
    doc.ObjectBmpTable[2].BmpName = u"weed"_qs;
    doc.LastObjectBmp = 2;
    doc.ObjectTable[1] = {1, 2, 2, 7, 1, 0}; // a swaying plant in the middle
    doc.ObjectTable[2] = {0, 4, 0, 19, 0, 0}; // the rock hanging at the top right, in front
    doc.ObjectTable[3] = {2, 0, 2, 0, 0, 1}; // weed spread along the sand
    doc.ObjectTable[4] = {1, 4, 1, 12, 0, 0}; // a plant in front, anchored at its middle
    doc.LastObject = 4;
    for (const QSize screen : {kScreen, QSize(1024, 768)}) {
        AccessorySprites sprites;
        QVERIFY(LoadObjectBmps(scene.world.MakeFiles(), doc, screen, sprites).isEmpty());
        QImage preview, strip;
        DrawTankPreview(scene.world.MakeFiles(), doc, screen, sprites, preview, strip,
            InterfaceFont());
        LiveTank tank(scene.world.MakeFiles(), doc, screen, preview.size(), 1);
        QImage frame;
        tank.Draw(frame);
        QCOMPARE(frame.convertToFormat(QImage::Format_RGB32),
            preview.convertToFormat(QImage::Format_RGB32));
        QVERIFY(tank.Missing().isEmpty());
    }
}

void TestLiveTank::missingFilesAreNamedOnce()
{
    Scene scene(Character(QString()), 3);
    Aquarium& doc = scene.doc;
    doc.Fish[1].CharacterName = u"ghost"_qs;
    doc.BubbleName = u"foam"_qs;
    doc.ObjectBmpTable[1].BmpName = u"gone"_qs;
    doc.LastObjectBmp = 1;
    doc.ObjectTable[1] = {1, 2, 2, 5, 1, 0};
    doc.LastObject = 1;
    LiveTank tank = scene.Tank(QSize(320, 240));
    const QStringList expected {kFolder + u"gone.bmp"_qs, kFolder + u"foam.bmp"_qs,
        kFolder + u"ghost.ulc"_qs, kFolder + u"ghost.bmp"_qs};
    QCOMPARE(tank.Missing(), expected);
    QImage frame;
    for (int t = 0; t < 20; ++t) {
        tank.Step();
        tank.Draw(frame);
    }
    QCOMPARE(tank.Fishes().size(), size_t(3)); // the fish that could be shown
    // Made anew after an edit, the fish of a kind still there keep their places.
    const double x = tank.Fishes()[2].X, y = tank.Fishes()[2].Y;
    doc.BubbleName = u"bubble"_qs;
    tank.Update(scene.world.MakeFiles(), doc, kScreen, QSize(320, 240));
    QCOMPARE(tank.Missing(), expected.mid(0, 1) + expected.mid(2));
    QCOMPARE(tank.Fishes().size(), size_t(3));
    QCOMPARE(tank.Fishes()[2].X, x);
    QCOMPARE(tank.Fishes()[2].Y, y);
}

void TestLiveTank::framesWithinTheBudget()
{
    // Six kinds whose 64 frames at the bitmap's own size would take 1.6 GB.
    FishCharacter character = Character(QString());
    character.Format = BmpFormat::XStretch;
    character.AnimationDataNo = 64;
    Scene scene(character, 2);
    QImage bitmap = SolidPicture(1000, 1024, 0x0000FF);
    SetPixelAt(bitmap, 0, 0, kBlack);
    scene.world.WritePicture(kFolder + u"fish.bmp"_qs, bitmap);
    for (int slot = 1; slot < kFishSlotCount; ++slot)
        scene.doc.Fish[size_t(slot)] = scene.doc.Fish[0];
    const LiveTank now = scene.Tank();
    QCOMPARE(now.Kinds().size(), size_t(6));
    QVERIFY(now.FramesBytes() <= LiveTank::kFishFramesBudget);
    QVERIFY(now.FramesBytes() > LiveTank::kFishFramesBudget / 2);
    for (const LiveTank::Kind& kind : now.Kinds()) {
        QCOMPARE(kind.Cell, QSize(1050, 1024)); // the size the fish swims at
        QVERIFY(kind.Frames.width() < 64 * 1050);
    }
    for (const LiveTank::Fish& fish : now.Fishes()) {
        const Rect r = now.FishRect(fish);
        QCOMPARE(std::abs(r.Right - r.Left), int(std::lround(1050 * (1 - 0.4 * fish.Z))));
    }

    // Made on a worker: the tank plays at once, and the frames that come are the same.
    LiveTank later(scene.world.MakeFiles(), scene.doc, kScreen, kScreen, 1,
        LiveTank::FishFrames::Later);
    QImage frame;
    later.Draw(frame);
    QTRY_VERIFY_WITH_TIMEOUT((later.TakeReadyFrames(), !later.FramesPending()), 30000);
    for (size_t k = 0; k < 6; ++k)
        QCOMPARE(later.Kinds()[k].Frames, now.Kinds()[k].Frames);
    // An edit that leaves the fish as they were keeps their frames.
    const qint64 key = later.Kinds()[0].Frames.cacheKey();
    scene.doc.BubbleName.clear();
    later.Update(scene.world.MakeFiles(), scene.doc, kScreen, kScreen);
    QVERIFY(!later.FramesPending());
    QCOMPARE(later.Kinds()[0].Frames.cacheKey(), key);
}

void TestLiveTank::fishLargerThanTheTankStaysInIt()
{
    Scene scene(Character(u"MaxSpeedMultiple=20;HorizontalStep=30;VerticalStep=30"_qs), 5);
    QImage bitmap = SolidPicture(1400, 1000, 0x0000FF); // more than twice the tank
    SetPixelAt(bitmap, 0, 0, kBlack);
    scene.world.WritePicture(kFolder + u"fish.bmp"_qs, bitmap);
    LiveTank tank = scene.Tank(QSize(320, 240));
    for (int t = 0; t < 300; ++t) {
        tank.Step();
        for (const LiveTank::Fish& fish : tank.Fishes()) {
            QVERIFY(fish.X >= 0 && fish.X <= kScreen.width());
            QVERIFY(fish.Y >= 0 && fish.Y <= tank.WaterBottom());
        }
    }
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestLiveTank test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_livetank.moc"
