#pragma once

#include "core/document/aquarium.h"

namespace aquarium {

class Files;

// Loads the picture at path (a Windows path) into entry index of the accessory bitmap
// table, scaled to the preview (width * 320 / ScreenWidth by height * 240 / ScreenHeight),
// with its mask from the key colour of the top-left pixel. The entry's BmpName is not
// touched. A picture that cannot be read throws; the entry keeps what it had.
void LoadObjectBmp(const Files& files, Aquarium& aquarium, const QString& path, int index);

// Loads entries 0..LastObjectBmp with a name (DataFolder + BmpName + ".bmp") at the
// document's screen size, decoding on the available cores. When pictures cannot be read,
// the others are loaded and the first one's error is thrown.
void LoadObjectBmps(const Files& files, Aquarium& aquarium);

// After a change of screen size: the same; pictures still kept are only scaled again.
inline void ReloadObjectBmps(const Files& files, Aquarium& aquarium)
{
    LoadObjectBmps(files, aquarium);
}

// The scaling and the mask, on a picture already loaded: an entry's sprite and its visible
// part (no name), for a screen of screenWidth x screenHeight shown as target (the tank
// preview's 320 x 240 unless told).
[[nodiscard]] ObjectBmp ScaleObjectBmp(const QImage& source, int screenWidth, int screenHeight,
                                       QSize target = {kPreviewWidth, kPreviewHeight});

} // namespace aquarium
