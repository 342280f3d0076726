#include "core/live/live_tank.h"

#include "core/document/object_bmp.h"
#include "core/document/referenced_files.h"
#include "core/document/tank_preview.h"
#include "core/document/vocabulary.h"
#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/platform_error.h"

#include <QPointF>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>

namespace aquarium {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The share of fish when the amounts are ratios (FishCountsFixed off), and the most fish.
constexpr int kFishOfRatios = 20;
constexpr int kMostFish = 100;
// How a fish's size shrinks with depth: at the back it is this share smaller.
constexpr double kDepthShrink = 0.4;
// The water flow of a current, pixels per tick; the speed bubbles rise at.
constexpr double kFlow = 1.5;
constexpr double kBubbleRise = 2.5;
// Food sinks this fast and lies on the sand this long.
constexpr double kFoodSink = 1.0;
constexpr int kFoodTicks = 20 * kLiveTicksPerSecond;

PlatformError TooLarge(QSize output)
{
    return PlatformError(
        kScreenTooLargeMessage.arg(output.width()).arg(output.height()));
}

double Number(const QString& text, double fallback)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}

// The preferred layers: the height each keeps to (0 the surface, 1 the sand) and how much.
struct LayerLiking
{
    const QString& Name;
    double Target, Weight;
};
const LayerLiking kLayers[] = {
    {kLayerLovesTop, 0.05, 1.5},
    {kLayerLikesTop, 0.25, 0.7},
    {kLayerHatesBottom, 0.4, 0.7},
    {kLayerLikesMiddle, 0.5, 1.0},
    {kLayerHatesTop, 0.6, 0.7},
    {kLayerLikesBottom, 0.75, 0.7},
    {kLovesTheBottom, 0.95, 1.5},
    {kLayerAnywhere, 0.5, 0.0},
};

// A bottom lover's liking for moving up and down scales its vertical step, from the least
// liking to the most.
constexpr double kUpDownScales[] = {0.3, 1.0, 1.5, 2.0, 3.0};

// The frames of one kind as one sprite strip: the renderer's strip with its black and the
// bitmap's key colour (its top-left pixel) made transparent, the rest opaque. Runs on any
// thread; a strip that cannot be made throws.
QImage MakeFishFrames(const PreviewInputs& in)
{
    QImage strip;
    try {
        strip = RenderPreview(in).Strip;
    } catch (const std::bad_alloc&) {
        throw PlatformError::OutOfMemory();
    }
    const QRgb key = in.Bitmap.pixel(0, 0) | 0xFF000000u;
    for (int y = 0; y < strip.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            line[x] = (c == 0xFF000000u || c == key) ? 0u : c;
        }
    }
    strip.reinterpretAsFormat(QImage::Format_ARGB32);
    return strip;
}

} // namespace

SwimmingValues SwimmingValuesOf(const FishCharacter& c)
{
    SwimmingValues v;
    v.TurnTicks = std::max(Number(c.TurnFrequency, 150), 1.0);
    v.HorizontalStep = std::clamp(Number(c.HorizontalStep, 4), 0.0, 100.0);
    v.VerticalStep = std::clamp(Number(c.VerticalStep, 3), 0.0, 100.0);
    v.TopSpeed = std::clamp(Number(c.MaxSpeedMultiple, 5), 1.0, 20.0);
    v.LayerTarget = 0.5; // anywhere, when the file names no layer this model knows
    v.LayerWeight = 0;
    for (const LayerLiking& layer : kLayers) {
        if (c.PreferredLayer == layer.Name) {
            v.LayerTarget = layer.Target;
            v.LayerWeight = layer.Weight;
        }
    }
    if (c.PreferredLayer == kLovesTheBottom) {
        const qsizetype liking = kUpDownLikings.indexOf(c.UpDownLiking);
        if (liking >= 0)
            v.VerticalStep *= kUpDownScales[liking];
        v.UpperRange = std::clamp(Number(c.UpperRange, 0), 0.0, 100.0) / 100.0;
    }
    v.FoodRange = std::clamp(Number(c.FoodRange, 20), 0.0, 1000.0);
    v.SchoolChance = std::clamp(Number(c.SchoolingFrequency, 0), 0.0, 100.0) / 100.0;
    v.SchoolRange = std::clamp(Number(c.SchoolRange, 6), 0.0, 1000.0);
    v.RestChance = std::clamp(Number(c.RestFrequency, 0), 0.0, 100.0) / 100.0;
    if (c.Friendliness == kFriendly)
        v.DepthTarget = 0.15;
    else if (c.Friendliness == kShy)
        v.DepthTarget = 0.85;
    v.FrontGlass = c.FrontGlass;
    v.QuickTurn = c.QuickTurn;
    v.Slow = c.Slow;
    if (c.GatherAtAccessory)
        v.Home = FileNamePart(StripExtension(c.HomePosition));
    if (v.Slow) {
        v.HorizontalStep *= 0.5;
        v.VerticalStep *= 0.5;
    }
    return v;
}

