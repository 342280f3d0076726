#include "core/preview/render_preview.h"

#include "core/platform/numbers.h"
#include "core/platform/platform_error.h"
#include "core/platform/raster.h"

#include <algorithm>
#include <cmath>

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

PreviewResult RenderPreview(const PreviewInputs& in)
{
    return RenderPreview(in, &StretchCopy);
}

PreviewResult RenderPreview(const PreviewInputs& in, CopyFunction copy)
{
    auto StretchCopy = [copy](QImage& destination, const Rect& to, const QImage& source,
                              const Rect& from, RasterOp op = RasterOp::Copy) {
        copy(destination, to, source, from, op);
    };
    PreviewResult out;
    double sx = 1.0;
    double sy = 1.0;
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
    out.FrameCount = N;
    if (format == BmpFormat::Animation)
        W = W / N;
    if (UsesStretchDX(format))
        sx = 1 + in.StretchDX / 100.0;
    if (UsesStretchDY(format))
        sy = 1 + in.StretchDY / 100.0;

    int CW = RoundHalfEven(W * sx);
    int CH = RoundHalfEven(H * sy);
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
    const int BW = RoundHalfEven(CW / sx);
    const int BH = RoundHalfEven(CH / sy);

    // Animation covers the whole strip with one copy: no black fill first. Only the wave
    // formats read the base image.
    const bool covered = format == BmpFormat::Animation;
    out.Strip = covered ? QImage(CW * N, CH, QImage::Format_RGB32) : MakePicture(CW * N, CH, kBlack);
    QImage base;
    if (IsWave(format)) {
        base = MakePicture(BW, BH, kBlack);
        StretchCopy(base, {0, 0, BW, BH}, bitmap, {0, 0, W, H});
    }
    out.CellWidth = CW;
    out.CellHeight = CH;
    QImage& strip = out.Strip;

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
        loop = true;
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
                StretchCopy(strip, {i * BW + x, y, i * BW + x + b, bottom}, base,
                            {x, 0, x + b, BH});
            }
        }
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
        for (int i = 0; i < N; ++i) {
            const double A = std::sin(i * 6.283185306 / N / q) * a;
            for (int y = 0; y < BH; y += h) {
                if (y + h > BH)
                    h = BH - y;
                const double d = std::sin(y * k + p) * A;
                const int xo = RoundHalfEven((a + d) * BW);
                const int right = format == BmpFormat::VWave ? i * CW + BW + xo
                                                             : (i + 1) * CW - xo;
                StretchCopy(strip, {i * CW + xo, y, right, y + h}, base, {0, y, BW, y + h});
            }
        }
        break;
    }
    }

    int count = N;
    if (loop) {
        count = 2 * N - 2;
        if (count == 0)
            count = 1;
    }
    out.AnimCount = count;
    out.Format = format;
    out.AnimLoop = loop;
    return out;
}

} // namespace aquarium
