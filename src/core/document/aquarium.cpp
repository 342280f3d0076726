#include "core/document/aquarium.h"

#include "core/platform/numbers.h"

namespace aquarium {

std::uint32_t Aquarium::BackgroundColourValue() const
{
    return std::uint32_t(BackgroundRed) + 256u * std::uint32_t(BackgroundGreen)
           + 65536u * std::uint32_t(BackgroundBlue);
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