// What a worker hands back for one Update: each kind's frames, or nothing when they could
// not be made. A newer Update cancels it.
struct LiveTank::FrameMail
{
    std::mutex Mutex;
    std::vector<std::pair<int, std::optional<QImage>>> Ready;
    int Pending = 0;
    std::atomic<bool> Cancelled {false};
};

LiveTank::LiveTank(const Files& files, const Aquarium& doc, QSize screen, QSize output,
    std::uint64_t seed, FishFrames frames)
    : m_random(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull)
    , m_frameMode(frames)
{
    Update(files, doc, screen, output);
}

LiveTank::~LiveTank()
{
    if (m_mail)
        m_mail->Cancelled = true;
}

LiveTank::LiveTank(LiveTank&&) noexcept = default;
LiveTank& LiveTank::operator=(LiveTank&&) noexcept = default;

double LiveTank::Random()
{
    // xorshift64*: the same numbers on every machine, unlike the library's distributions.
    m_random ^= m_random >> 12;
    m_random ^= m_random << 25;
    m_random ^= m_random >> 27;
    return double((m_random * 2685821657736338717ull) >> 11) / double(1ull << 53);
}

void LiveTank::NoteMissing(const QString& path)
{
    if (!m_missing.contains(path))
        m_missing << path;
}

QSizeF LiveTank::FishSize(const Fish& fish, double between) const
{
    const QSize cell = m_kinds[size_t(fish.Kind)].Cell;
    const double s = 1 - kDepthShrink * (fish.LastZ + (fish.Z - fish.LastZ) * between);
    return {cell.width() * s, cell.height() * s};
}

void LiveTank::Update(const Files& files, const Aquarium& doc, QSize screen, QSize output)
{
    std::vector<QString> names;
    for (const Kind& kind : m_kinds)
        names.push_back(kind.CharacterName);
    const std::vector<Fish> previous = std::move(m_fish);
    m_screen = QSize(std::max(screen.width(), 1), std::max(screen.height(), 1));
    m_output = QSize(std::max(output.width(), 1), std::max(output.height(), 1));
    m_kx = double(m_output.width()) / m_screen.width();
    m_ky = double(m_output.height()) / m_screen.height();
    if (m_output.width() > Files::kMaxPictureSide || m_output.height() > Files::kMaxPictureSide)
        throw TooLarge(m_output);
    m_missing.clear();
    std::vector<Kind> previousKinds = std::move(m_kinds);
    std::vector<PreviewInputs> previousInputs = std::move(m_frameInputs);
    Build(files, doc);
    MakeFrames(previousKinds, previousInputs);
    Populate(previous, names);
}

