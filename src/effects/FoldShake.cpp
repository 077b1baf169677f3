// Fold (one picture folded over another) and the horizontal and vertical shakes.
#include "GeometricEffects.h"
#include "GeometricSupport.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace qorFX {

using namespace geom;

void Fold(const TBitmap& first, const TBitmap& second, TBitmap& dest, double fraction)
{
    TBitmap holdA, holdB;
    const TBitmap& A = ReadableSource(first, holdA, &dest);
    const TBitmap& B = ReadableSource(second, holdB, &dest);
    Make24(dest);
    if (dest.Width() != A.Width() || dest.Height() != B.Height())
        dest.SetSize(A.Width(), B.Height());
    const int w = A.Width(), h = B.Height();
    // Fold positions beyond twice the width all give the same picture (B everywhere).
    const std::int64_t a = SafeRound(std::clamp(fraction * w, -4.0 * w - 4.0, 4.0 * w + 4.0), INT_MIN, INT_MAX, 0);
    // Pixels the smaller of two differently sized sources does not have stay unwritten.
    const int rowsA = std::min(h, A.Height());
    const int widthB = B.Width();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* d = dest.ScanLine(y);
        const std::uint8_t* ra = y < rowsA ? A.ScanLine(y) : nullptr;
        const std::uint8_t* rb = B.ScanLine(y);
        const std::int64_t last = std::min<std::int64_t>(a, w - 1);
        for (std::int64_t b = 0; b <= last; ++b) {
            const std::int64_t m = 2 * a - b;
            if (ra && m < w)
                std::memcpy(d + 3 * m, ra + 3 * b, 3);
            if (b < widthB)
                std::memcpy(d + 3 * b, rb + 3 * b, 3);
        }
        if (ra && 2 * a < w - 1) {
            const std::int64_t from = std::max<std::int64_t>(2 * a + 1, 0);
            std::memcpy(d + 3 * from, ra + 3 * from, static_cast<std::size_t>(3 * (w - from)));
        }
    }
}

void ShakeHorizontal(const TBitmap& source, TBitmap& dest, double fraction)
{
    AssignCopy(dest, source);
    const int w = dest.Width();
    const std::int64_t a = SafeRound(fraction * w, INT_MIN, INT_MAX, 0);
    // A negative shift would run off the row: no shift, as for 0.
    if (a <= 0 || a > w / 2)
        return;
    const std::size_t keep = static_cast<std::size_t>(3 * (w - a));
    for (int y = 0; y < dest.Height(); ++y) {
        std::uint8_t* row = dest.ScanLine(y);
        if (y % 2 == 1)
            std::memmove(row + 3 * a, row, keep); // right by a
        else
            std::memmove(row, row + 3 * a, keep); // left by a
    }
}

void ShakeVertical(const TBitmap& source, TBitmap& dest, double fraction)
{
    AssignCopy(dest, source);
    const int w = dest.Width(), h = dest.Height();
    const std::int64_t a = SafeRound(fraction * h, INT_MIN, INT_MAX, 0);
    if (a <= 0 || a > h / 2)
        return;
    // Even columns up by a, from the top down.
    for (int y = static_cast<int>(a); y < h; ++y) {
        const std::uint8_t* s = dest.ScanLine(y);
        std::uint8_t* d = dest.ScanLine(y - static_cast<int>(a));
        for (int x = 0; x < w; x += 2)
            std::memcpy(d + 3 * x, s + 3 * x, 3);
    }
    // Then odd columns down by a, from the bottom up.
    for (int y = h - 1 - static_cast<int>(a); y >= 0; --y) {
        const std::uint8_t* s = dest.ScanLine(y);
        std::uint8_t* d = dest.ScanLine(y + static_cast<int>(a));
        for (int x = 1; x < w; x += 2)
            std::memcpy(d + 3 * x, s + 3 * x, 3);
    }
}

} // namespace qorFX
