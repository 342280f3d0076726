#pragma once

#include "core/document/aquarium.h"

#include <QImage>

namespace aquarium {

class Files;

inline constexpr int kFishPictureWidth = 150;
inline constexpr int kFishPictureHeight = 100;

// Reads the bitmap section of the slot's fish character file (DataFolder + CharacterName
// + ".ulc") and copies its FishDataNo into the slot. A missing or foreign file changes
// nothing; an AnimationDataNo that is no integer throws.
void ProbeFishDataNo(const Files& files, const QString& dataFolder, FishSlot& slot);

// The slot's 150 x 100 picture: the fish bitmap (DataFolder + CharacterName + ".bmp"),
// its first cell in the shadow-mapping layout, fitted keeping its proportions at the
// top left, on black. Black when the bitmap is missing. A source cell of no pixels
// throws DivisionByZero; an unreadable bitmap throws InvalidBitmap.
[[nodiscard]] QImage DrawFishPicture(const Files& files, const QString& dataFolder,
                                     const FishSlot& slot);

// Both in turn, as the fish page and the reader do it: the slot's FishDataNo may change,
// then picture is replaced. When drawing fails the picture is left black.
void ShowFishPicture(const Files& files, const QString& dataFolder, FishSlot& slot,
                     QImage& picture);

} // namespace aquarium
