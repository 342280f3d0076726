#pragma once

#include "core/document/vocabulary.h"

#include <QString>

#include <array>
#include <cstdint>

namespace aquarium {

inline constexpr int kFishSlotCount = 6;
inline constexpr int kMaxObjectBmps = 20;
inline constexpr int kMaxObjects = 20;
inline constexpr int kPreviewWidth = 320;
inline constexpr int kPreviewHeight = 240;

// One of the six fish of an aquarium. The numbers are held as typed and converted
// where they are used (NumberOrOne).
struct FishSlot
{
    QString CharacterName;           // data name of the fish character, empty: unused
    QString FishDataNo = QStringLiteral("1");
    QString FishAmount = QStringLiteral("1");

    bool operator==(const FishSlot&) const = default;
};

enum class AerationPosition { Right, Centre, Left, All };

// An accessory picture registered in the tank.
struct ObjectBmp
{
    QString BmpName; // data name (".bmp" added on load); empty in a hole left by saving

    bool operator==(const ObjectBmp&) const = default;
};

// An accessory placed in the tank.
struct PlacedObject
{
    std::int32_t BmpIndex = 0;       // into ObjectBmpTable
    std::int32_t Layer = 0;          // 0 back, 2 middle, 4 front
    std::int32_t VerticalAnchor = 2; // 0 top, 1 middle, 2 bottom
    std::int32_t XPosition = 0;      // 0..19, twentieths of the tank width
    std::uint8_t Sway = 0;           // 1: sways left and right ("move")
    std::uint8_t Spread = 0;         // 1: spread across the whole width ("stretch")

    bool operator==(const PlacedObject&) const = default;
};

// The one aquarium being edited: what its file holds, with the folders its names are
// relative to. Plain values only: the pictures made from it live with the views. Entries
// past LastObjectBmp and LastObject hold their defaults, so that two documents that
// would be written alike compare equal.
struct Aquarium
{
    QString DataFolder;    // folder of the aquarium files, with trailing backslash
    QString DataSubFolder; // sub-folder of pictures, sounds and characters, e.g. "data\"

    std::array<FishSlot, kFishSlotCount> Fish;

    bool FishCountsFixed = false;
    AerationPosition Aeration = AerationPosition::Right;
    QString BackgroundSource = kNone;
    bool BackgroundTiling = false;
    bool BackgroundColourFill = false;
    int BackgroundRed = 0, BackgroundGreen = 0, BackgroundBlue = 0;
    int AquariumType = 0; // 0 aquarium mode, 1 current left, 2 current right, 3 none

    QString SandName, BubbleName, FoodName, SoundName;
    bool IntermittentSound = false;
    int IntermittentStep = 20; // 1..600; the file holds it times 200

    std::array<ObjectBmp, kMaxObjectBmps> ObjectBmpTable;
    int LastObjectBmp = -1;
    std::array<PlacedObject, kMaxObjects> ObjectTable;
    int LastObject = -1;

    bool operator==(const Aquarium&) const = default;

    // The solid background colour as a Windows colour value (red + 256 green + 65536 blue).
    [[nodiscard]] std::uint32_t BackgroundColourValue() const;
    // The caption of the amount column, which follows FishCountsFixed.
    [[nodiscard]] QString AmountHeading() const;
};

// The colour value as the six upper-case hexadecimal digits of the aquarium file
// (so pure red is 0000FF).
[[nodiscard]] QString ColourDigits(std::uint32_t colourValue);

// The integer a number field holds; text that is no integer counts as 1.
[[nodiscard]] int NumberOrOne(const QString& text);

// Cuts name at its last dot; the last character is never a cut point and backslashes
// do not stop the search (a.b\c gives a).
[[nodiscard]] QString StripExtension(const QString& name);

// The path up to and including its last backslash, searched from the second-to-last
// character backwards; the path unchanged when there is none.
[[nodiscard]] QString FolderOfPath(const QString& path);

// The text after the last backslash.
[[nodiscard]] QString FileNamePart(const QString& path);

} // namespace aquarium
