// Flips and mirrors, in place.
#include "GeometricEffects.h"
#include "GeometricSupport.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qorFX {

using namespace geom;

void FlipDown(TBitmap& bitmap)
{
    Make24(bitmap);
    if (bitmap.Empty())
        return;
    const int h = bitmap.Height();
    const std::size_t bytes = static_cast<std::size_t>(bitmap.RowBytes());
    std::vector<std::uint8_t> tmp(bytes);
    for (int y = 0; y < h / 2; ++y) {
        std::uint8_t* a = bitmap.ScanLine(y);
        std::uint8_t* b = bitmap.ScanLine(h - 1 - y);
        std::memcpy(tmp.data(), a, bytes);
        std::memcpy(a, b, bytes);
        std::memcpy(b, tmp.data(), bytes);
    }
}

void FlipRight(TBitmap& bitmap)
{
    Make24(bitmap);
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < w / 2; ++x)
            std::swap_ranges(row + 3 * x, row + 3 * x + 3, row + 3 * (w - 1 - x));
    }
}

void MirrorDown(TBitmap& bitmap)
{
    Make24(bitmap);
    if (bitmap.Empty())
        return;
    const int h = bitmap.Height();
    const std::size_t bytes = static_cast<std::size_t>(3) * bitmap.Width();
    // Rows up to h div 2 inclusive; on an even height the last one copies a row onto
    // its own mirror image, which changes nothing.
    for (int y = 0; y <= h / 2 && y < h; ++y)
        std::memmove(bitmap.ScanLine(h - 1 - y), bitmap.ScanLine(y), bytes);
}

void MirrorRight(TBitmap& bitmap)
{
    Make24(bitmap);
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x <= w / 2 && x < w; ++x)
            std::memmove(row + 3 * (w - 1 - x), row + 3 * x, 3);
    }
}

} // namespace qorFX
