#include "core/document/object_bmp.h"

#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/platform_error.h"
#include "core/platform/raster.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace aquarium {

namespace {

// An entry takes a scaled sprite and its visible part; its name stays.
void TakeSprite(ObjectBmp& entry, ObjectBmp&& scaled)
{
    entry.Sprite = std::move(scaled.Sprite);
    entry.Visible = scaled.Visible;
}

} // namespace

ObjectBmp ScaleObjectBmp(const QImage& source, int screenWidth, int screenHeight, QSize target)
{
    const int width = Div(source.width() * target.width(), screenWidth);
    const int height = Div(source.height() * target.height(), screenHeight);
    // The scaled copy covers every pixel of the sprite, so it starts unfilled.
    QImage sprite(width, height, QImage::Format_ARGB32);
    if (sprite.isNull() && width > 0 && height > 0)
        throw PlatformError::OutOfMemory();
    StretchCopy(sprite, {0, 0, width, height}, source, {0, 0, source.width(), source.height()});

    // The mask goes into the alpha channel: 0 where the key colour of the top-left pixel
    // shows, so that the preview draws each accessory in one pass.
    const QRgb key = source.pixel(0, 0);
    int top = height, bottom = 0, left = width, right = 0;
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(sprite.scanLine(y));
        int first = width, last = -1;
        for (int x = 0; x < width; ++x) {
            line[x] = line[x] == key ? line[x] & 0x00FFFFFFu : line[x];
            if (line[x] != 0) { // not a transparent black pixel: it changes the tank
                first = std::min(first, x);
                last = x;
            }
        }
        if (last >= 0) {
            top = std::min(top, y);
            bottom = y + 1;
            left = std::min(left, first);
            right = std::max(right, last + 1);
        }
    }
    ObjectBmp entry;
    entry.Sprite = std::move(sprite);
    entry.Visible = top < bottom ? QRect(left, top, right - left, bottom - top) : QRect();
    return entry;
}

void LoadObjectBmp(const Files& files, Aquarium& aquarium, const QString& path, int index)
{
    if (index < 0 || index >= kMaxObjectBmps)
        throw PlatformError::RangeCheck();
    const QImage source = files.LoadPicture(path);
    TakeSprite(aquarium.ObjectBmpTable[size_t(index)],
               ScaleObjectBmp(source, aquarium.ScreenWidth, aquarium.ScreenHeight));
}

QStringList LoadObjectBmps(const Files& files, Aquarium& aquarium, ObjectBmpsToLoad which)
{
    QStringList paths;
    std::vector<int> entries;
    for (int e = 0; e <= aquarium.LastObjectBmp && e < kMaxObjectBmps; ++e) {
        const ObjectBmp& entry = aquarium.ObjectBmpTable[size_t(e)];
        if (entry.BmpName.isEmpty()
            || (which == ObjectBmpsToLoad::Missing && !entry.Sprite.isNull()))
            continue;
        paths << aquarium.DataFolder + entry.BmpName + u".bmp"_qs;
        entries.push_back(e);
    }
    // Each picture is scaled on the thread that read it; the source is let go at once.
    const int width = aquarium.ScreenWidth;
    const int height = aquarium.ScreenHeight;
    std::vector<std::optional<ObjectBmp>> sprites(entries.size());
    try {
        files.ForEachPicture(paths, [&](int i, const QImage& source) {
            sprites[size_t(i)] = ScaleObjectBmp(source, width, height);
        });
    } catch (const PlatformError&) {
        // Those without a sprite below are the pictures that could not be read.
    }
    QStringList unreadable;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!sprites[i])
            unreadable << paths[qsizetype(i)];
        TakeSprite(aquarium.ObjectBmpTable[size_t(entries[i])],
                   sprites[i] ? std::move(*sprites[i]) : ObjectBmp());
    }
    return unreadable;
}

} // namespace aquarium
