#pragma once

#include <QIcon>
#include <QImage>

namespace aquarium {

// The program's icon, drawn here: a fish among water plants in a tank.
[[nodiscard]] QImage DrawAppIcon(int size);
[[nodiscard]] QIcon AppIcon();

} // namespace aquarium
