#include "core/document/tank_preview.h"

#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/raster.h"

#include <algorithm>

namespace aquarium {

namespace {

const ObjectBmp* EntryOf(const Aquarium& doc, const PlacedObject& object)
{
    if (object.BmpIndex < 0 || object.BmpIndex >= kMaxObjectBmps)
        return nullptr;
    const ObjectBmp& entry = doc.ObjectBmpTable[size_t(object.BmpIndex)];
    return entry.Sprite.isNull() ? nullptr : &entry;
}

using Copy = void (*)(QImage&, const Rect&, const QImage&, const Rect&, RasterOp);

// The mask ANDed and the picture ORed, stretched over the rectangle: the sprite holds both,
// so it is one pass.
// Only the rows and, when the copy is not stretched, the columns of its visible part are
// drawn: the pixels that change the tank, the same ones as the whole copy gives.
void Paint(Copy copy, QImage& tank, const ObjectBmp& entry, const Rect& to)
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

QPoint AccessoryPosition(const Aquarium& doc, const PlacedObject& object)
{
    const ObjectBmp* entry = EntryOf(doc, object);
    const int w = entry ? entry->Sprite.width() : 0;
    const int h = entry ? entry->Sprite.height() : 0;
    const int x = std::max(object.XPosition * kPreviewWidth / 20 - w / 2, 0);
    int y;
    switch (object.VerticalAnchor) {
    case 0: y = 0; break;
    case 1: y = kPreviewHeight / 2 - h; break;
    default: y = kPreviewHeight - doc.SandHeight - h; break;
    }
    return {x, y};
}

void DrawTankPreview(const Files& files, Aquarium& doc, QImage& tank, QImage& strip,
                     const QFont& numberFont)
{
    DrawTankPreview(files, doc, tank, strip, numberFont, &StretchCopy);
}

void DrawTankPreview(const Files& files, Aquarium& doc, QImage& tank, QImage& strip,
                     const QFont& numberFont, Copy copy)
{
    doc.SandHeight = 0;
    if (tank.size() != QSize(kPreviewWidth, kPreviewHeight) || tank.format() != QImage::Format_RGB32)
        tank = MakePicture(kPreviewWidth, kPreviewHeight);
    FillRect(tank, {0, 0, kPreviewWidth, kPreviewHeight}, kTankPictureFill);

    const QString sandPath = doc.DataFolder + doc.SandName + QStringLiteral(".bmp");
    if (!doc.SandName.isEmpty() && files.FileExists(sandPath)) {
        const QImage sand = files.LoadPicture(sandPath);
        // A sand picture narrower than a preview pixel is drawn one pixel wide.
        const int tile = std::max(Div(sand.width() * kPreviewWidth, doc.ScreenWidth), 1);
        doc.SandHeight = Div(sand.height() * kPreviewHeight, doc.ScreenHeight);
        const Rect whole{0, 0, sand.width(), sand.height()};
        for (int k = 0; k <= kPreviewWidth / tile; ++k) {
            copy(tank, {k * tile, kPreviewHeight - doc.SandHeight, k * tile + tile, kPreviewHeight},
                 sand, whole, RasterOp::Copy);
        }
    }

    const int last = std::min(doc.LastObject, kMaxObjects - 1);
    // Spread accessories first, beneath all others: full width, standing on the sand.
    for (int depth = 0; depth <= 6; depth += 2) {
        for (int i = 0; i <= last; ++i) {
            const PlacedObject& o = doc.ObjectTable[size_t(i)];
            const ObjectBmp* entry = EntryOf(doc, o);
            if (o.Layer != depth || o.Spread != 1 || !entry)
                continue;
            const int h = entry->Sprite.height();
            const int y = kPreviewHeight - doc.SandHeight - h;
            Paint(copy, tank, *entry, {0, y, kPreviewWidth, y + h});
        }
    }
    for (int depth = 0; depth <= 4; depth += 2) {
        for (int i = 0; i <= last; ++i) {
            const PlacedObject& o = doc.ObjectTable[size_t(i)];
            const ObjectBmp* entry = EntryOf(doc, o);
            if (o.Layer != depth || o.Spread != 0 || !entry)
                continue;
            const QPoint at = AccessoryPosition(doc, o);
            Paint(copy, tank, *entry,
                  {at.x(), at.y(), at.x() + entry->Sprite.width(),
                   at.y() + entry->Sprite.height()});
        }
    }

    if (strip.size() != QSize(kStripWidth, kStripHeight) || strip.format() != QImage::Format_RGB32)
        strip = MakePicture(kStripWidth, kStripHeight);
    FillRect(strip, {0, 0, kStripWidth, kStripHeight}, kWhite);
    if (last < 0)
        return;
    TextWriter writer(strip, numberFont);
    for (int i = 0; i <= last; ++i) {
        const PlacedObject& o = doc.ObjectTable[size_t(i)];
        writer.Write(o.XPosition * kPreviewWidth / 20, kStripHeight * o.Layer / 6,
                     QString::number(i + 1));
    }
}

} // namespace aquarium
