// The program's pseudo-random generator: a 32-bit linear congruential state
// that starts at 1, the same on every platform.
#pragma once

#include <cstdint>

void SeedRandom(std::uint32_t seed);

// The next output, 0..32767.
int NextRandom();
