#pragma once
// What the grass tests stand on: a flat ground, and a blade skeleton as numbers.
#include "grass/grass_field.h"
#include "ground/ground.h"

#include <array>
#include <cstring>

namespace test_support {

/// A flat ground of height 0 over `area` (x0, y0, x1, y1), without pictures.
inline void flatGround(const float area[4]) { createGround(area, 0, 4, nullptr, nullptr, 1); }

/// A skeleton's 14 floats in memory order: P0, P1, T0, T1, base and tip normals.
using SkeletonFloats = std::array<float, 14>;
inline SkeletonFloats skeletonFloats(const BladeSkeleton& s)
{
    static_assert(sizeof(SkeletonFloats) == sizeof s);
    SkeletonFloats f;
    std::memcpy(f.data(), &s, sizeof s);
    return f;
}

} // namespace test_support
