#include "BlockCopy.h"

#include <algorithm>
#include <cstring>

namespace wizardpixels {

void SetWorkSize(TBitmap& W, int w, int h)
{
    if (W.PixelFormat() != TPixelFormat::pf24bit)
        W.SetPixelFormat(TPixelFormat::pf24bit);
    if (W.Width() != w || W.Height() != h)
        W.SetSize(w, h);
}

void AssignFrom(TBitmap& W, const TBitmap& X)
{
    if (&W != &X)
        W = X;
}

void CopyBlock(TBitmap& W, TPoint dest, const TBitmap& src, const TRect& srcRect)
{
    int sl = srcRect.Left, st = srcRect.Top, sr = srcRect.Right, sb = srcRect.Bottom;
    int dl = dest.X, dt = dest.Y;
    // Clip against the source, moving the destination along.
    if (sl < 0) { dl -= sl; sl = 0; }
    if (st < 0) { dt -= st; st = 0; }
    sr = std::min(sr, src.Width());
    sb = std::min(sb, src.Height());
    // ...and against the destination.
    if (dl < 0) { sl -= dl; dl = 0; }
    if (dt < 0) { st -= dt; dt = 0; }
    sr = std::min(sr, sl + (W.Width() - dl));
    sb = std::min(sb, st + (W.Height() - dt));
    if (sr <= sl || sb <= st)
        return;
    const std::size_t bytes = static_cast<std::size_t>(sr - sl) * 3;
    for (int y = st; y < sb; ++y)
        std::memmove(W.ScanLine(dt + (y - st)) + 3 * dl, src.ScanLine(y) + 3 * sl, bytes);
}

} // namespace wizardpixels
