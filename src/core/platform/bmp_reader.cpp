#include "core/platform/bmp_reader.h"

#include "core/platform/raster.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <vector>

namespace aquarium {

namespace {

quint32 U32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 U16(const uchar* p)
{
    return quint16(p[0] | p[1] << 8);
}

bool ReadExactly(QIODevice& file, void* into, qint64 bytes)
{
    return file.read(static_cast<char*>(into), bytes) == bytes;
}

} // namespace

std::optional<QImage> ReadPlainBmp(QIODevice& file, int maxSide, qint64 maxBytes)
{
    // BITMAPFILEHEADER (14 bytes) and BITMAPINFOHEADER (40 bytes).
    uchar header[54];
    if (!ReadExactly(file, header, sizeof header) || header[0] != 'B' || header[1] != 'M')
        return std::nullopt;
    const quint32 offset = U32(header + 10);
    const quint32 infoSize = U32(header + 14);
    const qint32 width = qint32(U32(header + 18));
    const qint32 rawHeight = qint32(U32(header + 22));
    const quint16 planes = U16(header + 26);
    const quint16 bits = U16(header + 28);
    const quint32 compression = U32(header + 30);
    quint32 colours = U32(header + 46);
    if (infoSize != 40 || planes != 1 || compression != 0
        || (bits != 8 && bits != 24 && bits != 32))
        return std::nullopt;
    if (width <= 0 || rawHeight == 0 || rawHeight == qint32(0x80000000))
        return std::nullopt;
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    if (width > maxSide || height > maxSide || qint64(width) * height * 4 > maxBytes)
        return std::nullopt;

    // The palette of an 8-bit picture, blue, green, red and a byte Qt ignores.
    std::vector<QRgb> palette;
    if (bits == 8) {
        if (colours == 0)
            colours = 256;
        if (colours > 256 || offset < 54 + colours * 4)
            return std::nullopt;
        std::vector<uchar> quads(colours * 4);
        if (!ReadExactly(file, quads.data(), qint64(quads.size())))
            return std::nullopt;
        for (quint32 c = 0; c < colours; ++c)
            palette.push_back(qRgb(quads[c * 4 + 2], quads[c * 4 + 1], quads[c * 4]));
    }
    const qint64 here = 54 + qint64(palette.size()) * 4;
    if (offset < here || !file.seek(file.pos() + (offset - here)))
        return std::nullopt;

    const qint64 rowBytes = ((qint64(width) * bits + 31) / 32) * 4;
    // Rows are read a block at a time: few calls, one copy out of the system.
    const int blockRows = int(std::clamp<qint64>((qint64(256) << 10) / rowBytes, 1, height));
    std::vector<uchar> block(static_cast<size_t>(rowBytes * blockRows));
    QImage image = UnfilledPicture(width, height);
    if (image.isNull())
        return std::nullopt;
    for (int r = 0; r < height; ++r) {
        const int inBlock = r % blockRows;
        if (inBlock == 0
            && !ReadExactly(file, block.data(), rowBytes * std::min(blockRows, height - r)))
            return std::nullopt; // a short file: Qt decides what it shows
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(topDown ? r : height - 1 - r));
        const uchar* in = block.data() + rowBytes * inBlock;
        switch (bits) {
        case 24: {
            // Four pixels from three words at a time: b0 g0 r0 b1 | g1 r1 b2 g2 | r2 b3 g3 r3.
            int x = 0;
            for (; x + 4 <= width; x += 4, in += 12) {
                quint32 w[3];
                std::memcpy(w, in, sizeof w);
                out[x] = 0xFF000000u | (w[0] & 0xFFFFFFu);
                out[x + 1] = 0xFF000000u | (w[0] >> 24) | ((w[1] & 0xFFFFu) << 8);
                out[x + 2] = 0xFF000000u | (w[1] >> 16) | ((w[2] & 0xFFu) << 16);
                out[x + 3] = 0xFF000000u | (w[2] >> 8);
            }
            for (; x < width; ++x, in += 3)
                out[x] = 0xFF000000u | quint32(in[2]) << 16 | quint32(in[1]) << 8 | in[0];
            break;
        }
        case 32:
            for (int x = 0; x < width; ++x, in += 4)
                out[x] = 0xFF000000u | quint32(in[2]) << 16 | quint32(in[1]) << 8 | in[0];
            break;
        default:
            for (int x = 0; x < width; ++x) {
                if (in[x] >= palette.size())
                    return std::nullopt; // beyond the palette: as Qt does it
                out[x] = palette[in[x]];
            }
            break;
        }
    }
    return image;
}

