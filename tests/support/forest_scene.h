#pragma once
// The forest's tests stand on the run folder's hilly 100 m ground, with the wind over it.
#include "forest/forest.h"
#include "ground/ground.h"
#include "util/random.h"
#include "wind/wind.h"

#include <string>

namespace test_support {

/// The hilly ground, the wind on its area, an empty forest drawn from `seed` and the kind `arb`.
inline void forestScene(unsigned seed, const std::string& arb)
{
    const float area[4] = {0, 0, 100, 100};
    createGround(area, 5.0f, 400, "GroundData/heightMap1.bmp", nullptr, 8.0f);
    windInit(area, 5.0f);
    util::randomSeed(seed);
    initForest();
    loadArb(arb);
}

} // namespace test_support
