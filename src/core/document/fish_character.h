#pragma once

#include "core/document/vocabulary.h"

#include <QString>
#include <QStringList>

namespace aquarium {

class Files;

// The ten bitmap formats, in their fixed order: the writer emits the amplitude and loop
// lines for values 2 and up, the wave lines for 6 and up.
enum class BmpFormat {
    NoAnimation = 0,
    ShadowMapping = 1,
    Animation = 2,
    XStretch = 3,
    YStretch = 4,
    XYStretch = 5,
    HWave = 6,
    HWave2 = 7,
    VWave = 8,
    VWave2 = 9,
};

inline constexpr int kBmpFormatCount = 10;

// The stretch formats breathe between stretched and plain along half a cosine.
[[nodiscard]] constexpr bool IsStretch(BmpFormat f)
{
    return f == BmpFormat::XStretch || f == BmpFormat::YStretch || f == BmpFormat::XYStretch;
}
// The wave formats move bands of the picture along a sine.
[[nodiscard]] constexpr bool IsWave(BmpFormat f)
{
    return f == BmpFormat::HWave || f == BmpFormat::HWave2 || f == BmpFormat::VWave
           || f == BmpFormat::VWave2;
}
// Whether a format's cell is widened by StretchDX (it moves or stretches sideways).
[[nodiscard]] constexpr bool UsesStretchDX(BmpFormat f)
{
    return f == BmpFormat::XStretch || f == BmpFormat::XYStretch || f == BmpFormat::VWave
           || f == BmpFormat::VWave2;
}
// Whether a format's cell is heightened by StretchDY.
[[nodiscard]] constexpr bool UsesStretchDY(BmpFormat f)
{
    return f == BmpFormat::YStretch || f == BmpFormat::XYStretch || f == BmpFormat::HWave
           || f == BmpFormat::HWave2;
}

// The name of a format in the file ("No_Animation", "ShadowMapping", ...).
[[nodiscard]] QString BmpFormatName(BmpFormat format);

// One fish character: how its bitmap is laid out and moved, and how it swims. The
// behaviour fields are text as entered and are written back unchanged.
struct FishCharacter
{
    BmpFormat Format = BmpFormat::ShadowMapping;
    int AnimationDataNo = 2; // 1..64
    int FishDataNo = 1;
    int StretchDX = 5; // 0..50
    int StretchDY = 5; // 0..50
    bool AnimLoop = false;
    bool QuarterWave = false;
    int Phase = 0;      // 0..15
    int WaveLength = 4; // 1..32

    bool FrontGlass = false;
    QString UpDownLiking = kNormal;
    QString UpperRange = QStringLiteral("0");
    bool QuickTurn = false;
    bool Slow = false;
    bool GatherAtAccessory = false;
    QString HomePosition;
    QString RestFrequency = QStringLiteral("0");
    QString TurnFrequency = QStringLiteral("150");
    QString HorizontalStep = QStringLiteral("4");
    QString VerticalStep = QStringLiteral("3");
    QString PreferredLayer = kLayerAnywhere;
    QString MaxSpeedMultiple = QStringLiteral("5");
    QString FoodRange = QStringLiteral("20");
    QString SchoolingFrequency = QStringLiteral("0");
    QString SchoolRange = QStringLiteral("6");
    QString Friendliness = kNormal;

    bool operator==(const FishCharacter&) const = default;
};

// The text of a fish character file, line by line.
[[nodiscard]] QStringList FishCharacterLines(const FishCharacter& character);

// Writes characterPath + ".ulc". Nothing is validated. A write error throws; the previous
// file stays whole.
void SaveFishCharacter(const Files& files, const FishCharacter& character,
                       const QString& characterPath);

// Reads the lines of a fish character file into character, which holds the values to keep
// where the file says nothing. A foreign first line leaves it untouched. A non-integer
// under a numeric key throws NotANumber; what was read before that line stays.
void ReadFishCharacter(const QStringList& lines, FishCharacter& character);

// Reads characterPath + ".ulc" into character; a missing file leaves it untouched.
void LoadFishCharacter(const Files& files, const QString& characterPath,
                       FishCharacter& character);

} // namespace aquarium
