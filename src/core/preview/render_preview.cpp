#include "core/preview/render_preview.h"

#include "core/platform/numbers.h"
#include "core/platform/platform_error.h"
#include "core/platform/raster.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace aquarium {

int RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double rest = value - floor;
    double rounded;
    if (rest > 0.5)
        rounded = floor + 1;
    else if (rest < 0.5)
        rounded = floor;
    else
        rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    return int(rounded);
}

PreviewInputs PreviewInputsOf(const FishCharacter& character, const QImage& bitmap,
                              int fishDataNo, int displayWidth, int displayHeight)
{
    PreviewInputs in;
    in.Bitmap = bitmap;
    in.Format = character.Format;
    in.Frames = character.AnimationDataNo;
    in.FishDataNo = fishDataNo;
    in.StretchDX = character.StretchDX;
    in.StretchDY = character.StretchDY;
    in.WaveLength = character.WaveLength;
    in.Phase = character.Phase;
    in.AnimLoop = character.AnimLoop;
    in.QuarterWave = character.QuarterWave;
    in.DisplayWidth = displayWidth;
    in.DisplayHeight = displayHeight;
    return in;
}

PreviewResult RenderPreview(const PreviewInputs& in)
{
    return RenderPreview(in, &StretchCopy);
}

namespace {

// A band of the base picture and where it goes in the strip.
struct Band
{
    Rect To;
    Rect From;
};

// What the frames of one render are drawn from: the inputs and the sizes computed.
struct Frames
{
    const PreviewInputs& in;
    BmpFormat format;
    const QImage& bitmap;
    const QImage& base;
    int W, H, N, CW, CH, BW, BH;
};

// Draws the frames into target, which holds the strip's rows from rowOffset on: every
// rectangle is given in the strip's rows and moved up by rowOffset; what falls outside
// target is clipped.
void DrawFrames(const Frames& f, QImage& strip, int rowOffset, CopyFunction copy)
{
    const auto Up = [rowOffset](Rect r) {
        r.Top -= rowOffset;
        r.Bottom -= rowOffset;
        return r;
    };
    const auto StretchCopy = [&](QImage& destination, const Rect& to, const QImage& source,
                                 const Rect& from, RasterOp op = RasterOp::Copy) {
        copy(destination, Up(to), source, from, op);
    };
    const auto FillRect = [&](QImage& picture, const Rect& rect, ColorRef colour) {
        aquarium::FillRect(picture, Up(rect), colour);
    };
    const PreviewInputs& in = f.in;
    const BmpFormat format = f.format;
    const QImage& bitmap = f.bitmap;
    const QImage& base = f.base;
    const int W = f.W, H = f.H, N = f.N, CW = f.CW, CH = f.CH, BW = f.BW, BH = f.BH;
    switch (format) {
    case BmpFormat::NoAnimation:
    case BmpFormat::Animation:
        StretchCopy(strip, {0, 0, CW * N, CH}, bitmap, {0, 0, bitmap.width(), bitmap.height()});
        break;
    case BmpFormat::ShadowMapping:
        StretchCopy(strip, {0, 0, BW, BH}, bitmap, {0, 0, W, H});
        StretchCopy(strip, {BW, 0, 2 * BW, BH}, bitmap, {0, 0, W, H});
        StretchCopy(strip, {0, 0, 2 * BW, BH}, bitmap,
                    {0, H * in.FishDataNo, 2 * W, H * (in.FishDataNo + 1)}, RasterOp::And);
        break;
    case BmpFormat::XStretch:
    case BmpFormat::YStretch:
    case BmpFormat::XYStretch: {
        const double ax = UsesStretchDX(format) ? in.StretchDX / 200.0 : 0.0;
        const double ay = UsesStretchDY(format) ? in.StretchDY / 200.0 : 0.0;
        for (int i = 0; i < N; ++i) {
            const double c = std::cos(i * 3.14159 / N);
            const double fx = c * ax + (1 + ax);
            const double fy = c * ay + (1 + ay);
            const int ox = RoundHalfEven((CW - BW * fx) / 2);
            const int oy = RoundHalfEven((CH - BH * fy) / 2);
            StretchCopy(strip, {i * CW + ox, oy, (i + 1) * CW - ox, CH - oy}, bitmap,
                        {0, 0, W, H});
        }
        break;
    }
    case BmpFormat::HWave:
    case BmpFormat::HWave2: {
        const double a = in.StretchDY / 200.0;
        const double q = in.QuarterWave ? 4 : 1;
        std::vector<Band> bands;
        for (int i = 0; i < N; ++i) {
            int b = std::max(BW / 20, 1);
            const double A = std::sin(i * 6.283185306 / N / q) * a;
            for (int x = 0; x < BW; x += b) {
                if (x + b > BW)
                    b = BW - x;
                const double d = std::sin(in.WaveLength * 3.141592 * x / 4 / BW
                                          + in.Phase * 3.141592653 / 8)
                                 * A;
                const int y = RoundHalfEven((a + d) * BH);
                const int bottom = format == BmpFormat::HWave ? y + BH : CH - y;
                bands.push_back({{i * BW + x, y, i * BW + x + b, bottom}, {x, 0, x + b, BH}});
            }
        }
        for (const Band& band : bands) {
            // What the band leaves of its columns, above and below it; then the band.
            FillRect(strip, {band.To.Left, 0, band.To.Right, band.To.Top}, kBlack);
            FillRect(strip, {band.To.Left, band.To.Bottom, band.To.Right, CH}, kBlack);
        }
        for (const Band& band : bands)
            StretchCopy(strip, band.To, base, band.From);
        break;
    }
    case BmpFormat::VWave:
    case BmpFormat::VWave2: {
        const double a = in.StretchDX / 200.0;
        const double q = in.QuarterWave ? 4 : 1;
        const double k = in.WaveLength * 0.78539816325 / BH;
        const double p = in.Phase * 3.141592653 / 8;
        // Set once: a band cut short at the end of a cell stays short for the next cells.
        int h = std::max(BH / 20, 1);
        std::vector<Band> bands;
        for (int i = 0; i < N; ++i) {
            const double A = std::sin(i * 6.283185306 / N / q) * a;
            for (int y = 0; y < BH; y += h) {
                if (y + h > BH)
                    h = BH - y;
                const double d = std::sin(y * k + p) * A;
                const int xo = RoundHalfEven((a + d) * BW);
                const int right = format == BmpFormat::VWave ? i * CW + BW + xo
                                                             : (i + 1) * CW - xo;
                bands.push_back({{i * CW + xo, y, right, y + h}, {0, y, BW, y + h}});
                // What the band leaves of its rows in its cell, left and right of it.
                FillRect(strip, {i * CW, y, i * CW + xo, y + h}, kBlack);
                FillRect(strip, {right, y, (i + 1) * CW, y + h}, kBlack);
            }
        }
        // The bands after all the fills: one that reaches into the next cell stays there,
        // as when the whole strip was filled black first.
        for (const Band& band : bands)
            StretchCopy(strip, band.To, base, band.From);
        break;
    }
    }

}

} // namespace

