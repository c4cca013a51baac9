#include "scene/Random.h"

namespace {

// Starts at 1, so a process that never seeds draws the same numbers at every
// start: scene setup's start speeds and direction rely on that.
std::uint32_t randomState = 1;

}  // namespace

void SeedRandom(std::uint32_t seed) { randomState = seed; }

int NextRandom() {
    // Unsigned arithmetic wraps modulo 2^32, as the generator is defined.
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}
