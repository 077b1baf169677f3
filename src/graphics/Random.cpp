#include "Random.h"

namespace {

// Start-up: state 255, then 256 draws of a table shuffle nobody uses afterwards.
std::uint32_t startupState()
{
    std::uint32_t s = 255;
    for (int i = 0; i < 256; ++i)
        s = s * 134775813u + 1u;
    return s;
}

std::uint32_t g_state = startupState();

} // namespace

int Random(int range)
{
    g_state = g_state * 134775813u + 1u;
    if (range <= 0)
        return 0;
    return static_cast<int>((static_cast<std::uint64_t>(g_state) * static_cast<std::uint64_t>(range)) >> 32);
}

std::uint32_t RandomState() { return g_state; }
void SetRandomState(std::uint32_t state) { g_state = state; }
void ResetRandomToStartup() { g_state = startupState(); }
