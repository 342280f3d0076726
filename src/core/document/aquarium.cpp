#include "core/document/aquarium.h"

#include "core/platform/numbers.h"

namespace aquarium {

std::uint32_t Aquarium::BackgroundColourValue() const
{
    return std::uint32_t(BackgroundRed) + 256u * std::uint32_t(BackgroundGreen)
           + 65536u * std::uint32_t(BackgroundBlue);
}

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

} // namespace

QImage ObjectBmp::Picture() const
{
    return FromSprite(Sprite, [](QRgb c) { return c | 0xFF000000u; });
}

QImage ObjectBmp::Mask() const
{
    return FromSprite(Sprite, [](QRgb c) { return (c >> 24) ? 0xFF000000u : 0xFFFFFFFFu; });
}

QString Aquarium::AmountHeading() const
{
    return FishCountsFixed ? QStringLiteral("熱帯魚数") : QStringLiteral("熱帯魚数の比");
}

QString ColourDigits(std::uint32_t colourValue)
{
    return QStringLiteral("%1").arg(colourValue & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

int NumberOrOne(const QString& text)
{
    int value = 1;
    return TryStrToInt(text, value) ? value : 1;
}

QString StripExtension(const QString& name)
{
    for (qsizetype p = name.size() - 2; p >= 0; --p) {
        if (name[p] == u'.')
            return name.left(p);
    }
    return name;
}

QString FolderOfPath(const QString& path)
{
    for (qsizetype p = path.size() - 2; p >= 0; --p) {
        if (path[p] == u'\\')
            return path.left(p + 1);
    }
    return path;
}

QString FileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

} // namespace aquarium