namespace {

// Whether a run-length stream from start reaches its end (the end-of-picture code, or the
// last row closed) before the bytes run out. Absolute runs are padded to 16 bits.
bool RunLengthComplete(const QByteArray& bytes, qint64 start, int height, bool fourBits)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    qint64 at = start;
    int row = 0;
    while (row < height) {
        if (at + 2 > size)
            return false;
        const uchar count = p[at];
        const uchar code = p[at + 1];
        at += 2;
        if (count != 0)
            continue; // a run of one colour
        if (code == 0) {
            ++row; // end of the row
        } else if (code == 1) {
            return true; // end of the picture
        } else if (code == 2) {
            if (at + 2 > size)
                return false;
            row += p[at + 1];
            at += 2;
        } else {
            const qint64 data = fourBits ? (code + 1) / 2 : code;
            at += (data + 1) / 2 * 2;
            if (at > size)
                return false;
        }
    }
    return true;
}

} // namespace

std::optional<BmpLayout> ReadBmpLayout(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    if (size < 26 || p[0] != 'B' || p[1] != 'M')
        return std::nullopt;
    const quint32 offset = U32(p + 10);
    const quint32 infoSize = U32(p + 14);
    BmpLayout layout;
    quint32 compression = 0;
    quint32 colours = 0;
    if (infoSize == 12) { // the OS/2 core header
        layout.Width = U16(p + 18);
        layout.Height = U16(p + 20);
        layout.Bits = U16(p + 24);
    } else if (infoSize >= 40 && size >= 54) {
        const qint32 width = qint32(U32(p + 18));
        const qint32 height = qint32(U32(p + 22));
        if (width <= 0 || height == 0 || height == qint32(0x80000000))
            return std::nullopt;
        layout.Width = width;
        layout.Height = height < 0 ? -height : height;
        layout.Bits = U16(p + 28);
        compression = U32(p + 30);
        colours = U32(p + 46);
    } else {
        return std::nullopt;
    }
    if (layout.Width <= 0 || layout.Height <= 0)
        return std::nullopt;
    enum { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };
    // Where the pixels begin: at the offset, or after the masks and the colour table when
    // the offset points into them (readers go on from there).
    qint64 start = 14 + qint64(infoSize);
    if (infoSize == 40 && compression == BitFields)
        start += 12;
    if (infoSize == 40 && compression == AlphaBitFields)
        start += 16;
    if (layout.Bits <= 8)
        start += qint64(colours ? colours : 1u << layout.Bits) * (infoSize == 12 ? 3 : 4);
    start = std::max<qint64>(start, offset);
    if (compression == Rle8 || compression == Rle4) {
        layout.RunLength = true;
        layout.Complete = RunLengthComplete(bytes, start, layout.Height, compression == Rle4);
    } else if (compression == Rgb || compression == BitFields || compression == AlphaBitFields) {
        const qint64 rowBytes = (qint64(layout.Width) * layout.Bits + 31) / 32 * 4;
        // Divided, not multiplied: a huge width times a huge height does not fit 64 bits.
        layout.Complete = start <= size && rowBytes <= (size - start) / layout.Height;
    }
    return layout;
}

} // namespace aquarium
