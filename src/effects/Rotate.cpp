// SmoothRotate: bilinear rotation about a centre point.
#include "GeometricEffects.h"
#include "GeometricSupport.h"

#include "graphics/NumberRules.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qorFX {

using namespace geom;

void SmoothRotate(const TBitmap& source, TBitmap& dest, int cx, int cy, double angle)
{
    TBitmap holder;
    const TBitmap& s = ReadableSource(source, holder, &dest);
    Make24(dest);
    const int sw = s.Width(), sh = s.Height();
    const int dw = dest.Width(), dh = dest.Height();
    if (sw == 0 || sh == 0 || dw == 0 || dh == 0)
        return;

    const double theta = -angle * std::numbers::pi / 180.0;
    const double sn = std::sin(theta), cs = std::cos(theta);
    const int offX = Div(dw - sw, 2), offY = Div(dh - sh, 2);
    const double ccx = cx, ccy = cy;

    for (int y = 0; y < dh; ++y) {
        std::uint8_t* d = dest.ScanLine(y);
        const double t = 2.0 * y - 2.0 * ccy + 1.0;
        // Terms of u and v that depend only on the row.
        const double st = sn * t, ct = cs * t;
        for (int x = 0; x < dw; ++x) {
            const double m = 2.0 * x - 2.0 * ccx + 1.0;
            const double u = ccx + (cs * m - st - 1.0) / 2.0 - offX;
            const double v = ccy + (sn * m + ct - 1.0) / 2.0 - offY;
            int X, Y;
            if (!RoundedIndex(u, sw, X) || !RoundedIndex(v, sh, Y))
                continue;
            const int X1 = std::min(X + 1, sw - 1), Y1 = std::min(Y + 1, sh - 1);
            const double fu = u - X, fv = v - Y;
            const std::uint8_t* p00 = Px(s, X, Y);
            const std::uint8_t* p10 = Px(s, X1, Y);
            const std::uint8_t* p01 = Px(s, X, Y1);
            const std::uint8_t* p11 = Px(s, X1, Y1);
            std::uint8_t* out = d + 3 * x;
            for (int c = 0; c < 3; ++c) {
                const double top = p00[c] + fu * (p10[c] - p00[c]);
                const double bottom = p01[c] + fu * (p11[c] - p01[c]);
                out[c] = static_cast<std::uint8_t>(ClampByte(static_cast<int>(std::nearbyint(top + fv * (bottom - top)))));
            }
        }
    }
}

} // namespace qorFX
