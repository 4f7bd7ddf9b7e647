#include "forest/tree_animation.h"

#include <algorithm>
#include <cmath>

namespace {

/// Diameter times length of the default tree kind.
constexpr float REFERENCE_SIZE = 2.0f * 50.0f;

/// Largest turn of one branch against its parent, radians.
constexpr float MAX_BEND = 0.35f;

/// The bending offset, unchanged when small and levelling off at MAX_BEND:
/// a strong gust must not fold a twig back over its parent.
float saturate(float offset) { return MAX_BEND * std::tanh(offset / MAX_BEND); }

/// Marks the levels below `b` that have grown branches.
void findLevels(const Branch& b, bool present[])
{
    for (int i = 0; i < b.childCount; ++i) {
        const Branch& c = b.children[i];
        if (!c.grown()) continue;
        if (c.level <= MAX_BENDING_LEVEL) present[c.level] = true;
        findLevels(c, present);
    }
}

void bendChildren(Branch& parent, const TreeParameters& p, const TreeAnimation& anim, Vec3 wind)
{
    const Vec3 up{parent.axes[0].z, parent.axes[1].z, parent.axes[2].z};
    for (int i = 0; i < parent.childCount; ++i) {
        Branch& q = parent.children[i];
        if (!q.grown()) continue;
        float elevation = q.elevation;
        float azimuth = q.azimuth;
        if (q.level <= MAX_BENDING_LEVEL) {
            const Vec3 torque = cross(q.axes[2], wind);
            // Thick and long branches bend less. Sizes are measured against the
            // tree's own, scaled to the default kind (diameter 2, length 50), so
            // that a kind drawn in metres bends as much as one drawn in larger
            // units instead of folding its twigs over.
            const float stiffness = (q.diameter / p.diameter) * (q.length / p.length) * REFERENCE_SIZE;
            if (stiffness > 0.0f) {
                const float w = anim.weight[q.level];
                elevation += w * saturate(-dot(torque, q.axes[0]) / stiffness);
                azimuth += w * saturate(-dot(torque, up) / stiffness);
            }
            q.bendingState = anim.levelState[q.level];
        }
        placeBranch(q, elevation, azimuth, p.gravity);
        bendChildren(q, p, anim, wind);
    }
}

} // namespace

void animateTree(Tree& tree, const TreeParameters& p, TreeAnimation& anim, float strength,
                 Vec3 direction, double nowMilliseconds)
{
    if (!tree.trunk) return;
    bool present[MAX_BENDING_LEVEL + 1] = {};
    findLevels(*tree.trunk, present);
    const double elapsed = anim.lastMilliseconds < 0.0 ? 0.0 : nowMilliseconds - anim.lastMilliseconds;
    anim.lastMilliseconds = nowMilliseconds;
    // Steady crowns ease by frames: in wall time, how long a still crown keeps
    // moving after the detail settles would follow the frame rate.
    const float step = treeDetail().steady ? 1.0f / STEADY_EASE_FRAMES
                                           : static_cast<float>(std::max(0.0, elapsed) / BENDING_EASE_MS);
    for (int level = 2; level <= MAX_BENDING_LEVEL; ++level) {
        float& w = anim.weight[level];
        if (present[level]) {
            w = std::min(1.0f, w + step);
            anim.levelState[level] = w >= 1.0f ? 1 : 3;
        } else {
            w = std::max(0.0f, w - step);
            anim.levelState[level] = w <= 0.0f ? 0 : 4;
        }
    }
    bendChildren(*tree.trunk, p, anim, Vec3{direction.x, direction.y, 0.0f} * strength);
}
