#pragma once

#include "core/document/aquarium.h"

namespace aquarium {

class Files;

// Loads the picture at path (a Windows path) into entry index of the accessory bitmap
// table, scaled to the preview (width * 320 / ScreenWidth by height * 240 / ScreenHeight),
// and builds its mask from the key colour of the top-left pixel. The entry's BmpName is
// not touched. A picture that cannot be read throws; the entry keeps what it had.
void LoadObjectBmp(const Files& files, Aquarium& aquarium, const QString& path, int index);

// Loads every named entry of the bitmap table again at the document's screen size. A
// picture that cannot be read throws; the entries before it are reloaded.
void ReloadObjectBmps(const Files& files, Aquarium& aquarium);

// The same scaling and mask, on a picture already loaded.
void ScaleObjectBmp(const QImage& source, int screenWidth, int screenHeight, QImage& picture,
                    QImage& mask);

} // namespace aquarium
