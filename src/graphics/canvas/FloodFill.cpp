// Flood fill with an explicit stack of row spans: no recursion, every pixel is taken at
// most once, so it ends on any picture whatever colours the brush and the area have.
#include "CanvasPrivate.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace canvasdetail;

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    if (Brush.Style() == TBrushStyle::bsClear || !prepareSurface())
        return;
    TBitmap& bmp = *m_bitmap;
    const int w = bmp.Width(), h = bmp.Height();
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    const std::uint8_t kb = static_cast<std::uint8_t>(GetBValue(color));
    const std::uint8_t kg = static_cast<std::uint8_t>(GetGValue(color));
    const std::uint8_t kr = static_cast<std::uint8_t>(GetRValue(color));
    const bool surface = style == TFillStyle::fsSurface;
    // A pixel belongs to the area when it has the colour (surface) or has not (border).
    auto inside = [&](const std::uint8_t* row, int px) {
        const std::uint8_t* p = row + 3 * px;
        const bool same = p[0] == kb && p[1] == kg && p[2] == kr;
        return same == surface;
    };
    if (!inside(bmp.ScanLine(y), x))
        return;

    // First find the area on the unchanged picture, then paint it.
    std::vector<std::uint8_t> taken(static_cast<std::size_t>(w) * h, 0);
    struct Seed {
        int x, y;
    };
    std::vector<Seed> stack{{x, y}};
    int minX = x, maxX = x, minY = y, maxY = y; // box of the area, to paint only there
    while (!stack.empty()) {
        const Seed s = stack.back();
        stack.pop_back();
        std::uint8_t* mark = taken.data() + static_cast<std::size_t>(s.y) * w;
        const std::uint8_t* row = bmp.ScanLine(s.y);
        if (mark[s.x] || !inside(row, s.x))
            continue;
        int left = s.x, right = s.x;
        while (left > 0 && !mark[left - 1] && inside(row, left - 1))
            --left;
        while (right + 1 < w && !mark[right + 1] && inside(row, right + 1))
            ++right;
        for (int i = left; i <= right; ++i)
            mark[i] = 1;
        minX = std::min(minX, left);
        maxX = std::max(maxX, right);
        minY = std::min(minY, s.y);
        maxY = std::max(maxY, s.y);
        // One seed per run of area pixels on the rows above and below.
        for (int ny : {s.y - 1, s.y + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const std::uint8_t* nmark = taken.data() + static_cast<std::size_t>(ny) * w;
            const std::uint8_t* nrow = bmp.ScanLine(ny);
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool open = !nmark[i] && inside(nrow, i);
                if (open && !inRun)
                    stack.push_back({i, ny});
                inRun = open;
            }
        }
    }

    const TColor bc = Brush.Color();
    const std::uint8_t bb = static_cast<std::uint8_t>(GetBValue(bc));
    const std::uint8_t bg = static_cast<std::uint8_t>(GetGValue(bc));
    const std::uint8_t br = static_cast<std::uint8_t>(GetRValue(bc));
    const TBrushStyle bs = Brush.Style();
    const bool notXor = Pen.Mode == TPenMode::pmNotXor;
    for (int py = minY; py <= maxY; ++py) {
        const std::uint8_t* mark = taken.data() + static_cast<std::size_t>(py) * w;
        std::uint8_t* row = bmp.ScanLine(py);
        for (int px = minX; px <= maxX; ++px) {
            if (!mark[px] || !HatchHit(bs, px, py) || !clipAllows(px, py))
                continue;
            std::uint8_t* p = row + 3 * px;
            if (notXor) {
                p[0] = static_cast<std::uint8_t>(~(p[0] ^ bb));
                p[1] = static_cast<std::uint8_t>(~(p[1] ^ bg));
                p[2] = static_cast<std::uint8_t>(~(p[2] ^ br));
            } else {
                p[0] = bb;
                p[1] = bg;
                p[2] = br;
            }
        }
    }
}
