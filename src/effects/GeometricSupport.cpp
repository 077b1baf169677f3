#include "GeometricSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qorFX::geom {

const TBitmap& ReadableSource(const TBitmap& src, TBitmap& holder, const TBitmap* dest)
{
    if (src.PixelFormat() == TPixelFormat::pf24bit && &src != dest)
        return src;
    holder = src;
    holder.SetPixelFormat(TPixelFormat::pf24bit);
    return holder;
}

void Make24(TBitmap& bitmap)
{
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
}

void AssignCopy(TBitmap& dest, const TBitmap& src)
{
    if (&dest == &src) {
        Make24(dest);
        return;
    }
    dest = src;
    Make24(dest);
}

void DrawAt(TBitmap& dest, int x, int y, const TBitmap& src)
{
    dest.CopyRect(Point(x, y), src, Rect(0, 0, src.Width(), src.Height()));
}

void StretchNearest(TBitmap& dest, const TRect& r, const TBitmap& src)
{
    const int dw = r.Width(), dh = r.Height();
    const int sw = src.Width(), sh = src.Height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    const int x0 = std::max(r.Left, 0), x1 = std::min(r.Right, dest.Width());
    const int y0 = std::max(r.Top, 0), y1 = std::min(r.Bottom, dest.Height());
    if (x0 >= x1 || y0 >= y1)
        return;
    // Source column under the centre of every destination column, computed once.
    std::vector<int> column(static_cast<std::size_t>(x1 - x0));
    for (int x = x0; x < x1; ++x) {
        const std::int64_t i = static_cast<std::int64_t>(x) - r.Left;
        column[x - x0] = static_cast<int>(((2 * i + 1) * sw) / (2 * static_cast<std::int64_t>(dw)));
    }
    for (int y = y0; y < y1; ++y) {
        const std::int64_t j = static_cast<std::int64_t>(y) - r.Top;
        const int sy = static_cast<int>(((2 * j + 1) * sh) / (2 * static_cast<std::int64_t>(dh)));
        const std::uint8_t* s = src.ScanLine(sy);
        std::uint8_t* d = dest.ScanLine(y);
        for (int x = x0; x < x1; ++x)
            std::memcpy(d + 3 * x, s + 3 * column[x - x0], 3);
    }
}

std::int64_t SafeRound(double v, std::int64_t lo, std::int64_t hi, std::int64_t outside)
{
    if (!(v >= static_cast<double>(lo) - 1.0 && v <= static_cast<double>(hi) + 1.0))
        return outside;
    const std::int64_t r = static_cast<std::int64_t>(std::nearbyint(v));
    return (r < lo || r > hi) ? outside : r;
}

} // namespace qorFX::geom

namespace qorFX::geom {

void StretchRowNearest(std::uint8_t* destRow, int destWidth, int left, int right,
                       const std::uint8_t* srcRow, int srcWidth)
{
    const std::int64_t span = static_cast<std::int64_t>(right) - left;
    if (span <= 0 || srcWidth <= 0)
        return;
    const int x0 = std::max(left, 0), x1 = std::min(right, destWidth);
    for (int x = x0; x < x1; ++x) {
        const std::int64_t i = static_cast<std::int64_t>(x) - left;
        const int sx = static_cast<int>(((2 * i + 1) * srcWidth) / (2 * span));
        std::memcpy(destRow + 3 * x, srcRow + 3 * sx, 3);
    }
}

} // namespace qorFX::geom
