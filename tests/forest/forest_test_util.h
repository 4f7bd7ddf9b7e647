#pragma once
// Helpers shared by the forest tests.
#include "forest/tree.h"
#include "forest/tree_parameters.h"

#include <functional>
#include <string>

/// A path for a scratch file of this test program.
inline std::string scratchFile(const std::string& name)
{
    return std::string(VELMORA_RUN_DIR) + "/forest_test_" + name;
}

/// The defaults with a fixed seed and size.
inline TreeParameters testParameters(uint32_t seed = 1234)
{
    TreeParameters p = defaultTreeParameters();
    p.seed = seed;
    p.diameter = 0.4f;
    p.length = 10.0f;
    return p;
}

/// Calls `visit` on every branch below and including `b`, grown or not.
inline void forEachBranch(const Branch& b, const std::function<void(const Branch&)>& visit)
{
    visit(b);
    for (int i = 0; i < b.childCount; ++i) forEachBranch(b.children[i], visit);
}
