#pragma once

#include <QIcon>
#include <QImage>

namespace aquarium {

// The program's icon, drawn here: a fish among water plants in a tank.
[[nodiscard]] QImage DrawAppIcon(int size);
[[nodiscard]] QIcon AppIcon();

// The application id: the desktop entry's name and the windows' class, so that docks and
// task bars put the windows under the entry's icon.
inline constexpr char kApplicationId[] = "org.ulvaro.AquariumMaker";
// Names the running application by its id (the class of its windows on X11, its app id on
// Wayland) and gives it its icon. No display name: the windows' titles stay as they are.
void PresentApplication();

} // namespace aquarium
