#pragma once

#include "core/document/aquarium.h"
#include "core/document/fish_character.h"
#include "core/document/object_bmp.h"
#include "core/platform/raster.h"
#include "core/preview/render_preview.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace aquarium {

class Files;

inline constexpr int kLiveTicksPerSecond = 20;

// The swimming values of a fish character as the live view uses them, in its units
// (docs/live-view.md says what each does).
struct SwimmingValues
{
    double TurnTicks = 150; // mean ticks between two changes of movement
    double HorizontalStep = 4; // pixels per tick at cruising speed
    double VerticalStep = 3; // pixels per tick
    double TopSpeed = 5; // the largest multiple of the steps
    double LayerTarget = 0.5; // preferred height, 0 the surface, 1 the sand
    double LayerWeight = 0; // how strongly it keeps to it, 0 not at all
    double UpperRange = 1; // a bottom lover's reach above the sand, share of the water
    double FoodRange = 20; // body lengths within which food is seen
    double SchoolChance = 0; // at a change of movement, the chance to join the school
    double SchoolRange = 6; // body lengths within which others of its kind count
    double RestChance = 0; // at a change of movement, the chance to rest
    double DepthTarget = -1; // preferred depth from the friendliness, -1 none
    bool FrontGlass = false;
    bool QuickTurn = false;
    bool Slow = false;
    QString Home; // data name of the accessory picture it gathers at
};

[[nodiscard]] SwimmingValues SwimmingValuesOf(const FishCharacter& character);

// The whole aquarium, playing: the fish of the six slots swimming by their characters'
// swimming values, bubbles rising from the aeration, the water flow, food falling where
// the user clicks, drawn over the background, the sand and the accessories as the screen
// saver's screen of the chosen resolution shows them. Deterministic for a seed.
class LiveTank
{
public:
    struct Fish
    {
        int Kind = 0;
        double X = 0, Y = 0, Z = 0; // centre, pixels; depth 0 front .. 1 back
        double Vx = 0, Vy = 0, Vz = 0; // pixels (depth units for Z) per tick
        double TargetVx = 0, TargetVy = 0, TargetVz = 0; // the velocity it eases towards
        // The present movement: its speed factor, its way across, the height and depth it
        // makes for, and what it swims to, if anything.
        double Speed = 1;
        int Direction = -1;
        double TargetY = 0, TargetZ = 0;
        enum { Free, ToSchool, ToHome } Goal = Free;
        double GoalX = 0, GoalY = 0;
        double PlaceX = 0, PlaceY = 0; // its place in the school, from the school's middle
        int Facing = -1; // -1 to the left (as the bitmap), 1 right
        int FrameIndex = 0;
        int Rest = 0; // ticks of rest left
        double LastX = 0, LastY = 0, LastZ = 0; // where it was at the tick before
    };
    struct Bubble
    {
        double X = 0, Y = 0, Phase = 0;
        double LastX = 0, LastY = 0;
    };
    struct Food
    {
        double X = 0, Y = 0;
        int Age = 0;
        double LastY = 0;
    };
    struct Kind
    {
        QString CharacterName;
        SwimmingValues Values;
        QSize Cell; // a frame's size on the screen at the front glass, screen pixels
        int FrameCount = 0;
        // The frames side by side, the fish facing left, as one ARGB32 sprite at the size
        // they are drawn on the output (or smaller, to keep within the budget). Null until
        // made, or when they could not be made (the bitmap is then listed as missing).
        QImage Frames;
        int AnimCount = 1;
        bool AnimLoop = false;
        int Count = 0;
    };

    // When the fish's frames are made: before the constructor or Update returns, or on a
    // worker thread, each kind shown from the tick after its frames are there.
    enum class FishFrames { Now, Later };

    // The scene of an aquarium on a screen of the given size (the resolution the
    // accessory page assumes), drawn at output size (the screen's, or a window's).
    // Missing pictures and characters are left out and listed. A screen too large for
    // the memory there is throws a PlatformError that says so.
    LiveTank(const Files& files, const Aquarium& doc, QSize screen, QSize output,
        std::uint64_t seed, FishFrames frames = FishFrames::Now);
    ~LiveTank();
    LiveTank(LiveTank&&) noexcept;
    LiveTank& operator=(LiveTank&&) noexcept;

    // After an edit, a change of resolution or of the window: the scene is made anew;
    // fish of a kind that is still there keep where they are, and frames made from the
    // same inputs as before are kept.
    void Update(const Files& files, const Aquarium& doc, QSize screen, QSize output);

    // Takes in the frames a worker has made since; returns whether any came (Missing may
    // have grown then). Frames made for an earlier Update are dropped.
    bool TakeReadyFrames();
    // Whether frames are still being made.
    [[nodiscard]] bool FramesPending() const;
    // What the fish frames of all kinds take, bytes; never more than kFishFramesBudget.
    [[nodiscard]] qint64 FramesBytes() const;
    static constexpr qint64 kFishFramesBudget = qint64(256) << 20;