void LiveTank::Build(const Files& files, const Aquarium& doc)
{
    m_doc = doc;
    const int w = m_screen.width(), h = m_screen.height();
    const auto picture = [&](const QString& path) -> QImage {
        try {
            if (files.FileExists(path))
                return files.LoadPicture(path);
        } catch (const PlatformError&) {
        }
        NoteMissing(path);
        return QImage();
    };
    // A picture scaled to the output with its mask; one that cannot be made is missing.
    const auto Sprite = [&](const QString& path) -> AccessorySprite {
        const QImage source = picture(path);
        try {
            if (!source.isNull())
                return ScaleObjectBmp(source, w, h, m_output);
        } catch (const PlatformError&) {
            NoteMissing(path);
        }
        return AccessorySprite();
    };

    // The files the aquarium names, by what they are for.
    const std::vector<ReferencedFile> named = ReferencedFiles(files, doc);
    const auto pictureOf = [&](FileRole role, int index = -1) {
        const ReferencedFile* f = FindReferenced(named, role, index);
        return f ? picture(f->Path) : QImage();
    };
    const auto spriteOf = [&](FileRole role, int index = -1) {
        const ReferencedFile* f = FindReferenced(named, role, index);
        return f ? Sprite(f->Path) : AccessorySprite();
    };

    // Background: the solid colour, or the picture tiled or stretched, or black.
    try {
        m_base = MakePicture(m_output.width(), m_output.height(), kBlack);
    } catch (const PlatformError&) {
        throw TooLarge(m_output);
    }
    if (doc.BackgroundColourFill) {
        FillRect(m_base, {0, 0, m_output.width(), m_output.height()}, doc.BackgroundColourValue());
    } else if (const QImage back = pictureOf(FileRole::Background); !back.isNull()) {
        if (doc.BackgroundTiling) {
            // Tiles of the picture's own size on the screen.
            const int tw = std::max(int(back.width() * m_kx), 1);
            const int th = std::max(int(back.height() * m_ky), 1);
            for (int y = 0; y < m_output.height(); y += th)
                for (int x = 0; x < m_output.width(); x += tw)
                    StretchCopy(
                        m_base, {x, y, x + tw, y + th}, back, {0, 0, back.width(), back.height()});
        } else {
            StretchCopy(m_base, {0, 0, m_output.width(), m_output.height()}, back,
                {0, 0, back.width(), back.height()});
        }
    }

    // The sand, as the tank preview tiles it.
    m_sandHeight = 0;
    m_outputSandHeight = 0;
    if (const QImage sand = pictureOf(FileRole::Sand); !sand.isNull()) {
        m_outputSandHeight = DrawSand(m_base, sand, w, h);
        m_sandHeight = sand.height();
    }

    // The accessories' sprites at the output's scale, and where each placed one stands.
    for (int e = 0; e < kMaxObjectBmps; ++e)
        m_accessories[size_t(e)] = spriteOf(FileRole::Accessory, e);
    for (int i = 0; i <= std::min(doc.LastObject, kMaxObjects - 1); ++i) {
        const PlacedObject& o = doc.ObjectTable[size_t(i)];
        const int index = std::clamp(o.BmpIndex, 0, kMaxObjectBmps - 1);
        const QSize sprite = m_accessories[size_t(index)].Sprite.size();
        const QPoint at = o.Spread
            ? QPoint(0, m_output.height() - m_outputSandHeight - sprite.height())
            : AccessoryPosition(m_output, m_outputSandHeight, sprite, o);
        const double cx = o.Spread ? m_output.width() / 2.0 : at.x() + sprite.width() / 2.0;
        m_homes[size_t(i)] = QPointF(cx / m_kx, (at.y() + sprite.height() / 2.0) / m_ky);
    }

    m_bubble = spriteOf(FileRole::Bubble).Sprite;
    m_morsel = spriteOf(FileRole::Food).Sprite;
    m_flow = doc.AquariumType == 1 ? -kFlow : doc.AquariumType == 2 ? kFlow : 0.0;

    // The fish kinds: each slot's character and the size of its frames on the screen, the
    // motion preview's at the bitmap's own size. The frames come after.
    m_kinds.clear();
    m_frameInputs.clear();
    m_bitmapPaths.clear();
    double shares = 0;
    for (int k = 0; k < kFishSlotCount; ++k) {
        const FishSlot& slot = doc.Fish[size_t(k)];
        const ReferencedFile* ulc = FindReferenced(named, FileRole::FishCharacter, k);
        const ReferencedFile* bmp = FindReferenced(named, FileRole::FishBitmap, k);
        if (!ulc || !bmp)
            continue;
        Kind kind;
        kind.CharacterName = slot.CharacterName;
        FishCharacter character;
        try {
            if (!files.FileExists(ulc->Path))
                throw PlatformError::CannotOpen(ulc->Path);
            LoadFishCharacter(files, ulc->Path.chopped(kCharacterExtension.size()), character);
        } catch (const PlatformError&) {
            NoteMissing(ulc->Path);
        }
        kind.Values = SwimmingValuesOf(character);
        // At the bitmap's own size first: the size the fish swims at.
        PreviewInputs in = PreviewInputsOf(character, picture(bmp->Path),
            NumberOrOne(slot.FishDataNo), Files::kMaxPictureSide, Files::kMaxPictureSide);
        if (!in.Bitmap.isNull()) {
            try {
                const PreviewResult layout = LayoutPreview(in);
                kind.Cell = QSize(layout.CellWidth, layout.CellHeight);
                kind.FrameCount = layout.FrameCount;
                kind.AnimCount = layout.AnimCount;
                kind.AnimLoop = layout.AnimLoop;
            } catch (const PlatformError&) {
                NoteMissing(bmp->Path);
            }
        }
        kind.Count = std::clamp(NumberOrOne(slot.FishAmount), 0, kMostFish);
        shares += kind.Count;
        m_kinds.push_back(std::move(kind));
        m_frameInputs.push_back(std::move(in));
        m_bitmapPaths.push_back(bmp->Path);
    }
    // Ratios become a share of the fish; a kind without frames is not shown.
    int total = 0;
    for (Kind& kind : m_kinds) {
        if (!doc.FishCountsFixed && shares > 0 && kind.Count > 0)
            kind.Count = std::max(1, int(std::lround(kFishOfRatios * kind.Count / shares)));
        if (kind.Cell.isEmpty())
            kind.Count = 0;
        kind.Count = std::min(kind.Count, kMostFish - total);
        total += kind.Count;
    }
}

