#include "util/random.h"

namespace util {

namespace {
unsigned int state = 1;  // the sequence of an unseeded C library generator
}

void randomSeed(unsigned int seed) { state = seed; }

int randomDraw()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

} // namespace util
