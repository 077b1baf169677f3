// The application's one pseudo-random generator. Noise effects and wizards draw from this
// single sequence, so the same operations after start-up give the same pixels.
#pragma once

#include <cstdint>

// An integer in 0..range-1 (0 when range <= 0).
int Random(int range);

// The generator's state, exposed so tests can pin and restore the sequence.
std::uint32_t RandomState();
void SetRandomState(std::uint32_t state);
// Puts the generator back to where it stands right after start-up.
void ResetRandomToStartup();
