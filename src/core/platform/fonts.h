#pragma once

#include <QFont>

namespace aquarium {

// The interface font "ＭＳ Ｐゴシック" at the given pixel size. Where the font is missing
// (any machine but Windows) the Japanese fonts a Linux desktop has stand in for it.
// Needs a QGuiApplication.
[[nodiscard]] QFont InterfaceFont(int pixelSize = 12);

} // namespace aquarium
