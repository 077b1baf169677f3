// Shadows and overlays used by the frame operations.
#include "PixelEffects.h"

#include "PixelLoop.h"

#include <algorithm>

namespace qorFX {

using namespace detail;

namespace {

// Pixel (x, y) takes its neighbour N = (x + nx, y + ny), one step lighter, when N is
// darker in blue. The scan runs away from N, so N is always read before it changes.
void castShadow(TBitmap& bitmap, int nx, int ny)
{
    Ensure24(bitmap);
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w < 5 || h < 5)
        return;
    const int y0 = ny > 0 ? 0 : h - 1, y1 = ny > 0 ? h - 5 : 4, ystep = ny > 0 ? 1 : -1;
    const int x0 = nx > 0 ? 0 : w - 1, x1 = nx > 0 ? w - 5 : 4, xstep = nx > 0 ? 1 : -1;
    for (int y = y0;; y += ystep) {
        std::uint8_t* row = bitmap.ScanLine(y);
        const std::uint8_t* nrow = bitmap.ScanLine(y + ny);
        for (int x = x0;; x += xstep) {
            std::uint8_t* p = row + 3 * x;
            const std::uint8_t* n = nrow + 3 * (x + nx);
            if (n[0] < p[0]) {
                p[0] = static_cast<std::uint8_t>(std::min(n[0] + 1, 255));
                p[1] = static_cast<std::uint8_t>(std::min(n[1] + 1, 255));
                p[2] = static_cast<std::uint8_t>(std::min(n[2] + 1, 255));
            }
            if (x == x1)
                break;
        }
        if (y == y1)
            break;
    }
}

// Draws the source pixels for which drawn(x, y) holds, unless they are white.
template <class Pattern>
void overlay(const TBitmap& source, TBitmap& destination, Pattern drawn)
{
    TBitmap holder;
    const TBitmap& src = Source24(source, holder);
    Ensure24(destination);
    const int w = std::min(src.Width(), destination.Width());
    const int h = std::min(src.Height(), destination.Height());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src.ScanLine(y);
        std::uint8_t* d = destination.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* sp = s + 3 * x;
            if (drawn(x, y) && !(sp[0] == 255 && sp[1] == 255 && sp[2] == 255)) {
                d[3 * x] = sp[0];
                d[3 * x + 1] = sp[1];
                d[3 * x + 2] = sp[2];
            }
        }
    }
}

} // namespace

void ShadowUpLeft(TBitmap& bitmap) { castShadow(bitmap, 4, 4); }
void ShadowUpRight(TBitmap& bitmap) { castShadow(bitmap, -4, 4); }
void ShadowDownLeft(TBitmap& bitmap) { castShadow(bitmap, 4, -4); }
void ShadowDownRight(TBitmap& bitmap) { castShadow(bitmap, -4, -4); }

void Overlay50(const TBitmap& source, TBitmap& destination)
{
    overlay(source, destination, [](int x, int y) { return (x + y) % 2 == 1; });
}

void Overlay25(const TBitmap& source, TBitmap& destination)
{
    overlay(source, destination, [](int x, int y) { return y % 2 == 0 && x % 2 == 1; });
}

} // namespace qorFX
