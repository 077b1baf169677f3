// Transitions that show B through a shape: the growing circle, the sweeps (pies) and the
// segments (chords) of the frame's inscribed ellipse.
#include "Transitions.h"

#include "BlockCopy.h"
#include "graphics/NumberRules.h"
#include "graphics/canvas/Canvas.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>

using namespace wizardpixels;

namespace {

constexpr double kPi = std::numbers::pi;

// W <- A, then B is laid over W through a mask on which the shape is black and the rest
// white. Drawing B with the mask's black as the key and then the result over W with white
// as the key comes down to: B replaces W inside the shape unless B's pixel is pure white.
void composite(const TBitmap& A, const TBitmap& B, TBitmap& W, const std::function<void(TCanvas&)>& shape)
{
    AssignFrom(W, A);
    const int w = A.Width(), h = A.Height();
    if (w == 0 || h == 0)
        return;
    TBitmap mask(w, h);
    mask.Fill(clWhite);
    {
        TCanvas canvas(mask);
        canvas.Pen.Color = clBlack;
        canvas.Brush.SetColor(clBlack);
        shape(canvas);
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* m = mask.ScanLine(y);
        const std::uint8_t* b = B.ScanLine(y);
        std::uint8_t* d = W.ScanLine(y);
        for (int x = 0; x < 3 * w; x += 3) {
            if (m[x] != 0 || m[x + 1] != 0 || m[x + 2] != 0)
                continue;
            if (b[x] == 0xFF && b[x + 1] == 0xFF && b[x + 2] == 0xFF)
                continue;
            d[x] = b[x];
            d[x + 1] = b[x + 1];
            d[x + 2] = b[x + 2];
        }
    }
}

// Point on the inscribed ellipse at angle theta (counter-clockwise, 0 = right, pi/2 = up).
TPoint ellipsePoint(const TBitmap& A, double theta)
{
    const double cx = A.Width() / 2, cy = A.Height() / 2;
    return TPoint(static_cast<int>(Round(cx + cx * std::cos(theta))), static_cast<int>(Round(cy - cy * std::sin(theta))));
}

void pie(const TBitmap& A, const TBitmap& B, TBitmap& W, TPoint start, TPoint end)
{
    composite(A, B, W, [&](TCanvas& c) { c.Pie(0, 0, A.Width(), A.Height(), start.X, start.Y, end.X, end.Y); });
}

void chord(const TBitmap& A, const TBitmap& B, TBitmap& W, double startAngle, double endAngle)
{
    const TPoint s = ellipsePoint(A, startAngle), e = ellipsePoint(A, endAngle);
    composite(A, B, W, [&](TCanvas& c) { c.Chord(0, 0, A.Width(), A.Height(), s.X, s.Y, e.X, e.Y); });
}

} // namespace

void CircleOut(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int cx = A.Width() / 2, cy = A.Height() / 2, sx = cx / n, sy = cy / n;
    const TRect r(cx - i * sx, cy - i * sy, cx + i * sx, cy + i * sy);
    composite(A, B, W, [&](TCanvas& c) { c.Ellipse(r); });
}

void SweepLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    pie(A, B, W, TPoint(A.Width() / 2, 0), ellipsePoint(A, kPi / 2 + 2 * kPi * i / n));
}

void SweepRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    pie(A, B, W, ellipsePoint(A, kPi / 2 - 2 * kPi * i / n), TPoint(A.Width() / 2, 0));
}

void SweepLeftRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    pie(A, B, W, ellipsePoint(A, kPi / 2 - kPi * i / n), ellipsePoint(A, kPi / 2 + kPi * i / n));
}

void SegmentTop(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    chord(A, B, W, kPi / 2 - kPi * i / n, kPi / 2 + kPi * i / n);
}

void SegmentLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    chord(A, B, W, kPi - kPi * i / n, kPi + kPi * i / n);
}

void SegmentRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    chord(A, B, W, -kPi * i / n, kPi * i / n);
}

void SegmentBottom(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    chord(A, B, W, -kPi / 2 - kPi * i / n, -kPi / 2 + kPi * i / n);
}
