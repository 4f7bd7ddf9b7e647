#pragma once
/// Bending a grown tree by the wind at its foot.
#include "forest/tree.h"

/// Deepest branch level that the wind bends.
constexpr int MAX_BENDING_LEVEL = 5;

/// A tree's bending state, carried from frame to frame: each level's bending
/// eases in when the level appears (the camera came closer and deeper
/// branches grew) and out when it disappears, so that detail changes do not
/// make branches jump.
struct TreeAnimation {
    float weight[MAX_BENDING_LEVEL + 1] = {};   ///< 0..1 per level
    int32_t levelState[MAX_BENDING_LEVEL + 1] = {}; ///< 0 not bent, 1 bent, 3 in, 4 out
    double lastMilliseconds = -1.0;             ///< clock of the previous call
};

/// Time over which a level's bending eases in or out, milliseconds.
constexpr double BENDING_EASE_MS = 1500.0;

/// Frames over which it eases with steady crowns (`TreeDetail::steady`).
constexpr int STEADY_EASE_FRAMES = 6;

/// Bends every grown branch below the trunk by the wind of `strength` and
/// horizontal `direction`, at `nowMilliseconds`. Thick and long branches
/// bend less, relative to the size of the tree (`p.diameter`, `p.length`).
/// Frames and positions are rebuilt from the trunk down.
void animateTree(Tree& tree, const TreeParameters& p, TreeAnimation& anim, float strength,
                 Vec3 direction, double nowMilliseconds);
