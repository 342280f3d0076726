#include "core/platform/raster.h"

#include "core/platform/platform_error.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <tuple>
#include <vector>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace aquarium {

QImage UnfilledPicture(int width, int height, QImage::Format format)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
#ifdef Q_OS_LINUX
    constexpr size_t kHugePage = size_t(2) << 20;
    const size_t bytes = size_t(width) * size_t(height) * 4;
    if (bytes >= 2 * kHugePage && (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32)) {
        void* memory = nullptr;
        const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (posix_memalign(&memory, kHugePage, rounded) == 0) {
            madvise(memory, rounded, MADV_HUGEPAGE);
            return QImage(static_cast<uchar*>(memory), width, height, width * 4, format,
                          [](void* m) { std::free(m); }, memory);
        }
    }
#endif
    return QImage(width, height, format);
}

QImage MakePicture(int width, int height, ColorRef colour)
{
    QImage picture(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (picture.isNull() && width > 0 && height > 0)
        throw PlatformError::OutOfMemory();
    picture.fill(ToQRgb(colour));
    return picture;
}

namespace {

// For each destination index 0..count-1 on one axis, the source index under the centre of
// the destination pixel: floor((2i + 1) * span / (2 * count)), counted without a division
// per index; mirrored when the two extents differ in sign. Indices outside the source
// picture are -1. Returns the range [first, last) of indices that are inside.
std::pair<int, int> BuildIndexTable(std::vector<int>& table, int toExtent, int fromStart,
                                    int fromExtent, int sourceSize)
{
    const int count = std::abs(toExtent);
    const long long span = std::abs(fromExtent);
    const bool mirror = (toExtent < 0) != (fromExtent < 0);
    const int fromLow = fromExtent < 0 ? fromStart + fromExtent : fromStart;
    table.resize(size_t(count));
    const long long d = 2LL * count;
    const long long stepQ = (2 * span) / d;
    const long long stepR = (2 * span) % d;
    long long q = span / d;
    long long r = span % d;
    int first = count, last = 0;
    for (int i = 0; i < count; ++i) {
        const int k = int(q);
        const int s = mirror ? fromLow + int(span) - 1 - k : fromLow + k;
        const bool inside = s >= 0 && s < sourceSize;
        table[size_t(i)] = inside ? s : -1;
        if (inside) {
            first = std::min(first, i);
            last = i + 1;
        }
        q += stepQ;
        r += stepR;
        if (r >= d) {
            r -= d;
            ++q;
        }
    }
    return {first, std::max(first, last)};
}

// (destination AND mask) OR picture, where the sprite's alpha 0 stands for the white mask.
inline QRgb SpritePixel(QRgb destination, QRgb sprite)
{
    return (sprite >> 24) ? sprite : destination | sprite | 0xFF000000u;
}

// A short row copied in the loop itself: the narrow bands of the wave formats are copied
// row by row, and a library call per row would cost more than the row (the build keeps the
// compiler from turning such loops into calls).
inline void CopyShort(QRgb* __restrict out, const QRgb* __restrict in, int n)
{
    for (int c = 0; c < n; ++c)
        out[c] = in[c];
}

// One row of pixels: out[c] op= in[c] for c in 0..n-1. Plain loops the compiler vectorises.
inline void Row(RasterOp op, QRgb* __restrict out, const QRgb* __restrict in, int n)
{
    switch (op) {
    case RasterOp::Copy:
        if (n < 32) {
            CopyShort(out, in, n);
        } else {
            std::memcpy(out, in, size_t(n) * sizeof(QRgb));
        }
        break;
    case RasterOp::And: // both opaque: the alpha byte stays 0xFF
        for (int c = 0; c < n; ++c)
            out[c] &= in[c];
        break;
    case RasterOp::Or:
        for (int c = 0; c < n; ++c)
            out[c] |= in[c];
        break;
    case RasterOp::Sprite:
        for (int c = 0; c < n; ++c)
            out[c] = SpritePixel(out[c], in[c]);
        break;
    }
}

// One row through the column table.
inline void GatherRow(RasterOp op, QRgb* __restrict out, const QRgb* __restrict in,
                      const int* __restrict columns, int n)
{
    switch (op) {
    case RasterOp::Copy:
        for (int c = 0; c < n; ++c)
            out[c] = in[columns[c]];
        break;
    case RasterOp::And:
        for (int c = 0; c < n; ++c)
            out[c] &= in[columns[c]];
        break;
    case RasterOp::Or:
        for (int c = 0; c < n; ++c)
            out[c] |= in[columns[c]];
        break;
    case RasterOp::Sprite:
        for (int c = 0; c < n; ++c)
            out[c] = SpritePixel(out[c], in[columns[c]]);
        break;
    }
}

} // namespace

void StretchCopy(QImage& destination, const Rect& to, const QImage& source, const Rect& from,
                 RasterOp op)
{
    if (to.Width() == 0 || to.Height() == 0 || from.Width() == 0 || from.Height() == 0)
        return;
    if (destination.isNull() || source.isNull())
        return;
    // An ARGB32 destination is written as RGB32 is (a sprite being made).
    Q_ASSERT(destination.format() == QImage::Format_RGB32
             || destination.format() == QImage::Format_ARGB32);
    Q_ASSERT(source.format() == (op == RasterOp::Sprite ? QImage::Format_ARGB32
                                                        : QImage::Format_RGB32));

    const int toLeft = std::min(to.Left, to.Right);
    const int toTop = std::min(to.Top, to.Bottom);
    const int count = std::abs(to.Width());
    const int rowCount = std::abs(to.Height());
    // Part of the destination rectangle inside the destination picture.
    int firstColumn = std::clamp(-toLeft, 0, count);
    int lastColumn = std::clamp(destination.width() - toLeft, 0, count);
    const int firstRow = std::clamp(-toTop, 0, rowCount);
    const int lastRow = std::clamp(destination.height() - toTop, 0, rowCount);
    if (firstColumn >= lastColumn || firstRow >= lastRow)
        return;

    thread_local std::vector<int> columns;
    thread_local std::vector<int> rows;
    // Rows of an unscaled, unmirrored copy need no table.
    const bool sameHeight = rowCount == std::abs(from.Height())
                            && (to.Height() < 0) == (from.Height() < 0);
    const int sourceRow = std::min(from.Top, from.Bottom);
    int rowFirst, rowLast;
    if (sameHeight) {
        rowFirst = std::clamp(-sourceRow, 0, rowCount);
        rowLast = std::clamp(source.height() - sourceRow, 0, rowCount);
    } else {
        std::tie(rowFirst, rowLast) = BuildIndexTable(rows, to.Height() < 0 ? -rowCount : rowCount,
                                                      from.Top, from.Height(), source.height());
    }
    const bool sameWidth = count == std::abs(from.Width())
                           && (to.Width() < 0) == (from.Width() < 0);
    int sourceColumn = 0; // for the unscaled case: the source column of destination column 0
    if (sameWidth) {
        sourceColumn = std::min(from.Left, from.Right);
        firstColumn = std::max(firstColumn, -sourceColumn);
        lastColumn = std::min(lastColumn, source.width() - sourceColumn);
    } else {
        const auto [first, last] = BuildIndexTable(columns, to.Width() < 0 ? -count : count,
                                                   from.Left, from.Width(), source.width());
        firstColumn = std::max(firstColumn, first);
        lastColumn = std::min(lastColumn, last);
    }
    if (firstColumn >= lastColumn)
        return;
    const int n = lastColumn - firstColumn;
    const int begin = std::max(firstRow, rowFirst);
    const int end = std::min(lastRow, rowLast);
    const qsizetype stride = destination.bytesPerLine();
    uchar* const bits = destination.bits();
    const qsizetype sourceStride = source.bytesPerLine();
    const uchar* const sourceBits = source.constBits();
    const QRgb* previousIn = nullptr;
    const QRgb* previousOut = nullptr;
    for (int r = begin; r < end; ++r) {
        const int sy = sameHeight ? sourceRow + r : rows[size_t(r)];
        const QRgb* in = reinterpret_cast<const QRgb*>(sourceBits + sy * sourceStride);
        QRgb* out = reinterpret_cast<QRgb*>(bits + (toTop + r) * stride) + toLeft + firstColumn;
        if (op == RasterOp::Copy && in == previousIn) {
            // An enlarged row repeats the one above it.
            std::memcpy(out, previousOut, size_t(n) * sizeof(QRgb));
        } else if (sameWidth) {
            Row(op, out, in + sourceColumn + firstColumn, n);
        } else {
            GatherRow(op, out, in, columns.data() + firstColumn, n);
        }
        previousIn = in;
        previousOut = out;
    }
}

namespace {

// The rectangle normalised and clipped to the picture; false when nothing is left.
bool Clip(const QImage& picture, const Rect& rect, int& left, int& top, int& right, int& bottom)
{
    left = std::max(std::min(rect.Left, rect.Right), 0);
    right = std::min(std::max(rect.Left, rect.Right), picture.width());
    top = std::max(std::min(rect.Top, rect.Bottom), 0);
    bottom = std::min(std::max(rect.Top, rect.Bottom), picture.height());
    return left < right && top < bottom;
}

} // namespace

void InvertRect(QImage& picture, const Rect& rect)
{
    int left, top, right, bottom;
    if (!Clip(picture, rect, left, top, right, bottom))
        return;
    uchar* const bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    for (int y = top; y < bottom; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(bits + y * stride);
        for (int x = left; x < right; ++x)
            line[x] ^= 0x00FFFFFFu;
    }
}

void FillRect(QImage& picture, const Rect& rect, ColorRef colour)
{
    int left, top, right, bottom;
    if (!Clip(picture, rect, left, top, right, bottom))
        return;
    const QRgb value = ToQRgb(colour);
    uchar* const bits = picture.bits(); // one detach, not one per row
    const qsizetype stride = picture.bytesPerLine();
    for (int y = top; y < bottom; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(bits + y * stride);
        for (int x = left; x < right; ++x)
            line[x] = value;
    }
}

void FloodFill(QImage& picture, int x, int y, ColorRef colour, ColorRef border)
{
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
        return;
    const QRgb stop = ToQRgb(border);
    const QRgb fill = ToQRgb(colour);
    auto at = [&](int px, int py) -> QRgb& {
        return reinterpret_cast<QRgb*>(picture.scanLine(py))[px];
    };
    if (at(x, y) == stop)
        return;
    // Pixels already of the fill colour (but not the border) must not loop forever.
    std::vector<bool> done(size_t(picture.width()) * size_t(picture.height()), false);
    std::vector<std::pair<int, int>> stack{{x, y}};
    while (!stack.empty()) {
        auto [px, py] = stack.back();
        stack.pop_back();
        if (done[size_t(py) * picture.width() + px] || at(px, py) == stop)
            continue;
        int left = px;
        while (left > 0 && !done[size_t(py) * picture.width() + left - 1]
               && at(left - 1, py) != stop)
            --left;
        int right = px;
        while (right + 1 < picture.width() && !done[size_t(py) * picture.width() + right + 1]
               && at(right + 1, py) != stop)
            ++right;
        for (int i = left; i <= right; ++i) {
            at(i, py) = fill;
            done[size_t(py) * picture.width() + i] = true;
            if (py > 0 && !done[size_t(py - 1) * picture.width() + i] && at(i, py - 1) != stop)
                stack.push_back({i, py - 1});
            if (py + 1 < picture.height() && !done[size_t(py + 1) * picture.width() + i]
                && at(i, py + 1) != stop)
                stack.push_back({i, py + 1});
        }
    }
}

TextWriter::TextWriter(QImage& picture, const QFont& font, ColorRef textColour,
                       ColorRef background)
    : m_painter(&picture), m_metrics(font), m_background(background)
{
    m_painter.setFont(font);
    m_painter.setPen(QColor::fromRgb(ToQRgb(textColour)));
}

int TextWriter::Write(int x, int y, const QString& text)
{
    const int width = m_metrics.horizontalAdvance(text);
    m_painter.fillRect(QRect(x, y, width, m_metrics.height()),
                       QColor::fromRgb(ToQRgb(m_background)));
    m_painter.drawText(x, y + m_metrics.ascent(), text);
    return width;
}

int TextOut(QImage& picture, int x, int y, const QString& text, const QFont& font,
            ColorRef textColour, ColorRef background)
{
    TextWriter writer(picture, font, textColour, background);
    return writer.Write(x, y, text);
}

ColorRef PixelAt(const QImage& picture, int x, int y)
{
    return ToColorRef(picture.pixel(x, y));
}

void SetPixelAt(QImage& picture, int x, int y, ColorRef colour)
{
    picture.setPixel(x, y, ToQRgb(colour));
}

} // namespace aquarium
