#include "platform/raster.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace aquarium {

QImage MakePicture(int width, int height, ColorRef colour)
{
    QImage picture(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    picture.fill(ToQRgb(colour));
    return picture;
}

namespace {

// For each destination index 0..count-1 on one axis, the source index, or -1 outside
// the source picture. Mirrored when the two extents differ in sign.
void BuildIndexTable(std::vector<int>& table, int toStart, int toExtent, int fromStart,
                     int fromExtent, int sourceSize)
{
    const int count = std::abs(toExtent);
    const int span = std::abs(fromExtent);
    const bool mirror = (toExtent < 0) != (fromExtent < 0);
    const int fromLow = fromExtent < 0 ? fromStart + fromExtent : fromStart;
    (void)toStart;
    table.resize(count);
    for (int i = 0; i < count; ++i) {
        // Centre of destination pixel i, mapped into the source span.
        const long long k = (2LL * i + 1) * span / (2LL * count);
        const int s = mirror ? fromLow + span - 1 - int(k) : fromLow + int(k);
        table[i] = (s >= 0 && s < sourceSize) ? s : -1;
    }
}

template <RasterOp Op>
void CopyRows(QImage& destination, int toLeft, int toTop, const std::vector<int>& columns,
              const std::vector<int>& rows, const QImage& source, int firstColumn,
              int lastColumn, int firstRow, int lastRow)
{
    const int n = lastColumn - firstColumn;
    for (int r = firstRow; r < lastRow; ++r) {
        const int sy = rows[r];
        if (sy < 0)
            continue;
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
        QRgb* out = reinterpret_cast<QRgb*>(destination.scanLine(toTop + r)) + toLeft + firstColumn;
        const int* col = columns.data() + firstColumn;
        for (int c = 0; c < n; ++c) {
            const int sx = col[c];
            if (sx < 0)
                continue;
            if constexpr (Op == RasterOp::Copy)
                out[c] = in[sx];
            else if constexpr (Op == RasterOp::And)
                out[c] = (out[c] & in[sx]) | 0xFF000000u;
            else
                out[c] = out[c] | in[sx];
        }
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
    Q_ASSERT(destination.format() == QImage::Format_RGB32);
    Q_ASSERT(source.format() == QImage::Format_RGB32);

    const int toLeft = std::min(to.Left, to.Right);
    const int toTop = std::min(to.Top, to.Bottom);
    const int count = std::abs(to.Width());
    const int rowCount = std::abs(to.Height());
    // Part of the destination rectangle inside the destination picture.
    const int firstColumn = std::clamp(-toLeft, 0, count);
    const int lastColumn = std::clamp(destination.width() - toLeft, 0, count);
    const int firstRow = std::clamp(-toTop, 0, rowCount);
    const int lastRow = std::clamp(destination.height() - toTop, 0, rowCount);
    if (firstColumn >= lastColumn || firstRow >= lastRow)
        return;

    thread_local std::vector<int> columns;
    thread_local std::vector<int> rows;
    // A mirrored destination runs from its right edge leftwards.
    BuildIndexTable(columns, toLeft, to.Width() < 0 ? -count : count, from.Left, from.Width(),
                    source.width());
    BuildIndexTable(rows, toTop, to.Height() < 0 ? -rowCount : rowCount, from.Top, from.Height(),
                    source.height());

    switch (op) {
    case RasterOp::Copy:
        CopyRows<RasterOp::Copy>(destination, toLeft, toTop, columns, rows, source, firstColumn,
                                 lastColumn, firstRow, lastRow);
        break;
    case RasterOp::And:
        CopyRows<RasterOp::And>(destination, toLeft, toTop, columns, rows, source, firstColumn,
                                lastColumn, firstRow, lastRow);
        break;
    case RasterOp::Or:
        CopyRows<RasterOp::Or>(destination, toLeft, toTop, columns, rows, source, firstColumn,
                               lastColumn, firstRow, lastRow);
        break;
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
    for (int y = top; y < bottom; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
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
    for (int y = top; y < bottom; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        std::fill(line + left, line + right, value);
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

int TextOut(QImage& picture, int x, int y, const QString& text, const QFont& font,
            ColorRef textColour, ColorRef background)
{
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(text);
    FillRect(picture, {x, y, x + width, y + metrics.height()}, background);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(ToQRgb(textColour)));
    painter.drawText(x, y + metrics.ascent(), text);
    return width;
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
