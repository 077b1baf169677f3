// Trace: outlines the boundaries between colour regions. The picture is compared as
// palette indices on a copy that wraps around at its edges, so regions touching opposite
// edges count as neighbours, as they do when the frame is tiled.
#include "PixelEffects.h"

#include "PixelLoop.h"

#include <algorithm>

namespace qorFX {

using namespace detail;

void Trace(TBitmap& bitmap, int passes, TColor color)
{
    Ensure24(bitmap);
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w == 0 || h == 0 || passes <= 0)
        return;
    const int W = w + 2, H = h + 2;
    // The bordered copy: its border repeats the opposite edge of the picture.
    TBitmap indices(W, H);
    for (int ey = 0; ey < H; ++ey) {
        const int sy = ey == 0 ? h - 1 : (ey == H - 1 ? 0 : ey - 1);
        const std::uint8_t* src = bitmap.ScanLine(sy);
        std::uint8_t* dst = indices.ScanLine(ey);
        for (int ex = 0; ex < W; ++ex) {
            const int sx = ex == 0 ? w - 1 : (ex == W - 1 ? 0 : ex - 1);
            dst[3 * ex] = src[3 * sx];
            dst[3 * ex + 1] = src[3 * sx + 1];
            dst[3 * ex + 2] = src[3 * sx + 2];
        }
    }
    // Only equality of indices matters; up to 256 colours the indices are exact.
    indices.SetPixelFormat(TPixelFormat::pf8bit);
    auto idx = [&](int x, int y) { return indices.ScanLine(y)[x]; };

    // Marks land on the picture; those on the border are dropped with it at the end.
    const std::uint8_t mb = static_cast<std::uint8_t>(GetBValue(color));
    const std::uint8_t mg = static_cast<std::uint8_t>(GetGValue(color));
    const std::uint8_t mr = static_cast<std::uint8_t>(GetRValue(color));
    auto mark = [&](int ex, int ey) {
        if (ex < 1 || ex > w || ey < 1 || ey > h)
            return;
        std::uint8_t* p = At(bitmap, ex - 1, ey - 1);
        p[0] = mb;
        p[1] = mg;
        p[2] = mr;
    };
    bool first = false;
    int bg = 0;
    // p at (px, py) against its neighbour q at (qx, qy).
    auto compare = [&](int p, int px, int py, int qx, int qy) {
        const int q = idx(qx, qy);
        if (p == q)
            return;
        if (!first) {
            mark(px, py);
            first = true;
            bg = q;
        } else if (p == bg) {
            mark(qx, qy);
        } else {
            mark(px, py);
        }
    };
    auto forward = [&] {
        for (int y = 0; y <= H - 2; ++y)
            for (int x = 0; x <= W - 2; ++x) {
                const int p = idx(x, y);
                compare(p, x, y, x + 1, y);
                compare(p, x, y, x, y + 1);
            }
    };
    auto backward = [&] {
        for (int y = H - 1; y >= 1; --y)
            for (int x = W - 1; x >= 1; --x) {
                const int p = idx(x, y);
                compare(p, x, y, x - 1, y);
                compare(p, x, y, x, y - 1);
            }
    };
    // The indices never change and the background is fixed by the first boundary, so a
    // third pass repeats the marks of the second exactly: two passes are all passes.
    forward();
    if (passes >= 2) {
        forward();
        backward();
    }
}

} // namespace qorFX