void LiveTank::MakeFrames(std::vector<Kind>& previous, std::vector<PreviewInputs>& previousInputs)
{
    // Each kind's frames at the size it is drawn at the front glass of the output, never
    // larger than the renderer makes them; all of them together within the budget.
    std::vector<QSize> sizes(m_kinds.size());
    double bytes = 0;
    for (size_t k = 0; k < m_kinds.size(); ++k) {
        const Kind& kind = m_kinds[k];
        if (kind.Cell.isEmpty())
            continue;
        sizes[k] = QSize(std::clamp(int(std::ceil(kind.Cell.width() * m_kx)), 1, kind.Cell.width()),
            std::clamp(int(std::ceil(kind.Cell.height() * m_ky)), 1, kind.Cell.height()));
        bytes += 4.0 * kind.FrameCount * sizes[k].width() * sizes[k].height();
    }
    const double shrink = bytes > kFishFramesBudget ? std::sqrt(kFishFramesBudget / bytes) : 1.0;

    if (m_mail)
        m_mail->Cancelled = true;
    m_mail.reset();
    std::vector<std::pair<int, PreviewInputs>> jobs;
    for (size_t k = 0; k < m_kinds.size(); ++k) {
        Kind& kind = m_kinds[k];
        PreviewInputs& in = m_frameInputs[k];
        if (kind.Cell.isEmpty()) {
            in = PreviewInputs(); // nothing to make, nothing to keep
            continue;
        }
        in.DisplayWidth = std::max(int(sizes[k].width() * shrink), 1);
        in.DisplayHeight = std::max(int(sizes[k].height() * shrink), 1);
        // The same inputs as before: the same frames.
        bool kept = false;
        for (size_t j = 0; j < previous.size() && !kept; ++j) {
            if (!previousInputs[j].Bitmap.isNull() && previousInputs[j] == in
                && (!previous[j].Frames.isNull() || m_frameMode == FishFrames::Now)) {
                kind.Frames = previous[j].Frames;
                kept = true;
                if (kind.Frames.isNull())
                    NoteMissing(m_bitmapPaths[k]);
            }
        }
        if (kept)
            continue;
        if (m_frameMode == FishFrames::Later) {
            jobs.emplace_back(int(k), in);
            continue;
        }
        try {
            kind.Frames = MakeFishFrames(in);
        } catch (const PlatformError&) {
            NoteMissing(m_bitmapPaths[k]);
        }
    }
    if (jobs.empty())
        return;
    // One worker makes the kinds one after the other; a later Update cancels it between
    // two kinds.
    auto mail = std::make_shared<FrameMail>();
    mail->Pending = int(jobs.size());
    m_mail = mail;
    QThreadPool::globalInstance()->start([mail, jobs = std::move(jobs)] {
        for (const auto& [kind, in] : jobs) {
            if (mail->Cancelled)
                return;
            std::optional<QImage> frames;
            try {
                frames = MakeFishFrames(in);
            } catch (const PlatformError&) {
            }
            const std::lock_guard lock(mail->Mutex);
            mail->Ready.emplace_back(kind, std::move(frames));
        }
    });
}

bool LiveTank::TakeReadyFrames()
{
    if (!m_mail)
        return false;
    std::vector<std::pair<int, std::optional<QImage>>> ready;
    {
        const std::lock_guard lock(m_mail->Mutex);
        ready.swap(m_mail->Ready);
    }
    for (auto& [kind, frames] : ready) {
        if (frames)
            m_kinds[size_t(kind)].Frames = std::move(*frames);
        else
            NoteMissing(m_bitmapPaths[size_t(kind)]);
    }
    m_mail->Pending -= int(ready.size());
    if (m_mail->Pending == 0)
        m_mail.reset();
    return !ready.empty();
}

bool LiveTank::FramesPending() const
{
    return m_mail != nullptr;
}

qint64 LiveTank::FramesBytes() const
{
    qint64 bytes = 0;
    for (const Kind& kind : m_kinds)
        bytes += kind.Frames.sizeInBytes();
    return bytes;
}

void LiveTank::Populate(const std::vector<Fish>& previous, const std::vector<QString>& names)
{
    m_fish.clear();
    std::vector<bool> taken(previous.size(), false);
    for (int k = 0; k < int(m_kinds.size()); ++k) {
        const Kind& kind = m_kinds[size_t(k)];
        int placed = 0;
        for (size_t i = 0; i < previous.size() && placed < kind.Count; ++i) {
            const Fish& old = previous[i];
            if (!taken[i] && size_t(old.Kind) < names.size()
                && names[size_t(old.Kind)] == kind.CharacterName) {
                taken[i] = true;
                Fish fish = old;
                fish.Kind = k;
                fish.FrameIndex = std::min(fish.FrameIndex, std::max(kind.AnimCount - 1, 0));
                m_fish.push_back(fish);
                ++placed;
            }
        }
        for (; placed < kind.Count; ++placed) {
            Fish fish;
            fish.Kind = k;
            fish.Z = kind.Values.FrontGlass ? 0 : Random();
            fish.X = Between(0, m_screen.width());
            fish.Y = Between(0, WaterBottom());
            fish.Facing = Random() < 0.5 ? -1 : 1;
            fish.FrameIndex = int(Random() * std::max(kind.AnimCount, 1));
            NewMovement(fish);
            m_fish.push_back(fish);
        }
    }
    // Whatever the new screen, every fish is inside it, and was there at the tick before.
    for (Fish& fish : m_fish) {
        KeepInside(fish);
        fish.LastX = fish.X;
        fish.LastY = fish.Y;
        fish.LastZ = fish.Z;
    }
    m_drawnInto = nullptr; // the next DrawBetween draws the whole frame
}

