#pragma once
/// The process-wide pseudo-random generator: a seed operation and draws in
/// 0..32767, identical on every platform (the C library's rand() is not).

namespace util {

/// Largest value `randomDraw` returns.
constexpr int RANDOM_MAX = 32767;

/// Restarts the sequence from `seed`.
void randomSeed(unsigned int seed);

/// `seed` with its bits mixed (a fixed bijection on 32 bits), for callers
/// whose seeds differ only a little: the first draws after nearby seeds are
/// nearly equal, after mixed ones they are spread over the whole range.
unsigned int mixedSeed(unsigned int seed);

/// Next draw, in 0..RANDOM_MAX.
int randomDraw();

/// Next draw scaled to [0, 1]: randomDraw() / 32767.
inline float randomUnit() { return static_cast<float>(randomDraw()) / static_cast<float>(RANDOM_MAX); }

} // namespace util
