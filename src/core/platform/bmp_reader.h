#pragma once

#include <QImage>

#include <optional>

class QIODevice;

namespace aquarium {

// A direct reader of the BMP files Windows programs write most: BITMAPINFOHEADER, no
// compression, 24 or 32 bits per pixel or 8 bits with a palette, bottom-up or top-down.
// It reads the file once, row by row, straight into an RGB32 picture, with the same
// pixels as Qt's reader gives. Everything else, and every file that is not complete and
// consistent, is left to Qt's reader: the result is then nothing and the device's
// position is unspecified. Pictures wider or higher than maxSide or larger than
// maxBytes are left to Qt too (which refuses them).
[[nodiscard]] std::optional<QImage> ReadPlainBmp(QIODevice& file, int maxSide, qint64 maxBytes);

// What the headers of a BMP file of any kind promise, and whether the file keeps it.
struct BmpLayout
{
    int Width = 0;
    int Height = 0; // rows, whichever way they run
    int Bits = 0;
    bool RunLength = false; // RLE4 or RLE8: pixels the codes skip are colour 0
    // Every pixel the header promises is in the file: all rows of an uncompressed
    // picture, a run-length stream up to its end.
    bool Complete = false;
};
// The layout of the BMP in bytes; nothing when its headers are not those of a BMP.
[[nodiscard]] std::optional<BmpLayout> ReadBmpLayout(const QByteArray& bytes);

} // namespace aquarium