std::optional<QPointF> LiveTank::School(const Fish& fish) const
{
    const SwimmingValues& v = m_kinds[size_t(fish.Kind)].Values;
    const double range = v.SchoolRange * std::max(FishSize(fish).width(), 1.0);
    double sx = 0, sy = 0;
    int n = 0;
    for (const Fish& other : m_fish) {
        if (&other == &fish || other.Kind != fish.Kind)
            continue;
        if (std::hypot(other.X - fish.X, other.Y - fish.Y) <= range) {
            sx += other.X;
            sy += other.Y;
            ++n;
        }
    }
    return n > 0 ? std::optional<QPointF>(QPointF(sx / n, sy / n)) : std::nullopt;
}

void LiveTank::NewMovement(Fish& fish)
{
    const SwimmingValues& v = m_kinds[size_t(fish.Kind)].Values;
    const double water = std::max(WaterBottom(), 1);
    fish.Goal = Fish::Free;
    if (Random() < v.RestChance) {
        fish.Rest = int(v.TurnTicks * Between(0.3, 1.0)) + 1;
        fish.Speed = 0;
        fish.TargetY = fish.Y;
        fish.TargetZ = fish.Z;
        return;
    }
    fish.Speed = Between(1, v.TopSpeed);
    fish.Direction = Random() < 0.5 ? -1 : 1;
    if (m_flow != 0 && Random() < 0.8)
        fish.Direction = m_flow > 0 ? -1 : 1; // against the current
    // A height drawn evenly over the water, then drawn towards the preferred layer.
    fish.TargetY = water * (v.LayerTarget + (Random() - v.LayerTarget) / (1 + 2 * v.LayerWeight));
    fish.TargetZ = v.FrontGlass ? 0
        : v.DepthTarget >= 0    ? v.DepthTarget + (Random() - v.DepthTarget) / 3
                                : Random();

    // Towards somewhere: its school, or its accessory.
    if (v.SchoolChance > 0 && Random() < v.SchoolChance && School(fish)) {
        fish.Goal = Fish::ToSchool;
        const QSizeF size = FishSize(fish);
        fish.PlaceX = Between(-1, 1) * size.width();
        fish.PlaceY = Between(-1, 1) * size.height();
    } else if (!v.Home.isEmpty() && Random() < 0.5) {
        for (int i = 0; i <= std::min(m_doc.LastObject, kMaxObjects - 1); ++i) {
            const int bmp
                = std::clamp(m_doc.ObjectTable[size_t(i)].BmpIndex, 0, kMaxObjectBmps - 1);
            const QString& name = m_doc.ObjectBmpTable[size_t(bmp)].BmpName;
            if (!name.isEmpty() && FileNamePart(name).compare(v.Home, Qt::CaseInsensitive) == 0) {
                fish.Goal = Fish::ToHome;
                fish.GoalX = m_homes[size_t(i)].x();
                fish.GoalY = m_homes[size_t(i)].y();
                break;
            }
        }
    }
}

