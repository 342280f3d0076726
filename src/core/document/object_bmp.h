#pragma once

#include "core/document/aquarium.h"

namespace aquarium {

class Files;

// Loads the picture at path (a Windows path) into entry index of the accessory bitmap
// table, scaled to the preview (width * 320 / ScreenWidth by height * 240 / ScreenHeight),
// with its mask from the key colour of the top-left pixel. The entry's BmpName is not
// touched. A picture that cannot be read throws; the entry keeps what it had.
void LoadObjectBmp(const Files& files, Aquarium& aquarium, const QString& path, int index);

enum class ObjectBmpsToLoad { All, Missing };

// Loads entries 0..LastObjectBmp with a name (DataFolder + BmpName + ".bmp") at the
// document's screen size, decoding on the available cores: all of them, or only those
// without a picture. An entry whose picture cannot be read keeps its name and has no
// picture (it draws nothing); the paths of those pictures are returned. Throws nothing.
[[nodiscard]] QStringList LoadObjectBmps(const Files& files, Aquarium& aquarium,
                                         ObjectBmpsToLoad which = ObjectBmpsToLoad::All);

// After a change of screen size: the same; pictures still kept are only scaled again.
inline void ReloadObjectBmps(const Files& files, Aquarium& aquarium)
{
    (void)LoadObjectBmps(files, aquarium);
}

// The scaling and the mask, on a picture already loaded: an entry's sprite and its visible
// part (no name), for a screen of screenWidth x screenHeight shown as target (the tank
// preview's 320 x 240 unless told).
[[nodiscard]] ObjectBmp ScaleObjectBmp(const QImage& source, int screenWidth, int screenHeight,
                                       QSize target = {kPreviewWidth, kPreviewHeight});

} // namespace aquarium
