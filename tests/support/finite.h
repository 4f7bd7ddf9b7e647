#pragma once
// Finiteness checks for the records the tests read field by field. Each says
// which value is not finite, so that EXPECT_TRUE(finite(...)) names it.
#include "forest/tree.h"
#include "forest/tree_mesh.h"
#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

inline testing::AssertionResult finite(std::initializer_list<float> values)
{
    int i = 0;
    for (float v : values) {
        if (!std::isfinite(v)) return testing::AssertionFailure() << "value " << i << " of " << values.size() << " is " << v;
        ++i;
    }
    return testing::AssertionSuccess();
}

inline testing::AssertionResult finite(const BladeSkeleton& s)
{
    return finite({s.P0[0], s.P0[1], s.P0[2], s.P1[0], s.P1[1], s.P1[2], s.T0[0], s.T0[1], s.T0[2], s.T1[0], s.T1[1],
                   s.T1[2], s.baseNormal, s.tipNormal})
           << " (P0, P1, T0, T1, base and tip normal)";
}

inline testing::AssertionResult finite(const MeshVertex& v)
{
    return finite({v.position[0], v.position[1], v.position[2]}) << " (the position)";
}

/// The branch and all its children.
inline testing::AssertionResult finite(const Branch& b)
{
    const Vec3 tip = b.tip();
    if (testing::AssertionResult r = finite({b.diameter, b.length, tip.x, tip.y, tip.z}); !r)
        return r << " (diameter, length, tip) in branch " << b.serial;
    for (int i = 0; i < b.childCount; ++i)
        if (testing::AssertionResult r = finite(b.children[i]); !r) return r;
    return testing::AssertionSuccess();
}
