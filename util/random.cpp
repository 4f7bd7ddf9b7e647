#include "util/random.h"

#include <cstdint>

namespace util {

namespace {
unsigned int state = 1;  // the sequence of an unseeded C library generator
}

void randomSeed(unsigned int seed) { state = seed; }

unsigned int mixedSeed(unsigned int seed)
{
    // The finaliser of MurmurHash3: every step is invertible on 32 bits.
    uint32_t h = seed;
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h;
}

int randomDraw()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

} // namespace util