void LiveTank::Move(Fish& fish)
{
    const Kind& kind = m_kinds[size_t(fish.Kind)];
    const SwimmingValues& v = kind.Values;
    const double body = std::max(FishSize(fish).width(), 1.0);

    // Food it sees comes first: it swims to the nearest at top speed and eats it.
    int nearest = -1;
    double distance = v.FoodRange * body;
    for (int i = 0; i < int(m_food.size()); ++i) {
        const double d = std::hypot(m_food[size_t(i)].X - fish.X, m_food[size_t(i)].Y - fish.Y);
        if (d <= distance) {
            distance = d;
            nearest = i;
        }
    }
    if (nearest >= 0) {
        const Food& food = m_food[size_t(nearest)];
        const double top = std::max(v.HorizontalStep, v.VerticalStep) * v.TopSpeed;
        fish.TargetVx = (food.X - fish.X) / std::max(distance, 1.0) * top;
        fish.TargetVy = (food.Y - fish.Y) / std::max(distance, 1.0) * top;
        fish.TargetVz = 0;
        if (fish.Rest > 0) {
            fish.Rest = 0;
            NewMovement(fish);
        }
        if (distance < body / 2)
            m_food.erase(m_food.begin() + nearest);
    } else {
        if (fish.Rest > 0 ? --fish.Rest == 0 : Random() < 1.0 / v.TurnTicks)
            NewMovement(fish);
        const double hs = v.HorizontalStep * fish.Speed;
        const double vs = v.VerticalStep * fish.Speed / 2;
        const double zs = 0.004 * fish.Speed;
        if (fish.Goal == Fish::ToSchool) {
            if (const std::optional<QPointF> school = School(fish)) {
                fish.GoalX = school->x() + fish.PlaceX;
                fish.GoalY = school->y() + fish.PlaceY;
            } else {
                fish.Goal = Fish::Free;
            }
        }
        if (fish.Goal != Fish::Free)
            fish.TargetY = fish.GoalY;
        // Towards a goal or a height it slows within ten ticks of it.
        fish.TargetVx = fish.Goal != Fish::Free ? std::clamp((fish.GoalX - fish.X) / 10, -hs, hs)
                                                : fish.Direction * hs;
        fish.TargetVy = std::clamp((fish.TargetY - fish.Y) / 10, -vs, vs);
        fish.TargetVz = std::clamp((fish.TargetZ - fish.Z) / 10, -zs, zs);
    }

    const double ease = v.QuickTurn ? 1.0 : 0.15;
    fish.Vx += (fish.TargetVx - fish.Vx) * ease;
    fish.Vy += (fish.TargetVy - fish.Vy) * ease;
    fish.Vz += (fish.TargetVz - fish.Vz) * ease;
    fish.X += fish.Vx + m_flow;
    fish.Y += fish.Vy;
    fish.Z = v.FrontGlass ? 0 : std::clamp(fish.Z + fish.Vz, 0.0, 1.0);
    if (std::abs(fish.Vx) > 0.05)
        fish.Facing = fish.Vx > 0 ? 1 : -1;

    KeepInside(fish);

    if (kind.AnimCount > 0)
        fish.FrameIndex = (fish.FrameIndex + 1) % kind.AnimCount;
}

void LiveTank::KeepInside(Fish& fish)
{
    const SwimmingValues& v = m_kinds[size_t(fish.Kind)].Values;
    // The glass, the surface and the sand: it stays inside, and turns away from the side
    // glass it meets.
    // A fish larger than the water keeps its centre in the middle of it.
    const QSizeF size = FishSize(fish);
    const double width = m_screen.width();
    const double water = std::max(WaterBottom(), 0);
    const double halfW = std::min(size.width() / 2, width / 2);
    const double halfH = std::min(size.height() / 2, water / 2);
    const double top
        = v.UpperRange < 1 ? std::max(halfH, water - halfH - v.UpperRange * water) : halfH;
    const double bottom = std::max(water - halfH, top);
    const double left = halfW, right = width - halfW;
    if (fish.X <= left)
        fish.Direction = 1;
    else if (fish.X >= right)
        fish.Direction = -1;
    fish.X = std::clamp(fish.X, left, right);
    fish.Y = std::clamp(fish.Y, top, bottom);
    fish.TargetY = std::clamp(fish.TargetY, top, bottom);
}

void LiveTank::Step()
{
    ++m_tick;
    for (Fish& fish : m_fish) {
        fish.LastX = fish.X;
        fish.LastY = fish.Y;
        fish.LastZ = fish.Z;
        Move(fish);
    }

    // Bubbles from the aeration: right, centre, left, or all along the sand.
    if (!m_bubble.isNull()) {
        const double w = m_screen.width();
        const bool everywhere = m_doc.Aeration == AerationPosition::All;
        if (everywhere || m_tick % 3 == 0) {
            const double x = everywhere                      ? Between(0, w)
                : m_doc.Aeration == AerationPosition::Left   ? 0.15 * w + Between(-8, 8)
                : m_doc.Aeration == AerationPosition::Centre ? 0.5 * w + Between(-8, 8)
                                                             : 0.85 * w + Between(-8, 8);
            const double at = std::clamp(x, 0.0, w - 1);
            const double bottom = WaterBottom();
            m_bubbles.push_back({at, bottom, Between(0, 2 * kPi), at, bottom});
        }
        for (Bubble& b : m_bubbles) {
            b.LastX = b.X;
            b.LastY = b.Y;
            b.Y -= kBubbleRise;
            b.X = std::clamp(
                b.X + 0.8 * m_flow + 0.6 * std::sin(b.Phase + m_tick * 0.3), 0.0, w - 1);
        }
        std::erase_if(m_bubbles, [](const Bubble& b) { return b.Y < 0; });
    }

    // Food sinks to the sand and lies there a while.
    for (Food& f : m_food) {
        f.LastY = f.Y;
        f.Y = std::min(f.Y + kFoodSink, double(WaterBottom()));
        ++f.Age;
    }
    std::erase_if(m_food, [](const Food& f) { return f.Age > kFoodTicks; });
}

