// The monkey's one source of chance. Every action starts the generator afresh from the
// run's seed and the action's number, so the actions and the answers given to the
// questions they raise repeat exactly when the run is replayed with the same seed, even
// where timers of the program made an earlier action take a different turn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TMonkeyRandom {
public:
    explicit TMonkeyRandom(std::uint64_t seed) : m_seed(seed) { Restart(0); }

    std::uint64_t Seed() const { return m_seed; }
    // The generator as it stands at the start of action `step`.
    void Restart(std::uint64_t step) { m_state = m_seed ^ (step * 0xD1B54A32D192ED03ull); }

    std::uint64_t Next()
    {
        // SplitMix64: tiny, fast, and the same on every platform.
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (0 when n <= 0).
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    // lo .. hi, both included.
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    // True `percent` times in a hundred.
    bool Percent(int percent) { return Below(100) < percent; }
    template <class T>
    const T& Pick(const std::vector<T>& items) { return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))]; }

private:
    std::uint64_t m_seed;
    std::uint64_t m_state = 0;
};
