// Tilings and textures: TileSmooth, Tile, TileOverlap and Triangles.
#include "GeometricEffects.h"
#include "GeometricSupport.h"

#include "graphics/NumberRules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace qorFX {

using namespace geom;

void TileSmooth(const TBitmap& source, TBitmap& dest, int count)
{
    AssignCopy(dest, source);
    if (count <= 0)
        return;
    const int tw = dest.Width() / count;
    if (tw < 5)
        return;
    const int th = dest.Height() / count;
    if (th < 5)
        return;
    TBitmap tile(tw, th);
    SmoothResize(dest, tile); // dest still holds the copy of the source here
    for (int row = 0; row < count; ++row)
        for (int col = 0; col < count; ++col)
            DrawAt(dest, tw * col, th * row, tile);
}

namespace {

// The whole picture shrunk to a x a and drawn every `step` pixels, left to right and
// top to bottom. A step that would not advance stops at once.
void TileWithStep(TBitmap& bitmap, int a, int step)
{
    if (a <= 0 || step <= 0)
        return;
    TBitmap tile(a, a);
    StretchNearest(tile, Rect(0, 0, a, a), bitmap);
    for (std::int64_t y = 0; y < bitmap.Height(); y += step)
        for (std::int64_t x = 0; x < bitmap.Width(); x += step)
            DrawAt(bitmap, static_cast<int>(x), static_cast<int>(y), tile);
}

int TileSize(const TBitmap& bitmap, int size)
{
    const int a = std::min(bitmap.Width() / 2, size);
    return std::min(bitmap.Height() / 2, a);
}

} // namespace

void Tile(TBitmap& bitmap, int size)
{
    Make24(bitmap);
    const int a = TileSize(bitmap, size);
    TileWithStep(bitmap, a, a);
}

void TileOverlap(TBitmap& bitmap, int size)
{
    Make24(bitmap);
    const int a = TileSize(bitmap, size);
    TileWithStep(bitmap, a, static_cast<int>(Round(2.0 * a / 3.0)));
}

void Triangles(TBitmap& bitmap, int size)
{
    Make24(bitmap);
    size = std::max(size, 5);
    size = (size / 2) * 2 + 1;
    const int half = size / 2;
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        int t1 = y % (size - 1);
        if (t1 > half)
            t1 = 2 * half - t1;
        if (t1 == 0)
            t1 = size;
        const int t2 = std::abs(half - (y % size)) + half;
        std::uint8_t colour[3];
        if (w > 0)
            std::memcpy(colour, row, 3);
        // Counters stand for x mod t1 and x mod t2.
        int m1 = 0, m2 = 0;
        for (int x = 0; x < w; ++x) {
            if (m1 == 0 || m2 == 1)
                std::memcpy(colour, row + 3 * x, 3);
            std::memcpy(row + 3 * x, colour, 3);
            if (++m1 == t1)
                m1 = 0;
            if (++m2 == t2)
                m2 = 0;
        }
    }
}

} // namespace qorFX
