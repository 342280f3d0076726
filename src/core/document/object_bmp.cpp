#include "core/document/object_bmp.h"

#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/platform_error.h"
#include "core/platform/raster.h"

namespace aquarium {

void ScaleObjectBmp(const QImage& source, int screenWidth, int screenHeight, QImage& picture,
                    QImage& mask)
{
    const int width = Div(source.width() * kPreviewWidth, screenWidth);
    const int height = Div(source.height() * kPreviewHeight, screenHeight);
    QImage scaled = MakePicture(width, height);
    StretchCopy(scaled, {0, 0, width, height}, source, {0, 0, source.width(), source.height()});

    const QRgb key = source.pixel(0, 0);
    QImage keyMask = MakePicture(width, height);
    for (int y = 0; y < height; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(scaled.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(keyMask.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = in[x] == key ? 0xFFFFFFFFu : 0xFF000000u;
    }
    picture = std::move(scaled);
    mask = std::move(keyMask);
}

void LoadObjectBmp(const Files& files, Aquarium& aquarium, const QString& path, int index)
{
    if (index < 0 || index >= kMaxObjectBmps)
        throw PlatformError::RangeCheck();
    const QImage source = files.LoadPicture(path);
    ObjectBmp& entry = aquarium.ObjectBmpTable[size_t(index)];
    ScaleObjectBmp(source, aquarium.ScreenWidth, aquarium.ScreenHeight, entry.Picture, entry.Mask);
}

void ReloadObjectBmps(const Files& files, Aquarium& aquarium)
{
    for (int e = 0; e <= aquarium.LastObjectBmp && e < kMaxObjectBmps; ++e) {
        const QString& name = aquarium.ObjectBmpTable[size_t(e)].BmpName;
        if (!name.isEmpty())
            LoadObjectBmp(files, aquarium, aquarium.DataFolder + name + u".bmp"_qs, e);
    }
}

} // namespace aquarium
