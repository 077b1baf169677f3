// Stand-in for the canvas ellipse until the canvas joins the library: pixels whose
// centres lie inside the inscribed ellipse are white, those of them touching the outside
// form the black outline.
#include "SpotMask.h"

#include <vector>

namespace qorFX::detail {

void DrawSpotMask(TBitmap& mask, const TRect& rect)
{
    mask.Fill(clBlack);
    const int w = mask.Width(), h = mask.Height();
    const double cx = (static_cast<double>(rect.Left) + rect.Right) / 2, cy = (static_cast<double>(rect.Top) + rect.Bottom) / 2;
    const double rx = (static_cast<double>(rect.Right) - rect.Left) / 2, ry = (static_cast<double>(rect.Bottom) - rect.Top) / 2;
    if (rx <= 0 || ry <= 0 || w == 0 || h == 0)
        return;
    auto inside = [&](int x, int y) {
        const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (inside(x, y) && inside(x - 1, y) && inside(x + 1, y) && inside(x, y - 1) && inside(x, y + 1))
                mask.SetPixel(x, y, clWhite);
}

} // namespace qorFX::detail
