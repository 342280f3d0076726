#pragma once

#include "core/document/aquarium.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <array>

namespace aquarium {

class Files;

// An accessory picture scaled to a tank, with its mask in one ARGB32 sprite: alpha 0 where
// the picture shows its key colour (the mask is white there: the tank shows through, ORed
// with that colour), 255 elsewhere.
struct AccessorySprite
{
    QImage Sprite;
    // The part of the sprite that changes the tank it is drawn on: everything but the
    // margins of a black key colour (ORing black changes nothing).
    QRect Visible;

    // The scaled picture alone, RGB32.
    [[nodiscard]] QImage Picture() const;
    // The mask alone, RGB32: white where the picture shows its key colour, black elsewhere.
    [[nodiscard]] QImage Mask() const;
};

// The scaling and the mask, on a picture already loaded, for a screen of screenWidth x
// screenHeight shown as target (the tank preview's 320 x 240 unless told).
[[nodiscard]] AccessorySprite ScaleObjectBmp(const QImage& source, int screenWidth,
                                             int screenHeight,
                                             QSize target = {kPreviewWidth, kPreviewHeight});

// Loads the picture at path (a Windows path) scaled to the preview of a screen of the
// given size, with its mask from the key colour of the top-left pixel. A picture that
// cannot be read throws.
[[nodiscard]] AccessorySprite LoadObjectBmp(const Files& files, const QString& path, QSize screen);

// The sprites of a document's accessory pictures as the tank preview draws them, and the
// picture and screen size each was made from.
struct AccessorySprites
{
    std::array<AccessorySprite, kMaxObjectBmps> Entries;
    std::array<QString, kMaxObjectBmps> MadeFrom; // empty: no picture

    // Entry e made from the picture at path for a screen of the given size.
    void Set(int e, AccessorySprite sprite, const QString& path, QSize screen);
};

enum class ObjectBmpsToLoad { Changed, All };

// Makes the sprites of the entries 0..LastObjectBmp with a name (DataFolder + BmpName +
// ".bmp") for a screen of the given size, decoding on the available cores: those whose
// picture or screen changed and those that could not be read before, or all of them.
// Entries without a name have no sprite. An entry whose picture cannot be read keeps its
// name and has no sprite (it draws nothing); the paths of those pictures are returned.
// Throws nothing.
[[nodiscard]] QStringList LoadObjectBmps(const Files& files, const Aquarium& doc, QSize screen,
                                         AccessorySprites& sprites,
                                         ObjectBmpsToLoad which = ObjectBmpsToLoad::Changed);

} // namespace aquarium
