// Blurs and other neighbourhood operations. They work in place and read the bitmap as it
// is at the moment of the read, so pixels written earlier in the scan feed later ones.
#include "PixelEffects.h"

#include "PixelLoop.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qorFX {

using namespace detail;

void SplitBlur(TBitmap& bitmap, int amount)
{
    // Negative distances would sample outside the picture; like 0 they change nothing.
    if (amount <= 0)
        return;
    Ensure24(bitmap);
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w == 0 || h == 0)
        return;
    // Byte offsets of the left and right samples of every column. A sample that would
    // fall past the far edge is taken at the edge itself, so the bands along the right
    // and bottom edges blur with their own pixels, never with those of the opposite side.
    std::vector<int> left(w), right(w);
    for (int x = 0; x < w; ++x) {
        left[x] = 3 * (amount > x ? x : x - amount);
        right[x] = 3 * (amount >= w - x ? w - 1 : x + amount);
    }
    for (int y = 0; y < h; ++y) {
        const int yu = amount > y ? y : y - amount;
        const int yd = amount >= h - y ? h - 1 : y + amount;
        const std::uint8_t* up = bitmap.ScanLine(yu);
        const std::uint8_t* down = bitmap.ScanLine(yd);
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int l = left[x], r = right[x];
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = static_cast<std::uint8_t>((up[l + c] + down[l + c] + up[r + c] + down[r + c]) / 4);
        }
    }
}

void GaussianBlur(TBitmap& bitmap, int passes)
{
    if (passes < 0)
        return;
    Ensure24(bitmap);
    if (bitmap.Empty())
        return;
    const int runs = passes >= kMaxBlurRuns ? kMaxBlurRuns : passes + 1;
    TBitmap before;
    for (int i = 0; i < runs; ++i) {
        if (runs > 1)
            before = bitmap;
        SplitBlur(bitmap, 3);
        // A pass that changed nothing is a fixed point: every further pass would too.
        if (runs > 1 && std::memcmp(before.Bits(), bitmap.Bits(),
                                    static_cast<std::size_t>(bitmap.RowBytes()) * bitmap.Height()) == 0)
            break;
    }
}

void AntiAlias(TBitmap& bitmap)
{
    Ensure24(bitmap);
    const int w = bitmap.Width(), h = bitmap.Height();
    for (int y = 1; y < h - 1; ++y) {
        const std::uint8_t* up = bitmap.ScanLine(y - 1);
        const std::uint8_t* down = bitmap.ScanLine(y + 1);
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int i = 3; i < 3 * (w - 1); ++i)
            row[i] = static_cast<std::uint8_t>((up[i] + down[i] + row[i - 3] + row[i + 3]) / 4);
    }
}

void Emboss(TBitmap& bitmap)
{
    Ensure24(bitmap);
    const int w = bitmap.Width(), h = bitmap.Height();
    for (int y = 0; y < h - 1; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        const std::uint8_t* below = bitmap.ScanLine(y + 1);
        for (int i = 0; i < 3 * (w - 3); ++i)
            row[i] = static_cast<std::uint8_t>(((255 - below[i + 9]) + row[i]) / 2);
    }
}

void Mosaic(TBitmap& bitmap, int size)
{
    if (size <= 1)
        return;
    Ensure24(bitmap);
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w == 0 || h == 0)
        return;
    // A block larger than the picture is the whole picture.
    const int s = std::min(size, std::max(w, h));
    for (int top = 0; top < h; top += s) {
        // The block's first row: each pixel takes its block's first pixel, which is never
        // changed itself, so the row can be rewritten in place.
        std::uint8_t* first = bitmap.ScanLine(top);
        for (int x = 0; x < w; ++x) {
            const int bx = x - x % s;
            first[3 * x] = first[3 * bx];
            first[3 * x + 1] = first[3 * bx + 1];
            first[3 * x + 2] = first[3 * bx + 2];
        }
        for (int y = top + 1; y < std::min(top + s, h); ++y)
            std::memcpy(bitmap.ScanLine(y), first, static_cast<std::size_t>(w) * 3);
    }
}

} // namespace qorFX
