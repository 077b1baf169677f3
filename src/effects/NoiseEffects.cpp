// Noise from the application's one generator. The order of the draws is fixed (pixels
// row by row from the top, left to right; blue, green, red within a pixel), so the same
// sequence of noise operations after start-up gives the same pixels.
#include "PixelEffects.h"

#include "PixelLoop.h"
#include "graphics/Random.h"

namespace qorFX {

using namespace detail;

namespace {

// The application generator stepped locally for the length of one operation: the same
// draws as Random(range), without a call per channel. The state goes back to the
// generator when the operation ends, so the sequence continues as if Random had drawn.
class LocalDraws {
public:
    LocalDraws() : m_state(RandomState()) {}
    ~LocalDraws() { SetRandomState(m_state); }
    LocalDraws(const LocalDraws&) = delete;
    LocalDraws& operator=(const LocalDraws&) = delete;

    std::int64_t Next(std::uint32_t range)
    {
        m_state = m_state * 134775813u + 1u;
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(m_state) * range) >> 32);
    }

private:
    std::uint32_t m_state;
};

} // namespace

void AddColorNoise(TBitmap& bitmap, int amount)
{
    Ensure24(bitmap);
    const std::uint32_t range = amount < 0 ? 0 : static_cast<std::uint32_t>(amount);
    const std::int64_t half = range / 2;
    LocalDraws draws;
    ForEachPixel(bitmap, [&](std::uint8_t* p) {
        p[0] = ClampToByte(p[0] + draws.Next(range) - half);
        p[1] = ClampToByte(p[1] + draws.Next(range) - half);
        p[2] = ClampToByte(p[2] + draws.Next(range) - half);
    });
}

void AddMonoNoise(TBitmap& bitmap, int amount)
{
    Ensure24(bitmap);
    const std::uint32_t range = amount < 0 ? 0 : static_cast<std::uint32_t>(amount);
    const std::int64_t half = range / 2;
    LocalDraws draws;
    ForEachPixel(bitmap, [&](std::uint8_t* p) {
        const std::int64_t v = draws.Next(range) - half;
        p[0] = ClampToByte(p[0] + v);
        p[1] = ClampToByte(p[1] + v);
        p[2] = ClampToByte(p[2] + v);
    });
}

} // namespace qorFX
