#include "core/document/tank_preview.h"

#include "core/document/referenced_files.h"
#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/raster.h"

#include <algorithm>

namespace aquarium {

namespace {

const AccessorySprite* EntryOf(const std::array<AccessorySprite, kMaxObjectBmps>& sprites,
                              const PlacedObject& object)
{
    if (object.BmpIndex < 0 || object.BmpIndex >= kMaxObjectBmps)
        return nullptr;
    const AccessorySprite& entry = sprites[size_t(object.BmpIndex)];
    return entry.Sprite.isNull() ? nullptr : &entry;
}

// The mask ANDed and the picture ORed, stretched over the rectangle: the sprite holds both,
// so it is one pass.
// Only the rows and, when the copy is not stretched, the columns of its visible part are
// drawn: the pixels that change the tank, the same ones as the whole copy gives.
void Paint(CopyFunction copy, QImage& tank, const AccessorySprite& entry, const Rect& to)
{
    const QRect& v = entry.Visible;
    if (v.isEmpty())
        return;
    const int w = entry.Sprite.width();
    const bool stretched = to.Width() != w;
    const int left = stretched ? 0 : v.left();
    const int right = stretched ? w : v.right() + 1;
    const Rect part{left, v.top(), right, v.bottom() + 1};
    const Rect onTank{stretched ? to.Left : to.Left + left, to.Top + v.top(),
                      stretched ? to.Right : to.Left + right, to.Top + v.bottom() + 1};
    copy(tank, onTank, entry.Sprite, part, RasterOp::Sprite);
}

} // namespace

QPoint AccessoryPosition(QSize tank, int sandHeight, QSize sprite, const PlacedObject& object)
{
    const int x = std::max(object.XPosition * tank.width() / 20 - sprite.width() / 2, 0);
    int y;
    switch (object.VerticalAnchor) {
    case 0: y = 0; break;
    case 1: y = tank.height() / 2 - sprite.height(); break;
    default: y = tank.height() - sandHeight - sprite.height(); break;
    }
    return {x, y};
}

int DrawSand(QImage& tank, const QImage& sand, int screenWidth, int screenHeight,
             CopyFunction copy)
{
    const int width = tank.width();
    const int height = tank.height();
    // A sand picture narrower than a pixel of the tank is drawn one pixel wide.
    const int tile = std::max(Div(sand.width() * width, screenWidth), 1);
    const int sandHeight = Div(sand.height() * height, screenHeight);
    const Rect whole{0, 0, sand.width(), sand.height()};
    for (int k = 0; k <= width / tile; ++k)
        copy(tank, {k * tile, height - sandHeight, k * tile + tile, height}, sand, whole,
             RasterOp::Copy);
    return sandHeight;
}

QRect AccessoryRect(QSize tank, const Aquarium& doc,
                    const std::array<AccessorySprite, kMaxObjectBmps>& sprites, int sandHeight,
                    int i)
{
    const PlacedObject& o = doc.ObjectTable[size_t(i)];
    const AccessorySprite* entry = EntryOf(sprites, o);
    if (!entry)
        return QRect();
    const int h = entry->Sprite.height();
    if (o.Spread == 1) // full width, standing on the sand
        return QRect(0, tank.height() - sandHeight - h, tank.width(), h);
    return QRect(AccessoryPosition(tank, sandHeight, entry->Sprite.size(), o), entry->Sprite.size());
}

void DrawAccessoryLayer(QImage& tank, const Aquarium& doc,
                        const std::array<AccessorySprite, kMaxObjectBmps>& sprites, int sandHeight,
                        bool spread, int layer, const std::function<int(int)>& sway,
                        CopyFunction copy, QSize whole, QPoint origin)
{
    if (whole.isEmpty())
        whole = tank.size();
    const QRect shown(QPoint(0, 0), tank.size());
    const int last = std::min(doc.LastObject, kMaxObjects - 1);
    for (int i = 0; i <= last; ++i) {
        const PlacedObject& o = doc.ObjectTable[size_t(i)];
        if (o.Layer != layer || (o.Spread == 1) != spread || !EntryOf(sprites, o))
            continue;
        const QRect at = AccessoryRect(whole, doc, sprites, sandHeight, i)
                                 .translated((sway ? sway(i) : 0) - origin.x(), -origin.y());
        if (!at.intersects(shown))
            continue;
        Paint(copy, tank, *EntryOf(sprites, o), {at.left(), at.top(), at.right() + 1, at.bottom() + 1});
    }
}

int DrawTankPreview(const Files& files, const Aquarium& doc, QSize screen,
                    const AccessorySprites& sprites, QImage& tank, QImage& strip,
                    const QFont& numberFont, CopyFunction copy)
{
    int sandHeight = 0;
    if (tank.size() != QSize(kPreviewWidth, kPreviewHeight) || tank.format() != QImage::Format_RGB32)
        tank = MakePicture(kPreviewWidth, kPreviewHeight);
    FillRect(tank, {0, 0, kPreviewWidth, kPreviewHeight}, kTankPictureFill);

    const QString sandPath = DataFilePath(doc.DataFolder, doc.SandName, kBitmapExtension);
    if (!doc.SandName.isEmpty() && files.FileExists(sandPath))
        sandHeight = DrawSand(tank, files.LoadPicture(sandPath), screen.width(), screen.height(),
                              copy);

    // Spread accessories first, beneath all others, then the others by depth.
    for (int layer = 0; layer <= 6; layer += 2)
        DrawAccessoryLayer(tank, doc, sprites.Entries, sandHeight, true, layer, {}, copy);
    for (int layer = 0; layer <= 4; layer += 2)
        DrawAccessoryLayer(tank, doc, sprites.Entries, sandHeight, false, layer, {}, copy);

    if (strip.size() != QSize(kStripWidth, kStripHeight) || strip.format() != QImage::Format_RGB32)
        strip = MakePicture(kStripWidth, kStripHeight);
    FillRect(strip, {0, 0, kStripWidth, kStripHeight}, kWhite);
    const int last = std::min(doc.LastObject, kMaxObjects - 1);
    if (last < 0)
        return sandHeight;
    TextWriter writer(strip, numberFont);
    for (int i = 0; i <= last; ++i) {
        const PlacedObject& o = doc.ObjectTable[size_t(i)];
        writer.Write(o.XPosition * kPreviewWidth / 20, kStripHeight * o.Layer / 6,
                     QString::number(i + 1));
    }
    return sandHeight;
}

} // namespace aquarium