void LiveTank::DropFood(double x)
{
    if (m_morsel.isNull())
        return;
    for (int i = 0; i < 5; ++i)
        m_food.push_back({std::clamp(x + Between(-15, 15), 0.0, m_screen.width() - 1.0), 0.0, 0, 0.0});
}

int LiveTank::FishFrame(const Fish& fish) const
{
    const Kind& kind = m_kinds[size_t(fish.Kind)];
    int cell = fish.FrameIndex;
    if (kind.AnimLoop && cell > kind.AnimCount / 2)
        cell = kind.AnimCount - cell; // forwards, then backwards, as the motion preview plays
    return std::clamp(cell, 0, std::max(kind.FrameCount - 1, 0));
}

QPointF LiveTank::FishCentre(const Fish& fish, double between) const
{
    return {fish.LastX + (fish.X - fish.LastX) * between, fish.LastY + (fish.Y - fish.LastY) * between};
}

Rect LiveTank::FishRect(const Fish& fish, double between) const
{
    const QSizeF size = FishSize(fish, between);
    const QPointF centre = FishCentre(fish, between);
    const int w = int(std::lround(size.width() * m_kx));
    const int h = int(std::lround(size.height() * m_ky));
    const int left = int(std::lround(centre.x() * m_kx - w / 2.0));
    const int top = int(std::lround(centre.y() * m_ky - h / 2.0));
    // Swimming to the right, the bitmap (which swims to the left) is mirrored.
    return fish.Facing > 0 ? Rect {left + w, top, left, top + h}
                           : Rect {left, top, left + w, top + h};
}

void LiveTank::DrawFish(QImage& frame, QPoint origin, double between, double nearest,
                        double farthest) const
{
    std::vector<const Fish*> band;
    for (const Fish& fish : m_fish) {
        if (fish.Z > nearest && fish.Z <= farthest)
            band.push_back(&fish);
    }
    // The farther first.
    std::stable_sort(
        band.begin(), band.end(), [](const Fish* a, const Fish* b) { return a->Z > b->Z; });
    const QRect shown(origin, frame.size());
    for (const Fish* fish : band) {
        const Kind& kind = m_kinds[size_t(fish->Kind)];
        if (kind.Frames.isNull())
            continue; // not made yet, or could not be
        const Rect r = FishRect(*fish, between);
        if (!shown.intersects(QRect(QPoint(std::min(r.Left, r.Right), r.Top),
                                    QPoint(std::max(r.Left, r.Right), r.Bottom))))
            continue;
        const int w = kind.Frames.width() / kind.FrameCount;
        const int cell = FishFrame(*fish);
        StretchCopy(frame,
                    {r.Left - origin.x(), r.Top - origin.y(), r.Right - origin.x(), r.Bottom - origin.y()},
                    kind.Frames, {cell * w, 0, (cell + 1) * w, kind.Frames.height()},
                    RasterOp::Sprite);
    }
}

void LiveTank::DrawScene(QImage& target, QPoint origin, double between) const
{
    // The background and the sand of the part shown.
    const qsizetype row = qsizetype(target.width()) * 4;
    for (int y = 0; y < target.height(); ++y)
        std::memcpy(target.scanLine(y), m_base.constScanLine(origin.y() + y) + qsizetype(origin.x()) * 4,
                    size_t(row));

    // Swaying accessories move left and right, each at a pace of its own, from where the
    // tank preview puts them.
    const double amplitude = std::max(2.0, m_output.width() / 160.0);
    const double tick = m_tick - 1 + between;
    const auto sway = [&](int i) {
        if (!m_doc.ObjectTable[size_t(i)].Sway)
            return 0;
        const double period = 50 + 13 * (i % 5);
        return int(std::lround(amplitude * std::sin(2 * kPi * tick / period)));
    };
    const auto accessories = [&](bool spread, int layer) {
        DrawAccessoryLayer(target, m_doc, m_accessories, m_outputSandHeight, spread, layer, sway,
                           &StretchCopy, m_output, origin);
    };
    const auto sprite = [&](const QImage& picture, double x, double y) {
        const int left = int(std::lround(x * m_kx)) - picture.width() / 2 - origin.x();
        const int top = int(std::lround(y * m_ky)) - picture.height() - origin.y();
        if (left >= target.width() || top >= target.height() || left + picture.width() <= 0
            || top + picture.height() <= 0)
            return;
        StretchCopy(target, {left, top, left + picture.width(), top + picture.height()}, picture,
                    {0, 0, picture.width(), picture.height()}, RasterOp::Sprite);
    };
    for (int layer = 0; layer <= 6; layer += 2)
        accessories(true, layer);
    // By depth: the back accessories, the fish behind the middle, the middle accessories
    // and the bubbles, the fish behind the front, the front accessories, the fish on the
    // front glass, the food.
    accessories(false, 0);
    DrawFish(target, origin, between, 0.5, 1.0);
    accessories(false, 2);
    for (const Bubble& b : m_bubbles)
        sprite(m_bubble, b.LastX + (b.X - b.LastX) * between, b.LastY + (b.Y - b.LastY) * between);
    DrawFish(target, origin, between, 0.1, 0.5);
    accessories(false, 4);
    DrawFish(target, origin, between, -1.0, 0.1);
    for (const Food& f : m_food)
        sprite(m_morsel, f.X, f.LastY + (f.Y - f.LastY) * between);
}

