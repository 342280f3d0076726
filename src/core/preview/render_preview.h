#pragma once

#include "core/document/fish_character.h"
#include "core/platform/raster.h"

#include <QImage>

namespace aquarium {

inline constexpr int kPreviewDisplayWidth = 281;
inline constexpr int kPreviewDisplayHeight = 129;

// What the renderer takes from the fish character editor.
struct PreviewInputs
{
    QImage Bitmap; // the character's bitmap, RGB32
    BmpFormat Format = BmpFormat::ShadowMapping;
    int Frames = 2; // the frame-count scroll bar, 1..64
    int FishDataNo = 1;
    int StretchDX = 5, StretchDY = 5;
    int WaveLength = 4, Phase = 0;
    bool AnimLoop = false;
    bool QuarterWave = false;
    int DisplayWidth = kPreviewDisplayWidth;
    int DisplayHeight = kPreviewDisplayHeight;

    bool operator==(const PreviewInputs&) const = default;
};

// The frames, and what the render changes in the editor.
struct PreviewResult
{
    QImage Strip; // CellWidth * frames by CellHeight, cells side by side, black background
    int CellWidth = 0;
    int CellHeight = 0;
    int FrameCount = 0; // cells in the strip; also the new position of the frame-count bar
    int AnimCount = 1;  // length of the playback sequence
    BmpFormat Format = BmpFormat::ShadowMapping; // No_Animation comes back as Animation
    bool AnimLoop = false; // forced on by the stretch formats
};

// The renderer's inputs for a character's bitmap as its file describes it, at display
// size displayWidth x displayHeight.
[[nodiscard]] PreviewInputs PreviewInputsOf(const FishCharacter& character, const QImage& bitmap,
                                            int fishDataNo, int displayWidth = kPreviewDisplayWidth,
                                            int displayHeight = kPreviewDisplayHeight);

// What a render will make, without drawing: the result's sizes, counts, format and loop
// with a null strip. Throws as RenderPreview does.
[[nodiscard]] PreviewResult LayoutPreview(const PreviewInputs& in);

// Builds the preview strip of one fish character: the ten formats with their fixed
// rectangles and circle constants, the cell fitted into the display. A cell that comes out
// without pixels (FishDataNo -1 in shadow mapping, more frames than pixels) throws
// DivisionByZero; a strip too large for the memory there is throws OutOfMemory.
[[nodiscard]] PreviewResult RenderPreview(const PreviewInputs& in);

// The same with another implementation of the scaled rectangle copies (benchmarks
// measure Qt's own drawing against ours).
[[nodiscard]] PreviewResult RenderPreview(const PreviewInputs& in, CopyFunction copy);

// Rounds to the nearest integer, halves to the even neighbour.
[[nodiscard]] int RoundHalfEven(double value);

} // namespace aquarium
