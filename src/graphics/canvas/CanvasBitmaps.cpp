// Copying bitmaps onto the canvas: plain, stretched (nearest source pixel), leaving out a
// transparent bitmap's transparent colour, or leaving out one key colour.
#include "CanvasPrivate.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

// Maps `dest` onto `srcRect` of `src` pixel by pixel; a rectangle given right to left or
// bottom to top mirrors the picture. Pixels equal to `key` are left out when `skipKey`.
static void stretchCopy(TBitmap& dst, const TBitmap& srcIn, TRect dest, TRect srcRect, bool skipKey, TColor key,
                        const QRegion* clip)
{
    std::int64_t dw = std::int64_t(dest.Right) - dest.Left, dh = std::int64_t(dest.Bottom) - dest.Top;
    std::int64_t sw = std::int64_t(srcRect.Right) - srcRect.Left, sh = std::int64_t(srcRect.Bottom) - srcRect.Top;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || srcIn.Empty() || dst.Empty())
        return;
    // The source is read as 24-bit rows; a copy also makes drawing a bitmap onto itself safe.
    TBitmap srcCopy;
    const TBitmap* src = &srcIn;
    if (&srcIn == &dst || srcIn.PixelFormat() != TPixelFormat::pf24bit) {
        srcCopy = srcIn;
        srcCopy.SetPixelFormat(TPixelFormat::pf24bit);
        src = &srcCopy;
    }
    const bool flipX = (dw < 0) != (sw < 0);
    const bool flipY = (dh < 0) != (sh < 0);
    const std::int64_t dLeft = std::min<std::int64_t>(dest.Left, dest.Right);
    const std::int64_t dTop = std::min<std::int64_t>(dest.Top, dest.Bottom);
    const std::int64_t sLeft = std::min<std::int64_t>(srcRect.Left, srcRect.Right);
    const std::int64_t sTop = std::min<std::int64_t>(srcRect.Top, srcRect.Bottom);
    dw = std::llabs(dw);
    dh = std::llabs(dh);
    sw = std::llabs(sw);
    sh = std::llabs(sh);

    // Only the part of the destination inside the bitmap is visited.
    const std::int64_t i0 = std::max<std::int64_t>(0, -dLeft), i1 = std::min<std::int64_t>(dw, dst.Width() - dLeft);
    const std::int64_t j0 = std::max<std::int64_t>(0, -dTop), j1 = std::min<std::int64_t>(dh, dst.Height() - dTop);
    if (i0 >= i1 || j0 >= j1)
        return;
    // Source column of each destination column: the one under the pixel's centre.
    std::vector<int> srcX(static_cast<std::size_t>(i1 - i0));
    for (std::int64_t i = i0; i < i1; ++i) {
        const std::int64_t k = flipX ? dw - 1 - i : i;
        const std::int64_t sx = sLeft + (2 * k + 1) * sw / (2 * dw);
        srcX[static_cast<std::size_t>(i - i0)] = sx < 0 || sx >= src->Width() ? -1 : static_cast<int>(sx);
    }
    const std::uint8_t kb = static_cast<std::uint8_t>(GetBValue(key));
    const std::uint8_t kg = static_cast<std::uint8_t>(GetGValue(key));
    const std::uint8_t kr = static_cast<std::uint8_t>(GetRValue(key));
    for (std::int64_t j = j0; j < j1; ++j) {
        const std::int64_t k = flipY ? dh - 1 - j : j;
        const std::int64_t sy = sTop + (2 * k + 1) * sh / (2 * dh);
        if (sy < 0 || sy >= src->Height())
            continue;
        const int y = static_cast<int>(dTop + j);
        const std::uint8_t* srow = src->ScanLine(static_cast<int>(sy));
        std::uint8_t* drow = dst.ScanLine(y);
        for (std::int64_t i = i0; i < i1; ++i) {
            const int sx = srcX[static_cast<std::size_t>(i - i0)];
            if (sx < 0)
                continue;
            const std::uint8_t* s = srow + 3 * sx;
            if (skipKey && s[0] == kb && s[1] == kg && s[2] == kr)
                continue;
            const int x = static_cast<int>(dLeft + i);
            if (clip && !clip->contains(QPoint(x, y)))
                continue;
            std::uint8_t* t = drow + 3 * x;
            t[0] = s[0];
            t[1] = s[1];
            t[2] = s[2];
        }
    }
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap& src, const TRect& srcRect)
{
    if (!prepareSurface())
        return;
    const QRegion* clip = d->clip ? &*d->clip : nullptr;
    stretchCopy(*m_bitmap, src, dest, srcRect, false, 0, clip);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    const TRect all(0, 0, bitmap.Width(), bitmap.Height());
    const TRect dest(x, y, x + bitmap.Width(), y + bitmap.Height());
    if (bitmap.Transparent())
        DrawTransparent(x, y, bitmap, bitmap.TransparentColor());
    else
        CopyRect(dest, bitmap, all);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap)
{
    const TRect all(0, 0, bitmap.Width(), bitmap.Height());
    if (!bitmap.Transparent()) {
        CopyRect(dest, bitmap, all);
        return;
    }
    if (!prepareSurface())
        return;
    const QRegion* clip = d->clip ? &*d->clip : nullptr;
    stretchCopy(*m_bitmap, bitmap, dest, all, true, bitmap.TransparentColor(), clip);
}

void TCanvas::DrawTransparent(int x, int y, const TBitmap& bitmap, TColor key)
{
    if (!prepareSurface())
        return;
    const QRegion* clip = d->clip ? &*d->clip : nullptr;
    stretchCopy(*m_bitmap, bitmap, TRect(x, y, x + bitmap.Width(), y + bitmap.Height()),
                TRect(0, 0, bitmap.Width(), bitmap.Height()), true, key, clip);
}
