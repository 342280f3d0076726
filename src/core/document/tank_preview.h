#pragma once

#include "core/document/aquarium.h"
#include "core/platform/raster.h"

#include <QFont>
#include <QImage>

namespace aquarium {

class Files;

inline constexpr int kTankPictureFill = 0xFFFF00; // green and blue full, red none
inline constexpr int kStripWidth = 320;
inline constexpr int kStripHeight = 126;

// Draws the accessory page's tank picture (320 x 240: sand tiles along the bottom, the
// spread accessories, then the others by depth) and the number strip (320 x 126: each
// accessory's number at its column and depth). Sets SandHeight; reads nothing else but
// the document and the sand picture. A sand picture that cannot be read throws.
void DrawTankPreview(const Files& files, Aquarium& doc, QImage& tank, QImage& strip,
                     const QFont& numberFont);

// The same with another implementation of the scaled copies (benchmarks).
void DrawTankPreview(const Files& files, Aquarium& doc, QImage& tank, QImage& strip,
                     const QFont& numberFont,
                     void (*copy)(QImage&, const Rect&, const QImage&, const Rect&, RasterOp));

// The top-left corner of a placed accessory that is not spread, on the tank picture.
[[nodiscard]] QPoint AccessoryPosition(const Aquarium& doc, const PlacedObject& object);

} // namespace aquarium