namespace {

// The sizes of one render: the frames' count, the bitmap's part a cell is made of (W x H),
// the cell (CW x CH) and the base picture (BW x BH), and the result's counts.
struct Layout
{
    PreviewResult Result; // without the strip
    double Sx = 1, Sy = 1;
    int W = 0, H = 0, N = 0, CW = 0, CH = 0, BW = 0, BH = 0;
};

Layout Lay(const PreviewInputs& in)
{
    Layout l;
    const QImage& bitmap = in.Bitmap;
    int W = bitmap.width();
    int H = bitmap.height();
    int N = std::clamp(in.Frames, 1, 64);
    BmpFormat format = in.Format;
    bool loop = in.AnimLoop;

    if (format == BmpFormat::NoAnimation) {
        format = BmpFormat::Animation;
        N = 1;
    }
    if (format == BmpFormat::ShadowMapping) {
        W = W / 2;
        H = Div(H, in.FishDataNo + 1);
        N = 2;
    }
    if (IsStretch(format) && N < 2)
        N = 2;
    if (IsWave(format) && N < 3)
        N = 3;
    if (format == BmpFormat::Animation)
        W = W / N;
    if (UsesStretchDX(format))
        l.Sx = 1 + in.StretchDX / 100.0;
    if (UsesStretchDY(format))
        l.Sy = 1 + in.StretchDY / 100.0;

    int CW = RoundHalfEven(W * l.Sx);
    int CH = RoundHalfEven(H * l.Sy);
    if (CW <= 0 || CH <= 0 || W <= 0 || H <= 0)
        throw PlatformError::DivisionByZero();
    const int IW = in.DisplayWidth;
    const int IH = in.DisplayHeight;
    if (IW < CW || IH < CH) {
        const int t = IW * CH / CW;
        const int fitted = IH * CW / CH;
        CH = IH;
        CW = fitted;
        if (CW > IW) {
            CW = IW;
            CH = t;
        }
    }
    if (CW <= 0 || CH <= 0)
        throw PlatformError::DivisionByZero();
    if (IsStretch(format))
        loop = true;
    int count = N;
    if (loop) {
        count = 2 * N - 2;
        if (count == 0)
            count = 1;
    }
    l.Result.CellWidth = CW;
    l.Result.CellHeight = CH;
    l.Result.FrameCount = N;
    l.Result.AnimCount = count;
    l.Result.Format = format;
    l.Result.AnimLoop = loop;
    l.W = W;
    l.H = H;
    l.N = N;
    l.CW = CW;
    l.CH = CH;
    l.BW = RoundHalfEven(CW / l.Sx);
    l.BH = RoundHalfEven(CH / l.Sy);
    return l;
}

} // namespace

