#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QImage>
#include <QString>

#include <cstdint>

namespace aquarium {

// Raster operations on QImage::Format_RGB32 pictures, as the Windows drawing services do
// them. Colours here are Windows colour values: red + 256 green + 65536 blue.
using ColorRef = std::uint32_t;

inline constexpr ColorRef kBlack = 0x000000;
inline constexpr ColorRef kWhite = 0xFFFFFF;

[[nodiscard]] constexpr ColorRef MakeColorRef(int red, int green, int blue)
{
    return ColorRef(red & 255) | (ColorRef(green & 255) << 8) | (ColorRef(blue & 255) << 16);
}
[[nodiscard]] constexpr QRgb ToQRgb(ColorRef c)
{
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
[[nodiscard]] constexpr ColorRef ToColorRef(QRgb rgb)
{
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

// A rectangle as (left, top, right, bottom), right and bottom exclusive. A right below
// left (or bottom above top) is a negative extent: the copy is mirrored on that axis.
struct Rect
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    [[nodiscard]] int Width() const { return Right - Left; }
    [[nodiscard]] int Height() const { return Bottom - Top; }
};

enum class RasterOp {
    Copy, // SRCCOPY: destination = source
    And,  // SRCAND: destination = destination AND source
    Or,   // SRCPAINT: destination = destination OR source
    // An accessory's sprite (ARGB32, the mask in alpha) in one pass: where alpha is 0,
    // destination OR source (the mask's AND left it); elsewhere the source.
    Sprite,
};

// A picture of the given size in RGB32, filled with colour. Throws OutOfMemory when the
// memory cannot be had.
[[nodiscard]] QImage MakePicture(int width, int height, ColorRef colour = kBlack);
// The same, its pixels not set: for a large picture read from a file whose every pixel is
// written next. It lives in memory the system may back with huge pages, so that writing it
// touches a few pages instead of thousands (a picture made anew many times a second is
// better made plainly: huge pages cost more to get).
[[nodiscard]] QImage UnfilledPicture(int width, int height,
                                     QImage::Format format = QImage::Format_RGB32);

// Copies the source rectangle onto the destination rectangle, stretched or shrunk by
// nearest neighbour (each destination pixel takes the source pixel under its centre).
// Everything clips to both pictures; empty rectangles copy nothing. Both are RGB32, but
// for a sprite: the source of RasterOp::Sprite, or a destination being made into one
// (ARGB32, written as RGB32 is).
void StretchCopy(QImage& destination, const Rect& to, const QImage& source, const Rect& from,
                 RasterOp op);
inline void StretchCopy(QImage& destination, const Rect& to, const QImage& source, const Rect& from)
{
    StretchCopy(destination, to, source, from, RasterOp::Copy);
}

// A StretchCopy, or another implementation of it (benchmarks measure Qt's drawing).
using CopyFunction = void (*)(QImage& destination, const Rect& to, const QImage& source,
                              const Rect& from, RasterOp op);

// Inverts the colours of the rectangle (DSTINVERT), clipped to the picture.
void InvertRect(QImage& picture, const Rect& rect);
// Fills the rectangle with colour, clipped to the picture.
void FillRect(QImage& picture, const Rect& rect, ColorRef colour);
// Fills with colour the area around (x, y) that is bounded by pixels of border colour.
void FloodFill(QImage& picture, int x, int y, ColorRef colour, ColorRef border);
// Writes text with its top-left corner at (x, y) in the text colour on an opaque
// background; returns the width drawn.
int TextOut(QImage& picture, int x, int y, const QString& text, const QFont& font,
            ColorRef textColour = kBlack, ColorRef background = kWhite);

// Writes many texts into one picture with one painter (TextOut opens one per text).
// The picture must not be touched otherwise while the writer lives.
class TextWriter
{
public:
    TextWriter(QImage& picture, const QFont& font, ColorRef textColour = kBlack,
               ColorRef background = kWhite);
    int Write(int x, int y, const QString& text);

private:
    QPainter m_painter;
    QFontMetrics m_metrics;
    ColorRef m_background;
};

[[nodiscard]] ColorRef PixelAt(const QImage& picture, int x, int y);
void SetPixelAt(QImage& picture, int x, int y, ColorRef colour);

} // namespace aquarium