    // One tick: every fish, bubble and morsel of food moves.
    void Step();
    // A click at x (screen pixels): food falls there, when the aquarium has food.
    void DropFood(double x);
    // The frame of the current tick, output sized.
    void Draw(QImage& frame) const;
    // The frame a part of the way from the tick before to the current one (between 0 the
    // tick before, 1 the current tick): each fish, bubble, morsel and swaying accessory
    // placed between its two positions, for a display faster than the ticks. Draws only
    // where something moved since the last call into the same frame; changed gets the
    // rectangles drawn (the whole frame after a new frame, an Update or new fish frames).
    void DrawBetween(QImage& frame, double between, std::vector<QRect>& changed);
    // The centre of a fish between the tick before and the current one, screen pixels.
    [[nodiscard]] QPointF FishCentre(const Fish& fish, double between) const;

    [[nodiscard]] QSize Screen() const { return m_screen; }
    [[nodiscard]] QSize Output() const { return m_output; }
    [[nodiscard]] int Tick() const { return m_tick; }
    [[nodiscard]] const std::vector<Kind>& Kinds() const { return m_kinds; }
    [[nodiscard]] const std::vector<Fish>& Fishes() const { return m_fish; }
    [[nodiscard]] const std::vector<Bubble>& Bubbles() const { return m_bubbles; }
    [[nodiscard]] const std::vector<Food>& FoodBits() const { return m_food; }
    // The files the view could not show (Windows paths), each once.
    [[nodiscard]] const QStringList& Missing() const { return m_missing; }
    // The lowest a fish's centre or a bubble may be: the top of the sand.
    [[nodiscard]] int WaterBottom() const { return m_screen.height() - m_sandHeight; }
    // A fish's size on the screen, smaller the farther back it swims.
    [[nodiscard]] QSizeF FishSize(const Fish& fish, double between = 1) const;
    // Where a fish is drawn on the output: its rectangle, mirrored (right before left)
    // when it swims to the right; the frame of its kind it shows.
    [[nodiscard]] Rect FishRect(const Fish& fish, double between = 1) const;
    [[nodiscard]] int FishFrame(const Fish& fish) const;

private:
    struct FrameMail;
    void Build(const Files& files, const Aquarium& doc);
    // The frames each kind needs, within the budget: made now, kept from before, or handed
    // to a worker.
    void MakeFrames(std::vector<Kind>& previous, std::vector<PreviewInputs>& previousInputs);
    void Populate(const std::vector<Fish>& previous, const std::vector<QString>& previousNames);
    void NewMovement(Fish& fish);
    // The middle of the other fish of its kind within its school range, if any.
    [[nodiscard]] std::optional<QPointF> School(const Fish& fish) const;
    void Move(Fish& fish);
    // The glass, the surface and the sand hold it in: its centre half its size inside.
    void KeepInside(Fish& fish);
    // The scene at between, into target, which shows the part of the output at origin.
    void DrawScene(QImage& target, QPoint origin, double between) const;
    void DrawFish(QImage& frame, QPoint origin, double between, double nearest,
                  double farthest) const;
    // The output rectangles of what moves: fish, bubbles, food, swaying accessories.
    void MovingRects(double between, std::vector<QRect>& rects) const;
    [[nodiscard]] double Random(); // 0 <= r < 1
    [[nodiscard]] double Between(double low, double high) { return low + (high - low) * Random(); }
    void NoteMissing(const QString& path);

    QSize m_screen;
    QSize m_output;
    double m_kx = 1, m_ky = 1; // output pixels per screen pixel
    std::uint64_t m_random;
    int m_tick = 0;
    Aquarium m_doc; // the accessory tables and options as last updated
    QImage m_base; // background and sand, output sized
    int m_sandHeight = 0; // screen pixels
    int m_outputSandHeight = 0; // output pixels
    std::array<AccessorySprite, kMaxObjectBmps> m_accessories; // sprites at output size
    std::array<QPointF, kMaxObjects> m_homes; // centres of the placed accessories
    QImage m_bubble, m_morsel; // sprites
    std::vector<Kind> m_kinds;
    std::vector<PreviewInputs> m_frameInputs; // what each kind's frames are made from
    std::vector<QString> m_bitmapPaths; // each kind's bitmap, named when its frames fail
    FishFrames m_frameMode = FishFrames::Now;
    std::shared_ptr<FrameMail> m_mail; // the worker's results for this Update
    std::vector<Fish> m_fish;
    std::vector<Bubble> m_bubbles;
    std::vector<Food> m_food;
    double m_flow = 0; // pixels per tick to the right
    QStringList m_missing;
    // What DrawBetween drew last: into which frame, and where what moves stood.
    const uchar* m_drawnInto = nullptr;
    qint64 m_drawnKey = 0; // the frame's cache key then: changed by any other drawing
    std::vector<QRect> m_drawnMoving;
};

} // namespace aquarium
