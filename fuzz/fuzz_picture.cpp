// The picture reader on bytes in memory: the direct reader of plain BMP files and what it
// leaves to Qt's reader, then, for a picture it read, the scalings the program does with
// it (the accessory's scale and mask, a preview frame).
#include "core/document/object_bmp.h"
#include "core/platform/bmp_reader.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/preview/render_preview.h"

#include <QBuffer>
#include <QGuiApplication>

#include <cstdlib>

using namespace aquarium;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
        return true;
    }();
    (void)ready;
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Pictures of many millions of pixels take their time whatever the bytes: the harness
    // keeps to the sizes that explore the reader (the whole-load target takes any).
    if (const std::optional<BmpLayout> layout = ReadBmpLayout(bytes);
        layout && qint64(layout->Width) * layout->Height > 4'000'000)
        return 0;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImage picture;
    try {
        picture = Files::DecodePicture(buffer);
    } catch (const PlatformError&) {
        return 0;
    }
    if (picture.isNull() || picture.format() != QImage::Format_RGB32)
        std::abort(); // a picture read is an RGB32 picture
    try {
        (void)ScaleObjectBmp(picture, 640, 480);
        PreviewInputs in;
        in.Bitmap = picture;
        in.Format = BmpFormat(size % 10);
        in.Frames = 1 + int(size % 8);
        (void)RenderPreview(in);
    } catch (const PlatformError&) {
    }
    return 0;
}
