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

// An RGB32 picture of the sprite's size, each pixel made from the sprite's.
template <typename Pixel>
QImage FromSprite(const QImage& sprite, Pixel pixel)
{
    QImage picture(sprite.size(), QImage::Format_RGB32);
    for (int y = 0; y < sprite.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(sprite.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < sprite.width(); ++x)
            out[x] = pixel(in[x]);
    }
    return picture;
}

QString SourceKey(const QString& path, QSize screen)
{
    return QStringLiteral("%1|%2x%3").arg(path).arg(screen.width()).arg(screen.height());
}

} // namespace

QImage AccessorySprite::Picture() const
{
    return FromSprite(Sprite, [](QRgb c) { return c | 0xFF000000u; });
}

QImage AccessorySprite::Mask() const
{
    return FromSprite(Sprite, [](QRgb c) { return (c >> 24) ? 0xFF000000u : 0xFFFFFFFFu; });
}

void AccessorySprites::Set(int e, AccessorySprite sprite, const QString& path, QSize screen)
{
    Entries[size_t(e)] = std::move(sprite);
    MadeFrom[size_t(e)] = SourceKey(path, screen);
}

AccessorySprite ScaleObjectBmp(const QImage& source, int screenWidth, int screenHeight,
                               QSize target)
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
    AccessorySprite entry;
    entry.Sprite = std::move(sprite);
    entry.Visible = top < bottom ? QRect(left, top, right - left, bottom - top) : QRect();
    return entry;
}

AccessorySprite LoadObjectBmp(const Files& files, const QString& path, QSize screen)
{
    return ScaleObjectBmp(files.LoadPicture(path), screen.width(), screen.height());
}

QStringList LoadObjectBmps(const Files& files, const Aquarium& doc, QSize screen,
                           AccessorySprites& sprites, ObjectBmpsToLoad which)
{
    QStringList paths;
    std::vector<int> entries;
    for (int e = 0; e < kMaxObjectBmps; ++e) {
        const QString& name = doc.ObjectBmpTable[size_t(e)].BmpName;
        if (e > doc.LastObjectBmp || name.isEmpty()) {
            sprites.Entries[size_t(e)] = AccessorySprite();
            sprites.MadeFrom[size_t(e)].clear();
            continue;
        }
        const QString path = doc.DataFolder + name + kBitmapExtension;
        if (which == ObjectBmpsToLoad::Changed && sprites.MadeFrom[size_t(e)] == SourceKey(path, screen)
            && !sprites.Entries[size_t(e)].Sprite.isNull())
            continue;
        paths << path;
        entries.push_back(e);
    }
    // Each picture is scaled on the thread that read it; the source is let go at once.
    std::vector<std::optional<AccessorySprite>> made(entries.size());
    try {
        files.ForEachPicture(paths, [&](int i, const QImage& source) {
            made[size_t(i)] = ScaleObjectBmp(source, screen.width(), screen.height());
        });
    } catch (const PlatformError&) {
        // Those without a sprite below are the pictures that could not be read.
    }
    QStringList unreadable;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!made[i])
            unreadable << paths[qsizetype(i)];
        sprites.Set(entries[i], made[i] ? std::move(*made[i]) : AccessorySprite(),
                    paths[qsizetype(i)], screen);
    }
    return unreadable;
}

} // namespace aquarium