void LiveTank::Draw(QImage& frame) const
{
    if (frame.size() != m_base.size() || frame.format() != m_base.format()) {
        frame = QImage(m_base.size(), m_base.format());
        if (frame.isNull())
            throw TooLarge(m_output);
    }
    DrawScene(frame, QPoint(0, 0), 1.0);
}

void LiveTank::MovingRects(double between, std::vector<QRect>& rects) const
{
    rects.clear();
    for (const Fish& fish : m_fish) {
        const Rect r = FishRect(fish, between);
        rects.emplace_back(QPoint(std::min(r.Left, r.Right), r.Top),
                           QPoint(std::max(r.Left, r.Right), r.Bottom));
    }
    const auto sprite = [&](const QImage& picture, double x, double y) {
        if (!picture.isNull())
            rects.emplace_back(int(std::lround(x * m_kx)) - picture.width() / 2,
                               int(std::lround(y * m_ky)) - picture.height(), picture.width(),
                               picture.height());
    };
    for (const Bubble& b : m_bubbles)
        sprite(m_bubble, b.LastX + (b.X - b.LastX) * between, b.LastY + (b.Y - b.LastY) * between);
    for (const Food& f : m_food)
        sprite(m_morsel, f.X, f.LastY + (f.Y - f.LastY) * between);
    // A swaying accessory's whole reach, as it moves every frame.
    const int reach = int(std::ceil(std::max(2.0, m_output.width() / 160.0))) + 1;
    for (int i = 0; i <= std::min(m_doc.LastObject, kMaxObjects - 1); ++i) {
        if (m_doc.ObjectTable[size_t(i)].Sway) {
            const QRect r = AccessoryRect(m_output, m_doc, m_accessories, m_outputSandHeight, i);
            if (!r.isEmpty())
                rects.push_back(r.adjusted(-reach, 0, reach, 0));
        }
    }
}

void LiveTank::DrawBetween(QImage& frame, double between, std::vector<QRect>& changed)
{
    changed.clear();
    std::vector<QRect> moving;
    MovingRects(between, moving);
    const QRect whole(QPoint(0, 0), m_output);
    if (frame.size() != m_base.size() || frame.format() != m_base.format()
        || m_drawnInto != frame.constBits() || m_drawnKey != frame.cacheKey()) {
        if (frame.size() != m_base.size() || frame.format() != m_base.format())
            frame = QImage(m_base.size(), m_base.format());
        if (frame.isNull())
            throw TooLarge(m_output);
        DrawScene(frame, QPoint(0, 0), between);
        changed.push_back(whole);
    } else {
        // Where something stood and where it stands now: rectangles that overlap become
        // one, until none does.
        std::vector<QRect> dirty = m_drawnMoving;
        dirty.insert(dirty.end(), moving.begin(), moving.end());
        for (QRect& r : dirty)
            r = r.adjusted(-1, -1, 1, 1) & whole;
        std::erase_if(dirty, [](const QRect& r) { return r.isEmpty(); });
        for (bool merged = true; merged;) {
            merged = false;
            for (size_t i = 0; i < dirty.size(); ++i) {
                for (size_t j = i + 1; j < dirty.size(); ++j) {
                    if (dirty[i].intersects(dirty[j])) {
                        dirty[i] |= dirty[j];
                        dirty[j] = dirty.back();
                        dirty.pop_back();
                        merged = true;
                        --j;
                    }
                }
            }
        }
        qint64 area = 0;
        for (const QRect& r : dirty)
            area += qint64(r.width()) * r.height();
        if (area * 2 > qint64(whole.width()) * whole.height()) {
            DrawScene(frame, QPoint(0, 0), between); // most of it: at once
            changed.push_back(whole);
        } else {
            for (const QRect& r : dirty) {
                // A picture over that part of the frame's own pixels.
                QImage part(frame.scanLine(r.top()) + qsizetype(r.left()) * 4, r.width(), r.height(),
                            frame.bytesPerLine(), frame.format());
                DrawScene(part, r.topLeft(), between);
                changed.push_back(r);
            }
        }
    }
    m_drawnInto = frame.constBits();
    m_drawnKey = frame.cacheKey();
    m_drawnMoving = std::move(moving);
}

} // namespace aquarium
