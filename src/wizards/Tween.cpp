// Cross-fade and the rotation transitions.
#include "Transitions.h"

#include "BlockCopy.h"
#include "graphics/canvas/Canvas.h"

#include <cstdint>

using namespace wizardpixels;

void Tween(const TBitmap& A, int weightA, const TBitmap& B, int weightB, TBitmap& W)
{
    if (A.PixelFormat() != TPixelFormat::pf24bit || B.PixelFormat() != TPixelFormat::pf24bit)
        throw ETweenError("Tween:  PixelFormats must be pf24fit");
    if (A.Width() != B.Width() || A.Height() != B.Height())
        throw ETweenError("Tween:  Bitmap dimensions are not the same");
    const int w = A.Width(), h = A.Height();
    SetWorkSize(W, w, h);
    const std::uint32_t wa = static_cast<std::uint32_t>(weightA);
    const std::uint32_t wb = static_cast<std::uint32_t>(weightB);
    const std::uint32_t total = wa + wb;
    if (total == 0)
        return;
    const int bytes = 3 * w;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* a = A.ScanLine(y);
        const std::uint8_t* b = B.ScanLine(y);
        std::uint8_t* d = W.ScanLine(y);
        for (int k = 0; k < bytes; ++k)
            d[k] = static_cast<std::uint8_t>((a[k] * wa + b[k] * wb) / total);
    }
}

namespace {

// W takes the source's size, is filled with the source's top-left colour, and gets the
// source stretched (nearest pixel) into `dest`.
void rotateInto(const TBitmap& src, const TRect& dest, TBitmap& W)
{
    SetWorkSize(W, src.Width(), src.Height());
    if (src.Empty())
        return;
    W.Fill(src.Pixel(0, 0));
    if (dest.IsEmpty())
        return;
    TCanvas canvas(W);
    canvas.CopyRect(dest, src, TRect(0, 0, src.Width(), src.Height()));
}

void rotateH(const TBitmap& src, int s, TBitmap& W)
{
    const int w = src.Width();
    const int left = (w - s) / 2;
    rotateInto(src, TRect(left, 0, w - left, src.Height()), W);
}

void rotateV(const TBitmap& src, int s, TBitmap& W)
{
    const int h = src.Height();
    const int top = (h - s) / 2;
    rotateInto(src, TRect(0, top, src.Width(), h - top), W);
}

} // namespace

void RotateSqueezeH(const TBitmap& A, int i, int n, TBitmap& W) { rotateH(A, (A.Width() / n) * (n - i), W); }
void RotateExpandH(const TBitmap& B, int i, int n, TBitmap& W) { rotateH(B, (B.Width() / n) * i, W); }
void RotateSqueezeV(const TBitmap& A, int i, int n, TBitmap& W) { rotateV(A, (A.Height() / n) * (n - i), W); }
void RotateExpandV(const TBitmap& B, int i, int n, TBitmap& W) { rotateV(B, (B.Height() / n) * i, W); }
