// Plasma: displacement of every pixel by one of 256 vectors chosen by a map.
#include "GeometricEffects.h"
#include "GeometricSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qorFX {

using namespace geom;

void Plasma(const TBitmap& source, const TBitmap& map, TBitmap& dest, double amplitude, double turbulence)
{
    TBitmap holdS, holdM;
    const TBitmap& S = ReadableSource(source, holdS, &dest);
    const TBitmap& M = ReadableSource(map, holdM, &dest);
    Make24(dest);
    if (!(turbulence >= 10.0))
        turbulence = 10.0;
    if (!(amplitude >= 5.0))
        amplitude = 5.0;
    // No displacement can exceed a bitmap side (at most 2^28), so anything beyond that is
    // simply "outside"; the limit keeps the rounding in range.
    constexpr std::int64_t kFar = std::int64_t(1) << 40;
    std::int64_t dx[256], dy[256];
    for (int k = 0; k < 256; ++k) {
        dx[k] = SafeRound(-amplitude * std::sin(k / turbulence), -kFar, kFar, kFar);
        dy[k] = SafeRound(amplitude * std::cos(k / turbulence), -kFar, kFar, kFar);
    }
    const int w = std::min({S.Width(), M.Width(), dest.Width()});
    const int h = std::min({S.Height(), M.Height(), dest.Height()});
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* m = M.ScanLine(y);
        std::uint8_t* d = dest.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const int k = m[3 * x];
            const std::int64_t sx = x + dx[k], sy = y + dy[k];
            if (sx < 0 || sy < 0 || sx >= S.Width() || sy >= S.Height())
                continue;
            std::memcpy(d + 3 * x, Px(S, static_cast<int>(sx), static_cast<int>(sy)), 3);
        }
    }
}

} // namespace qorFX
