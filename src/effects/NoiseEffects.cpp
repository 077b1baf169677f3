// Noise from the application's one generator. The order of the draws is fixed (pixels
// row by row from the top, left to right; blue, green, red within a pixel), so the same
// sequence of noise operations after start-up gives the same pixels.
#include "PixelEffects.h"

#include "PixelLoop.h"
#include "graphics/Random.h"

namespace qorFX {

using namespace detail;

void AddColorNoise(TBitmap& bitmap, int amount)
{
    Ensure24(bitmap);
    const int range = amount < 0 ? 0 : amount;
    const std::int64_t half = range / 2;
    ForEachPixel(bitmap, [range, half](std::uint8_t* p) {
        p[0] = ClampToByte(p[0] + static_cast<std::int64_t>(Random(range)) - half);
        p[1] = ClampToByte(p[1] + static_cast<std::int64_t>(Random(range)) - half);
        p[2] = ClampToByte(p[2] + static_cast<std::int64_t>(Random(range)) - half);
    });
}

void AddMonoNoise(TBitmap& bitmap, int amount)
{
    Ensure24(bitmap);
    const int range = amount < 0 ? 0 : amount;
    const std::int64_t half = range / 2;
    ForEachPixel(bitmap, [range, half](std::uint8_t* p) {
        const std::int64_t v = static_cast<std::int64_t>(Random(range)) - half;
        p[0] = ClampToByte(p[0] + v);
        p[1] = ClampToByte(p[1] + v);
        p[2] = ClampToByte(p[2] + v);
    });
}

} // namespace qorFX
