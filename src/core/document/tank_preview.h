#pragma once

#include "core/document/aquarium.h"
#include "core/document/object_bmp.h"
#include "core/platform/raster.h"

#include <QFont>
#include <QImage>

#include <array>
#include <functional>

namespace aquarium {

class Files;

inline constexpr int kTankPictureFill = 0xFFFF00; // green and blue full, red none
inline constexpr int kStripWidth = 320;
inline constexpr int kStripHeight = 126;

// Draws the accessory page's tank picture (320 x 240: sand tiles along the bottom, the
// spread accessories, then the others by depth) and the number strip (320 x 126: each
// accessory's number at its column and depth) for a screen of the given size, with the
// accessories' sprites made for it. Returns the sand's height on the picture; reads
// nothing but the sand picture. A sand picture that cannot be read throws.
int DrawTankPreview(const Files& files, const Aquarium& doc, QSize screen,
                    const AccessorySprites& sprites, QImage& tank, QImage& strip,
                    const QFont& numberFont, CopyFunction copy = &StretchCopy);

// The layers of a tank picture of any size, for a screen shown as tank.width() x
// tank.height() (the tank preview is 320 x 240).

// The sand picture tiled along the bottom, scaled as the accessories are; returns the
// height of the sand in the tank's pixels.
int DrawSand(QImage& tank, const QImage& sand, int screenWidth, int screenHeight,
             CopyFunction copy = &StretchCopy);

// The accessories of one kind (spread or not) on one layer (0 back, 2 middle, 4 front),
// in table order. sprites holds each bitmap entry's sprite scaled to the tank; sway, when
// given, shifts accessory i by sway(i) pixels to the right. whole, when given, is the size
// of the whole tank of which the picture tank shows the part at origin: only that part
// is drawn.
void DrawAccessoryLayer(QImage& tank, const Aquarium& doc,
                        const std::array<AccessorySprite, kMaxObjectBmps>& sprites, int sandHeight,
                        bool spread, int layer, const std::function<int(int)>& sway = {},
                        CopyFunction copy = &StretchCopy, QSize whole = QSize(),
                        QPoint origin = QPoint());
// Where accessory i is drawn in a tank of the given size, without its sway (whole-tank
// pixels); an empty rectangle when it has no sprite.
[[nodiscard]] QRect AccessoryRect(QSize tank, const Aquarium& doc,
                                  const std::array<AccessorySprite, kMaxObjectBmps>& sprites,
                                  int sandHeight, int i);

// The top-left corner of a placed accessory that is not spread, on a tank of the given
// size for a sprite of the given size.
[[nodiscard]] QPoint AccessoryPosition(QSize tank, int sandHeight, QSize sprite,
                                       const PlacedObject& object);

} // namespace aquarium
