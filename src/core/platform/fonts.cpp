#include "core/platform/fonts.h"

#include <QStringList>

namespace aquarium {

QFont InterfaceFont(int pixelSize)
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                                   {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                    QStringLiteral("Noto Sans CJK JP"),
                                    QStringLiteral("VL PGothic")});
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace aquarium