PreviewResult LayoutPreview(const PreviewInputs& in)
{
    return Lay(in).Result;
}

PreviewResult RenderPreview(const PreviewInputs& in, CopyFunction copy)
{
    const Layout l = Lay(in);
    PreviewResult out = l.Result;
    const BmpFormat format = out.Format;
    const int N = l.N, CW = l.CW, CH = l.CH, BW = l.BW, BH = l.BH;

    // Animation covers the whole strip with one copy, and the wave formats fill only what
    // their bands leave: no black fill of the whole strip first. Only the wave formats read
    // the base image.
    const bool covered = format == BmpFormat::Animation || IsWave(format);
    out.Strip = covered ? QImage(CW * N, CH, QImage::Format_RGB32) : MakePicture(CW * N, CH, kBlack);
    if (out.Strip.isNull())
        throw PlatformError::OutOfMemory();
    QImage base;
    if (IsWave(format)) {
        base = MakePicture(BW, BH, kBlack);
        copy(base, {0, 0, BW, BH}, in.Bitmap, {0, 0, l.W, l.H}, RasterOp::Copy);
    }
    const Frames frames{in, format, in.Bitmap, base, l.W, l.H, N, CW, CH, BW, BH};
    // A large strip is drawn in two halves of its rows at once: each half sees every copy,
    // clipped to its rows, in the same order, so the pixels are the same as drawn whole.
    QImage& strip = out.Strip;
    const bool halves = copy == static_cast<CopyFunction>(&aquarium::StretchCopy) && strip.sizeInBytes() > (qint64(1) << 20)
                        && std::thread::hardware_concurrency() > 1 && CH > 1;
    if (halves) {
        const int half = CH / 2;
        QImage top(strip.bits(), strip.width(), half, strip.bytesPerLine(), strip.format());
        QImage bottom(strip.bits() + half * strip.bytesPerLine(), strip.width(), CH - half,
                      strip.bytesPerLine(), strip.format());
        std::thread other([&] { DrawFrames(frames, bottom, half, copy); });
        DrawFrames(frames, top, 0, copy);
        other.join();
    } else {
        DrawFrames(frames, strip, 0, copy);
    }
    return out;
}

} // namespace aquarium
