// The picture loader: any bytes as a BMP file, then the scalings the program does with a
// picture it could read (accessory scaling and mask, the fish picture, the preview).
#include "fuzz_support.h"

#include "core/document/object_bmp.h"
#include "core/platform/platform_error.h"
#include "core/preview/render_preview.h"

using namespace aquarium;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::FuzzWorld& world = fuzz::FuzzWorld::Get();
    const QString path =
            world.Write(QStringLiteral("fuzz.bmp"), QByteArray(reinterpret_cast<const char*>(data), int(size)));
    try {
        const QImage picture = world.FileSystem().LoadPicture(path);
        (void)ScaleObjectBmp(picture, 1024, 768);
        (void)ScaleObjectBmp(picture, 640, 480, QSize(1024, 768));
        PreviewInputs in;
        in.Bitmap = picture;
        in.Format = BmpFormat(size % 10);
        in.Frames = 1 + int(size % 64);
        (void)RenderPreview(in);
    } catch (const PlatformError&) {
    }
    return 0;
}
